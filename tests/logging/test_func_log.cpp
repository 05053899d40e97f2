#include "logging/CHVFuncLog.h"

#include <gtest/gtest.h>

#include "LogTestSupport.h"

using LOGGER::CHVFuncLog;
using LOGGER::CHVLog;

namespace hvtest {

// Writes through a given writer; the macro itself always uses g_HVLog.
class CSample
{
public:
    explicit CSample(CHVLog& log)
        : m_log(log)
    {
    }
    int Run() const
    {
        CHVFuncLog scope(__PRETTY_FUNCTION__, m_log);
        m_log.Log("inside");
        return 1;
    }

private:
    CHVLog& m_log;
};

template <typename T>
struct CBox
{
    static std::string Name() { return CHVFuncLog::QualifiedName(__PRETTY_FUNCTION__); }
    std::string operator()(int) const { return CHVFuncLog::QualifiedName(__PRETTY_FUNCTION__); }
    ~CBox() = default;
};

std::string FreeFunction(const std::vector<int>&)
{
    return CHVFuncLog::QualifiedName(__PRETTY_FUNCTION__);
}

std::string FromLambda()
{
    auto f = [](int) { return CHVFuncLog::QualifiedName(__PRETTY_FUNCTION__); };
    return f(1);
}

}  // namespace hvtest

namespace {

TEST(FuncLog, EntryAndExitLinesAroundTheBody)
{
    CTempFolder dir;
    CHVLog log;
    log.SetFileName((dir.Path() / "f.log").string());
    ASSERT_TRUE(log.StartLogging());
    EXPECT_EQ(hvtest::CSample(log).Run(), 1);
    {
        CHVFuncLog named("CMRegistryData::FirstTimeInit", log);
    }
    EXPECT_EQ(Texts(dir.Path() / "f.log"),
              (std::vector<std::string>{"Enter CSample::Run",
                                        "inside",
                                        "Exit CSample::Run",
                                        "Enter CMRegistryData::FirstTimeInit",
                                        "Exit CMRegistryData::FirstTimeInit"}));
}

TEST(FuncLog, MacroUsesGlobalWriterAndIsSilentWhenOff)
{
    CTempFolder dir;
    const auto file = dir.Path() / "g.log";
    LOGGER::g_HVLog.SetFileName(file.string());
    {
        HV_FUNC_LOG();
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    {
        HV_FUNC_LOG();
    }
    LOGGER::g_HVLog.StopLogging();
    const auto texts = Texts(file);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Enter FuncLog_MacroUsesGlobalWriterAndIsSilentWhenOff_Test::TestBody");
    EXPECT_EQ(texts[1], "Exit FuncLog_MacroUsesGlobalWriterAndIsSilentWhenOff_Test::TestBody");
}

TEST(FuncLog, QualifiedNameFromCompilerText)
{
    EXPECT_EQ((hvtest::CBox<std::pair<int, long>>::Name()), "CBox::Name");
    EXPECT_EQ(hvtest::CBox<int>()(1), "CBox::operator()");
    EXPECT_EQ(hvtest::FreeFunction({}), "hvtest::FreeFunction");
    EXPECT_EQ(hvtest::FromLambda(), "hvtest::FromLambda");
}

struct NameCase
{
    const char* pszPretty;
    const char* pszExpected;
};

void PrintTo(const NameCase& c, std::ostream* pOut)
{
    *pOut << '"' << c.pszPretty << '"';
}

class QualifiedNames : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(QualifiedNames, Reduces)
{
    EXPECT_EQ(CHVFuncLog::QualifiedName(GetParam().pszPretty), GetParam().pszExpected);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         QualifiedNames,
                         ::testing::Values(NameCase{"virtual BOOL CHalvoDataSecurityDlg::OnInitDialog()",
                                                    "CHalvoDataSecurityDlg::OnInitDialog"},
                                           NameCase{"bool CMRegistryData::Load()", "CMRegistryData::Load"},
                                           NameCase{"CMRegistryData::FirstTimeInit", "CMRegistryData::FirstTimeInit"},
                                           NameCase{"int main(int, char**)", "main"},
                                           NameCase{"std::vector<int> a::b::C::Get(std::map<int, int>) const &&",
                                                    "C::Get"},
                                           NameCase{"a::C<T>::~C() [with T = int]", "C::~C"},
                                           NameCase{"bool A::operator<(const A&) const", "A::operator<"},
                                           NameCase{"bool A::operator==(const A&) const noexcept", "A::operator=="},
                                           NameCase{"A::operator bool() const", "A::operator bool"},
                                           NameCase{"void (* A::Handler(int))(int)", "void (* A::Handler(int))(int)"},
                                           NameCase{"", ""},
                                           NameCase{")(", ")("},
                                           NameCase{"f())))", "f())))"}));

}  // namespace
