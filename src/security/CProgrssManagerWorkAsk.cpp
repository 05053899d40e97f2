// The runner's questions: a file's attributes, and the answers of the run.
#include "globalfuncs/HVPathText.h"
#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"
#include "security/CProgrssManagerWork.h"
#include "security/HVRunFiles.h"

bool CProgrssManagerWork::CheckAttributes(const CItemData& entry, int nDirFd, const SRunFile& file, std::string& strWhy)
{
    HVRunFiles::SAttributes attrs;
    if (!HVRunFiles::ReadAttributesAt(nDirFd, file.strName, attrs, strWhy)) {
        return false;
    }
    struct SQuestion
    {
        bool bSet;
        int nSetting;
        int* pnAnswer;
        IProgrssManagerUi::EAttribute eKind;
        unsigned nTextId;
    };
    const SQuestion questions[] = {
        {attrs.bHidden,
         m_options.m_nActionHidden,
         &m_nAnswerHidden,
         IProgrssManagerUi::EAttribute::Hidden,
         IDS_ASK_HIDDEN_FILE},
        {attrs.bReadOnly,
         m_options.m_nActionReadOnly,
         &m_nAnswerReadOnly,
         IProgrssManagerUi::EAttribute::ReadOnly,
         IDS_ASK_READONLY_FILE},
        {attrs.bSystem,
         m_options.m_nActionSystem,
         &m_nAnswerSystem,
         IProgrssManagerUi::EAttribute::System,
         IDS_ASK_SYSTEM_FILE},
    };
    for (const SQuestion& q : questions) {
        if (!q.bSet) {
            continue;
        }
        if (!Ask(q.nSetting, *q.pnAnswer, q.eKind, HVFormatString(q.nTextId, entry.m_strPath))) {
            strWhy = q.eKind == IProgrssManagerUi::EAttribute::Hidden     ? "a hidden file; declined"
                     : q.eKind == IProgrssManagerUi::EAttribute::ReadOnly ? "a read-only file; declined"
                                                                          : "a file of another user; declined";
            return false;
        }
        // Yes covers all three, so a file that is hidden and read-only is asked about once.
        // Nothing is changed on the file: reading needs no write permission, the wipe engine
        // makes a read-only file of this user writable itself, and the encrypted file keeps the
        // original mode.
        break;
    }
    return true;
}

bool CProgrssManagerWork::Ask(int nSetting,
                              int& nRunAnswer,
                              IProgrssManagerUi::EAttribute eKind,
                              const QString& strText)
{
    if (nSetting == 1) {
        return true;
    }
    if (nSetting != 0) {
        return false;
    }
    if (nRunAnswer == 1) {
        return true;
    }
    if (nRunAnswer == 2) {
        return false;
    }
    bool bApplyToAll = false;
    const bool bYes = m_pUi != nullptr && m_pUi->AskAttribute(eKind, HVGlobalMFC::HVPathDisplay(strText), bApplyToAll);
    if (bApplyToAll) {
        nRunAnswer = bYes ? 1 : 2;
    }
    return bYes;
}
