#include "security/CCommandLine.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using Pair = std::pair<QString, QString>;
using Pairs = std::vector<Pair>;

Pairs ReadAll(CCommandLine& cmdLine)
{
    Pairs pairs;
    QString strOption = QStringLiteral("stale");
    QString strValue = QStringLiteral("stale");
    for (int bMore = cmdLine.GetFirstOption(strOption, strValue); bMore != 0;
         bMore = cmdLine.GetNextOption(strOption, strValue)) {
        pairs.emplace_back(strOption, strValue);
        if (pairs.size() > 100) {
            ADD_FAILURE() << "the reading does not end";
            break;
        }
    }
    EXPECT_TRUE(strOption.isEmpty() && strValue.isEmpty()) << "the final call empties both outputs";
    return pairs;
}

Pairs ReadText(const QString& strText)
{
    CCommandLine cmdLine;
    cmdLine.SetCommandLine(strText);
    return ReadAll(cmdLine);
}

Pairs ReadArgs(const QStringList& lstArgs)
{
    CCommandLine cmdLine;
    cmdLine.SetArguments(lstArgs);
    return ReadAll(cmdLine);
}

std::string Show(const Pairs& pairs)
{
    std::string s;
    for (const auto& [o, v] : pairs) {
        s += "(" + o.toStdString() + "|" + v.toStdString() + ")";
    }
    return s;
}

struct TextCase
{
    const char* name;
    QString text;
    Pairs expected;
};

template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

class TextForm : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(TextForm, SplitsIntoPairs)
{
    const TextCase& c = GetParam();
    const Pairs actual = ReadText(c.text);
    EXPECT_EQ(actual, c.expected) << "got " << Show(actual) << "\nwant " << Show(c.expected);
}

const QString kNonAscii = QString::fromUtf8("Ünï cødé файл 名前.txt");

INSTANTIATE_TEST_SUITE_P(
    CCommandLine,
    TextForm,
    ::testing::Values(
        TextCase{"Empty", "", {}},
        TextCase{"OnlyBlanks", "   ", {}},
        TextCase{"FileAssociation", R"(-d -fp "/My Files/x.hvnc")", {{"d", ""}, {"fp", "/My Files/x.hvnc"}}},
        TextCase{"ShellExtensionLine",
                 R"(-e -h -pt master -p "/Docs" -f "a b.txt" -f "Sub" )",
                 {{"e", ""}, {"h", ""}, {"pt", "master"}, {"p", "/Docs"}, {"f", "a b.txt"}, {"f", "Sub"}}},
        TextCase{"NamesKeepTheirCase", "-E -P /docs -F a.txt", {{"E", ""}, {"P", "/docs"}, {"F", "a.txt"}}},
        TextCase{"LeadingSlashIsAValue", "-p /home/u -f /x", {{"p", "/home/u"}, {"f", "/x"}}},
        TextCase{
            "FirstTokenNotAnOptionIsDiscardedWithItsValue", "/e -p /docs -f a.txt", {{"p", "/docs"}, {"f", "a.txt"}}},
        TextCase{"BareFirstPathIsDiscarded", R"("/home/u/x y.hvnc" -d)", {{"d", ""}}},
        TextCase{"UnquotedFirstPathWithBlankLeavesItsTail", "/a b -d", {{"", "b"}, {"d", ""}}},
        TextCase{"ValueOfAValuelessOption", "-e /x -p /docs", {{"e", "/x"}, {"p", "/docs"}}},
        TextCase{"HyphenValueIsTheNextOption", "-pw -secret -e", {{"pw", ""}, {"secret", ""}, {"e", ""}}},
        TextCase{"QuotedHyphenValueIsAValue", R"(-pw "-secret" -e)", {{"pw", "-secret"}, {"e", ""}}},
        TextCase{"UnterminatedQuoteEndsTheLine", R"(-e -p "/My Docs -f a.txt)", {{"e", ""}, {"p", ""}}},
        TextCase{"UnterminatedQuoteAtTheEnd", R"(-f ")", {{"f", ""}}},
        TextCase{"UnterminatedQuoteInAnOptionName", R"(-"p x -e)", {{"", ""}}},
        TextCase{"RunsOfBlanksInsideQuotesAreKept", R"(-p "a   b"   -f   x)", {{"p", "a   b"}, {"f", "x"}}},
        TextCase{"QuotedValueMayBeginWithBlanks", R"(-f "  a" -e)", {{"f", "  a"}, {"e", ""}}},
        TextCase{"QuotedBlank", R"(-f " " -e)", {{"f", " "}, {"e", ""}}},
        TextCase{"EmptyQuotes", R"(-f "" -e)", {{"f", ""}, {"e", ""}}},
        TextCase{"QuoteInsideATokenIsText",
                 R"(-f a"b -g ab" -h x"y z")",
                 {{"f", "a\"b"}, {"g", "ab\""}, {"h", "x\"y"}, {"", "z\""}}},
        TextCase{"InnerQuoteOfAQuotedRun", R"(-f "a"b" c)", {{"f", "a\"b"}, {"", "c"}}},
        TextCase{"QuotedOptionName", R"(-"p" x -"p q" y)", {{"p", "x"}, {"p q", "y"}}},
        TextCase{"LoneHyphenIsAnEmptyName", "- x -e", {{"", "x"}, {"e", ""}}},
        TextCase{"SecondValueIsAnEmptyOption", R"(-p "a b" "c d")", {{"p", "a b"}, {"", "c d"}}},
        TextCase{"TabsDoNotSeparate", "-p\ta -e", {{"p\ta", ""}, {"e", ""}}},
        TextCase{"OuterWhiteSpaceIsTrimmed", "\t -e -f x \t\n", {{"e", ""}, {"f", "x"}}},
        TextCase{"NonAscii", "-f \"" + kNonAscii + "\" -p /dø", {{"f", kNonAscii}, {"p", "/dø"}}}),
    CaseName<TextCase>);

