// Screens of the theme for the screenshot program: every picture and the main colours on one
// sheet, and the welcome and task page backgrounds painted the way the pages paint them.
#include "resources/CResourceModule.h"
#include "settings/CHDGlobalData.h"
#include "ui/CGlobalColors.h"
#include "ui/CThemeDraw.h"
#include "ui/CThemeImageList.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace {

// The configuration, resource module and theme of the program folder (where the screenshot
// program is built), loaded once before the first screen: every screen of the program uses them.
void EnsureTheme()
{
    static bool bDone = false;
    if (bDone) {
        return;
    }
    bDone = true;
    g_HDGlobalData.m_RegData.m_strModulePath = QCoreApplication::applicationDirPath();
    (void)g_HDGlobalData.LoadAppConfigFile();
    if (!CResourceModule::Instance().IsLoaded()) {
        (void)CResourceModule::Instance().Load(g_HDGlobalData.MAKEFILE(g_HDGlobalData.GetResourceFile()));
    }
    g_GlobalColors.InitColors();
    g_GlobalColors.LoadTheme();
    g_GlobalColors.LoadImages();
    g_HDGlobalData.m_RegData.m_nWindowPosition = 0;  // the screens leave the settings alone
}
[[maybe_unused]] const bool g_bThemeSetup = HVRegisterScreenSetup(&EnsureTheme);

QColor C(HVCOLORREF n)
{
    return CGlobalColors::Color(n);
}

const CThemeImage& Img(EThemeImage which)
{
    return g_GlobalColors.Image(which);
}

class CPainted : public QWidget
{
public:
    using Paint = std::function<void(QPainter&, const QRect&)>;
    CPainted(QSize size, Paint paint)
        : m_paint(std::move(paint))
    {
        resize(size);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        m_paint(p, rect());
    }

private:
    Paint m_paint;
};

void Caption(QPainter& p, const QRect& rc, const QString& strText, const QColor& clr, const QFont& font)
{
    p.setFont(font);
    p.setPen(clr);
    p.drawText(rc, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, strText);
}

}  // namespace

HV_SCREEN("theme_sheet")
{
    EnsureTheme();
    return new CPainted(QSize(1180, 1260), [](QPainter& p, const QRect& rc) {
        p.fillRect(rc, QColor(0xE9, 0xEC, 0xF0));
        QFont label = CGlobalColors::MakeFont(11, 400);
        int x = 12;
        int y = 12;
        int nRow = 0;
        for (int i = 0; i < static_cast<int>(CThemeFile::kImageKeys); ++i) {
            const CThemeImage& image = Img(static_cast<EThemeImage>(i));
            const QSize size = image.Size();
            const QString strKey = QString::fromLatin1(CThemeFile::ImageKeys()[static_cast<std::size_t>(i)]);
            const int nWidth = qMax(size.width(), QFontMetrics(label).horizontalAdvance(strKey) + 8);
            if (x + nWidth > rc.width() - 12) {
                x = 12;
                y += nRow + 22;
                nRow = 0;
            }
            image.Draw(p, x, y);
            p.setFont(label);
            p.setPen(QColor(0x44, 0x4C, 0x58));
            p.drawText(
                x, y + size.height() + 13, QString::fromLatin1(CThemeFile::ImageKeys()[static_cast<std::size_t>(i)]));
            x += qMax(size.width(), 90) + 16;
            nRow = qMax(nRow, size.height());
        }
        y += nRow + 36;
        // The main colours.
        x = 12;
        for (const auto& key : CThemeColors::Table()) {
            if (key.kind != CThemeColors::EKind::Color) {
                continue;
            }
            if (x + 140 > rc.width()) {
                x = 12;
                y += 40;
            }
            p.setPen(QColor(0x9A, 0xA4, 0xB1));
            p.setBrush(C(g_GlobalColors.Value(key)));
            p.drawRoundedRect(QRect(x, y, 22, 22), 4, 4);
            p.setPen(QColor(0x33, 0x3A, 0x44));
            p.drawText(
                QRect(x + 28, y - 2, 112, 28), Qt::AlignVCenter | Qt::TextWordWrap, QString::fromLatin1(key.pszKey));
            x += 144;
        }
    });
}

