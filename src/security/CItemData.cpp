#include "security/CItemData.h"

CItemData::CItemData(const QString& strPath, quint64 nSize, qint32 nKind)
    : m_strPath(strPath)
    , m_nSize(nSize)
    , m_nKind(nKind)
    , m_nWipeState(StateNotProcessed)
    , m_nEncryptState(StateNotProcessed)
    , m_nHideState(StateNotProcessed)
    , m_pOwner(nullptr)
{
}

std::vector<CItemData*> ItemPointers(const CItemDataList& items)
{
    std::vector<CItemData*> pointers;
    pointers.reserve(items.size());
    for (const auto& pItem : items) {
        pointers.push_back(pItem.get());
    }
    return pointers;
}
