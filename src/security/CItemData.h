#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

// One file or folder to work on: a selected item of a page or of the command line, or one
// file of a runner's file list.
class CItemData
{
public:
    // m_nKind
    static constexpr qint32 KindFile = 0;
    static constexpr qint32 KindFolder = 1;

    // m_nWipeState, m_nEncryptState, m_nHideState. A folder turns to StatePartlyFailed at its
    // first failed file and keeps it.
    static constexpr quint16 StateNotProcessed = 0;
    static constexpr quint16 StateSucceeded = 1;
    static constexpr quint16 StateFailed = 2;
    static constexpr quint16 StatePartlyFailed = 3;
    static constexpr quint16 StateFailed2 = 4;

    // All result states start at StateNotProcessed, the owner at null.
    CItemData(const QString& strPath, quint64 nSize, qint32 nKind);

    QString m_strPath;        // full path of the file or folder
    quint64 m_nSize;          // size in bytes; 0 for a folder
    qint32 m_nKind;           // KindFile or KindFolder
    quint16 m_nWipeState;     // wipe result state
    quint16 m_nEncryptState;  // encryption (and decryption) result state
    quint16 m_nHideState;     // hide result state
    // For an entry of a runner's file list: the selected item it came from; null for a
    // selected item. Not owned.
    CItemData* m_pOwner;
};

// Selected items, owned jointly by whoever holds them (a page's list, the manager for a run):
// an item stays valid for as long as any holder keeps it.
using CItemDataList = std::vector<std::shared_ptr<CItemData>>;

// The items as the runners take them: borrowed for the length of a run.
[[nodiscard]] std::vector<CItemData*> ItemPointers(const CItemDataList& items);
