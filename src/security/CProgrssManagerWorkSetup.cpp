// Setting up, starting and stopping the encrypt, wipe and decrypt runner.
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"

SRunOptions SRunOptions::FromManager(const CDataSecurityMngr& mngr, int nDecrypt)
{
    SRunOptions o;
    o.m_nDecrypt = nDecrypt;
    o.m_bEncrypt = mngr.m_bCmdLine ? mngr.m_bCmdEncrypt : mngr.m_bEncrypt;
    o.m_iHidenType = mngr.m_bCmdLine ? mngr.m_iCmdHidenType : mngr.m_iHidenType;
    return o;
}

CProgrssManagerWork::CProgrssManagerWork() = default;

CProgrssManagerWork::~CProgrssManagerWork()
{
    StopAndJoin();
}

void CProgrssManagerWork::SetPassword(const CSecureBuffer& utf16)
{
    m_strPassword = utf16.Clone();
}

void CProgrssManagerWork::SetMasterPassword(const CSecureBuffer& utf16)
{
    m_strMasterPassword = utf16.Clone();
}

void CProgrssManagerWork::Initialise(const SRunOptions& options, IProgrssManagerUi* pUi)
{
    m_options = options;
    m_pUi = pUi;
    m_nDecrypt = options.m_nDecrypt == 1 ? 1 : 0;
    m_bEncryptFlag = options.m_bEncrypt ? 1 : 0;
    m_bHideAfterFlag = options.m_iHidenType == CDataSecurityMngr::Hide ? 1 : 0;
    m_bWipeFlag = options.m_iHidenType == CDataSecurityMngr::HideWipe ? 1 : 0;
    if (m_bHideAfterFlag && m_bEncryptFlag) {
        m_bWipeFlag = 1;
    }

    auto sink = [this](std::uint32_t nBytes) { OnEngineProgress(nBytes); };
    if (m_nDecrypt == 1 || m_bEncryptFlag) {
        m_encrypt.SetParent(sink);
        const int nKeyLen = options.KeyLength();
        if (nKeyLen != 0) {
            m_encrypt.EnablerEncryptionType(nKeyLen, m_strPassword.Utf16Units());
        } else {
            // An unknown key-length setting keeps the engine's key length, but the password
            // still reaches the engine: without it every file of the run would fail.
            m_encrypt.SetPassword(m_strPassword.Utf16Units());
        }
    }
    if (m_nDecrypt != 1 && m_bWipeFlag) {
        ConfigureWipe(m_wipe, [this](std::uint32_t nBytes) {
            ForwardStop(m_wipe);
            OnEngineProgress(nBytes);
        });
    }
    BusySignal().Set();
    ClearStop();

    // The dialog keeps no copy of the password from here on.
    m_strPassword.clear();

    m_nAnswerHidden = m_nAnswerSystem = m_nAnswerReadOnly = m_nAnswerHardLink = 0;
    m_counters = SRunCounters{};
    m_bCancelled = false;
    m_bNoSpace = false;
}

void CProgrssManagerWork::ConfigureWipe(CWipeManager& wipe, HVProgressSink sink) const
{
    wipe.SetParent(std::move(sink));
    switch (m_options.m_nWipeType) {
    case 0:
        wipe.SetMethod(0);
        break;
    case 1:
        wipe.SetMethod(1);
        wipe.SetDoDParam(m_options.m_nDodPass3Type, m_options.m_strDoDPass3);
        break;
    case 2:
        wipe.SetMethod(2);
        break;
    default:
        break;
    }
    if (m_wipePassObserver) {
        wipe.SetPassObserver(m_wipePassObserver);
    }
    wipe.m_sigBusy.Set();
    wipe.m_sigStop.Reset();
}

void CProgrssManagerWork::ForwardStop(CWipeManager& wipe) const
{
    if (m_encrypt.m_sigStop.IsSet()) {
        wipe.m_sigStop.Set();
    }
}

void CProgrssManagerWork::ClearStop()
{
    m_wipe.m_sigStop.Reset();
    StopSignal().Reset();
}

void CProgrssManagerWork::AddWipeEngine(CWipeManager* pWipe)
{
    std::lock_guard lock(m_wipeEnginesMutex);
    m_arrWipeEngines.push_back(pWipe);
}

void CProgrssManagerWork::RemoveWipeEngine(CWipeManager* pWipe)
{
    std::lock_guard lock(m_wipeEnginesMutex);
    std::erase(m_arrWipeEngines, pWipe);
}

void CProgrssManagerWork::RequestStop()
{
    // The wipe engines first: whoever waits for StopSignal() finds them stopped already.
    m_wipe.m_sigStop.Set();
    {
        std::lock_guard lock(m_wipeEnginesMutex);
        for (CWipeManager* pWipe : m_arrWipeEngines) {
            pWipe->m_sigStop.Set();
        }
    }
    StopSignal().Set();
}
