// Which selected items a secure flow may work on.
#include "logging/CHVLog.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"
#include "security/SRunCounters.h"

std::vector<CItemData*> CDataSecurityMngr::AdmitItems(int bEncrypt, int iAction)
{
    m_lstRefusedPaths.clear();
    // Hiding after an encryption wipes the sources first, so that flow is a wipe too.
    const bool bWipe = iAction == HideWipe || (iAction == Hide && bEncrypt != 0);
    const CProtectedPaths::EOperation eOperation = iAction == Hide ? CProtectedPaths::EOperation::Hide
                                                   : bWipe         ? CProtectedPaths::EOperation::Wipe
                                                                   : CProtectedPaths::EOperation::Encrypt;
    std::vector<CItemData*> admitted;
    for (const auto& pShared : m_arrItems) {
        CItemData* pItem = pShared.get();
        if (!IsProtectedPath(pItem->m_strPath, eOperation)) {
            admitted.push_back(pItem);
            continue;
        }
        LOGGER::g_HVLog.Log("Refused: %s (%s)", qUtf8Printable(pItem->m_strPath), kRefusedProtected);
        m_lstRefusedPaths.append(pItem->m_strPath);
        if (bEncrypt != 0) {
            pItem->m_nEncryptState = CItemData::StateFailed;
        }
        if (bWipe) {
            pItem->m_nWipeState = CItemData::StateFailed;
        }
        if (iAction == Hide) {
            pItem->m_nHideState = CItemData::StateFailed;
        }
    }
    return admitted;
}

void CDataSecurityMngr::CountRefused(SRunCounters& run, SHideCounters& hide, int bEncrypt, int iAction) const
{
    const int nRefused = static_cast<int>(m_lstRefusedPaths.size());
    if (bEncrypt != 0) {
        run.m_nFailed += nRefused;
    } else if (iAction == HideWipe) {
        run.m_nWipeFailed += nRefused;
    }
    if (iAction == Hide) {
        hide.m_nProcessed += nRefused;
        hide.m_nFailed += nRefused;
    }
}