HV_SCREEN("theme_welcome")
{
    EnsureTheme();
    return new CPainted(QSize(760, 570), [](QPainter& p, const QRect& rc) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(rc, C(g_GlobalColors.clrDlgBk));
        const int nHeader = g_GlobalColors.m_nMainHeaderHeight;
        p.fillRect(0, 0, rc.width(), nHeader, Qt::black);
        Img(EThemeImage::MainHeader).Draw(p, 0, 0);
        const QSize right = Img(EThemeImage::MainHeaderR).Size();
        Img(EThemeImage::MainHeaderR).Draw(p, rc.width() - right.width(), 0);
        const QSize foot = Img(EThemeImage::MainFoter).Size();
        const int nFootY = rc.height() - foot.height();
        Img(EThemeImage::MainFoter).Draw(p, 0, nFootY);
        TileBitmap(Img(EThemeImage::MainFoter).Bitmap(), p, 459, nFootY, rc.width() - 459, 459, 0, 10, foot.height());

        // Frames as the page draws them.
        p.setRenderHint(QPainter::Antialiasing);
        const QRect frame(20, nHeader + 20, rc.width() - 40 - 200, 360);
        p.setPen(QPen(QColor(0xB4, 0xB4, 0xB4), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, 6, 6);
        QRect panel(rc.width() - 210, nHeader + 20, 230, 200);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE6, 0xE6, 0xE6));
        p.drawRoundedRect(panel, 6, 6);

        // Task buttons (normal half) with their captions.
        const EThemeImage tasks[] = {
            EThemeImage::Btn_SecureData, EThemeImage::Btn_HideManagment, EThemeImage::Btn_Decrypt};
        const char* captions[] = {"Encrypt, wipe or hide your files and folders",
                                  "Hide files and folders, or make them visible again",
                                  "Decrypt your encrypted files"};
        int y = frame.top() + 18;
        for (int i = 0; i < 3; ++i) {
            const QList<QPixmap> halves = CThemeImageList::Split(Img(tasks[i]).Bitmap(), 2);
            if (halves.size() == 2) {
                const QPixmap& half = halves[i == 1 ? 1 : 0];  // the middle one shown hot
                p.drawPixmap(40, y, half);
                const QSize s = (QSizeF(half.size()) / half.devicePixelRatio()).toSize();
                Caption(p,
                        QRect(48, y + s.height() + 6, s.width() + 92, 26),
                        QString::fromLatin1(captions[i]),
                        C(g_GlobalColors.clrHomePageText),
                        CGlobalColors::MakeFont(12, 400));
                y += s.height() + 36;
            }
        }
        // Link panel.
        const char* links[] = {"Preferences", "Help", "Tips and tricks", "Questions and answers", "What is new"};
        const int icons[] = {0, 2, 1, 3, 4};
        int ly = panel.top() + 16;
        for (int i = 0; i < 5; ++i) {
            p.drawPixmap(panel.left() + 14, ly, g_WelcomeImageList.Image(icons[i]));
            Caption(p,
                    QRect(panel.left() + 46, ly + 4, 160, 20),
                    QString::fromLatin1(links[i]),
                    C(g_GlobalColors.clrDlgText),
                    CGlobalColors::MakeFont(12, 400));
            ly += 34;
        }
        const QSize home = Img(EThemeImage::MainFoterR).Size();
        Img(EThemeImage::MainFoterR)
            .Draw(p, rc.width() - home.width() - 16, nFootY + (foot.height() - home.height()) / 2);
    });
}

