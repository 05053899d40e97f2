#include "logging/CHVLog.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>

#include "LogTestSupport.h"

using LOGGER::CHVLog;

namespace {

struct CWideName
{
    std::wstring toStdWString() const { return L"w\u00e4hlen/log.txt"; }
};

class LogWriter : public ::testing::Test
{
protected:
    std::filesystem::path File() const { return m_dir.Path() / "Logs" / "HNV.log"; }
    void Start()
    {
        m_log.SetFileName(File().string());
        ASSERT_TRUE(m_log.StartLogging());
    }

    CTempFolder m_dir;
    CHVLog m_log;
};

TEST_F(LogWriter, LinesCarryTimestampThreadAndText)
{
    Start();
    m_log.Log("Config File Loaded");
    m_log.Log("Cmd :%s", "-d -fp /tmp/a b.hvnc");
    const auto lines = ReadLines(File());
    ASSERT_EQ(lines.size(), 2u);
    const CLine first = Split(lines[0]);
    ASSERT_TRUE(first.bValid) << lines[0];
    EXPECT_EQ(first.strThread, std::to_string(gettid()));
    EXPECT_EQ(first.strText, "Config File Loaded");
    EXPECT_EQ(Texts(File())[1], "Cmd :-d -fp /tmp/a b.hvnc");
}

TEST_F(LogWriter, NothingIsWrittenBeforeStartOrAfterStop)
{
    m_log.SetFileName(File().string());
    m_log.Log("dropped %d", 1);
    m_log.Log(L"dropped %d", 2);
    m_log.WriteLog("dropped", 3, __FILE__, __LINE__, "x");
    m_log.LogText("dropped");
    EXPECT_FALSE(m_log.IsLogging());
    EXPECT_FALSE(std::filesystem::exists(File().parent_path()));

    ASSERT_TRUE(m_log.StartLogging());
    m_log.Log("kept");
    m_log.StopLogging();
    m_log.Log("dropped after stop");
    EXPECT_EQ(Texts(File()), std::vector<std::string>{"kept"});
}

TEST_F(LogWriter, GlobalWriterIsOffUntilStarted)
{
    EXPECT_FALSE(LOGGER::g_HVLog.IsLogging());
    LOGGER::g_HVLog.SetFileName(File().string());
    LOGGER::g_HVLog.Log("dropped");
    HV_WRITE_LOG("dropped", LOGGER::HV_LOG_ERROR);
    EXPECT_FALSE(std::filesystem::exists(File()));
    ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    HV_WRITE_LOG("Secure through command line", LOGGER::HV_LOG_NOTE);
    LOGGER::g_HVLog.StopLogging();
    const auto texts = Texts(File());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(
        std::regex_match(texts[0], std::regex(R"(\[sev 0\] Secure through command line \(test_log\.cpp:\d+\))")))
        << texts[0];
}

TEST_F(LogWriter, StartFailsWithoutUsableFile)
{
    EXPECT_FALSE(m_log.StartLogging());        // no name
    m_log.SetFileName(m_dir.Path().string());  // a folder
    EXPECT_FALSE(m_log.StartLogging());
    EXPECT_FALSE(m_log.IsLogging());
    std::filesystem::path blocked = m_dir.Path() / "file";
    std::ofstream(blocked) << "x";
    m_log.SetFileName((blocked / "HNV.log").string());  // parent is a file
    EXPECT_FALSE(m_log.StartLogging());
    m_log.Log("nothing");
}

// Whatever else stands at the log path is left alone: a link (to a file elsewhere), a FIFO (no
// reader: opening it for writing would wait forever), a second name of a file elsewhere.
TEST_F(LogWriter, StartRefusesWhatIsNotAPlainFileOfItsOwn)
{
    enum EKind
    {
        kLink,
        kFifo,
        kHardLink
    };
    for (const EKind eKind : {kLink, kFifo, kHardLink}) {
        CTempFolder dir;
        const std::filesystem::path elsewhere = dir.Path() / "elsewhere.txt";
        const std::filesystem::path logPath = dir.Path() / "HNV.log";
        std::ofstream(elsewhere) << "keep\n";
        ASSERT_EQ(::chmod(elsewhere.c_str(), 0644), 0);
        if (eKind == kLink) {
            std::filesystem::create_symlink(elsewhere, logPath);
        } else if (eKind == kFifo) {
            ASSERT_EQ(::mkfifo(logPath.c_str(), 0644), 0);
        } else {
            std::filesystem::create_hard_link(elsewhere, logPath);
        }
        CHVLog log;
        log.SetFileName(logPath.string());
        EXPECT_FALSE(log.StartLogging()) << eKind;
        log.Log("never written");
        EXPECT_EQ(ReadLines(elsewhere), std::vector<std::string>{"keep"}) << eKind;
        EXPECT_EQ(Mode(elsewhere), 0644u) << eKind;
    }
}

TEST_F(LogWriter, FolderAndFileAreCreatedPrivate)
{
    Start();
    m_log.Log("x");
    EXPECT_EQ(Mode(File()), 0600u);
    EXPECT_EQ(Mode(File().parent_path()), 0700u);
}

TEST_F(LogWriter, ExistingFileIsAppendedAndNarrowedToOwner)
{
    std::filesystem::create_directories(File().parent_path());
    std::ofstream(File()) << "earlier line\n";
    ::chmod(File().c_str(), 0644);
    Start();
    m_log.Log("later");
    const auto lines = ReadLines(File());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "earlier line");
    EXPECT_EQ(Mode(File()), 0600u);
}

