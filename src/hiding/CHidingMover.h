#pragma once

#include "hiding/HidingFaultHook.h"

#include <string>
#include <sys/stat.h>

// Moves an item between its folder and a vault on the same filesystem without ever replacing
// what is at the destination, and settles a move that a killed process left unfinished.
class CHidingMover
{
public:
    enum class EWhere
    {
        AtDestination,
        AtSource,
        Gone,
    };

    // bLinkInsteadOfNoReplace takes the path used where the filesystem cannot rename without
    // replacing (hard link, then removal of the first name; for folders a look, then a rename).
    CHidingMover(HidingFaultHook hook, bool bLinkInsteadOfNoReplace);

    // Moves src (found as st just before) to dst. 0, or the errno value of the failure;
    // EEXIST when something occupies dst. A read-only folder of the user's is made writable
    // for the move (the kernel asks that of a folder that changes its parent) and gets its
    // mode back afterwards.
    [[nodiscard]] int Move(const std::string& strSrc, const std::string& strDst, const struct stat& st) const;

    // Where the item (dev, ino) of a journalled move from src to dst is now. A link move cut
    // between its two steps is completed; a mode changed for the move is put back.
    [[nodiscard]] EWhere
    Settle(const std::string& strSrc, const std::string& strDst, dev_t dev, ino_t ino, mode_t mode) const;

    void Step(std::string_view step) const;

private:
    [[nodiscard]] int MoveOnce(const std::string& strSrc, const std::string& strDst, bool bDir) const;

    HidingFaultHook m_hook;
    bool m_bLink;
};
