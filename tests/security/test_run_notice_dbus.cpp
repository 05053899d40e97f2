// The desktop notification as it goes over the wire: a private session bus (its own
// dbus-daemon) with a stand-in notification service that records each call of Notify.
#include "resources/CResourceModule.h"
#include "security/CGuiRunNotice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

}  // namespace

// Answers Notify as a notification server does and keeps its arguments.
class CNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QList<QVariantList> m_calls;

public slots:
    uint Notify(const QString& strApp,
                uint nReplaces,
                const QString& strIcon,
                const QString& strSummary,
                const QString& strBody,
                const QStringList& lstActions,
                const QVariantMap& hints,
                int nTimeout)
    {
        m_calls << QVariantList{strApp, nReplaces, strIcon, strSummary, strBody, lstActions, hints.size(), nTimeout};
        return static_cast<uint>(m_calls.size());
    }
};

class TestRunNoticeDBus : public QObject
{
    Q_OBJECT

    QProcess m_daemon;
    QString m_strAddress;

private slots:
    void initTestCase()
    {
        QVERIFY(CResourceModule::Instance().Load(qEnvironmentVariable("HV_BUILD_BIN") + QLatin1Char('/')
                                                 + CResourceModule::DefaultFileName()));
        const QString strDaemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (strDaemon.isEmpty()) {
            QSKIP("dbus-daemon is not installed");
        }
        m_daemon.start(strDaemon,
                       {QStringLiteral("--session"),
                        QStringLiteral("--print-address"),
                        QStringLiteral("--nofork"),
                        QStringLiteral("--nopidfile")});
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine(), 10000);
        m_strAddress = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_strAddress.isEmpty());
        // Before anything opens the session bus: the program's sender then finds this one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_strAddress.toUtf8());
    }
    void cleanupTestCase()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished();
        }
    }

    // Summary, body and the program's name and icon arrive as given, markup and all, and the
    // server decides how long the notice stays (-1).
    void notifySendsWhatTheUserReads()
    {
        QDBusConnection service = QDBusConnection::connectToBus(m_strAddress, QStringLiteral("notify-service"));
        QVERIFY(service.isConnected());
        CNotificationServer server;
        QVERIFY(service.registerObject(QString::fromLatin1(kPath), &server, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QString::fromLatin1(kService)));

        const QString strBody = QStringLiteral("Decrypting has ended: <b>3</b> & \"ü\"");
        CGuiRunNotice::SendOverDBus(QStringLiteral("Halvo Norvane"), strBody);
        CGuiRunNotice::SendOverDBus(QStringLiteral("second"), QString());
        QTRY_COMPARE(server.m_calls.size(), 2);
        QCOMPARE(server.m_calls[0],
                 (QVariantList{QStringLiteral("Halvo Norvane"),
                               0u,
                               QStringLiteral("halvonorvane"),
                               QStringLiteral("Halvo Norvane"),
                               strBody,
                               QStringList(),
                               0,
                               -1}));
        QCOMPARE(server.m_calls[1].at(3).toString(), QStringLiteral("second"));
        QCOMPARE(server.m_calls[1].at(4).toString(), QString());

        // Without a notification server on the bus the send goes nowhere and holds up nothing.
        QVERIFY(service.unregisterService(QString::fromLatin1(kService)));
        QElapsedTimer clock;
        clock.start();
        CGuiRunNotice::SendOverDBus(QStringLiteral("lost"), QStringLiteral("lost"));
        QVERIFY(clock.elapsed() < 1000);
        QTest::qWait(100);
        QCOMPARE(server.m_calls.size(), 2);
        QDBusConnection::disconnectFromBus(QStringLiteral("notify-service"));
    }
};

QTEST_MAIN(TestRunNoticeDBus)
#include "test_run_notice_dbus.moc"
