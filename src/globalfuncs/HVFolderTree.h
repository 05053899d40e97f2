#pragma once

// Folder trees walked by descriptor: every entry is reached from its folder's descriptor and
// examined without following links, so that a link inside a tree is an entry like any other and
// never a way out of it. Not part of the public API.

#include <functional>

namespace HVGlobalMFC::detail {

// Called with the errno of each failing step.
using FTreeFailure = std::function<void(int)>;

// Removes everything inside the folder open at dirFd (links themselves, never their targets).
// With addOwnerWrite the owner's write bit is added to each real folder first. True when
// everything went.
bool EmptyFolderAt(int dirFd, bool addOwnerWrite, const FTreeFailure& onFailure);

// Copies everything inside the folder open at srcFd into the folder open at dstFd. Folders are
// entered on both sides without following links (an existing link in the target where a folder
// goes is a failure), regular files are written to a temporary name and renamed into place (an
// existing link of the same name is replaced, its target untouched), links are copied as links,
// other kinds of file are refused. overwrite false keeps what already exists in the target.
bool CopyFolderAt(int srcFd, int dstFd, bool overwrite, const FTreeFailure& onFailure);

}  // namespace HVGlobalMFC::detail