struct ArgsCase
{
    const char* name;
    QStringList args;
    Pairs expected;
};

class ArgumentVector : public ::testing::TestWithParam<ArgsCase>
{
};

TEST_P(ArgumentVector, ArgumentsArriveIntact)
{
    const ArgsCase& c = GetParam();
    const Pairs actual = ReadArgs(c.args);
    EXPECT_EQ(actual, c.expected) << "got " << Show(actual) << "\nwant " << Show(c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CCommandLine,
    ArgumentVector,
    ::testing::Values(
        ArgsCase{"Empty", {}, {}},
        ArgsCase{"FileAssociation", {"-d", "-fp", "/My Files/x.hvnc"}, {{"d", ""}, {"fp", "/My Files/x.hvnc"}}},
        ArgsCase{"QuotesAreText",
                 {"-f", R"("quoted" name.txt)", "-f", R"(")"},
                 {{"f", R"("quoted" name.txt)"}, {"f", "\""}}},
        ArgsCase{"BlanksAndTabsAreKept", {"-f", "  a\tb  ", "-e"}, {{"f", "  a\tb  "}, {"e", ""}}},
        ArgsCase{"RootAndLeadingSlash", {"-p", "/", "-f", "/etc"}, {{"p", "/"}, {"f", "/etc"}}},
        ArgsCase{"ProgramPathIsDiscarded", {"/usr/bin/HalvoNorvane", "-e", "-p", "/docs"}, {{"e", ""}, {"p", "/docs"}}},
        ArgsCase{"ProgramPathWithBlank", {"/opt/my app/HalvoNorvane", "-d"}, {{"d", ""}}},
        ArgsCase{"EmptyArgumentIsAValue", {"-p", "", "-e"}, {{"p", ""}, {"e", ""}}},
        ArgsCase{"EmptyFirstArgumentIsDiscarded", {"", "-e"}, {{"e", ""}}},
        ArgsCase{"HyphenValueIsTheNextOption", {"-f", "-dash.txt"}, {{"f", ""}, {"dash.txt", ""}}},
        ArgsCase{"OptionNameTakenVerbatim", {R"(-"p")", "x"}, {{R"("p")", "x"}}},
        ArgsCase{"LoneHyphen", {"-", "x"}, {{"", "x"}}},
        ArgsCase{"NonAscii", {"-p", "/høme/ü", "-f", kNonAscii}, {{"p", "/høme/ü"}, {"f", kNonAscii}}}),
    CaseName<ArgsCase>);

TEST(CCommandLine, FirstOptionStartsOver)
{
    CCommandLine cmdLine;
    cmdLine.SetCommandLine(R"(-p "a b" -e)");
    QString o, v;
    ASSERT_EQ(cmdLine.GetFirstOption(o, v), 1);
    ASSERT_EQ(cmdLine.GetNextOption(o, v), 1);
    ASSERT_EQ(cmdLine.GetNextOption(o, v), 0);
    ASSERT_EQ(cmdLine.GetFirstOption(o, v), 1);
    EXPECT_EQ(o, "p");
    EXPECT_EQ(v, "a b");
}

TEST(CCommandLine, SwitchesBetweenTextAndVector)
{
    CCommandLine cmdLine;
    cmdLine.SetArguments({"-f", R"("x")"});
    EXPECT_TRUE(cmdLine.IsArgumentVector());
    EXPECT_EQ(ReadAll(cmdLine), (Pairs{{"f", R"("x")"}}));

    cmdLine.SetCommandLine(R"(  -f "x"  )");
    EXPECT_FALSE(cmdLine.IsArgumentVector());
    EXPECT_EQ(cmdLine.GetCommandLine(), R"(-f "x")");
    EXPECT_EQ(ReadAll(cmdLine), (Pairs{{"f", "x"}}));
}

TEST(CCommandLine, ReadTokenAppliesTheQuotingRuleToTheCurrentToken)
{
    CCommandLine cmdLine;
    cmdLine.SetCommandLine(R"("a  b" c)");
    QString strOut = QStringLiteral("stale");
    cmdLine.ReadToken(strOut);
    EXPECT_TRUE(strOut.isEmpty()) << "no current token before GetFirstOption";

    QString o, v;
    ASSERT_EQ(cmdLine.GetFirstOption(o, v), 1);
    EXPECT_EQ(o, "");
    EXPECT_EQ(v, "c") << "the quoted first token was discarded as the program path";
}

TEST(CCommandLine, DefaultsToTheProcessArguments)
{
    CCommandLine cmdLine;
    EXPECT_TRUE(cmdLine.IsArgumentVector());
    EXPECT_TRUE(cmdLine.GetCommandLine().contains(QStringLiteral("test_cmdline")));
}

}  // namespace
