#pragma once

#include "hiding/IHidingEngine.h"

#include <string>
#include <vector>

namespace hvtest {

// A hiding engine that hides nothing: records every call with its argument ("engine.HideItem
// <path>") in the event list it is given and answers from its fields.
class CFakeHidingEngine final : public IHidingEngine
{
public:
    explicit CFakeHidingEngine(std::vector<std::string>& events, bool bEnabled = true)
        : m_bEnabled(bEnabled)
        , m_events(events)
    {
    }
    [[nodiscard]] bool IsHidingEnabled() override { return Note("IsHidingEnabled", m_bEnabled); }
    [[nodiscard]] std::int32_t GetHiddenCount() override { return 0; }
    [[nodiscard]] bool EnableHiding() override { return Note("EnableHiding", m_bEnabled = true); }
    [[nodiscard]] bool DisableHiding() override
    {
        m_bEnabled = false;
        return Note("DisableHiding", true);
    }
    [[nodiscard]] bool HideItem(const std::string& s) override { return Note("HideItem " + s, true); }
    [[nodiscard]] bool UnhideItem(const std::string& s) override { return Note("UnhideItem " + s, true); }
    [[nodiscard]] bool HideItemEx(const std::string& s, std::int32_t nFlag) override
    {
        return Note("HideItemEx " + s + " " + std::to_string(nFlag), m_bHideAnswer);
    }
    [[nodiscard]] std::string GetHiddenItem(std::int32_t) override { return {}; }
    [[nodiscard]] bool SetCurrentHidingEngine(const std::string& s) override
    {
        return Note("SetCurrentHidingEngine " + s, m_bEngineAnswer);
    }

    bool m_bEnabled;
    bool m_bEngineAnswer = true;
    bool m_bHideAnswer = true;

private:
    bool Note(const std::string& strCall, bool bAnswer)
    {
        m_events.push_back("engine." + strCall);
        return bAnswer;
    }
    std::vector<std::string>& m_events;
};

}  // namespace hvtest
