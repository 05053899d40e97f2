// hvcrypt: encrypts, decrypts, verifies and wipes files with the program's engines.
#include "app/hvcrypt_options.h"
#include "app/hvcrypt_progress.h"
#include "engines/CEncryptManager.h"
#include "engines/CHvncSelfTest.h"
#include "engines/CWipeManager.h"
#include "engines/HVNoCoreDump.h"
#include "globalfuncs/HVPathText.h"
#include "security/CProtectedPaths.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::uint64_t SizeOf(const std::string& strPath)
{
    struct stat st
    {
    };
    return ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
}

void Report(const std::string& strFile, int nResult, const std::string& strWhy)
{
    std::fprintf(stderr, "hvcrypt: %s: %s", strFile.c_str(), HvncResultText(nResult));
    if (!strWhy.empty()) {
        std::fprintf(stderr, " (%s)", strWhy.c_str());
    }
    std::fprintf(stderr, "\n");
}

// 0 when every result is 0; 2 when the only failures are wrong passwords; 1 otherwise.
int ExitStatus(const std::vector<int>& results)
{
    int nExit = 0;
    for (int r : results) {
        if (r == HVNC_WRONG_PASSWORD && nExit == 0) {
            nExit = 2;
        } else if (r != HVNC_OK && r != HVNC_WRONG_PASSWORD) {
            nExit = 1;
        }
    }
    return nExit;
}

// Wipes one file given by path: its folder is opened once, the file acted on by name in it.
int WipeOne(CWipeManager& wm, const std::string& strPath, bool bUnlinkOnly)
{
    std::string strPlain = strPath;
    while (strPlain.size() > 1 && strPlain.back() == '/') {
        strPlain.pop_back();
    }
    const std::size_t nSlash = strPlain.rfind('/');
    const std::string strDir =
        nSlash == std::string::npos ? std::string(".") : (nSlash == 0 ? std::string("/") : strPlain.substr(0, nSlash));
    const int nDir = ::open(strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nDir < 0) {
        (void)wm.WipeFile(strPath, 0);  // fails, and says why the folder cannot be opened
        return HVNC_IO_ERROR;
    }
    SHVFileRef ref;
    ref.nDirFd = nDir;
    ref.strName = nSlash == std::string::npos ? strPlain : strPlain.substr(nSlash + 1);
    ref.strDisplay = strPath;
    const int nResult = wm.WipeFileAt(ref, bUnlinkOnly);
    ::close(nDir);
    return nResult;
}

int RunWipe(const SHvcryptOptions& opt, CHvcryptProgress& bar)
{
    CWipeManager wm;
    wm.SetParent([&](std::uint32_t n) { bar.Add(n); });
    wm.SetMethod(opt.nMethod);
    std::vector<int> results;
    for (const std::string& f : opt.files) {
        bar.SetLabel(f);
        const int nResult = WipeOne(wm, f, opt.bUnlinkOnly);
        results.push_back(nResult);
        if (nResult != HVNC_OK) {
            bar.Finish();
            std::fprintf(stderr, "hvcrypt: %s: wipe failed (%s)\n", f.c_str(), wm.GetLastError().c_str());
            if (nResult == HVNC_MULTIPLE_LINKS) {
                std::fprintf(stderr, "hvcrypt: %s: use --unlink-only to remove only this name\n", f.c_str());
            }
        } else if (wm.WasWeakMedium()) {
            bar.Finish();
            std::fprintf(stderr,
                         "hvcrypt: %s: wiped, but old copies may survive: %s\n",
                         f.c_str(),
                         wm.GetWeakMediumReason().c_str());
        }
    }
    return ExitStatus(results);
}

