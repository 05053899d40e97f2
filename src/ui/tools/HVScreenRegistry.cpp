#include "ui/tools/HVScreenRegistry.h"

#include <cstdio>

namespace {
std::map<QString, HVScreenFactory>& Registry()
{
    static std::map<QString, HVScreenFactory> screens;
    return screens;
}
}  // namespace

bool HVRegisterScreen(const QString& strName, HVScreenFactory factory)
{
    if (!Registry().emplace(strName, std::move(factory)).second) {
        std::fprintf(stderr, "hvscreens: \"%s\" is registered twice\n", qUtf8Printable(strName));
        return false;
    }
    return true;
}

const std::map<QString, HVScreenFactory>& HVScreens()
{
    return Registry();
}

namespace {
std::vector<std::function<void()>>& Setups()
{
    static std::vector<std::function<void()>> setups;
    return setups;
}
}  // namespace

bool HVRegisterScreenSetup(std::function<void()> setup)
{
    Setups().push_back(std::move(setup));
    return true;
}

const std::vector<std::function<void()>>& HVScreenSetups()
{
    return Setups();
}
