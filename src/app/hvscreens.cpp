// Renders every registered screen to <out>/<name>.png.
//   hvscreens [--out DIR] [--theme light|dark|contrast] [--list] [NAME-PART...]
// The theme is chosen the way the program chooses it: "dark" gives the application a dark desktop
// palette (the program then takes its dark variant), "contrast" asks for high contrast.
// Only the screens whose name contains one of the given parts are rendered. Meant to run with
// QT_QPA_PLATFORM=offscreen (scripts/screenshots.sh).
#include "resources/CResourceModule.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// A dark desktop palette, as a dark desktop theme hands it to Qt.
QPalette DarkDesktopPalette()
{
    QPalette pal;
    const QColor window(0x2d, 0x2d, 0x2d);
    const QColor base(0x1e, 0x1e, 0x1e);
    const QColor text(0xee, 0xee, 0xee);
    pal.setColor(QPalette::Window, window);
    pal.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::AlternateBase, window);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        pal.setColor(role, text);
    }
    pal.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(0x9a, 0x9a, 0x9a));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9a, 0x9a, 0x9a));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x9a, 0x9a, 0x9a));
    return pal;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QString strOut = QStringLiteral("screenshots");
    QStringList filters;
    bool bList = false;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--out") && i + 1 < args.size()) {
            strOut = args[++i];
        } else if (args[i] == QLatin1String("--theme") && i + 1 < args.size()) {
            const QString strTheme = args[++i];
            qputenv("HV_HIGH_CONTRAST", strTheme == QLatin1String("contrast") ? "1" : "0");
            if (strTheme == QLatin1String("dark")) {
                QApplication::setPalette(DarkDesktopPalette());
            }
        } else if (args[i] == QLatin1String("--list")) {
            bList = true;
        } else {
            filters << args[i];
        }
    }
    if (!QDir().mkpath(strOut)) {
        std::fprintf(stderr, "hvscreens: cannot create %s\n", qUtf8Printable(strOut));
        return 1;
    }
    // The program's pictures and strings, when the resource module has been built beside us.
    if (!CResourceModule::Instance().Load(CResourceModule::DefaultFileName())) {
        std::fprintf(stderr, "hvscreens: no resource module, pictures of the module are left out\n");
    }
    if (!bList) {
        for (const auto& setup : HVScreenSetups()) {
            setup();
        }
    }
    int nFailed = 0;
    int nDone = 0;
    for (const auto& [strName, make] : HVScreens()) {
        const QString& name = strName;
        if (!filters.isEmpty()
            && std::none_of(filters.begin(), filters.end(), [&](const QString& f) { return name.contains(f); })) {
            continue;
        }
        if (bList) {
            std::printf("%s\n", qUtf8Printable(strName));
            continue;
        }
        std::unique_ptr<QWidget> pWidget(make());
        if (!pWidget) {
            std::fprintf(stderr, "hvscreens: %s built nothing\n", qUtf8Printable(strName));
            ++nFailed;
            continue;
        }
        if (pWidget->size() == QSize(640, 480) || pWidget->size().isEmpty()) {
            pWidget->adjustSize();
        }
        pWidget->show();
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
        }
        const QString strFile = QDir(strOut).filePath(strName + QStringLiteral(".png"));
        if (!pWidget->grab().save(strFile)) {
            std::fprintf(stderr, "hvscreens: cannot write %s\n", qUtf8Printable(strFile));
            ++nFailed;
            continue;
        }
        std::printf("%s\n", qUtf8Printable(strFile));
        ++nDone;
    }
    return nFailed == 0 ? 0 : 1;
}