int RunCrypto(const SHvcryptOptions& opt, CHvcryptProgress& bar)
{
    const bool bEncrypt = opt.strCommand == "encrypt";
    CSecureBuffer password;
    const std::string strErr = HvcryptReadPassword(opt, bEncrypt, password);
    if (!strErr.empty()) {
        std::fprintf(stderr, "hvcrypt: %s\n", strErr.c_str());
        return 1;
    }
    CEncryptManager em;
    em.EnablerEncryptionType(opt.nKeyBits / 8, password.Utf16Units());
    password.clear();
    if (opt.nKdfMemKiB != 0) {
        em.SetKdfCost(opt.nKdfMemKiB, opt.nKdfPasses);
    }
    if (opt.nFormatVersion != 0) {
        em.SetWriteVersion(opt.nFormatVersion);
    }
    em.SetParent([&](std::uint32_t n) { bar.Add(n); });

    std::vector<int> results;
    if (opt.strCommand == "verify" || opt.files.size() == 1) {
        for (const std::string& f : opt.files) {
            bar.SetLabel(f);
            int r = HVNC_OK;
            if (opt.strCommand == "verify") {
                r = em.VerifyFileW(f);
            } else {
                r = static_cast<int>((bEncrypt ? em.Encrypt(f, opt.strOutput) : em.Decrypt(f, opt.strOutput)).eCode);
            }
            results.push_back(r);
            bar.Finish();
            if (r != HVNC_OK) {
                Report(f, r, em.GetLastError());
            } else if (!em.GetLastWarning().empty()) {
                std::fprintf(stderr, "hvcrypt: %s: warning: %s\n", f.c_str(), em.GetLastWarning().c_str());
            }
            if (r == HVNC_OK && opt.strCommand == "verify" && !opt.bQuiet) {
                std::printf("%s: OK\n", f.c_str());
            }
        }
        return ExitStatus(results);
    }
    bar.SetLabel(std::to_string(opt.files.size()) + " files");
    (void)(bEncrypt ? em.EncryptFilesW(opt.files, results) : em.DecryptFilesW(opt.files, results));
    bar.Finish();
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] != HVNC_OK) {
            Report(opt.files[i], results[i], em.GetBatchReasons()[i]);
        } else if (!em.GetBatchWarnings()[i].empty()) {
            std::fprintf(stderr, "hvcrypt: %s: warning: %s\n", opt.files[i].c_str(), em.GetBatchWarnings()[i].c_str());
        }
    }
    return ExitStatus(results);
}

// Leaves out of opt.files what the program itself refuses to wipe or encrypt, each named with
// the reason. True when something was refused.
bool RefuseProtected(SHvcryptOptions& opt)
{
    const bool bWipe = opt.strCommand == "wipe";
    if (!bWipe && opt.strCommand != "encrypt") {
        return false;
    }
    CProtectedPaths paths;
    (void)paths.AddProgramFoldersFromConfig();
    const auto eOperation = bWipe ? CProtectedPaths::EOperation::Wipe : CProtectedPaths::EOperation::Encrypt;
    std::vector<std::string> admitted;
    for (const std::string& f : opt.files) {
        if (paths.IsProtected(HVGlobalMFC::HVPathFromBytes(f), eOperation)) {
            std::fprintf(stderr, "hvcrypt: %s: refused (%s)\n", f.c_str(), CProtectedPaths::kRefusedReason);
        } else {
            admitted.push_back(f);
        }
    }
    const bool bRefused = admitted.size() != opt.files.size();
    opt.files = std::move(admitted);
    return bRefused;
}

}  // namespace

int main(int argc, char** argv)
{
    HVNoCoreDump();  // before any password or key is read
    SHvcryptOptions opt;
    const std::string strErr = HvcryptParse(argc, argv, opt);
    if (!strErr.empty()) {
        std::fprintf(stderr, "hvcrypt: %s\n%s", strErr.c_str(), HvcryptUsage());
        return 1;
    }
    if (opt.bHelp) {
        std::printf("%s", HvcryptUsage());
        return 0;
    }
    // No file is touched with ciphers that do not give their known answers.
    std::string strFailure;
    if (!CHvncSelfTest::Run(strFailure)) {
        std::fprintf(stderr, "hvcrypt: cipher self-test failed: %s; nothing was done\n", strFailure.c_str());
        return 1;
    }
    // A refused file is a failure; the others are still processed.
    const bool bRefused = RefuseProtected(opt);
    if (opt.files.empty()) {
        return 1;
    }
    std::uint64_t nTotal = 0;
    for (const std::string& f : opt.files) {
        nTotal += SizeOf(f);
    }
    CHvcryptProgress bar(nTotal, !opt.bQuiet);
    const int nExit = opt.strCommand == "wipe" ? RunWipe(opt, bar) : RunCrypto(opt, bar);
    return bRefused ? 1 : nExit;
}
