#pragma once

#include <string>
#include <vector>

class CItemData;

// One file or item of a run that failed or was skipped, and why.
struct SRunProblem
{
    const CItemData* pOwner = nullptr;  // the selected item it belongs to (not owned)
    std::string strPath;                // bytes as on disk (may not be valid UTF-8)
    std::string strStep;                // "list", "encrypt", "wipe", "decrypt", "hide", "unhide"
    std::string strReason;              // why, in plain words
};

// What a run's counters do not say: every failure with its reason, wipes on media where old
// copies may survive, and how a run that did not come to its end ended.
struct SRunDetails
{
    std::vector<SRunProblem> problems;
    int nWeakMediumWipes = 0;   // wiped files on a medium where old copies may survive
    std::string strWeakMedium;  // the kind of that medium (the first one met)
    bool bCancelled = false;
    int nNotStarted = 0;     // files (or items) a cancel left untouched
    std::string strRefusal;  // why the whole run was refused before it began ("" when it ran)

    void Add(const CItemData* pOwner, std::string strPath, std::string strStep, std::string strReason)
    {
        problems.push_back({pOwner, std::move(strPath), std::move(strStep), std::move(strReason)});
    }
};
