#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An item that a full restore had to leave hidden, and why.
struct SRestoreFailure
{
    enum class EWhy
    {
        PathOccupied,   // something else now stands at its path
        ParentMissing,  // the folder it belongs in is gone
        VolumeAbsent,   // the filesystem that keeps it is not mounted
        Permission,     // the system refused the move
        Other,          // see strDetail
    };
    std::string strPath;
    EWhy eWhy = EWhy::Other;
    std::string strDetail;
};

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
    // True if the hidden item at nIndex is a folder (false for a file, a link, out of range).
    [[nodiscard]] virtual bool IsHiddenItemFolder(std::int32_t /*nIndex*/) { return false; }
    // True if the engine with that identifier could be chosen.
    [[nodiscard]] virtual bool SetCurrentHidingEngine(const std::string& strEngineId) = 0;

    // Why the last operation said no (names the file or item concerned).
    [[nodiscard]] virtual std::string GetLastError() const { return {}; }
    // Switches hiding off and brings every listed item back, taking it off the list, so that no
    // later start hides it again. Items that cannot come back stay hidden and listed, each one in
    // failures. True when nothing stays hidden.
    [[nodiscard]] virtual bool RestoreAll(std::vector<SRestoreFailure>& failures)
    {
        failures.clear();
        return DisableHiding() && GetHiddenCount() == 0;
    }
    // Repairs a hidden list that cannot be read (the damaged one is kept aside); strReport says
    // what was recovered and what the vault holds that no entry names. False when not repaired.
    [[nodiscard]] virtual bool RepairList(std::string& strReport)
    {
        strReport.clear();
        return false;
    }
    // Items kept by the engine that no entry of its list names.
    [[nodiscard]] virtual std::vector<std::string> UnlistedItems() { return {}; }
};
