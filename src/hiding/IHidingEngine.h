#pragma once

#include <cstdint>
#include <string>

// The folder-hiding control as the data-security manager, the hide runner and the hide
// management page use it. Every operation answers yes (true) or no (false), or the value
// named; none throws. Paths are native byte strings.
class IHidingEngine
{
public:
    // The one engine identifier SetCurrentHidingEngine accepts.
    static constexpr const char* kEngineId = "2115A4F3-6A0C-4d9e-A5F0-19CDDAB64137";

    virtual ~IHidingEngine() = default;

    // True if hiding is switched on.
    [[nodiscard]] virtual bool IsHidingEnabled() = 0;
    // Number of items on the hidden list (0 when the list cannot be read).
    [[nodiscard]] virtual std::int32_t GetHiddenCount() = 0;
    // Switches hiding on: every listed item leaves its folder again.
    [[nodiscard]] virtual bool EnableHiding() = 0;
    // Switches hiding off: every listed item is back in its folder; the list is kept.
    [[nodiscard]] virtual bool DisableHiding() = 0;
    // Hides one file or folder (true if it is now on the hidden list).
    [[nodiscard]] virtual bool HideItem(const std::string& strPath) = 0;
    // Shows one listed item again at its path and takes it off the list (true if shown).
    [[nodiscard]] virtual bool UnhideItem(const std::string& strPath) = 0;
    // HideItem with a flag (callers pass 1); true if the item is now hidden.
    [[nodiscard]] virtual bool HideItemEx(const std::string& strPath, std::int32_t nFlag) = 0;
    // Path of the hidden item at nIndex (from 0, in the order of hiding); empty out of range.
    [[nodiscard]] virtual std::string GetHiddenItem(std::int32_t nIndex) = 0;
    // True if the engine with that identifier could be chosen.
    [[nodiscard]] virtual bool SetCurrentHidingEngine(const std::string& strEngineId) = 0;
};
