// Hide runner benchmark program (bench/hiderunner.sh): the runner's work hides <count> files in a
// scratch folder under <folder> and shows them again through the real hiding engine, then the
// engine alone does the same, so that the runner's own share can be read off.
//   hiderunner_bench <count> <folder> <resource module>
#include "hiding/CHidingEngine.h"
#include "resources/CResourceModule.h"
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
    if (argc != 4) {
        std::fprintf(stderr, "usage: hiderunner_bench <count> <folder> <resource module>\n");
        return 2;
    }
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
    work.SetHidePath(
        [&](const QString& s) { return engine->HideItemEx(QFile::encodeName(s).toStdString(), 1) ? 1 : 0; });
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
                nCount,
                dHide,
                hidden.m_nSucceeded,
                dUnhide,
                shown.m_nSucceeded,
                dHide + dUnhide,
                nRefreshes,
                usage.ru_maxrss,
                dEngine,
                dHide + dUnhide - dEngine);
    std::error_code ec;
    fs::remove_all(root, ec);
    return hidden.m_nSucceeded == nCount && shown.m_nSucceeded == nCount ? 0 : 1;
}
