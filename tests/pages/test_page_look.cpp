// How the program looks: one table of themes (light, dark, high contrast) over every skinned
// button and label of the task pages in every state, with the contrast of each text against its
// background; and one table of scales (ctest runs this program at 1x, 1.25x and 2x) for the
// windows, the restored placement, the pictures and the preferences' page frame.
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "pages/CHDPageSecurityOptions.h"
#include "pages/CHDPageWelcome.h"
#include "pages/CPage_Decryption.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "prefs/CPreferencesDlg.h"
#include "ui/CBCGButton.h"
#include "ui/CGlobalColors.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/CThemeImageList.h"
#include "ui/HVControlStates.h"
#include "ui/HVScreenFit.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QSvgRenderer>
#include <QtTest>

#include "PagesTestSupport.h"

using namespace PagesTest;

namespace {

QPalette DarkPalette()
{
    QPalette pal;
    const QColor window(0x2b, 0x2b, 0x2b);
    const QColor text(0xee, 0xee, 0xee);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase}) {
        pal.setColor(role, window);
    }
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        pal.setColor(role, text);
    }
    pal.setColor(QPalette::Highlight, QColor(0x3a, 0x6e, 0xa5));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    return pal;
}

QString ThemeText()
{
    QFile file(QStringLiteral(HV_SOURCE_DIR "/resources/theme/Theme_norvane.xml"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The program's start-up look for a theme: the desktop's palette, then the colour table.
void UseTheme(const QString& strTheme)
{
    QApplication::setPalette(strTheme == QLatin1String("dark") ? DarkPalette()
                                                               : QApplication::style()->standardPalette());
    CGlobalColors::SetAccessibilityOverride(strTheme == QLatin1String("contrast"));
    QCOMPARE(g_GlobalColors.InitColors(), 1);
    QCOMPARE(g_GlobalColors.LoadThemeText(ThemeText()), 0);
}

const char* StateName(int n)
{
    static const char* const kNames[] = {"normal", "hot", "pressed", "disabled"};
    return kNames[n];
}

}  // namespace

// The focus cycle below pRoot: named controls; from the top-left control, rows from left to
// right, top to bottom; a default button last (Tab from it returns to the first control).
void CheckKeyboard(QWidget* pRoot, QStringList& failures)
{
    const QString strRoot = QString::fromLatin1(pRoot->metaObject()->className());
    QList<QWidget*> cycle;
    for (QWidget* pWidget = pRoot->nextInFocusChain(); pWidget != pRoot; pWidget = pWidget->nextInFocusChain()) {
        if (pRoot->isAncestorOf(pWidget) && (pWidget->focusPolicy() & Qt::TabFocus) && pWidget->isVisibleTo(pRoot)
            && !(pWidget->parentWidget()->focusPolicy() & Qt::TabFocus)) {
            cycle << pWidget;
        }
    }
    const auto place = [pRoot](QWidget* p) { return QRect(p->mapTo(pRoot, QPoint()), p->size()); };
    const auto isDefault = [](QWidget* p) {
        const auto* pPush = qobject_cast<QPushButton*>(p);
        return pPush != nullptr && (pPush->isDefault() || pPush->property("hvDefaultButton").toBool());
    };
    // Start the cycle at its first control (the highest middle, then the leftmost).
    qsizetype nFirst = 0;
    for (qsizetype i = 1; i < cycle.size(); ++i) {
        const QRect a = place(cycle[i]);
        const QRect b = place(cycle[nFirst]);
        if (!isDefault(cycle[i])
            && (a.center().y() < b.center().y() || (a.center().y() == b.center().y() && a.left() < b.left()))) {
            nFirst = i;
        }
    }
    std::rotate(cycle.begin(), cycle.begin() + nFirst, cycle.end());
    QWidget* pPrevious = nullptr;
    for (QWidget* pWidget : std::as_const(cycle)) {
        const QString strWhere = strRoot + QLatin1Char('/') + pWidget->objectName();
        QAccessibleInterface* pAccessible = QAccessible::queryAccessibleInterface(pWidget);
        if (pAccessible == nullptr || pAccessible->text(QAccessible::Name).trimmed().isEmpty()) {
            failures << strWhere + QStringLiteral(": no accessible name");
        }
        if (isDefault(pWidget)) {
            if (pWidget != cycle.last()) {
                failures << strWhere + QStringLiteral(": the default button is not last");
            }
            continue;
        }
        if (pPrevious != nullptr) {
            const QRect a = place(pPrevious);
            const QRect b = place(pWidget);
            if (b.center().y() >= a.top() && b.center().y() <= a.bottom() && b.left() < a.left()) {
                failures << strWhere + QStringLiteral(": reached after ") + pPrevious->objectName()
                                + QStringLiteral(" to its right");
            }
        }
        pPrevious = pWidget;
    }
}

class TestPageLook : public CPageTest
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        CPageTest::cleanup();
        CGlobalColors::SetAccessibilityOverride(std::nullopt);
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void statesAndContrasts_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::newRow("light") << QStringLiteral("light");
        QTest::newRow("dark") << QStringLiteral("dark");
        QTest::newRow("contrast") << QStringLiteral("contrast");
    }
    // Every text of every skinned button in every state, and every label, check box and radio
    // button enabled and disabled, reads at 4.5:1 or better; a disabled text is greyed (not the
    // normal colour); the focus ring stands out from the face at 3:1.
    void statesAndContrasts()
    {
        QFETCH(QString, theme);
        UseTheme(theme);
        QCOMPARE(g_GlobalColors.IsDark(), theme == QLatin1String("dark"));
        QCOMPARE(g_GlobalColors.IsAccessibility(), theme == QLatin1String("contrast"));

        const QList<CHPageDlg*> pages{Make<CHDPageWelcome>(true).release(),
                                      Make<CHDPageDataBrows>(true).release(),
                                      Make<CHDPageSecurityOptions>(true).release(),
                                      Make<CHDPageHideData>(true).release(),
                                      Make<CPage_Decryption>(true).release()};
        QStringList failures;
        int nTexts = 0;
        for (CHPageDlg* pPage : pages) {
            const QString strPage = QString::fromLatin1(pPage->metaObject()->className());
            for (CBCGButton* pButton : pPage->findChildren<CBCGButton*>()) {
                if (pButton->text().isEmpty()) {
                    continue;
                }
                const QString strWhere = strPage + QLatin1Char('/') + pButton->text();
                for (int n = CBCGButton::StateNormal; n <= CBCGButton::StateDisabled; ++n) {
                    const auto state = static_cast<CBCGButton::EState>(n);
                    const double fText = HVUi::ContrastRatio(pButton->TextColor(state), pButton->FaceColor(state));
                    const double fRing = HVUi::ContrastRatio(pButton->FocusRingColor(state), pButton->FaceColor(state));
                    ++nTexts;
                    if (fText < HVUi::kMinTextContrast || fRing < HVUi::kMinRingContrast) {
                        failures << QStringLiteral("%1 %2: text %3, ring %4")
                                        .arg(strWhere, QLatin1String(StateName(n)))
                                        .arg(fText, 0, 'f', 2)
                                        .arg(fRing, 0, 'f', 2);
                    }
                }
                if (pButton->TextColor(CBCGButton::StateDisabled) == pButton->TextColor(CBCGButton::StateNormal)) {
                    failures << strWhere + QStringLiteral(": disabled text not greyed");
                }
            }
            QList<QWidget*> labels;
            for (QWidget* pWidget : pPage->findChildren<QWidget*>()) {
                if (qobject_cast<QLabel*>(pWidget) || qobject_cast<QCheckBox*>(pWidget)
                    || qobject_cast<QRadioButton*>(pWidget)) {
                    labels << pWidget;
                }
            }
            for (QWidget* pWidget : labels) {
                const QPalette& pal = pWidget->palette();
                const QColor back = pal.color(QPalette::Active, QPalette::Window);
                const QColor on = pal.color(QPalette::Active, QPalette::WindowText);
                const QColor off = pal.color(QPalette::Disabled, QPalette::WindowText);
                const QString strWhere = strPage + QLatin1Char('/') + pWidget->objectName();
                ++nTexts;
                if (HVUi::ContrastRatio(on, back) < HVUi::kMinTextContrast
                    || HVUi::ContrastRatio(off, back) < HVUi::kMinTextContrast) {
                    failures << QStringLiteral("%1: %2 / disabled %3")
                                    .arg(strWhere)
                                    .arg(HVUi::ContrastRatio(on, back), 0, 'f', 2)
                                    .arg(HVUi::ContrastRatio(off, back), 0, 'f', 2);
                }
                if (off == on) {
                    failures << strWhere + QStringLiteral(": disabled text not greyed");
                }
            }
        }
        QVERIFY(nTexts > 40);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));

        // Every control a user reaches with the keyboard has a name for assistive technology,
        // and the keyboard goes through a row from left to right: on the pages and the dialogs.
        for (CHPageDlg* pPage : pages) {
            CheckKeyboard(pPage, failures);
        }
        CDlg_Setmasterpassword setMaster;
        CDlg_Enterpassword enter;
        HVDialogs::HVPref::CPreferencesDlg pref(nullptr, nullptr, &g_HDGlobalData.m_RegData);
        for (QDialog* pDialog : std::initializer_list<QDialog*>{&setMaster, &enter, &pref}) {
            pDialog->show();
            QApplication::processEvents();
            CheckKeyboard(pDialog, failures);
            pDialog->hide();
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));

        // The header band of a task page is never empty: without pictures it carries the task.
        CHPageDlg* pBrows = pages.at(1);
        pBrows->show();
        const QImage band = pBrows->grab(QRect(0, 0, 300, 50)).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < band.height(); y += 2) {
            for (int x = 0; x < band.width(); x += 2) {
                colours.insert(band.pixel(x, y));
            }
        }
        QVERIFY2(colours.size() > 2, qPrintable(QStringLiteral("%1 colours in the header band").arg(colours.size())));
    }

    // The footer's pictures follow the theme: their faces are light on a light desktop and dark
    // on a dark one (Help, Back, Home, the footer bands, and the disabled Next and Start).
    void footerPicturesFollowTheTheme_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::newRow("light") << QStringLiteral("light");
        QTest::newRow("dark") << QStringLiteral("dark");
    }
    void footerPicturesFollowTheTheme()
    {
        QFETCH(QString, theme);
        const QString strOldModule = g_HDGlobalData.m_RegData.m_strModulePath;
        g_HDGlobalData.m_RegData.m_strModulePath = qEnvironmentVariable("HV_BUILD_BIN");
        UseTheme(theme);
        QCOMPARE(g_GlobalColors.LoadImages(), 0);
        g_HDGlobalData.m_RegData.m_strModulePath = strOldModule;
        const bool bDark = theme == QLatin1String("dark");
        struct SFace
        {
            EThemeImage image;
            const char* pszName;
            QPoint at;  // a point of the face, in device-independent pixels
        };
        const SFace faces[] = {{EThemeImage::Btn_Help, "Help", {5, 15}},
                               {EThemeImage::Btn_Previous, "Back", {5, 15}},
                               {EThemeImage::BtnHome, "Home", {5, 15}},
                               {EThemeImage::Btn_Next, "Next disabled", {3 * 96 + 5, 15}},
                               {EThemeImage::Btn_Start, "Start disabled", {3 * 96 + 5, 15}},
                               {EThemeImage::InnerFoter, "footer", {100, 20}},
                               {EThemeImage::MainFoter, "main footer", {460, 20}}};
        QStringList failures;
        for (const SFace& face : faces) {
            const QPixmap& pixmap = g_GlobalColors.Image(face.image).Bitmap();
            if (pixmap.isNull()) {
                failures << QStringLiteral("%1: not loaded").arg(QLatin1String(face.pszName));
                continue;
            }
            const QPoint at = face.at * pixmap.devicePixelRatio();
            const double fLum = HVUi::RelativeLuminance(pixmap.toImage().pixelColor(at));
            if (bDark ? fLum > 0.1 : fLum < 0.5) {
                failures << QStringLiteral("%1: luminance %2").arg(QLatin1String(face.pszName)).arg(fLum, 0, 'f', 2);
            }
        }
        // The other rows run without pictures, as before.
        for (int n = 0; n <= static_cast<int>(EThemeImage::Extra); ++n) {
            g_GlobalColors.Image(static_cast<EThemeImage>(n)).Free();
        }
        g_WelcomeImageList.Clear();
        g_MainImageList.Clear();
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    // At this run's scale: a main window larger than the screen, with a minimum size larger
    // than the screen and a restored placement half off the screen, is shown inside the screen's
    // available area; the summary pictures are drawn at the device pixel ratio; the preferences'
    // page frame keeps its right and bottom side.
    void scales()
    {
        UseTheme(QStringLiteral("light"));
        QScreen* pScreen = QGuiApplication::primaryScreen();
        QVERIFY(pScreen != nullptr);
        const QRect rcAvailable = pScreen->availableGeometry();
        const qreal fRatio = qApp->devicePixelRatio();
        qInfo("scale %.2f, available %dx%d", fRatio, rcAvailable.width(), rcAvailable.height());

        // The placement a larger screen left behind: far larger than this one and off its corner.
        {
            QWidget old;
            old.setGeometry(rcAvailable.right() - 100, rcAvailable.bottom() - 80, 1500, 1200);
            g_HDGlobalData.m_RegData.m_nWindowPosition = 1;
            QVERIFY(g_HDGlobalData.m_RegData.Load());
            QVERIFY(g_HDGlobalData.m_RegData.SaveWindowPlacement(old.saveGeometry()));
        }
        CHalvoDataSecurityDlg dlg(m_rig->mngr);
        dlg.SetMinTrackSize(QSize(rcAvailable.width() + 200, rcAvailable.height() + 150));
        dlg.show();
        QTest::qWait(20);
        QVERIFY2(rcAvailable.contains(dlg.geometry()),
                 qPrintable(QStringLiteral("window %1,%2 %3x%4 outside %5x%6")
                                .arg(dlg.x())
                                .arg(dlg.y())
                                .arg(dlg.width())
                                .arg(dlg.height())
                                .arg(rcAvailable.width())
                                .arg(rcAvailable.height())));
        QVERIFY(dlg.minimumWidth() <= rcAvailable.width() && dlg.minimumHeight() <= rcAvailable.height());
        dlg.close();

        // Fitting keeps a window that fits where it is and moves one that does not.
        const QRect rcArea(0, 30, 800, 570);
        QCOMPARE(HVUi::FitRect(QRect(10, 40, 300, 200), rcArea), QRect(10, 40, 300, 200));
        QCOMPARE(HVUi::FitRect(QRect(700, 500, 300, 200), rcArea), QRect(500, 400, 300, 200));
        QCOMPARE(HVUi::FitRect(QRect(-50, 0, 1000, 900), rcArea), rcArea);
        QCOMPARE(HVUi::FitMinimum(QSize(900, 200), rcArea, QSize(10, 30)), QSize(790, 200));

        // The security options' pictures, drawn from their SVG.
        for (unsigned nId = 4050; nId <= 4054; ++nId) {
            const QImage image = CPPHtmlStatic::LoadPicture(nId);
            QVERIFY2(!image.isNull(), qPrintable(QString::number(nId)));
            QCOMPARE(image.devicePixelRatio(), std::max<qreal>(1.0, fRatio));
            const QString strPath = HVImagePath(HVImageKind::Bitmap, nId);
            QVERIFY2(strPath.endsWith(QLatin1String(".svg")), qPrintable(strPath));
            QCOMPARE(image.deviceIndependentSize().toSize(), QSvgRenderer(strPath).defaultSize());
        }

        // The preferences' page frame: its right and bottom sides are drawn.
        HVDialogs::HVPref::CPreferencesDlg pref(nullptr, nullptr, &g_HDGlobalData.m_RegData);
        pref.show();
        QTest::qWait(20);
        auto* pPages = pref.findChild<QWidget*>(QString::number(HVDialogs::HVPref::CPreferencesDlg::IDC_PAGES));
        QVERIFY(pPages != nullptr);
        const QImage shot = pref.grab().toImage();

        const QColor border = CGlobalColors::Color(g_GlobalColors.clrTitleBorder);
        const QRect rcPage = pPages->geometry();
        const QPoint sides[] = {QPoint(rcPage.right() + 2, rcPage.center().y()),
                                QPoint(rcPage.center().x(), rcPage.bottom() + 2),
                                QPoint(rcPage.left() - 2, rcPage.center().y())};
        for (const QPoint& pt : sides) {
            const QPointF centre = (QPointF(pt) + QPointF(0.5, 0.5)) * shot.devicePixelRatio();
            const QPoint device(int(std::floor(centre.x())), int(std::floor(centre.y())));
            const QColor got = shot.pixelColor(device);
            QVERIFY2(HVUi::ContrastRatio(got, border) < 1.2,
                     qPrintable(QStringLiteral("frame at %1,%2 is %3, not %4")
                                    .arg(pt.x())
                                    .arg(pt.y())
                                    .arg(got.name(), border.name())));
        }
    }
};

QTEST_MAIN(TestPageLook)
#include "test_page_look.moc"
