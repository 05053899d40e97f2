#include "engines/CHvncCommit.h"

#include "engines/HvncResult.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace HvncCommit {

namespace {

// Renames the temporary file to its final name (or the next free one). Returns an EHvncResult.
int Place(SHvncPending& p, std::string& strWhy)
{
    std::string strTarget = p.bFreeName ? HvncIo::FindFreeName(p.strFinal) : p.strFinal;
    for (int nTry = 0; nTry < 100 && !strTarget.empty(); ++nTry) {
        const int nErr = HvncIo::RenameNoReplace(p.strTemp, strTarget);
        if (nErr == 0) {
            p.strPlaced = strTarget;
            p.strTemp.clear();
            return HVNC_OK;
        }
        if (nErr != EEXIST) {
            strWhy = "cannot rename the output into place: " + std::string(std::strerror(nErr));
            return nErr == ENOSPC ? HVNC_NO_SPACE : HVNC_IO_ERROR;
        }
        if (!p.bFreeName) {
            strWhy = "the output file " + p.strFinal + " already exists";
            return HVNC_EXISTS;
        }
        strTarget = HvncIo::FindFreeName(p.strFinal);  // someone took it meanwhile
    }
    strWhy = "no free name for the output";
    return HVNC_EXISTS;
}

// One syncfs per file system of the given folders.
bool SyncFileSystems(const std::vector<std::string>& dirs)
{
    std::map<dev_t, bool> seen;
    std::set<std::string> done;
    bool bOk = true;
    for (const std::string& d : dirs) {
        if (!done.insert(d).second) {
            continue;
        }
        HvncIo::CFd fd(::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat st
        {
        };
        if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
            bOk = false;
            continue;
        }
        if (seen.emplace(st.st_dev, true).second && ::syncfs(fd.Get()) != 0) {
            bOk = false;
        }
    }
    return bOk;
}

// Removes the files from a few threads at once: on file systems that discard freed blocks
// synchronously each unlink waits for the device, and the waits overlap well.
void RemoveAll(const std::vector<const std::string*>& files)
{
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            (void)::unlink(files[i]->c_str());
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
        ::unlink(p.strTemp.c_str());
        p.strTemp.clear();
    }
}

int CommitOne(SHvncPending& p, std::string& strWhy)
{
    if (::fsync(p.fd.Get()) != 0 || p.fd.Close() != 0) {
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
    if (!HvncIo::SyncDir(HvncIo::DirOf(p.strPlaced))) {
        strWhy = "cannot sync the folder of " + p.strPlaced;
        return HVNC_IO_ERROR;  // the complete output stays; the caller is told it may not be durable
    }
    if (!p.strRemove.empty() && ::unlink(p.strRemove.c_str()) == 0) {
        (void)HvncIo::SyncDir(HvncIo::DirOf(p.strRemove));
    }
    return HVNC_OK;
}

void CommitBatch(std::vector<SHvncPending>& pending, std::vector<int>& results, std::vector<std::string>& whys)
{
    results.assign(pending.size(), HVNC_OK);
    whys.assign(pending.size(), std::string());
    std::vector<std::string> dirs;
    for (SHvncPending& p : pending) {
        if (p.fd.Close() != 0) {
            results[&p - pending.data()] = HVNC_IO_ERROR;
        }
        dirs.push_back(HvncIo::DirOf(p.strFinal));
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
    }
    if (!SyncFileSystems(dirs)) {
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (results[i] == HVNC_OK) {
                results[i] = HVNC_IO_ERROR;
                whys[i] = "cannot sync the folder of " + pending[i].strPlaced;
            }
        }
        return;
    }
    std::vector<const std::string*> removals;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (results[i] == HVNC_OK && !pending[i].strRemove.empty()) {
            removals.push_back(&pending[i].strRemove);
            dirs.push_back(HvncIo::DirOf(pending[i].strRemove));
        }
    }
    if (!removals.empty()) {
        RemoveAll(removals);
        (void)SyncFileSystems(dirs);
    }
}

}  // namespace HvncCommit