TEST_F(LogWriter, WideAndNarrowFormats)
{
    Start();
    m_log.Log(L"Wide %ls %d", L"\u00e4\u20ac\U0001F600", 5);
    m_log.Log("Narrow %s %u %.2f", "\xc3\xa4", 7u, 1.5);
    m_log.Log(L"%ls", L"\xD800 lone surrogate");
    m_log.Log("100%% %c", 'x');
    EXPECT_EQ(Texts(File()),
              (std::vector<std::string>{"Wide \xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80 5",
                                        "Narrow \xc3\xa4 7 1.50",
                                        "\xef\xbf\xbd lone surrogate",
                                        "100% x"}));
}

TEST_F(LogWriter, UnformattableArgumentsGiveOneMarkedLine)
{
    Start();
    // A narrow argument that the C locale cannot widen: vswprintf fails at every size.
    m_log.Log(L"Path %s", "\xff\xfe");
    m_log.Log("Name %ls", L"\u00e4");
    EXPECT_EQ(Texts(File()), (std::vector<std::string>{"(format error) Path %s", "(format error) Name %ls"}));
}

TEST_F(LogWriter, LineBreaksInsideAMessageStayOnOneLine)
{
    Start();
    m_log.Log("first\nforged line\r\n");
    m_log.Log(L"tab\tbell\a\n");
    m_log.LogText("file\nname");
    EXPECT_EQ(Texts(File()), (std::vector<std::string>{"first\\nforged line", "tab\tbell\\x07", "file\\nname"}));
}

class LogLength : public LogWriter, public ::testing::WithParamInterface<size_t>
{
};

TEST_P(LogLength, LongMessagesAreNeverCut)
{
    Start();
    const size_t n = GetParam();
    const std::string strNarrow(n, 'n');
    const std::wstring strWide(n, L'\u00e4');
    m_log.Log("%s|", strNarrow.c_str());
    m_log.Log(L"%ls|", strWide.c_str());
    std::string strWideUtf8;
    for (size_t i = 0; i < n; ++i) {
        strWideUtf8 += "\xc3\xa4";
    }
    const auto texts = Texts(File());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], strNarrow + "|");
    EXPECT_EQ(texts[1], strWideUtf8 + "|");
}

// Around the first buffer (512) and far beyond it.
INSTANTIATE_TEST_SUITE_P(Boundaries, LogLength, ::testing::Values(0, 1, 510, 511, 512, 513, 4096, 300000));

