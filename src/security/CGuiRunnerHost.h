#pragma once

#include "security/IRunnerHost.h"

#include <QPointer>
#include <QWidget>

class CDataSecurityMngr;

// The GUI's runners: the progress dialogs, owned by the given window (none before the main
// window exists). The hide runner hides through the manager's HidePath and unhides through its
// hiding engine.
class CGuiRunnerHost : public IRunnerHost
{
public:
    explicit CGuiRunnerHost(CDataSecurityMngr*& pMngr, QWidget* pParent = nullptr);

    void SetParentWidget(QWidget* pParent) { m_pParent = pParent; }

    [[nodiscard]] std::unique_ptr<IProgrssRun> CreateProgrssManager() override;
    [[nodiscard]] std::unique_ptr<IHideRun> CreateHideProgrss() override;

private:
    CDataSecurityMngr*& m_pMngr;
    QPointer<QWidget> m_pParent;
};
