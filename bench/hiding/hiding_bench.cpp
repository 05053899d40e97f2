// Hides and then unhides N files (default 1,000) through the hiding engine in a temporary
// folder and prints the times. Usage: hiding_bench [count] [folder]
#include "hiding/CHidingEngine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// What one small synced append costs on that filesystem: the floor of a journalled move.
double SyncFloorMs(const std::string& strFolder)
{
    const std::string strFile = strFolder + "/sync-probe";
    const int fd = ::open(strFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    constexpr int kRounds = 100;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) {
        if (::write(fd, "0123456789abcdef0123456789abcdef", 32) != 32 || ::fdatasync(fd) != 0) {
            break;
        }
    }
    const auto t1 = std::chrono::steady_clock::now();
    ::close(fd);
    ::unlink(strFile.c_str());
    return std::chrono::duration<double, std::milli>(t1 - t0).count() / kRounds;
}

}  // namespace

int main(int argc, char** argv)
{
    const int nCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::string strTemplate =
        (argc > 2 ? std::string(argv[2]) : std::filesystem::temp_directory_path().string()) + "/hvhide-bench-XXXXXX";
    if (nCount <= 0 || ::mkdtemp(strTemplate.data()) == nullptr) {
        std::fprintf(stderr, "usage: hiding_bench [count] [folder]\n");
        return 2;
    }
    const std::string strRoot = strTemplate;
    const std::string strItems = strRoot + "/items";
    std::filesystem::create_directories(strItems);
    for (int i = 0; i < nCount; ++i) {
        std::ofstream(strItems + "/file" + std::to_string(i)) << "payload " << i << '\n';
    }

    SHidingOptions options;
    options.strBaseDir = strRoot + "/data/Halvo-Soft";
    CHidingEngine engine(options);
    if (!engine.SetCurrentHidingEngine(IHidingEngine::kEngineId)) {
        std::fprintf(stderr, "engine: %s\n", engine.GetLastError().c_str());
        return 1;
    }
    const double dSyncMs = SyncFloorMs(strRoot);
    using Clock = std::chrono::steady_clock;
    int nFailed = 0;
    const auto t0 = Clock::now();
    for (int i = 0; i < nCount; ++i) {
        nFailed += engine.HideItemEx(strItems + "/file" + std::to_string(i), 1) ? 0 : 1;
    }
    const auto t1 = Clock::now();
    const int nListed = engine.GetHiddenCount();
    for (int i = 0; i < nCount; ++i) {
        nFailed += engine.UnhideItem(strItems + "/file" + std::to_string(i)) ? 0 : 1;
    }
    const auto t2 = Clock::now();
    const bool bAllBack = std::distance(std::filesystem::directory_iterator(strItems), {}) == nCount;
    std::filesystem::remove_all(strRoot);

    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("items %d  hide %.1f ms  unhide %.1f ms  total %.1f ms  (%.3f ms per operation)\n",
                nCount,
                ms(t1 - t0),
                ms(t2 - t1),
                ms(t2 - t0),
                ms(t2 - t0) / (2.0 * nCount));
    std::printf("one synced append on this filesystem: %.3f ms (every hide and unhide makes one)\n", dSyncMs);
    if (nFailed != 0 || nListed != nCount || !bAllBack) {
        std::fprintf(stderr, "FAILED: %d failures, %d listed, all back: %d\n", nFailed, nListed, bAllBack ? 1 : 0);
        return 1;
    }
    return 0;
}
