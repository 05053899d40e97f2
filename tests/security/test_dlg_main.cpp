// Runs the dialog test classes of this program one after the other.
#include "engines/CEncryptManager.h"
#include "resources/CResourceModule.h"

#include <QApplication>
#include <QtTest>

QObject* MakeProgressDialogTests();
QObject* MakeReportDialogTests();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Cheap key derivation: the tests are about the dialogs, not the engine's cost.
    CEncryptManager::SetDefaultKdfCost(8192, 1);
    const QByteArray bin = qgetenv("HV_BUILD_BIN");
    if (!bin.isEmpty()
        && !CResourceModule::Instance().Load(QString::fromLocal8Bit(bin) + QStringLiteral("/HNVRes.rcc"))) {
        qCritical("the resource module in %s cannot be loaded", bin.constData());
        return 1;
    }
    int nStatus = 0;
    for (QObject* pTests : {MakeProgressDialogTests(), MakeReportDialogTests()}) {
        nStatus |= QTest::qExec(pTests, argc, argv);
        delete pTests;
    }
    return nStatus;
}
