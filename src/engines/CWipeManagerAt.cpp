// CWipeManager: wiping one file named by folder descriptor and name (or by path), and finishing the
// wipes a process that is gone had begun (the passes themselves are in CWipeManager.cpp).
#include "engines/CWipeManager.h"
#include "engines/HVFastRandom.h"
#include "engines/HVMediumInfo.h"
#include "engines/HVPendingRecords.h"
#include "engines/HVWipeFile.h"
#include "engines/HVWipePasses.h"
#include "engines/HvncResult.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets the busy signal for the life of one wipe.
class CBusyScope
{
public:
    explicit CBusyScope(CSignal& sig)
        : m_sig(sig)
    {
        m_sig.Set();
    }
    ~CBusyScope() { m_sig.Reset(); }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    CSignal& m_sig;
};

// The file under the name is the one the caller listed (and, where asked, unchanged since).
bool SameListedFile(const SHVFileRef& file, const struct stat& st)
{
    if (st.st_dev != file.nDev || st.st_ino != file.nIno) {
        return false;
    }
    return !file.bCheckUnchanged
           || (static_cast<std::uint64_t>(st.st_size) == file.nSize && HVTimeNs(st.st_mtim) == file.nMtimeNs
               && HVTimeNs(st.st_ctim) == file.nCtimeNs);
}

// The folder of the file for messages and the pass observer.
std::string FolderShown(const SHVFileRef& file)
{
    const std::size_t nSlash = file.strDisplay.rfind('/');
    if (nSlash != std::string::npos) {
        return nSlash == 0 ? std::string("/") : file.strDisplay.substr(0, nSlash);
    }
    if (!file.strDisplay.empty()) {
        return std::string();  // a name relative to the working folder
    }
    char buf[4096];
    const std::string strLink = "/proc/self/fd/" + std::to_string(file.nDirFd);
    const ssize_t n = readlink(strLink.c_str(), buf, sizeof buf);
    return n > 0 && static_cast<std::size_t>(n) < sizeof buf ? std::string(buf, static_cast<std::size_t>(n))
                                                             : std::string();
}

}  // namespace

int CWipeManager::WipeFile(const std::string& strPath, std::uint64_t nSize)
{
    (void)nSize;  // the file's own size when it is opened is what gets overwritten
    std::string strPlain = strPath;
    while (strPlain.size() > 1 && strPlain.back() == '/') {
        strPlain.pop_back();
    }
    const std::size_t nSlash = strPlain.rfind('/');
    const std::string strFolder =
        nSlash == std::string::npos ? std::string(".") : (nSlash == 0 ? std::string("/") : strPlain.substr(0, nSlash));
    SHVFileRef ref;
    ref.strName = nSlash == std::string::npos ? strPlain : strPlain.substr(nSlash + 1);
    ref.strDisplay = strPath;
    HVUniqueFd dirFd(open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.IsValid()) {
        m_bWeakMedium = false;
        m_strWeakReason.clear();
        const int nErr = errno;
        Record({HvncOfErrno(nErr), "the folder could not be opened: " + std::string(std::strerror(nErr))});
        return 0;
    }
    ref.nDirFd = dirFd.Get();
    return WipeFileAt(ref, false) == HVNC_OK ? 1 : 0;
}

int CWipeManager::WipeFileAt(const SHVFileRef& file, bool bUnlinkOnly)
{
    static std::once_flag once;
    std::call_once(once, [] { FinishPendingWipes(std::string()); });
    CBusyScope busy(m_sigBusy);
    m_strLastError.clear();
    m_nLastResult = HVNC_OK;
    m_bWeakMedium = false;
    m_strWeakReason.clear();
    try {
        return Record(DoWipeAt(file, bUnlinkOnly));
    } catch (const std::exception& e) {
        return Record({EHvnc::Failed, std::string("the wipe failed: ") + e.what()});
    } catch (...) {
        return Record({EHvnc::Failed, "the wipe failed"});
    }
}

