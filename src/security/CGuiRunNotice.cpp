#include "security/CGuiRunNotice.h"

#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

namespace {

CGuiRunNotice::Sender& SenderRef()
{
    static CGuiRunNotice::Sender s_sender;
    return s_sender;
}

}  // namespace

void CGuiRunNotice::SetSender(Sender sender)
{
    SenderRef() = std::move(sender);
}

bool CGuiRunNotice::HasSender()
{
    return static_cast<bool>(SenderRef());
}

void CGuiRunNotice::SendOverDBus(const QString& strSummary, const QString& strBody)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                                          QStringLiteral("/org/freedesktop/Notifications"),
                                                          QStringLiteral("org.freedesktop.Notifications"),
                                                          QStringLiteral("Notify"));
    message << CGuiMessageBox::Caption() << 0u << QStringLiteral("halvonorvane") << strSummary << strBody
            << QStringList() << QVariantMap() << -1;
    // No answer is awaited: a missing or slow service must not hold up the program.
    (void)bus.send(message);
}

bool CGuiRunNotice::Finished(const QString& strTitle) const
{
    if (m_clock.elapsed() < kMinRunMs || QGuiApplication::applicationState() == Qt::ApplicationActive) {
        return false;
    }
    const QString strSummary = CGuiMessageBox::Caption();
    const QString strBody = HVFormatString(IDS_NOTIFY_RUN_ENDED, strTitle);
    if (SenderRef()) {
        SenderRef()(strSummary, strBody);
    } else {
        SendOverDBus(strSummary, strBody);
    }
    return true;
}
