#pragma once

#include <functional>
#include <string_view>

// Test seam: called with the name of each step of a move or a list rewrite, so that a test
// can end the process between two steps and check what the next start makes of it.
// Steps: "begin" (the move is journalled), "chmod" (a read-only folder made writable for the
// move), "linked" (second name made, first not yet removed), "moved", "committed",
// "compact-written" (new list synced, not yet in place), "compact-renamed".
using HidingFaultHook = std::function<void(std::string_view step)>;
