// Runner benchmark: a folder tree of small files encrypted and wiped through the runner's work,
// with the real engines, timed; then the same tree decrypted back, timed; then the peak memory of
// the process.
//
// runner_bench <files> <bytes per file> <parent folder> [--cheap-kdf]
// Prints two lines: files, bytes, seconds for the run, counters, peak resident memory (KiB); the
// first for encryption with the wipe of the sources, the second ("decrypt") for the decryption.
#include "engines/CEncryptManager.h"
#include "resources/CResourceModule.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

long PeakKiB()
{
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// <root>/dA/dB/fN: about sqrt(count) folders of about sqrt(count) files, two levels deep.
void MakeTree(const fs::path& root, long nFiles, long nBytes)
{
    std::string content(static_cast<std::size_t>(nBytes), 'x');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>('a' + (i * 31) % 26);
    }
    long nPerFolder = 1;
    while (nPerFolder * nPerFolder < nFiles) {
        ++nPerFolder;
    }
    for (long i = 0; i < nFiles; ++i) {
        const long nFolder = i / nPerFolder;
        const fs::path dir = root / ("d" + std::to_string(nFolder % 10)) / ("e" + std::to_string(nFolder));
        if (i % nPerFolder == 0) {
            fs::create_directories(dir);
        }
        std::ofstream(dir / ("f" + std::to_string(i) + ".dat"), std::ios::binary) << content;
    }
}

// One run of the runner's work over the selection; returns its seconds.
double RunOnce(std::vector<CItemData*>& items, const SRunOptions& options, SRunCounters& c)
{
    const auto t0 = std::chrono::steady_clock::now();
    CProgrssManagerWork work;
    work.SetSelectedItems(items);
    work.SetPassword(CSecureBuffer::FromUtf16Units(u"bench password"));
    work.SetMasterPassword(CSecureBuffer::FromUtf16Units(u"bench password"));
    work.Initialise(options, nullptr);
    work.Start();
    work.Join();
    c = work.Counters();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <files> <bytes per file> <parent folder> [--cheap-kdf]\n", argv[0]);
        return 2;
    }
    const long nFiles = std::strtol(argv[1], nullptr, 10);
    const long nBytes = std::strtol(argv[2], nullptr, 10);
    const bool bCheap = argc > 4 && std::strcmp(argv[4], "--cheap-kdf") == 0;
    if (bCheap) {
        CEncryptManager::SetDefaultKdfCost(64, 1);
    }
    const char* pszBin = std::getenv("HV_BUILD_BIN");
    if (pszBin != nullptr) {
        (void)CResourceModule::Instance().Load(QString::fromLocal8Bit(pszBin) + QStringLiteral("/HNVRes.rcc"));
    }

    std::string tmpl = (fs::path(argv[3]) / "hv-runner-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = tmpl;
    MakeTree(root / "tree", nFiles, nBytes);
    const long nBefore = PeakKiB();

    CItemData folder(QString::fromStdString((root / "tree").string()), 0, CItemData::KindFolder);
    std::vector<CItemData*> items{&folder};
    SRunOptions options;
    options.m_bEncrypt = 1;
    options.m_iHidenType = 2;  // wipe after encryption
    options.m_nWipeType = 0;

    SRunCounters c;
    const double dSeconds = RunOnce(items, options, c);
    SRunOptions decrypt;
    decrypt.m_nDecrypt = 1;
    CItemData again(QString::fromStdString((root / "tree").string()), 0, CItemData::KindFolder);
    std::vector<CItemData*> encrypted{&again};
    SRunCounters d;
    const double dDecrypt = RunOnce(encrypted, decrypt, d);
    const long nPeak = PeakKiB();

    std::error_code ec;
    fs::remove_all(root, ec);
    std::printf("files %ld bytes %ld kdf %s: %.2f s (%.0f files/s) encrypted %d/%d wiped %d/%d "
                "peak %ld KiB (before the run %ld KiB)\n",
                nFiles,
                nBytes,
                bCheap ? "cheap" : "default",
                dSeconds,
                dSeconds > 0 ? nFiles / dSeconds : 0.0,
                c.m_nSucceeded,
                c.m_nProcessed,
                c.m_nWipeSucceeded,
                c.m_nWipeAttempted,
                nPeak,
                nBefore);
    std::printf("decrypt files %ld bytes %ld kdf %s: %.2f s (%.0f files/s) decrypted %d/%d\n",
                nFiles,
                nBytes,
                bCheap ? "cheap" : "default",
                dDecrypt,
                dDecrypt > 0 ? nFiles / dDecrypt : 0.0,
                d.m_nSucceeded,
                d.m_nProcessed);
    const bool bAll = c.m_nSucceeded == nFiles && c.m_nWipeSucceeded == nFiles && d.m_nSucceeded == nFiles;
    return bAll ? 0 : 1;
}
