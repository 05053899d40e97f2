#pragma once

#include <string>

class CDataSecurityMngr;

// What one encrypt, wipe or decrypt run is asked to do, taken once when the run is set up.
// Plain values: the runner reaches into no global object.
struct SRunOptions
{
    // From the manager.
    int m_nDecrypt = 0;    // 1 for a decryption run, 0 for an encryption or wipe run
    int m_bEncrypt = 0;    // the encrypt option of the request
    int m_iHidenType = 0;  // after-encryption action: 0 none, 1 hide, 2 wipe

    // From the settings, with their defaults.
    int m_nAESType = 2;  // 0, 1, 2: 16, 24, 32-byte key
    int m_nWipeType = 0;
    int m_nDodPass3Type = 0;
    std::string m_strDoDPass3;
    int m_nActionHidden = 0;  // 0 ask, 1 process, other: skip
    int m_nActionReadOnly = 1;
    int m_nActionSystem = 0;

    // The run lock in the user's data folder (see CRunLock); empty: no lock is taken.
    std::string m_strRunLock;

    // The option set of the manager's request: the command-line set while it works on a
    // command line, else the interactive one. nDecrypt marks a decryption run.
    [[nodiscard]] static SRunOptions FromManager(const CDataSecurityMngr& mngr, int nDecrypt);

    // The settings fields of the registry settings object (or anything with the same fields).
    template <typename TSettings>
    void TakeSettings(const TSettings& reg)
    {
        m_nAESType = reg.m_nAESType;
        m_nWipeType = reg.m_nWipeType;
        m_nDodPass3Type = reg.m_nDodPass3Type;
        m_strDoDPass3 = reg.m_strDoDPass3.toStdString();
        m_nActionHidden = reg.m_nActionHidden;
        m_nActionReadOnly = reg.m_nActionReadOnly;
        m_nActionSystem = reg.m_nActionSystem;
    }

    // The key length that m_nAESType chooses, or 0 for an unknown value.
    [[nodiscard]] int KeyLength() const
    {
        switch (m_nAESType) {
        case 0:
            return 16;
        case 1:
            return 24;
        case 2:
            return 32;
        default:
            return 0;
        }
    }
};