TEST_F(LogWriter, WriteLogCarriesSeveritySourceAndExtra)
{
    Start();
    m_log.WriteLog("Error : loaded Resource", LOGGER::HV_LOG_ERROR, "/src/app/CHalvoApp.cpp", 120, "code 2");
    m_log.WriteLog("note", LOGGER::HV_LOG_NOTE, "CHalvoApp.cpp", 7);
    m_log.WriteLog(L"wide \u00e4", LOGGER::HV_LOG_MINOR, "a/b.cpp", 1, L"extra \u20ac");
    m_log.WriteLog(static_cast<const char*>(nullptr), 1, nullptr, 0, nullptr);
    EXPECT_EQ(Texts(File()),
              (std::vector<std::string>{"[sev 3] Error : loaded Resource (CHalvoApp.cpp:120) code 2",
                                        "[sev 0] note (CHalvoApp.cpp:7)",
                                        "[sev 1] wide \xc3\xa4 (b.cpp:1) extra \xe2\x82\xac",
                                        "[sev 1]  (:0)"}));
}

TEST_F(LogWriter, FileNameAcceptsWideUtf8AndStringClasses)
{
    m_log.SetFileName((m_dir.Path() / "w\xc3\xa4hlen" / "log.txt").string());
    EXPECT_EQ(m_log.GetFileName(), (m_dir.Path() / "w\xc3\xa4hlen/log.txt").string());
    m_log.SetFileName(m_dir.Path().wstring() + L"/w\u00e4hlen/log.txt");
    EXPECT_EQ(m_log.GetFileName(), (m_dir.Path() / "w\xc3\xa4hlen/log.txt").string());
    m_log.SetFileName(CWideName{});
    EXPECT_EQ(m_log.GetFileName(), "w\xc3\xa4hlen/log.txt");
}

TEST_F(LogWriter, NewFileNameWhileLoggingMovesOn)
{
    Start();
    m_log.Log("one");
    const auto second = m_dir.Path() / "second.log";
    m_log.SetFileName(second.string());
    EXPECT_TRUE(m_log.IsLogging());
    m_log.Log("two");
    EXPECT_EQ(Texts(File()), std::vector<std::string>{"one"});
    EXPECT_EQ(Texts(second), std::vector<std::string>{"two"});
}

TEST_F(LogWriter, ThreadsNeverMixWithinALine)
{
    Start();
    constexpr int kThreads = 4;
    constexpr int kLines = 1000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            // Long enough that a torn write would show: 700 bytes a line.
            const std::string strBody(700, static_cast<char>('a' + t));
            for (int i = 0; i < kLines; ++i) {
                if (i % 2 == 0) {
                    m_log.Log("T%d L%d %s", t, i, strBody.c_str());
                } else {
                    m_log.Log(L"T%d L%d %s", t, i, strBody.c_str());
                }
            }
        });
    }
    for (auto& th : threads) {
        th.join();
    }
    std::map<int, std::set<int>> seen;
    std::map<int, std::set<std::string>> tids;
    const std::regex body(R"(T(\d) L(\d+))");
    const auto lines = ReadLines(File());
    ASSERT_EQ(lines.size(), size_t{kThreads * kLines});
    for (const std::string& line : lines) {
        const CLine parsed = Split(line);
        ASSERT_TRUE(parsed.bValid) << line.substr(0, 80);
        const size_t blank = parsed.strText.rfind(' ');
        ASSERT_NE(blank, std::string::npos);
        std::smatch b;
        const std::string head = parsed.strText.substr(0, blank);
        ASSERT_TRUE(std::regex_match(head, b, body)) << head;
        const int t = std::stoi(b[1].str());
        EXPECT_EQ(parsed.strText.substr(blank + 1), std::string(700, static_cast<char>('a' + t)));
        seen[t].insert(std::stoi(b[2].str()));
        tids[t].insert(parsed.strThread);
    }
    std::set<std::string> allTids;
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(seen[t].size(), size_t{kLines});
        ASSERT_EQ(tids[t].size(), 1u);
        allTids.insert(*tids[t].begin());
    }
    EXPECT_EQ(allTids.size(), size_t{kThreads});
}

}  // namespace
