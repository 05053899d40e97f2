#pragma once

// What the end-to-end tests of the graphical program share:
// - CTempHome: HOME and the XDG folders inside a temporary folder, with a work folder for files;
// - RunProgram: the application object with the GUI front end, built as the program's main()
//   builds them, its global data pointed at the build's program folder;
// - CScript: answers the modal dialogs and drives the main window from the event loop, one step
//   after another, while the program runs its own modal loops;
// - CWindowLog: every dialog window that was shown, and the message boxes and questions.
#include "app/CGuiAppFrontEnd.h"
#include "app/CHalvoDataSecurityApp.h"
#include "pages/HVPageUi.h"
#include "passwords/CDlg_EnterPasswordBase.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "passwords/CGuiDialogHeader.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/CResourceModule.h"
#include "settings/CHDGlobalData.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <vector>

#include "support/Controls.h"
#include "support/TempHome.h"
namespace GuiE2e {

// A temporary home (HOME, the XDG folders and a work folder), with the global data's settings
// as at a first start: the previous test's values must not carry over into this start.
class CTempHome : public hvtest::CTempHome
{
public:
    CTempHome() { g_HDGlobalData.m_RegData = CMRegistryData(); }
};

inline QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every dialog window shown (class names in order of showing), and the texts of the message
// boxes and questions, which are answered without a window (OK, Yes unless m_bAnswerNo).
class CWindowLog : public QObject
{
public:
    CWindowLog()
    {
        qApp->installEventFilter(this);
        CGuiMessageBox::SetHook([this](QWidget*, unsigned nId, const QString& strText, QMessageBox::StandardButtons) {
            m_messages << (nId != 0 ? QStringLiteral("%1: %2").arg(nId).arg(strText) : strText);
            return m_bAnswerNo ? QMessageBox::No : QMessageBox::Yes;
        });
    }
    ~CWindowLog() override
    {
        qApp->removeEventFilter(this);
        CGuiMessageBox::SetHook({});
    }
    [[nodiscard]] int CountShown(const char* pszClass) const { return int(m_shown.count(QLatin1String(pszClass))); }

    QStringList m_shown;     // class names of the dialog windows, each time one is shown
    QStringList m_headers;   // the header bands' titles of the dialogs shown, in order
    QStringList m_messages;  // message boxes and questions ("id: text", the text alone without an id)
    bool m_bAnswerNo = false;

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Show) {
            auto* pDialog = qobject_cast<QDialog*>(pObject);
            if (pDialog != nullptr && pDialog->isWindow()) {
                m_shown << QString::fromLatin1(pDialog->metaObject()->className());
                if (auto* pHeader = pDialog->findChild<CGuiDialogHeader*>()) {
                    m_headers << pHeader->Title();
                }
            }
        }
        return false;
    }
};

// Runs steps from the event loop, in order: a step waits until its condition holds, then its
// action is queued (the action may open modal loops of its own; the script goes on inside them).
// A script that makes no progress for a long time records where it stood and closes every modal
// window, so that a hanging program fails the test instead of blocking it.
class CScript : public QObject
{
public:
    struct SStep
    {
        QString strName;
        std::function<bool()> fnReady;
        std::function<void()> fnAct;
    };

    CScript()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    }

    // A step that waits for fnReady and then runs fnAct.
    CScript& Then(const QString& strName, std::function<bool()> fnReady, std::function<void()> fnAct)
    {
        m_steps.push_back({strName, std::move(fnReady), std::move(fnAct)});
        return *this;
    }
    // A step for the next modal dialog of type T (shown and active): fn answers it.
    template <typename T>
    CScript& OnDialog(const QString& strName, std::function<void(T*)> fn)
    {
        return Then(
            strName,
            [] {
                auto* pDlg = qobject_cast<T*>(QApplication::activeModalWidget());
                return pDlg != nullptr && pDlg->isVisible();
            },
            [fn] {
                if (auto* pDlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
                    fn(pDlg);
                }
            });
    }

    void Start()
    {
        m_clock.start();
        m_timer.start();
    }
    [[nodiscard]] bool Done() const { return m_nNext == m_steps.size(); }
    // Where the script stood when it gave up, empty when it never did.
    [[nodiscard]] const QString& Failure() const { return m_strFailure; }
    [[nodiscard]] QString NextStep() const { return Done() ? QStringLiteral("<done>") : m_steps[m_nNext].strName; }

    // How long the script waits for one step before it gives up. Only a guard against a hang.
    static constexpr qint64 kStuckMs = 60000;

