// Times what start-up loads before the master password: the settings, the configuration file,
// the log folder, the theme file (when the build makes one) and the resource module.
// Usage: startup_bench [runs]  (run from the program folder's copy; HOME/XDG_* should point at a
// scratch folder). Prints one line per run and the median and worst totals in milliseconds.
#include "resources/CResourceModule.h"
#include "settings/CHDGlobalData.h"
#include "xml/CXmlDocument.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int nRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::vector<double> totals;
    for (int i = 0; i < nRuns; ++i) {
        const auto t0 = Clock::now();
        CHDGlobalData data;
        data.m_RegData.FirstTimeInit();
        if (data.LoadAppConfigFile() != 1) {
            std::fprintf(stderr, "configuration not loaded from %s\n", qPrintable(data.m_RegData.m_strModulePath));
            return 1;
        }
        const auto t1 = Clock::now();
        if (!data.m_RegData.Load()) {
            std::fprintf(stderr, "settings not loaded\n");
            return 1;
        }
        data.CreateUserDataFolder(QStringLiteral("Logs"));
        const auto t2 = Clock::now();
        bool bTheme = false;
        const QString strTheme = data.MAKEFILE(data.ThemeFileName) + QLatin1String(CHDGlobalData::kEncryptedSuffix);
        if (!data.ThemeFileName.isEmpty() && QFileInfo(strTheme).isFile()) {
            CXmlDocument theme;
            bTheme = theme.SetDocument(data.MakeConfigFileEx(data.ThemeFileName));
        }
        const auto t3 = Clock::now();
        if (!CResourceModule::Instance().Load(data.MAKEFILE(data.GetResourceFile()))) {
            std::fprintf(stderr, "resource module not loaded\n");
            return 1;
        }
        const auto t4 = Clock::now();
        CResourceModule::Instance().Unload();
        totals.push_back(Ms(t0, t4));
        std::printf("run %d: configuration %.2f ms, settings %.2f ms, theme %s %.2f ms, resources %.2f ms, "
                    "total %.2f ms\n",
                    i + 1,
                    Ms(t0, t1),
                    Ms(t1, t2),
                    bTheme ? "loaded" : "absent",
                    Ms(t2, t3),
                    Ms(t3, t4),
                    Ms(t0, t4));
    }
    std::sort(totals.begin(), totals.end());
    std::printf("median %.2f ms, worst %.2f ms\n", totals[totals.size() / 2], totals.back());
    return 0;
}
