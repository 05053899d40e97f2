// The text of the operation report: which sections, in which order, with which lines.
#include "resources/CResourceModule.h"
#include "resources/HVResourceStrings.h"
#include "security/CReportComposer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

class ReportText : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const QString bin = qEnvironmentVariable("HV_BUILD_BIN", QStringLiteral(HV_PROGRAM_DIR_FALLBACK));
        ASSERT_TRUE(CResourceModule::Instance().Load(bin + QStringLiteral("/HNVRes.rcc")));
    }

    static std::vector<std::string> SectionNames(const CReportComposer& r)
    {
        std::vector<std::string> names;
        for (const auto& s : r.Sections()) {
            names.emplace_back(s.pszName);
        }
        return names;
    }
};

SRunCounters Counts(int p, int s, int f, int wa, int ws, int wf)
{
    return SRunCounters{p, s, f, wa, ws, wf};
}

TEST_F(ReportText, SectionHtmlHasTheExactShape)
{
    const auto r = CReportComposer::ForSecureData(true, 0, Counts(3, 2, 1, 0, 0, 0), {});
    const QString expected = QStringLiteral("<font size=15 face='Tahoma' color='#0000ff'><b>") + HVLoadString(4014)
                             + QStringLiteral("</b></font><br><br>") + HVFormatString(4013, 3) + QStringLiteral("<br>")
                             + HVFormatString(4015, 2) + QStringLiteral("<br>") + HVFormatString(4016, 1)
                             + QStringLiteral("<br><br>");
    EXPECT_EQ(r.Html(), expected);
    EXPECT_EQ(r.Kind(), 0);
    EXPECT_EQ(r.LabelHeight(), 85);
    EXPECT_FALSE(r.ShowsNothingMessage());
    // The shipped texts, so a changed template or a changed table shows here.
    EXPECT_EQ(r.Html(),
              QStringLiteral("<font size=15 face='Tahoma' color='#0000ff'><b>Encryption</b></font><br><br>"
                             "Files processed: 3<br>Encrypted: 2<br>Could not be encrypted: 1<br><br>"));
}

struct SSecureCase
{
    const char* pszName;
    bool bEncrypt;
    int iHidenType;
    SRunCounters run;
    std::vector<std::string> sections;
    bool bMessage;
};

void PrintTo(const SSecureCase& c, std::ostream* os)
{
    *os << c.pszName;
}

class SecureReport : public ReportText, public ::testing::WithParamInterface<SSecureCase>
{
};