HV_SCREEN("theme_page")
{
    EnsureTheme();
    return new CPainted(QSize(760, 570), [](QPainter& p, const QRect& rc) {
        p.fillRect(rc, C(g_GlobalColors.clrDlgBk));
        const CThemeImage& header = Img(EThemeImage::SecureHeader);
        header.Draw(p, 0, 0);
        const QSize hs = header.Size();
        const QSize band = Img(EThemeImage::InnerHeaderR).Size();
        TileBitmap(Img(EThemeImage::InnerHeaderR).Bitmap(),
                   p,
                   hs.width(),
                   0,
                   rc.width() - hs.width(),
                   0,
                   0,
                   band.width(),
                   band.height());
        const QSize fs = Img(EThemeImage::InnerFoter).Size();
        const int nFootY = rc.height() - fs.height();
        Img(EThemeImage::InnerFoter).Draw(p, 0, nFootY);
        const QSize fband = Img(EThemeImage::InnerFoterR).Size();
        TileBitmap(Img(EThemeImage::InnerFoterR).Bitmap(),
                   p,
                   fs.width(),
                   nFootY,
                   rc.width() - fs.width(),
                   0,
                   0,
                   fband.width(),
                   fband.height());

        // A list with the main image list's icons.
        const QRect list(20, hs.height() + 20, rc.width() - 40, 300);
        p.setPen(QColor(0xC9, 0xD2, 0xDE));
        p.setBrush(Qt::white);
        p.drawRect(list);
        p.setFont(CGlobalColors::MakeFont(12, 400));
        const char* rows[] = {"/home/user/Documents/report.odt",
                              "/home/user/Pictures",
                              "/home/user/notes.txt.hvnc",
                              "/home/user/Documents/budget.ods"};
        const int icons[] = {2, 4, 3, 2};
        for (int i = 0; i < 4; ++i) {
            const int ry = list.top() + 6 + i * 22;
            p.drawPixmap(list.left() + 8, ry + 2, g_MainImageList.Image(icons[i]));
            p.setPen(C(g_GlobalColors.clrDlgText));
            p.drawText(list.left() + 32, ry + 15, QString::fromLatin1(rows[i]));
        }
        int ix = list.left() + 8;
        for (int i = 0; i < g_MainImageList.Count(); ++i) {
            p.drawPixmap(ix, list.bottom() - 24, g_MainImageList.Image(i));
            ix += 24;
        }
        // Navigation buttons: Home, Back, Next (normal state) and Help; the Start states below.
        const int by = nFootY + (fs.height() - 30) / 2;
        p.drawPixmap(20, by, Img(EThemeImage::Btn_Help).Bitmap());
        const QList<QPixmap> home = CThemeImageList::Split(Img(EThemeImage::BtnHome).Bitmap(), 4);
        const QList<QPixmap> back = CThemeImageList::Split(Img(EThemeImage::Btn_Previous).Bitmap(), 4);
        const QList<QPixmap> next = CThemeImageList::Split(Img(EThemeImage::Btn_Next).Bitmap(), 4);
        const QList<QPixmap> start = CThemeImageList::Split(Img(EThemeImage::Btn_Start).Bitmap(), 4);
        if (home.size() == 4 && back.size() == 4 && next.size() == 4 && start.size() == 4) {
            p.drawPixmap(rc.width() - 3 * 104 - 12, by, home[0]);
            p.drawPixmap(rc.width() - 2 * 104 - 12, by, back[0]);
            p.drawPixmap(rc.width() - 104 - 12, by, next[1]);
            for (int i = 0; i < 4; ++i) {
                p.drawPixmap(20 + i * 104, list.bottom() + 24, start[i]);
                p.drawPixmap(20 + i * 104, list.bottom() + 60, back[i]);
            }
        }
        Img(EThemeImage::EncryptPassword).Draw(p, rc.width() - 90, list.bottom() + 24);
        Img(EThemeImage::Progress).Draw(p, rc.width() - 160, list.bottom() + 30);
    });
}
