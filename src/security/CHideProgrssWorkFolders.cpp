// The folders a hide run touched, refreshed once each when it ends.
#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "security/CHideProgrssWork.h"

#include <filesystem>

namespace {

// A folder as it stands (a link to a folder is hidden as the link, so it counts as a file).
bool IsFolder(const QString& strPath)
{
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::symlink_status(HVGlobalMFC::HVPathToStd(strPath), ec));
}

}  // namespace

QString CHideProgrssWork::ParentFolder(const QString& strPath)
{
    QString strClean = strPath;
    while (strClean.size() > 1 && strClean.endsWith(QLatin1Char('/'))) {
        strClean.chop(1);
    }
    const qsizetype nSlash = strClean.lastIndexOf(QLatin1Char('/'));
    if (nSlash < 0) {
        return QString();
    }
    return nSlash == 0 ? QStringLiteral("/") : strClean.left(nSlash);
}

void CHideProgrssWork::RecordFolder(const QString& strPath)
{
    const auto it = m_mapFolderIndex.constFind(strPath);
    if (IsFolder(strPath)) {
        if (it == m_mapFolderIndex.cend()) {
            m_mapFolderIndex.insert(strPath, m_arrFolders.size());
            m_arrFolders.emplace_back(strPath, strPath);
        }
        return;
    }
    const QString strFolder = ParentFolder(strPath);
    if (it != m_mapFolderIndex.cend()) {
        m_arrFolders[*it].second = strFolder;
    } else {
        m_mapFolderIndex.insert(strPath, m_arrFolders.size());
        m_arrFolders.emplace_back(strPath, strFolder);
    }
}

void CHideProgrssWork::RefreshFolders()
{
    // One refresh per item path recorded: an item listed twice is refreshed once.
    for (const auto& entry : m_arrFolders) {
        if (!m_fnRefresh || entry.second.isEmpty()) {
            continue;
        }
        try {
            m_fnRefresh(entry.second);
        } catch (...) {
            LOGGER::g_HVLog.Log("Folder refresh failed: %s", entry.second.toUtf8().constData());
        }
    }
    m_arrFolders.clear();
    m_mapFolderIndex.clear();
}
