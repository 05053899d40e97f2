// The theme table: loading the encrypted theme file, accessibility mode, pictures with their
// fallbacks and sizes, the image lists, the drawing helpers, link buttons and the hex edit field.
#include "engines/CEncryptManager.h"
#include "logging/CHVLog.h"
#include "resources/CResourceModule.h"
#include "resources/HVResourceStrings.h"
#include "settings/CHDGlobalData.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CHHexEdit.h"
#include "ui/CThemeDraw.h"
#include "ui/CThemeImageList.h"
#include "ui/HVUiTheme.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "support/ProgramFiles.h"

namespace {

// A picture of the size with one colour, saved as PNG.
bool WritePicture(const QString& strPath, int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    return image.save(strPath, "PNG");
}

// Keeps an environment variable set for the life of the object.
struct SEnv
{
    SEnv(const char* pszName, const QByteArray& value)
        : m_pszName(pszName)
    {
        qputenv(pszName, value);
    }
    ~SEnv() { qunsetenv(m_pszName); }
    const char* m_pszName;
};

}  // namespace

class TestThemeColors : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString ProgramDir() const { return m_dir.path() + QStringLiteral("/bin"); }
    QString LogFile() const { return m_dir.path() + QStringLiteral("/test.log"); }

    QString ThemeFile() const { return ProgramDir() + QStringLiteral("/Theme_test.xml.hvnc"); }
    // Encrypts plain as the theme file of the temporary program folder.
    void WriteTheme(const QByteArray& plain, std::u16string_view password = u"" HV_CONFIG_PASSWORD)
    {
        QVERIFY(hvtest::WriteEncryptedConfig(ThemeFile(), plain, password));
    }

    static QByteArray ThemeWith(const QByteArray& inner)
    {
        return "<?xml version=\"1.0\"?>\r\n<Theme>\r\n" + inner + "</Theme>\r\n";
    }

    // A fresh table, initialised as at start-up.
    static void Init(CGlobalColors& colors) { QCOMPARE(colors.InitColors(), 1); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(ProgramDir()));
        g_HDGlobalData.m_RegData.m_strModulePath = ProgramDir();
        g_HDGlobalData.ThemeFileName = QStringLiteral("Theme_test.xml");
        LOGGER::g_HVLog.SetFileName(LogFile().toStdString());
        QVERIFY(LOGGER::g_HVLog.StartLogging());
        qunsetenv("HV_HIGH_CONTRAST");
        qunsetenv("GTK_THEME");
    }
    void cleanupTestCase() { LOGGER::g_HVLog.StopLogging(); }
    void cleanup()
    {
        QFile::remove(ThemeFile());
        CGlobalColors::SetAccessibilityOverride(std::nullopt);
    }

    void themeFileOverridesTheDefaults()
    {
        WriteTheme(ThemeWith("<Bitmaps><MainHeader>theme/h.png</MainHeader><MainHeader_CRC>0x10</MainHeader_CRC>"
                             "</Bitmaps>\r\n<Colors><clrUrgentNote>FF0000</clrUrgentNote><clrDlgBk>#102030</clrDlgBk>"
                             "</Colors>"));
        QVERIFY(WritePicture(ProgramDir() + QStringLiteral("/theme/h.png"), 30, 10, Qt::red));
        CGlobalColors colors;
        Init(colors);
        colors.clrUrgentNote = 0;
        QCOMPARE(colors.LoadTheme(), 0);
        QCOMPARE(colors.clrUrgentNote, 0x000000FFu);
        QCOMPARE(colors.clrDlgBk, 0x00302010u);
        QCOMPARE(colors.clrTitleText, 0x00984E00u);
        QCOMPARE(colors.Image(EThemeImage::MainHeader).Checksum(), 16);
        QCOMPARE(colors.Image(EThemeImage::MainHeader).File(), ProgramDir() + QStringLiteral("/theme/h.png"));
        QCOMPARE(colors.LoadImages(), 0);
        QCOMPARE(colors.m_nMainHeaderWidth, 30);
        QCOMPARE(colors.m_nMainHeaderHeight, 10);
        QCOMPARE(CGlobalColors::Color(colors.clrUrgentNote), QColor(Qt::red));
    }

    void missingOrBrokenThemeKeepsTheDefaults_data()
    {
        QTest::addColumn<int>("what");
        QTest::newRow("missing") << 0;
        QTest::newRow("not encrypted") << 1;
        QTest::newRow("wrong password") << 2;
        QTest::newRow("not xml") << 3;
    }
    void missingOrBrokenThemeKeepsTheDefaults()
    {
        QFETCH(int, what);
        const QByteArray good = ThemeWith("<Colors><clrDlgBk>000000</clrDlgBk></Colors>");
        if (what == 1) {
            QVERIFY(hvtest::WriteFile(ThemeFile(), good));
        } else if (what == 2) {
            WriteTheme(good, u"another password");
        } else if (what == 3) {
            WriteTheme("<Theme><Colors><clrDlgBk>000000</clrDlgBk>");
        }
        CGlobalColors colors;
        Init(colors);
        QCOMPARE(colors.LoadTheme(), 1);
        QCOMPARE(colors.clrDlgBk, 0x00FFFFFFu);
        if (what == 0) {
            QVERIFY(hvtest::ReadFile(LogFile()).contains("Failed to find Config file:"));
        }
    }

    void accessibilityModeUsesSystemColoursAndNoTheme()
    {
        WriteTheme(ThemeWith("<Bitmaps><MainHeader>theme/h.png</MainHeader></Bitmaps>"
                             "<Colors><clrDlgBk>123456</clrDlgBk></Colors>"));
        QVERIFY(WritePicture(ProgramDir() + QStringLiteral("/theme/h.png"), 30, 10, Qt::red));
        const SEnv env("HV_HIGH_CONTRAST", "1");
        CGlobalColors colors;
        Init(colors);
        QVERIFY(colors.IsAccessibility());
        QCOMPARE(colors.clrDlgBk, CGlobalColors::SystemColor(EThemeSysColor::ButtonFace));
        QCOMPARE(colors.clrDlgText, CGlobalColors::SystemColor(EThemeSysColor::WindowText));
        QCOMPARE(colors.LoadTheme(), 0);
        QCOMPARE(colors.clrDlgBk, CGlobalColors::SystemColor(EThemeSysColor::ButtonFace));
        QVERIFY(colors.Image(EThemeImage::MainHeader).File().isEmpty());
        QCOMPARE(colors.LoadImages(), 0);
        QVERIFY(!colors.Image(EThemeImage::MainHeader).HasBitmap());
    }

    void accessibilitySwitches()
    {
        QVERIFY(!CGlobalColors::DetectAccessibility());
        CGlobalColors::SetAccessibilityOverride(true);
        QVERIFY(CGlobalColors::DetectAccessibility());
        {
            const SEnv env("HV_HIGH_CONTRAST", "0");
            QVERIFY2(!CGlobalColors::DetectAccessibility(), "the environment wins over the override");
        }
        CGlobalColors::SetAccessibilityOverride(std::nullopt);
        const SEnv gtk("GTK_THEME", "HighContrastInverse");
        QVERIFY(CGlobalColors::DetectAccessibility());
    }

    void controlsReadTheTableByKey()
    {
        {
            CGlobalColors colors;
            Init(colors);
            colors.clrTitleGradiant2 = 0x00332211;
            QCOMPARE(HVUi::ThemeColor(QStringLiteral("clrTitleGradiant2"), Qt::black), QColor(0x11, 0x22, 0x33));
            QCOMPARE(HVUi::ThemeColor(QStringLiteral("HomePageBorder_Arc"), Qt::black), QColor(Qt::black));
            QCOMPARE(HVUi::ThemeColor(QStringLiteral("noSuchKey"), Qt::green), QColor(Qt::green));
            QVERIFY(!HVUi::AccessibilityMode());
        }
        // A table that is gone is no longer asked.
        QCOMPARE(HVUi::ThemeColor(QStringLiteral("clrTitleGradiant2"), Qt::black), QColor(Qt::black));
    }

    void resolutionClass_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("cls");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("95") << 95 << 0;
        QTest::newRow("96") << 96 << 1;
        QTest::newRow("97") << 97 << 2;
        QTest::newRow("120") << 120 << 2;
        QTest::newRow("192") << 192 << 2;
    }
    void resolutionClass()
    {
        QFETCH(int, dpi);
        QFETCH(int, cls);
        QCOMPARE(CGlobalColors::ResolutionClassOf(dpi), cls);
    }

    void fontsAreMadeAtStartUp()
    {
        CGlobalColors colors;
        Init(colors);
        QCOMPARE(colors.m_font13.pixelSize(), 13);
        QCOMPARE(colors.m_font14.pixelSize(), 14);
        QCOMPARE(colors.m_font13Bold.weight(), QFont::Bold);
        QCOMPARE(colors.m_font12.pixelSize(), 12);
        QCOMPARE(colors.m_font10.pixelSize(), 10);
        QVERIFY(!colors.m_font13.italic() && !colors.m_font13.underline());
        QCOMPARE(colors.m_font13.family(), QStringLiteral("Tahoma"));
    }

    void setFileKeepsOnlyExistingFilesAndMarksIcons()
    {
        QVERIFY(WritePicture(ProgramDir() + QStringLiteral("/pics/a.png"), 4, 4, Qt::blue));
        QVERIFY(hvtest::WriteFile(ProgramDir() + QStringLiteral("/pics/b.ICO"), "x"));
        CThemeImage image;
        image.SetFile(QStringLiteral("pics/none.png"), true);
        QVERIFY(image.File().isEmpty());
        image.SetFile(QStringLiteral("pics/a.png"), true);
        QCOMPARE(image.File(), ProgramDir() + QStringLiteral("/pics/a.png"));
        QVERIFY(!image.IsIcon());
        image.SetFile(QStringLiteral("pics/b.ICO"), true);
        QVERIFY(image.IsIcon());
        QCOMPARE(image.Checksum(), -1);
    }

    void icoFilesLoadAsIcons()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(ProgramDir() + QStringLiteral("/pics/app.ICO"), "ICO"));
        CThemeImage image;
        image.SetFile(QStringLiteral("pics/app.ICO"), true);
        QVERIFY(image.IsIcon());
        QCOMPARE(image.Load(1.0), 1);
        QVERIFY(image.HasIcon());
        QVERIFY(!image.HasBitmap());
        QCOMPARE(image.Icon().pixmap(32, 32).toImage().pixelColor(5, 5), QColor(Qt::darkCyan));
        SThemeBitmapInfo info;
        QCOMPARE(image.GetBitmapInfo(info), 0);
    }

    void picksTheDoubleSizePictureOnDenseScreens()
    {
        const QString strPath = ProgramDir() + QStringLiteral("/pics/two.png");
        QVERIFY(WritePicture(strPath, 20, 10, Qt::green));
        QVERIFY(WritePicture(ProgramDir() + QStringLiteral("/pics/two@2x.png"), 40, 20, Qt::green));
        CThemeImage image;
        image.SetFile(QStringLiteral("pics/two.png"), true);
        QCOMPARE(image.Load(2.0), 1);
        QCOMPARE(image.Bitmap().devicePixelRatio(), 2.0);
        QCOMPARE(image.Bitmap().width(), 40);
        QCOMPARE(image.Size(), QSize(20, 10));
        SThemeBitmapInfo info;
        QCOMPARE(image.GetBitmapInfo(info), 1);
        QCOMPARE(info.nWidth, 20);
        QCOMPARE(image.Load(1.0), 1);
        QCOMPARE(image.Bitmap().devicePixelRatio(), 1.0);
        QCOMPARE(image.Bitmap().width(), 20);

        QVERIFY(WritePicture(ProgramDir() + QStringLiteral("/pics/one.png"), 20, 10, Qt::green));
        image.SetFile(QStringLiteral("pics/one.png"), true);
        QCOMPARE(image.Load(2.0), 1);
        QCOMPARE(image.Bitmap().devicePixelRatio(), 1.0);  // no double-size file: the plain one
        image.Free();
        QCOMPARE(image.GetBitmapInfo(info), 0);
    }

    void fallsBackToTheResourceModule()
    {
        const QString strModule = hvtest::BuildBin() + QLatin1Char('/') + CResourceModule::DefaultFileName();
        QVERIFY2(CResourceModule::Instance().Load(strModule), qPrintable(strModule));
        for (unsigned nId : {4050u, 4051u, 4052u, 4053u, 4054u}) {
            QVERIFY2(!QImage(HVImagePath(HVImageKind::Bitmap, nId)).isNull(), qPrintable(QString::number(nId)));
        }
        for (unsigned nId : {4008u, 4033u, 4040u, 4041u, 4042u, 4045u, 4046u, 4047u, 4048u}) {
            QVERIFY2(!QIcon(HVImagePath(HVImageKind::Icon, nId)).pixmap(16, 16).isNull(),
                     qPrintable(QString::number(nId)));
        }
        QVERIFY(hvtest::WriteFile(ProgramDir() + QStringLiteral("/pics/broken.png"), "not a picture"));
        CThemeImage image;
        image.SetFile(QStringLiteral("pics/broken.png"), true);
        QCOMPARE(image.Load(1.0), 0);  // no resource number: stays empty
        QVERIFY(!image.HasBitmap());
        image.SetResourceId(4050);
        QCOMPARE(image.Load(1.0), 1);
        QVERIFY(image.HasBitmap());
        CThemeImage fromModuleOnly;
        fromModuleOnly.SetResourceId(4054);
        QCOMPARE(fromModuleOnly.Load(1.0), 1);
        CThemeImage icon;
        icon.SetFile(QStringLiteral("pics/none.ico"), false);
        QVERIFY(icon.IsIcon());
        icon.SetResourceId(4008);
        QCOMPARE(icon.Load(1.0), 1);
        QVERIFY(icon.HasIcon());
        QVERIFY(!icon.HasBitmap());
        CResourceModule::Instance().Unload();
    }

    void imageListsAreCutFromStrips()
    {
        // Without alpha: the mask colour becomes transparent.
        QImage strip(5 * 24 + 10, 24, QImage::Format_RGB32);
        strip.fill(Qt::black);
        strip.setPixelColor(30, 5, Qt::red);
        CThemeImageList list;
        QVERIFY(list.Create(QPixmap::fromImage(strip), 24, qRgb(0, 0, 0)));
        QCOMPARE(list.Count(), 5);
        const QImage second = list.Image(1).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(qAlpha(second.pixel(0, 0)), 0);
        QCOMPARE(second.pixelColor(6, 5), QColor(Qt::red));
        QVERIFY(list.Image(5).isNull());
        QVERIFY(list.Image(-1).isNull());

        // A double-size strip gives images of the same logical width.
        QPixmap dense = QPixmap::fromImage(QImage(3 * 32, 32, QImage::Format_ARGB32));
        dense.setDevicePixelRatio(2.0);
        QVERIFY(list.Create(dense, 16, qRgb(255, 0, 255)));
        QCOMPARE(list.Count(), 3);
        QCOMPARE(list.Image(0).deviceIndependentSize(), QSizeF(16, 16));

        const QList<QPixmap> halves = CThemeImageList::Split(QPixmap(40, 10), 2);
        QCOMPARE(halves.size(), 2);
        QCOMPARE(halves[1].width(), 20);
    }

    void tilingRepeatsTheBandPastTheEnd()
    {
        QImage band(30, 4, QImage::Format_RGB32);
        band.fill(Qt::white);
        for (int y = 0; y < 4; ++y) {
            band.setPixelColor(10, y, Qt::red);  // the band is x 10..19, red at its first column
        }
        QImage target(100, 4, QImage::Format_RGB32);
        target.fill(Qt::black);
        {
            QPainter p(&target);
            TileBitmap(QPixmap::fromImage(band), p, 5, 0, 25, 10, 0, 10, 4);
        }
        // Copies at 5, 15 and 25 (each below 5 + 25); the one at 25 runs to 34.
        QCOMPARE(target.pixelColor(5, 0), QColor(Qt::red));
        QCOMPARE(target.pixelColor(15, 0), QColor(Qt::red));
        QCOMPARE(target.pixelColor(25, 0), QColor(Qt::red));
        QCOMPARE(target.pixelColor(34, 0), QColor(Qt::white));  // the last copy reaches past the end
        QCOMPARE(target.pixelColor(35, 0), QColor(Qt::black));
        QCOMPARE(target.pixelColor(4, 0), QColor(Qt::black));
    }

    void linkButtonLook()
    {
        CGlobalColors colors;
        Init(colors);
        g_GlobalColors.clrDlgBk = 0x00EEDDCC;
        QImage strip(6 * 16, 16, QImage::Format_ARGB32);
        strip.fill(Qt::blue);
        QVERIFY(g_MainImageList.Create(QPixmap::fromImage(strip), 16, qRgb(255, 0, 255)));
        CBCGButton button(QStringLiteral("Link"));
        StyleLinkButton(&button, 5);
        QCOMPARE(button.FaceColor(CBCGButton::StateNormal), QColor(0xCC, 0xDD, 0xEE));
        QCOMPARE(button.FaceColor(CBCGButton::StateHot), QColor(0xCC, 0xDD, 0xEE));
        QVERIFY(!button.StateImage(CBCGButton::StateNormal).isNull());
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
        CBCGButton plain(QStringLiteral("No icon"));
        StyleLinkButton(&plain, -1);
        QVERIFY(plain.StateImage(CBCGButton::StateNormal).isNull());
        g_MainImageList.Clear();
    }

    void hexEditTakesOnlyHexDigits()
    {
        CHHexEdit edit;
        edit.setMaxLength(4);
        QTest::keyClicks(&edit, QStringLiteral("a1.%$'x"));
        QCOMPARE(edit.text(), QStringLiteral("A1"));
        QTest::keyClicks(&edit, QStringLiteral("fBc"));
        QCOMPARE(edit.text(), QStringLiteral("A1FB"));  // the limit holds
        edit.setSelection(1, 2);
        QTest::keyClick(&edit, 'e');
        QCOMPARE(edit.text(), QStringLiteral("AEB"));
        QCOMPARE(edit.cursorPosition(), 2);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("AB"));
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.text(), QStringLiteral("B"));
        edit.insert(QStringLiteral("c0"));
        QCOMPARE(edit.text(), QStringLiteral("C0B"));  // pasted text is upper-cased
        edit.insert(QStringLiteral("zz"));
        QCOMPARE(edit.text(), QStringLiteral("C0B"));
    }

    void builtThemeLoadsEveryPicture()
    {
        CHDGlobalData data;
        data.m_RegData.m_strModulePath = hvtest::BuildBin();
        QCOMPARE(data.LoadAppConfigFile(), 1);
        g_HDGlobalData.m_RegData.m_strModulePath = hvtest::BuildBin();
        g_HDGlobalData.ThemeFileName = data.ThemeFileName;
        CGlobalColors colors;
        Init(colors);
        QCOMPARE(colors.LoadTheme(), 0);
        QCOMPARE(colors.LoadImages(), 0);
        for (int i = 0; i < static_cast<int>(CThemeFile::kImageKeys); ++i) {
            const CThemeImage& image = colors.Image(static_cast<EThemeImage>(i));
            QVERIFY2(image.HasBitmap(), CThemeFile::ImageKeys()[static_cast<std::size_t>(i)]);
        }
        QVERIFY(!colors.Image(EThemeImage::Extra).HasBitmap());
        QCOMPARE(g_WelcomeImageList.Count(), 5);
        QCOMPARE(g_MainImageList.Count(), 10);
        // The welcome page tiles MainFoter from x = 459; the task buttons are two equal halves.
        QVERIFY(colors.Image(EThemeImage::MainFoter).Size().width() >= 469);
        QCOMPARE(colors.Image(EThemeImage::Btn_SecureData).Size().width() % 2, 0);
        QCOMPARE(colors.Image(EThemeImage::Btn_Next).Size().width() % 4, 0);
        QCOMPARE(colors.m_nMainHeaderHeight, colors.Image(EThemeImage::MainHeaderR).Size().height());
        QCOMPARE(colors.clrDlgBk, 0x00FFFFFFu);
        // Every picture has its double-size file, of exactly twice the size.
        for (int i = 0; i < static_cast<int>(CThemeFile::kImageKeys); ++i) {
            CThemeImage& image = colors.Image(static_cast<EThemeImage>(i));
            const QSize plain = image.Size();
            QCOMPARE(image.Load(2.0), 1);
            QVERIFY2(image.Bitmap().devicePixelRatio() == 2.0, CThemeFile::ImageKeys()[static_cast<std::size_t>(i)]);
            QCOMPARE(image.Size(), plain);
            QCOMPARE(image.Bitmap().size(), plain * 2);
        }
        g_HDGlobalData.m_RegData.m_strModulePath = ProgramDir();
        g_HDGlobalData.ThemeFileName = QStringLiteral("Theme_test.xml");
        g_WelcomeImageList.Clear();
        g_MainImageList.Clear();
    }
};

QTEST_MAIN(TestThemeColors)
#include "test_theme_colors.moc"
