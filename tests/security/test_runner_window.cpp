// Small files go through the runner's work in windows (shared encryption syncs, parallel
// wipes). Whatever the window size, the counters, the item states and which files end up
// encrypted and wiped must be those of taking the files one by one.
#include <fstream>
#include <map>

#include "RunnerTestSupport.h"

using namespace runtest;

namespace {

struct SOutcome
{
    std::vector<std::string> order;  // the file list, relative to the run's folder
    SRunCounters counters;
    std::vector<quint16> states;                 // the states of every selected item
    std::map<std::string, std::string> present;  // what is left on disk: name -> "file"/"dir"
    std::size_t nQuestions = 0;
    std::vector<QString> prompts;  // relative to the run's folder
    std::size_t nMessages = 0;
};

// What a run left: its list, counters, questions, prompts and the files on disk.
SOutcome Collect(const CTempDir& dir, const CProgrssManagerWork& work, const CScriptedUi& ui)
{
    SOutcome out;
    const std::string strRoot = dir.Path() + "/";
    for (const auto& entry : work.Files()) {
        out.order.push_back(entry->m_strPath.toStdString().substr(strRoot.size()));
    }
    out.counters = work.Counters();
    for (const auto& e : fs::recursive_directory_iterator(dir.Path())) {
        out.present[e.path().string().substr(strRoot.size())] = e.is_directory() ? "dir" : "file";
    }
    out.nQuestions = ui.m_questions.size();
    for (const QString& strPrompt : ui.m_prompts) {
        out.prompts.push_back(strPrompt.mid(static_cast<int>(strRoot.size())));
    }
    out.nMessages = ui.m_messages.size();
    return out;
}

// Runs a scenario with window sizes 2, 3, 5 and 64: each must give the one-by-one outcome.
void ExpectSameForEveryWindow(const SOutcome& one, SOutcome (*run)(std::size_t))
{
    for (std::size_t nWindow : {2u, 3u, 5u, 64u}) {
        const SOutcome w = run(nWindow);
        ASSERT_EQ(w.order, one.order) << "the listing order changed between runs; nothing to compare";
        EXPECT_EQ(w.counters, one.counters) << nWindow;
        EXPECT_EQ(w.states, one.states) << nWindow;
        EXPECT_EQ(w.present, one.present) << nWindow;
        EXPECT_EQ(w.nQuestions, one.nQuestions) << nWindow;
        EXPECT_EQ(w.prompts, one.prompts) << nWindow;
        EXPECT_EQ(w.nMessages, one.nMessages) << nWindow;
    }
}

SOutcome RunScenario(std::size_t nWindow)
{
    CTempDir dir;
    for (int i = 0; i < 6; ++i) {
        WriteFile(dir / ("A/a" + std::to_string(i)), Content(100 + i, 'a'));
    }
    WriteFile(dir / "A/.ha", Content(10, 'h'));
    for (int i = 0; i < 4; ++i) {
        WriteFile(dir / ("B/b" + std::to_string(i)), Content(200 + i, 'b'));
    }
    WriteFile(dir / "single", Content(50, 's'));
    auto a = FolderItem(dir / "A");
    auto b = FolderItem(dir / "B");
    auto s1 = FileItem(dir / "single");
    auto s2 = FileItem(dir / "single");  // chosen twice

    CScriptedUi ui;
    ui.m_answers.push_back({false, false});  // the hidden file: no
    CProgrssManagerWork work;
    work.SetWindowFiles(nWindow);
    work.SetBeforeFileHook([](std::size_t, const CItemData& entry) {
        if (entry.m_strPath.endsWith(QStringLiteral("/a2"))) {
            fs::remove(entry.m_strPath.toStdString());
            fs::create_directory(entry.m_strPath.toStdString());
        }
    });
    SRunOptions o;
    o.m_bEncrypt = 1;
    o.m_iHidenType = 2;
    o.m_nActionHidden = 0;
    const std::vector<CItemData*> items{a.get(), s1.get(), b.get(), s2.get()};
    EXPECT_EQ(RunOnce(work, items, o, &ui), 0);

    SOutcome out = Collect(dir, work, ui);
    for (const CItemData* p : items) {
        out.states.push_back(p->m_nEncryptState);
        out.states.push_back(p->m_nWipeState);
    }
    return out;
}

TEST(WindowRun, EveryWindowSizeGivesTheOutcomeOfOneByOne)
{
    LoadRunResources();
    const SOutcome one = RunScenario(1);
    // The facts that do not depend on the listing order.
    EXPECT_EQ(one.order.size(), 13u);
    EXPECT_EQ(one.nQuestions, 1u);
    EXPECT_EQ(one.counters.m_nProcessed, 11);  // 13 minus the hidden file and the second "single"
    EXPECT_EQ(one.counters.m_nSucceeded, 10);
    EXPECT_EQ(one.counters.m_nFailed, 3);
    EXPECT_EQ(one.counters.m_nWipeFailed + one.counters.m_nWipeSucceeded, 13);
    EXPECT_EQ(one.states[0], CItemData::StatePartlyFailed);  // A
    EXPECT_EQ(one.states[1], CItemData::StatePartlyFailed);
    EXPECT_EQ(one.states[2], CItemData::StateSucceeded);  // "single", first chosen: encrypted, wiped
    EXPECT_EQ(one.states[3], CItemData::StateSucceeded);
    EXPECT_EQ(one.states[6], CItemData::StateFailed);  // chosen again: its turn found it wiped
    EXPECT_EQ(one.states[7], CItemData::StateFailed);
    EXPECT_EQ(one.states[4], CItemData::StateSucceeded);  // B
    EXPECT_EQ(one.states[5], CItemData::StateSucceeded);
    EXPECT_EQ(one.present.count("single"), 0u);
    EXPECT_EQ(one.present.at("single.hvnc"), "file");
    EXPECT_EQ(one.present.at("A/a2"), "dir");
    EXPECT_EQ(one.present.count("B/b0"), 0u);
    ExpectSameForEveryWindow(one, RunScenario);
}

// Decryption: files under the run's password, damaged and foreign files, a file that needs the
// prompt, files under the master password, a refused prompt and a file after it.
SOutcome RunDecryptScenario(std::size_t nWindow)
{
    CTempDir dir;
    auto encrypt = [&](const std::string& strName, const std::u16string& strPassword) {
        WriteEncrypted(dir / strName, Content(100 + strName.size(), strName[0]), strPassword);
    };
    for (int i = 0; i < 4; ++i) {
        encrypt("P/p" + std::to_string(i), u"pw");
    }
    encrypt("P/bad", u"pw");
    DamageByte(dir / "P/bad.hvnc", 5);
    WriteFile(dir / "P/foreign.hvnc", "not encrypted at all");
    encrypt("s", u"secret");
    encrypt("t", u"secret");  // opened by the password typed for "s", without a prompt
    for (int i = 0; i < 3; ++i) {
        encrypt("M/m" + std::to_string(i), u"master");
    }
    encrypt("r", u"unknown");
    encrypt("z", u"unknown");
    auto p = FolderItem(dir / "P");
    auto s = FileItem(dir / "s.hvnc");
    auto t = FileItem(dir / "t.hvnc");
    auto m = FolderItem(dir / "M");
    auto r = FileItem(dir / "r.hvnc");
    auto z = FileItem(dir / "z.hvnc");

    CScriptedUi ui;
    ui.m_passwords = {u"wrong", u"secret", std::nullopt};
    CProgrssManagerWork work;
    work.SetWindowFiles(nWindow);
    SRunOptions o;
    o.m_nDecrypt = 1;
    const std::vector<CItemData*> items{p.get(), s.get(), t.get(), m.get(), r.get(), z.get()};
    work.SetMasterPassword(CSecureBuffer::FromUtf16Units(u"master"));
    EXPECT_EQ(RunOnce(work, items, o, &ui), 0);

    SOutcome out = Collect(dir, work, ui);
    for (const CItemData* pItem : items) {
        out.states.push_back(pItem->m_nEncryptState);
    }
    return out;
}

TEST(WindowRun, EveryWindowSizeGivesTheDecryptionOutcomeOfOneByOne)
{
    LoadRunResources();
    const SOutcome one = RunDecryptScenario(1);
    EXPECT_EQ(one.order.size(), 13u);
    EXPECT_EQ(one.counters, (SRunCounters{12, 9, 3, 0, 0, 0}));  // "z" is never reached
    EXPECT_EQ(one.states,
              (std::vector<quint16>{CItemData::StatePartlyFailed,
                                    CItemData::StateSucceeded,
                                    CItemData::StateSucceeded,
                                    CItemData::StateSucceeded,
                                    CItemData::StateFailed,
                                    CItemData::StateNotProcessed}));
    EXPECT_EQ(one.prompts,
              (std::vector<QString>{QStringLiteral("s.hvnc"), QStringLiteral("s.hvnc"), QStringLiteral("r.hvnc")}));
    EXPECT_EQ(one.nMessages, 1u);
    EXPECT_EQ(one.present.at("P/p3"), "file");
    EXPECT_EQ(one.present.at("M/m2"), "file");
    EXPECT_EQ(one.present.at("z.hvnc"), "file");
    ExpectSameForEveryWindow(one, RunDecryptScenario);
}

class WindowCancel : public RunnerTest
{
};

// A stop while the questions of a window are asked: nothing of that window is started.
TEST_F(WindowCancel, StopDuringTheQuestionsOfAWindowStartsNoFileOfIt)
{
    WriteFile(m_dir / "f1", Content(100, '1'));
    WriteFile(m_dir / ".h2", Content(100, '2'));
    WriteFile(m_dir / "f3", Content(100, '3'));
    auto f1 = FileItem(m_dir / "f1");
    auto h2 = FileItem(m_dir / ".h2");
    auto f3 = FileItem(m_dir / "f3");
    struct CStoppingUi : CScriptedUi
    {
        CProgrssManagerWork* pWork = nullptr;
        bool AskAttribute(EAttribute eKind, const QString& strMessage, bool& bApplyToAll) override
        {
            EXPECT_FALSE(CScriptedUi::AskAttribute(eKind, strMessage, bApplyToAll));  // recorded
            pWork->RequestStop();
            return true;
        }
    } ui;
    ui.pWork = &m_work;
    SRunOptions o = Secure(1, 2);
    o.m_nActionHidden = 0;
    EXPECT_EQ(RunOnce(m_work, {f1.get(), h2.get(), f3.get()}, o, &ui), 0);

    EXPECT_EQ(ui.m_questions.size(), 1u);
    EXPECT_EQ(m_work.Counters(), SRunCounters{});
    EXPECT_EQ(Names(m_dir.Path()), (std::vector<std::string>{".h2", "f1", "f3"}));
    EXPECT_EQ(ui.m_ends.back(), IProgrssManagerUi::EEnd::Cancelled);
}

}  // namespace
