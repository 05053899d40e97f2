#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>

// A desktop notification when a run that took a while ends while the program's windows are not
// in front: the user who went to another window learns that the run is over. Sent through the
// freedesktop notification service on the session bus; nothing happens where there is none.
class CGuiRunNotice
{
public:
    // Runs shorter than this end without a notification.
    static constexpr qint64 kMinRunMs = 4000;

    // Sends one notification (summary, body); a test replaces it with a recorder.
    using Sender = std::function<void(const QString& strSummary, const QString& strBody)>;
    static void SetSender(Sender sender);
    [[nodiscard]] static bool HasSender();
    // The built-in sender: org.freedesktop.Notifications over D-Bus, without waiting for it.
    static void SendOverDBus(const QString& strSummary, const QString& strBody);

    // Starts the clock of a run.
    CGuiRunNotice() { m_clock.start(); }
    // The run strTitle ("Encrypting") has ended: notifies when it took at least kMinRunMs and
    // the program is not the active application. True when a notification went out.
    bool Finished(const QString& strTitle) const;

private:
    QElapsedTimer m_clock;
};
