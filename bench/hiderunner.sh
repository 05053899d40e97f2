#!/usr/bin/env bash
# Hide runner benchmark: the runner's work hides 1,000 files and shows them again through the
# real hiding engine, with status texts, bar updates and folder refreshes (target: under 2 s in
# all), and reports the peak memory.
# Usage: bench/hiderunner.sh [count] [folder on the filesystem to measure]
# Builds the libraries in $HV_BENCH_BUILD (default build-bench-hiderunner, Release; an existing
# build tree is reused) and the bench program beside them.
# Every hide and unhide syncs the hidden list once, so the time follows the disk's fsync
# latency; run it on an otherwise idle machine for meaningful numbers.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${HV_BENCH_BUILD:-$ROOT/build-bench-hiderunner}"
COUNT="${1:-1000}"
FOLDER="${2:-${TMPDIR:-/tmp}}"
TARGET_MS=2000

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DHV_CORE_ONLY=ON >/dev/null
fi
cmake --build "$BUILD" -j2 --target HVHideRunner >/dev/null

SRC="$BUILD/hiderunner_bench.cpp"
cat >"$SRC" <<'EOF'
#include "hiding/CHidingEngine.h"
#include "security/CHideProgrssWork.h"
#include "security/CItemData.h"

#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "resources/CResourceModule.h"

namespace {
class CCountingUi : public IHideProgrssUi
{
public:
    void SetStatusText(const QString& s) override { m_nChars += s.size(); }
    void SetProgress(int nPos, int) override { m_nLast = nPos; }
    void RunEnded(EEnd) override {}
    qsizetype m_nChars = 0;
    int m_nLast = 0;
};

double Run(CHideProgrssWork& work, const std::vector<CItemData*>& items, int bUnhide, CCountingUi& ui)
{
    work.SetItems(items);
    work.Initialise(bUnhide, 1, 0, &ui);
    const auto t0 = std::chrono::steady_clock::now();
    work.Start();
    work.Join();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}
}  // namespace

int main(int argc, char** argv)
{
    const int nCount = std::atoi(argv[1]);
    namespace fs = std::filesystem;
    std::string strTemplate = (fs::path(argv[2]) / "hv-hiderun-bench-XXXXXX").string();
    if (::mkdtemp(strTemplate.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path root = strTemplate;
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    (void)CResourceModule::Instance().Load(QString::fromLocal8Bit(argv[3]));

    std::vector<std::unique_ptr<CItemData>> owned;
    std::vector<CItemData*> items;
    for (int i = 0; i < nCount; ++i) {
        const fs::path p = root / ("d" + std::to_string(i % 10)) / ("f" + std::to_string(i) + ".txt");
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "item " << i;
        owned.push_back(std::make_unique<CItemData>(QString::fromStdString(p.string()), 8, CItemData::KindFile));
        items.push_back(owned.back().get());
    }

    auto engine = std::make_shared<CHidingEngine>();
    int nRefreshes = 0;
    CHideProgrssWork work;
    work.SetHidePath([&](const QString& s) { return engine->HideItemEx(QFile::encodeName(s).toStdString(), 1) ? 1 : 0; });
    work.SetHideControl(engine);
    work.SetRefreshFolderView([&](const QString&) { ++nRefreshes; });
    CCountingUi ui;

    const double dHide = Run(work, items, 0, ui);
    const SHideCounters hidden = work.Counters();
    const double dUnhide = Run(work, items, 1, ui);
    const SHideCounters shown = work.Counters();

    // The engine alone over the same items, so that the runner's own share can be read off.
    const auto t0 = std::chrono::steady_clock::now();
    for (CItemData* pItem : items) {
        (void)engine->HideItemEx(QFile::encodeName(pItem->m_strPath).toStdString(), 1);
    }
    for (CItemData* pItem : items) {
        (void)engine->UnhideItem(QFile::encodeName(pItem->m_strPath).toStdString());
    }
    const double dEngine = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();

    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%d items: hide %.1f ms (%d hidden), unhide %.1f ms (%d shown), total %.1f ms, "
                "%d refreshes, peak memory %ld KiB; engine alone %.1f ms, runner's share %.1f ms\n",
                nCount, dHide, hidden.m_nSucceeded, dUnhide, shown.m_nSucceeded, dHide + dUnhide, nRefreshes,
                usage.ru_maxrss, dEngine, dHide + dUnhide - dEngine);
    std::error_code ec;
    fs::remove_all(root, ec);
    return hidden.m_nSucceeded == nCount && shown.m_nSucceeded == nCount ? 0 : 1;
}
EOF

# Every static library of the tree in one group (the link order then does not matter).
mapfile -t LIBS < <(find "$BUILD/src" -name '*.a' | sort)
c++ -std=c++20 -O2 -fPIC -I"$ROOT/src" -I"$BUILD/src/resources/gen" $(pkg-config --cflags Qt6Core) "$SRC" \
    -Wl,--start-group "${LIBS[@]}" -Wl,--end-group -L"$BUILD/bin" -Wl,-rpath,"$BUILD/bin" \
    $(find "$BUILD/bin" -maxdepth 1 -name 'libHVGlobalMFC.so' -printf '-lHVGlobalMFC ') \
    $(pkg-config --libs Qt6Core libsodium libcrypto) -pthread -o "$BUILD/hiderunner_bench"

OUT="$("$BUILD/hiderunner_bench" "$COUNT" "$FOLDER" "$BUILD/bin/HNVRes.rcc")"
echo "$OUT"
TOTAL="$(sed -n 's/.*total \([0-9.]*\) ms.*/\1/p' <<<"$OUT")"
if [ "$COUNT" -eq 1000 ]; then
    if awk -v t="$TOTAL" -v lim="$TARGET_MS" 'BEGIN { exit !(t < lim) }'; then
        echo "PASS: ${TOTAL} ms < ${TARGET_MS} ms"
    else
        echo "SLOW: ${TOTAL} ms >= ${TARGET_MS} ms"
        exit 1
    fi
fi
