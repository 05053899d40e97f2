// HalvoNorvane: the graphical program.
#include "app/CHalvoDataSecurityApp.h"
#include "security/CGuiAppFrontEnd.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CGuiAppFrontEnd frontEnd;
    CHalvoDataSecurityApp app(frontEnd);
    app.SetArguments(QApplication::arguments().mid(1));
    return app.Run();
}