SHvncResult CWipeManager::DoWipeAt(const SHVFileRef& file, bool bUnlinkOnly)
{
    const std::string& strName = file.strName;
    const std::string strShown = file.strDisplay.empty() ? strName : file.strDisplay;
    if (strName.empty() || strName == "." || strName == ".." || strName.find('/') != std::string::npos) {
        return {EHvnc::NotRegular, "the path does not name a file"};
    }
    const int nDir = file.nDirFd;
    // Removing the name needs write access to its folder: refuse before anything is overwritten,
    // or a failed wipe would leave a destroyed file behind under its name.
    if (faccessat(nDir, ".", W_OK | X_OK, AT_EACCESS) != 0) {
        const int nErr = errno;
        return {HvncOfErrno(nErr), "the file cannot be removed from its folder: " + std::string(std::strerror(nErr))};
    }
    struct stat lst
    {
    };
    const bool bFound = fstatat(nDir, strName.c_str(), &lst, AT_SYMLINK_NOFOLLOW) == 0;
    if (!bFound && file.bCheckIdentity && errno == ENOENT) {
        return {EHvnc::Changed, strShown + " is no longer there"};
    }
    if (bFound && file.bCheckIdentity && !SameListedFile(file, lst)) {
        return {EHvnc::Changed, strShown + " is not the file that was listed, or it changed since; it was not wiped"};
    }
    if (bFound && S_ISREG(lst.st_mode)) {
        if (lst.st_nlink > 1) {
            if (!bUnlinkOnly) {
                return {EHvnc::MultipleLinks,
                        strShown + " has other names (hard links) that share its content; it was not overwritten"};
            }
            if (unlinkat(nDir, strName.c_str(), 0) != 0 || fsync(nDir) != 0) {
                const int nErr = errno;
                return {HvncOfErrno(nErr), "the name could not be removed: " + std::string(std::strerror(nErr))};
            }
            return {};
        }
    }
    if (m_sigStop.IsSet()) {
        return {EHvnc::Cancelled, "the wipe was stopped before it began; the file was not touched"};
    }
    HVWipeTarget target;
    SHvncResult r = HVOpenWipeTarget(nDir, strName, target);
    if (!r.Ok()) {
        return r;
    }
    // The name may have been swapped since it was examined: act only on what was examined.
    if (target.st.st_dev != lst.st_dev || target.st.st_ino != lst.st_ino || target.st.st_nlink != 1) {
        HVRestoreWipeTargetMode(target);
        return {EHvnc::Changed, strShown + " changed while it was being opened; it was not wiped"};
    }
    std::string strAside;
    if (!(r = HVSetAside(nDir, strName, target, m_nMethod, strAside)).Ok()) {
        HVRestoreWipeTargetMode(target);
        return r;
    }
    return OverwriteAndRemove(nDir, strAside, strName, target, FolderShown(file));
}

SHvncResult CWipeManager::OverwriteAndRemove(int nDir,
                                             const std::string& strAside,
                                             const std::string& strOwnName,
                                             HVWipeTarget& target,
                                             const std::string& strFolderShown)
{
    const HVMediumInfo medium = HVProbeMedium(target.fd.Get());
    m_bWeakMedium = medium.bWeak;
    m_strWeakReason = medium.strReason;

    HVFastRandom rng;
    std::string strError;
    bool bOk = rng.IsReady();
    if (!bOk) {
        strError = "no random generator could be set up";
    }
    const auto nFileSize = static_cast<std::uint64_t>(target.st.st_size);
    if (bOk && nFileSize > 0) {
        const std::vector<HVWipePass> passes = HVWipePasses(m_nMethod, m_pattern);
        const std::string strNow = strFolderShown.empty() ? strAside : strFolderShown + "/" + strAside;
        bOk = WritePasses(target.fd.Get(), nFileSize, passes, rng, strNow, strError);
    }
    if (!bOk) {
        // As far as it got, under its own name again (stopped or failed, the caller is told).
        HVRestoreWipeTargetMode(target);
        if (!strOwnName.empty() && !HVPutBack(nDir, strAside, strOwnName)) {
            strError += "; the file stays set aside as \"" + strAside + "\" and is wiped at the next start";
        }
        return {m_sigStop.IsSet() ? EHvnc::Cancelled : EHvnc::IoError, strError};
    }
    if (SHvncResult r = HVRemoveWipedFile(nDir, strAside, target); !r.Ok()) {
        HVRestoreWipeTargetMode(target);
        return r;
    }
    if (m_nMethod == 1 && m_bPatternInvalid) {
        return {EHvnc::Ok, "the third-pass pattern is not hexadecimal; random data was written instead"};
    }
    return {};
}

int CWipeManager::FinishPendingWipes(const std::string& strDataFolder)
{
    if (!strDataFolder.empty()) {
        HVPendingRecords::SetDataFolder(strDataFolder);
    }
    int nDone = 0;
    (void)HVPendingRecords::ForEachOrphan(HVPendingRecords::kWipe, [&](const HVPendingRecords::SEntry& e, int nDir) {
        struct stat st
        {
        };
        if (fstatat(nDir, e.strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_ino != e.nFileIno || st.st_nlink != 1 || st.st_uid != geteuid()) {
            return;  // finished before the crash, or not the file that was set aside
        }
        CWipeManager wipe;
        wipe.SetMethod(e.nArg);
        HVWipeTarget target;
        if (!HVOpenWipeTarget(nDir, e.strName, target).Ok() || target.st.st_ino != e.nFileIno
            || !HVPendingRecords::Add(HVPendingRecords::kWipe, e.nArg, nDir, e.strName, e.nFileIno, true)) {
            HVRestoreWipeTargetMode(target);
            return;
        }
        if (wipe.OverwriteAndRemove(nDir, e.strName, std::string(), target, std::string()).Ok()) {
            ++nDone;
        }
    });
    return nDone;
}
