#include "security/HVItemStates.h"

#include "resources/HVResourceStrings.h"
#include "security/CItemData.h"

namespace HVItemStates {

quint16 Follow(const CItemData& item, quint16 nCurrent, quint16 nNew)
{
    if (item.m_nKind == CItemData::KindFile) {
        return nNew;
    }
    switch (nNew) {
    case CItemData::StateFailed:
    case CItemData::StateFailed2:
        return CItemData::StatePartlyFailed;
    case CItemData::StateSucceeded:
        return nCurrent == CItemData::StatePartlyFailed ? nCurrent : nNew;
    default:
        return nCurrent;
    }
}

void SetWipeState(CItemData& item, quint16 nNew)
{
    item.m_nWipeState = Follow(item, item.m_nWipeState, nNew);
}

void SetEncryptState(CItemData& item, quint16 nNew)
{
    item.m_nEncryptState = Follow(item, item.m_nEncryptState, nNew);
}

void SetHideState(CItemData& item, quint16 nNew)
{
    item.m_nHideState = Follow(item, item.m_nHideState, nNew);
}

QString StateText(quint16 nState)
{
    switch (nState) {
    case CItemData::StateNotProcessed:
        return HVLoadString(IDS_STATE_NOT_PROCESSED);
    case CItemData::StateSucceeded:
        return HVLoadString(IDS_STATE_SUCCEEDED);
    case CItemData::StateFailed:
        return HVLoadString(IDS_STATE_FAILED);
    case CItemData::StatePartlyFailed:
        return HVLoadString(IDS_STATE_PARTLY_FAILED);
    case CItemData::StateFailed2:
        return HVLoadString(IDS_STATE_NOT_COMPLETED);
    default:
        return QString();
    }
}

}  // namespace HVItemStates