TEST_P(SecureReport, SectionsMessageAndHeight)
{
    const SSecureCase& c = GetParam();
    const auto r = CReportComposer::ForSecureData(c.bEncrypt, c.iHidenType, c.run, SHideCounters{4, 3, 1});
    EXPECT_EQ(SectionNames(r), c.sections);
    EXPECT_EQ(r.ShowsNothingMessage(), c.bMessage);
    EXPECT_EQ(r.HasReport(), !c.sections.empty());
    EXPECT_EQ(r.LabelHeight(), 85 * static_cast<int>(c.sections.size()));
    EXPECT_EQ(r.Kind(), CReportComposer::KindSecureData);
    EXPECT_EQ(r.Html().count(QStringLiteral("<font size=15")), static_cast<int>(c.sections.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Combinations,
    SecureReport,
    ::testing::Values(SSecureCase{"encrypt_only", true, 0, Counts(2, 2, 0, 0, 0, 0), {"encryption"}, false},
                      SSecureCase{"encrypt_wipe", true, 2, Counts(2, 1, 1, 1, 1, 1), {"encryption", "wipe"}, false},
                      // Every file refused before encryption: nothing processed, nothing reached the wipe.
                      SSecureCase{"all_refused", true, 2, Counts(0, 0, 3, 0, 0, 3), {}, true},
                      SSecureCase{"wipe_only", false, 2, Counts(0, 0, 0, 4, 4, 0), {"wipe"}, false},
                      SSecureCase{"wipe_only_nothing", false, 2, Counts(0, 0, 0, 0, 0, 0), {}, false},
                      SSecureCase{
                          "encrypt_hide", true, 1, Counts(2, 2, 0, 2, 2, 0), {"encryption", "wipe", "hide"}, false},
                      SSecureCase{"encrypt_hide_nothing", true, 1, Counts(0, 0, 0, 0, 0, 0), {"hide"}, true},
                      SSecureCase{"hide_without_encrypt", false, 1, Counts(0, 0, 0, 0, 0, 0), {"hide"}, false},
                      SSecureCase{"nothing_asked", false, 0, Counts(0, 0, 0, 0, 0, 0), {}, false}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(ReportText, EncryptHideReportHasThreeSectionsInOrder)
{
    const auto r = CReportComposer::ForSecureData(true, 1, Counts(5, 4, 1, 4, 3, 2), SHideCounters{4, 4, 0});
    EXPECT_EQ(r.LabelHeight(), 255);
    const QString html = r.Html();
    const auto nEnc = html.indexOf(HVLoadString(4014));
    const auto nWipe = html.indexOf(HVLoadString(4022));
    const auto nHide = html.indexOf(HVLoadString(4030));
    EXPECT_TRUE(nEnc >= 0 && nEnc < nWipe && nWipe < nHide);
    EXPECT_TRUE(html.contains(HVFormatString(4023, 4)));
    EXPECT_TRUE(html.contains(HVFormatString(4021, 3)));
    EXPECT_TRUE(html.contains(HVFormatString(4020, 2)));
    EXPECT_TRUE(html.contains(HVFormatString(4031, 4)));
    EXPECT_TRUE(html.contains(HVFormatString(58112, 0)));
}

TEST_F(ReportText, DecryptionReportKindAndNothingMessage)
{
    const auto r1 = CReportComposer::ForDecryption(Counts(3, 2, 1, 0, 0, 0), false);
    EXPECT_EQ(r1.Kind(), CReportComposer::KindDecryption);
    EXPECT_EQ(SectionNames(r1), std::vector<std::string>{"decryption"});
    EXPECT_EQ(r1.LabelHeight(), 85);
    EXPECT_TRUE(r1.Html().contains(HVFormatString(142, 3)));
    EXPECT_TRUE(r1.Html().contains(HVFormatString(144, 2)));
    EXPECT_TRUE(r1.Html().contains(HVFormatString(145, 1)));
    EXPECT_TRUE(r1.Html().contains(HVLoadString(143)));

    const auto r2 = CReportComposer::ForDecryption(Counts(1, 1, 0, 0, 0, 0), true);
    EXPECT_EQ(r2.Kind(), CReportComposer::KindHideManagement);

    const auto r3 = CReportComposer::ForDecryption(Counts(0, 0, 0, 0, 0, 0), false);
    EXPECT_TRUE(r3.ShowsNothingMessage());
    EXPECT_FALSE(r3.HasReport());
    EXPECT_EQ(r3.NothingMessage(), HVLoadString(129));
    EXPECT_TRUE(r3.Html().isEmpty());
}

TEST_F(ReportText, UnhideReport)
{
    const auto r = CReportComposer::ForUnhide(5, 4, 1);
    EXPECT_EQ(r.Kind(), CReportComposer::KindHideManagement);
    EXPECT_EQ(r.LabelHeight(), 85);
    EXPECT_FALSE(r.ShowsNothingMessage());
    EXPECT_TRUE(
        r.Html().startsWith(QStringLiteral("<font size=15 face='Tahoma' color='#0000ff'><b>") + HVLoadString(4036)));
    EXPECT_TRUE(r.Html().contains(HVFormatString(4037, 5) + QStringLiteral("<br>") + HVFormatString(4035, 4)
                                  + QStringLiteral("<br>") + HVFormatString(58113, 1) + QStringLiteral("<br><br>")));
}

TEST_F(ReportText, PlainTextAndJson)
{
    const auto r = CReportComposer::ForSecureData(true, 1, Counts(0, 0, 2, 0, 0, 2), SHideCounters{2, 0, 2});
    const QString text = r.PlainText();
    EXPECT_TRUE(text.startsWith(HVLoadString(129)));
    EXPECT_TRUE(text.contains(HVLoadString(4030) + QLatin1Char('\n') + HVFormatString(4031, 2)));
    EXPECT_FALSE(text.contains(QLatin1Char('<')));

    const QJsonObject json = QJsonDocument::fromJson(r.Json().toUtf8()).object();
    EXPECT_EQ(json.value(QStringLiteral("kind")).toInt(-1), 0);
    EXPECT_EQ(json.value(QStringLiteral("labelHeight")).toInt(), 85);
    EXPECT_EQ(json.value(QStringLiteral("message")).toString(), HVLoadString(129));
    const QJsonArray sections = json.value(QStringLiteral("sections")).toArray();
    ASSERT_EQ(sections.size(), 1);
    const QJsonObject hide = sections[0].toObject();
    EXPECT_EQ(hide.value(QStringLiteral("section")).toString(), QStringLiteral("hide"));
    const QJsonArray lines = hide.value(QStringLiteral("lines")).toArray();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2].toObject().value(QStringLiteral("count")).toInt(), 2);
    EXPECT_EQ(lines[2].toObject().value(QStringLiteral("text")).toString(), HVFormatString(58112, 2));

    const auto none = CReportComposer::ForSecureData(false, 0, SRunCounters{}, SHideCounters{});
    EXPECT_TRUE(none.PlainText().isEmpty());
    const QJsonObject empty = QJsonDocument::fromJson(none.Json().toUtf8()).object();
    EXPECT_TRUE(empty.value(QStringLiteral("message")).isNull());
    EXPECT_TRUE(empty.value(QStringLiteral("sections")).toArray().isEmpty());
}

}  // namespace

namespace {

TEST_F(ReportText, DetailsNameEveryFailureAndNoFollowUpAfterARefusal)
{
    SRunDetails details;
    details.Add(nullptr, "/d/caf\xe9/a.txt", "wipe", "the file has other names (hard links)");
    details.nWeakMediumWipes = 2;
    details.strWeakMedium = "tmpfs (memory)";
    details.bCancelled = true;
    details.nNotStarted = 7;

    // Nothing encrypted, but the run ran: the message stays, the details follow it.
    CReportComposer r = CReportComposer::ForSecureData(true, 2, Counts(0, 0, 1, 0, 0, 1), {});
    r.AddDetails(details);
    EXPECT_TRUE(r.ShowsNothingMessage());
    EXPECT_TRUE(r.HasReport());
    const QString text = r.PlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("/d/caf\uFFFD/a.txt: wipe: the file has other names")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("7 file(s) were not started")));
    EXPECT_TRUE(text.contains(QStringLiteral("2 wiped file(s)")) && text.contains(QStringLiteral("tmpfs (memory)")));
    const QJsonObject json = QJsonDocument::fromJson(r.Json().toUtf8()).object();
    EXPECT_EQ(
        json.value(QStringLiteral("failures")).toArray().at(0).toObject().value(QStringLiteral("reason")).toString(),
        QStringLiteral("the file has other names (hard links)"));
    EXPECT_EQ(json.value(QStringLiteral("notStarted")).toInt(), 7);
    EXPECT_EQ(json.value(QStringLiteral("weakMedium")).toObject().value(QStringLiteral("count")).toInt(), 2);
    EXPECT_EQ(r.DetailLines().size(), 3);

    // A run refused before it began (not enough space) said why: no "nothing to process" after it.
    SRunDetails refused;
    refused.strRefusal = "There is not enough free disk space.";
    CReportComposer r2 = CReportComposer::ForSecureData(true, 0, {}, {});
    r2.AddDetails(refused);
    EXPECT_FALSE(r2.ShowsNothingMessage());
    EXPECT_TRUE(QJsonDocument::fromJson(r2.Json().toUtf8()).object().value(QStringLiteral("message")).isNull());
}

}  // namespace
