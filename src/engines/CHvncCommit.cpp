#include "engines/CHvncCommit.h"

#include "engines/HvncResult.h"

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

// Renames the temporary file to its final name (or the next free one). Returns an EHvncResult.
int Place(SHvncPending& p, std::string& strWhy)
{
    const int nDir = p.dir.nFd;
    std::string strTarget = p.bFreeName ? HvncIo::FindFreeNameAt(nDir, p.strFinal) : p.strFinal;
    for (int nTry = 0; nTry < 100 && !strTarget.empty(); ++nTry) {
        const int nErr = p.bUnnamed ? HvncIo::LinkInto(p.fd.Get(), nDir, strTarget)
                                    : HvncIo::RenameNoReplaceAt(nDir, p.strTemp, nDir, strTarget);
        if (nErr == 0) {
            p.strPlaced = strTarget;
            p.strTemp.clear();
            return HVNC_OK;
        }
        if (nErr != EEXIST) {
            strWhy = "cannot rename the output into place: " + std::string(std::strerror(nErr));
            return nErr == ENOSPC ? HVNC_NO_SPACE : nErr == ENAMETOOLONG ? HVNC_NAME_TOO_LONG : HVNC_IO_ERROR;
        }
        if (!p.bFreeName) {
            strWhy = "the output file " + Shown(p.dir, p.strFinal) + " already exists";
            return HVNC_EXISTS;
        }
        strTarget = HvncIo::FindFreeNameAt(nDir, p.strFinal);  // someone took it meanwhile
    }
    strWhy = "no free name for the output";
    return HVNC_EXISTS;
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

void NoteReplaced(const SHvncPending& p, int& nResult, std::string& strWhy)
{
    nResult = HVNC_CHANGED;
    strWhy = "decrypted to " + Shown(p.dir, p.strPlaced) + ", but " + Shown(p.removeDir, p.strRemove)
             + " was replaced meanwhile and was kept";
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
    if (!p.strTemp.empty()) {
        ::unlinkat(p.dir.nFd, p.strTemp.c_str(), 0);
        p.strTemp.clear();
    }
}

int CommitOne(SHvncPending& p, std::string& strWhy)
{
    if (::fsync(p.fd.Get()) != 0 || (!p.bUnnamed && p.fd.Close() != 0)) {
        const int nErr = errno;
        strWhy = "cannot sync the output: " + std::string(std::strerror(nErr));
        Abandon(p);
        return nErr == ENOSPC || nErr == EDQUOT ? HVNC_NO_SPACE : HVNC_IO_ERROR;
    }
    const int nRet = Place(p, strWhy);
    if (nRet != HVNC_OK) {
        Abandon(p);
        return nRet;
    }
    p.fd.Close();
    if (!HvncIo::SyncDirFd(p.dir.nFd)) {
        strWhy = "cannot sync the folder of " + Shown(p.dir, p.strPlaced);
        return HVNC_IO_ERROR;  // the complete output stays; the caller is told it may not be durable
    }
    if (!p.strRemove.empty()) {
        if (!RemoveListed(p)) {
            int nResult = HVNC_OK;
            NoteReplaced(p, nResult, strWhy);
            return nResult;
        }
        (void)HvncIo::SyncDirFd(p.removeDir.nFd);
    }
    return HVNC_OK;
}

void CommitBatch(std::vector<SHvncPending>& pending, std::vector<int>& results, std::vector<std::string>& whys)
{
    results.assign(pending.size(), HVNC_OK);
    whys.assign(pending.size(), std::string());
    std::vector<int> dirs;
    for (SHvncPending& p : pending) {
        if (!p.bUnnamed && p.fd.Close() != 0) {
            results[static_cast<std::size_t>(&p - pending.data())] = HVNC_IO_ERROR;
        }
        dirs.push_back(p.dir.nFd);
    }
    if (!SyncFileSystems(dirs)) {
        for (std::size_t i = 0; i < pending.size(); ++i) {
            Abandon(pending[i]);
            results[i] = HVNC_IO_ERROR;
            whys[i] = "cannot sync the outputs";
        }
        return;
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (results[i] == HVNC_OK) {
            results[i] = Place(pending[i], whys[i]);
        } else {
            whys[i] = "cannot close the output";
        }
        if (results[i] != HVNC_OK) {
            Abandon(pending[i]);
        }
        pending[i].fd.Close();
    }
    if (!SyncFileSystems(dirs)) {
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (results[i] == HVNC_OK) {
                results[i] = HVNC_IO_ERROR;
                whys[i] = "cannot sync the folder of " + Shown(pending[i].dir, pending[i].strPlaced);
            }
        }
        return;
    }
    std::vector<SHvncPending*> removals;
    std::vector<std::size_t> index;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (results[i] == HVNC_OK && !pending[i].strRemove.empty()) {
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
                NoteReplaced(*removals[k], results[index[k]], whys[index[k]]);
            }
        }
        SyncFileSystems(dirs);
    }
}

}  // namespace HvncCommit