private:
    void Tick()
    {
        if (!m_strFailure.isEmpty()) {
            // Giving up: close whatever modal window is left, one per tick.
            if (QWidget* pModal = QApplication::activeModalWidget()) {
                if (auto* pDlg = qobject_cast<QDialog*>(pModal)) {
                    pDlg->reject();
                } else {
                    pModal->close();
                }
            }
            return;
        }
        if (Done()) {
            m_timer.stop();
            return;
        }
        SStep& step = m_steps[m_nNext];
        if (step.fnReady()) {
            ++m_nNext;
            m_clock.restart();
            QTimer::singleShot(0, qApp, step.fnAct);
            return;
        }
        if (m_clock.elapsed() > kStuckMs) {
            QWidget* pModal = QApplication::activeModalWidget();
            m_strFailure = QStringLiteral("stuck before step \"%1\"; active modal window: %2 \"%3\"")
                               .arg(step.strName,
                                    pModal != nullptr ? QString::fromLatin1(pModal->metaObject()->className())
                                                      : QStringLiteral("none"),
                                    pModal != nullptr ? pModal->windowTitle() : QString());
        }
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    std::vector<SStep> m_steps;
    std::size_t m_nNext = 0;
    QString m_strFailure;
};

// The named child of a widget, of type T.
template <typename T = QAbstractButton>
T* Child(QWidget* pParent, const QString& strName)
{
    return pParent != nullptr ? pParent->findChild<T*>(strName) : nullptr;
}
// The control with that number.
template <typename T = QAbstractButton>
T* Child(QWidget* pParent, int nId)
{
    return hvtest::Control<T>(pParent, nId);
}

// Types a new password twice and presses OK. The master-password dialog first wants its consent
// box ticked.
inline void AnswerNewPassword(QDialog* pDlg, const QString& strPassword)
{
    if (auto* pConsent = Child<QCheckBox>(pDlg, CDlg_Setmasterpassword::IDC_CHECK_CONSENT);
        pConsent != nullptr && !pConsent->isChecked()) {
        pConsent->click();
    }
    Child<QLineEdit>(pDlg, CDlg_NewPasswordBase::IDC_EDIT_NEW)->setText(strPassword);
    Child<QLineEdit>(pDlg, CDlg_NewPasswordBase::IDC_EDIT_CONFIRM)->setText(strPassword);
    Child(pDlg, CDlg_NewPasswordBase::IDOK)->click();
}

// Types a password and presses OK.
inline void AnswerPassword(QDialog* pDlg, const QString& strPassword)
{
    Child<QLineEdit>(pDlg, CDlg_EnterPasswordBase::IDC_EDIT_PASSWORD)->setText(strPassword);
    Child(pDlg, CDlg_EnterPasswordBase::IDOK)->click();
}

// The program as its main() runs it with a display: the GUI front end and the application
// object. The global data is pointed at the build's program folder (configuration, resource
// module, theme, help), where the installed program finds them beside itself.
inline int RunProgram(const QStringList& lstArgs, CHalvoDataSecurityApp::EEnd* pEnd = nullptr)
{
    const QString strBin = qEnvironmentVariable("HV_BUILD_BIN");
    CGuiAppFrontEnd frontEnd;
    CHalvoDataSecurityApp app(frontEnd);
    app.SetArguments(lstArgs);
    CHalvoDataSecurityApp::SSteps steps;
    steps.fnLoadAppConfigFile = [strBin] {
        g_HDGlobalData.m_RegData.m_strModulePath = strBin;
        return g_HDGlobalData.LoadAppConfigFile();
    };
    steps.fnLoadSettings = [strBin] {
        // Loading the user's values also reads the program's registered folder: ours after it.
        const bool bLoaded = g_HDGlobalData.m_RegData.Load();
        g_HDGlobalData.m_RegData.m_strModulePath = strBin;
        return bLoaded;
    };
    // The resource module named by the configuration, in the program folder (the program finds
    // it beside itself; the test binary lives elsewhere).
    steps.fnLoadResources = [] {
        return CResourceModule::Instance().Load(g_HDGlobalData.MAKEFILE(g_HDGlobalData.GetResourceFile()));
    };
    app.SetSteps(std::move(steps));
    const int nExit = app.Run();
    if (pEnd != nullptr) {
        *pEnd = app.m_eEnd;
    }
    return nExit;
}

}  // namespace GuiE2e
