#include "engines/CHvncCommit.h"

#include "globalfuncs/HVDurableFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace HvncCommit {

namespace {

std::string Shown(const SHvncDir& dir, const std::string& strName)
{
    return HvncIo::JoinPath(dir.strShown, strName);
}

// Renames the temporary file to its final name (or the next free one).
SHvncResult Place(SHvncPending& p)
{
    const int nDir = p.dir.nFd;
    std::string strTarget = p.bFreeName ? HvncIo::FindFreeNameAt(nDir, p.strFinal) : p.strFinal;
    for (int nTry = 0; nTry < 100 && !strTarget.empty(); ++nTry) {
        const int nErr = p.bUnnamed ? HvncIo::LinkInto(p.fd.Get(), nDir, strTarget)
                                    : HvncIo::RenameNoReplaceAt(nDir, p.strTemp, nDir, strTarget);
        if (nErr == 0) {
            p.strPlaced = strTarget;
            p.strTemp.clear();
            return {};
        }
        if (nErr != EEXIST) {
            return {nErr == ENOSPC         ? EHvnc::NoSpace
                    : nErr == ENAMETOOLONG ? EHvnc::NameTooLong
                                           : EHvnc::IoError,
                    "cannot rename the output into place: " + std::string(std::strerror(nErr))};
        }
        if (!p.bFreeName) {
            return {EHvnc::Exists, "the output file " + Shown(p.dir, p.strFinal) + " already exists"};
        }
        strTarget = HvncIo::FindFreeNameAt(nDir, p.strFinal);  // someone took it meanwhile
    }
    return {EHvnc::Exists, "no free name for the output"};
}

// One syncfs per file system of the given folders.
bool SyncFileSystems(const std::vector<int>& dirs)
{
    std::set<dev_t> seen;
    std::set<int> done;
    bool bOk = true;
    for (const int d : dirs) {
        if (!done.insert(d).second) {
            continue;
        }
        struct stat st
        {
        };
        if (::fstat(d, &st) != 0) {
            bOk = false;
            continue;
        }
        if (seen.insert(st.st_dev).second && ::syncfs(d) != 0) {
            bOk = false;
        }
    }
    return bOk;
}

// Removes a decrypted file's source if its name still holds the file that was decrypted.
// False when it was replaced meanwhile (then it stays).
bool RemoveListed(const SHvncPending& p)
{
    struct stat st
    {
    };
    if (::fstatat(p.removeDir.nFd, p.strRemove.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT;  // gone already: nothing of the user's is left behind
    }
    if (st.st_dev != p.nRemoveDev || st.st_ino != p.nRemoveIno) {
        return false;
    }
    (void)::unlinkat(p.removeDir.nFd, p.strRemove.c_str(), 0);
    return true;
}

SHvncResult Replaced(const SHvncPending& p)
{
    return {EHvnc::Changed,
            "decrypted to " + Shown(p.dir, p.strPlaced) + ", but " + Shown(p.removeDir, p.strRemove)
                + " was replaced meanwhile and was kept"};
}

// Removes the sources from a few threads at once: on file systems that discard freed blocks
// synchronously each unlink waits for the device, and the waits overlap well.
void RemoveAll(const std::vector<SHvncPending*>& files, std::vector<char>& replaced)
{
    replaced.assign(files.size(), 0);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            replaced[i] = RemoveListed(*files[i]) ? 0 : 1;
        }
    };
    std::vector<std::thread> threads;
    const std::size_t nThreads = std::min<std::size_t>(8, (files.size() + 15) / 16);
    for (std::size_t t = 1; t < nThreads; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (auto& t : threads) {
        t.join();
    }
}

}  // namespace

void Abandon(SHvncPending& p)
{
    p.fd.Close();
    HVDurableFile::RemoveTemp(p.dir.nFd, p.strTemp);
}

SHvncResult CommitOne(SHvncPending& p)
{
    int nErr = HVDurableFile::SyncFile(p.fd.Get());
    if (nErr == 0 && !p.bUnnamed && p.fd.Close() != 0) {
        nErr = errno;
    }
    if (nErr != 0) {
        Abandon(p);
        return {nErr == ENOSPC || nErr == EDQUOT ? EHvnc::NoSpace : EHvnc::IoError,
                "cannot sync the output: " + std::string(std::strerror(nErr))};
    }
    SHvncResult r = Place(p);
    if (!r.Ok()) {
        Abandon(p);
        return r;
    }
    p.fd.Close();
    if (!HVDurableFile::SyncDir(p.dir.nFd)) {
        // The complete output stays; the caller is told it may not be durable.
        return {EHvnc::IoError, "cannot sync the folder of " + Shown(p.dir, p.strPlaced)};
    }
    if (!p.strRemove.empty()) {
        if (!RemoveListed(p)) {
            return Replaced(p);
        }
        HVDurableFile::SyncDir(p.removeDir.nFd);
    }
    return {};
}

std::vector<SHvncResult> CommitBatch(std::vector<SHvncPending>& pending)
{
    std::vector<SHvncResult> results(pending.size());
    std::vector<int> dirs;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (!pending[i].bUnnamed && pending[i].fd.Close() != 0) {
            results[i] = {EHvnc::IoError, "cannot close the output"};
        }
        dirs.push_back(pending[i].dir.nFd);
    }
    if (!SyncFileSystems(dirs)) {
        for (std::size_t i = 0; i < pending.size(); ++i) {
            Abandon(pending[i]);
            results[i] = {EHvnc::IoError, "cannot sync the outputs"};
        }
        return results;
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (results[i].Ok()) {
            results[i] = Place(pending[i]);
        }
        if (!results[i].Ok()) {
            Abandon(pending[i]);
        }
        pending[i].fd.Close();
    }
    if (!SyncFileSystems(dirs)) {
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (results[i].Ok()) {
                results[i] = {EHvnc::IoError,
                              "cannot sync the folder of " + Shown(pending[i].dir, pending[i].strPlaced)};
            }
        }
        return results;
    }
    std::vector<SHvncPending*> removals;
    std::vector<std::size_t> index;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (results[i].Ok() && !pending[i].strRemove.empty()) {
            removals.push_back(&pending[i]);
            index.push_back(i);
            dirs.push_back(pending[i].removeDir.nFd);
        }
    }
    if (!removals.empty()) {
        std::vector<char> replaced;
        RemoveAll(removals, replaced);
        for (std::size_t k = 0; k < removals.size(); ++k) {
            if (replaced[k] != 0) {
                results[index[k]] = Replaced(*removals[k]);
            }
        }
        SyncFileSystems(dirs);
    }
    return results;
}

}  // namespace HvncCommit
