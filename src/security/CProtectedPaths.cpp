#include "security/CProtectedPaths.h"

#include "globalfuncs/CHVDrivesInfo.h"
#include "globalfuncs/HVPathText.h"

#include <QDir>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// realpath of the longest existing leading part, the rest appended and cleaned in the text.
QString RealPrefix(const QString& strAbsolute)
{
    QString strHead = strAbsolute;
    QString strTail;
    for (;;) {
        char szReal[PATH_MAX];
        if (::realpath(HVGlobalMFC::HVPathToBytes(strHead).constData(), szReal) != nullptr) {
            const QString strReal = HVGlobalMFC::HVPathFromBytes(szReal);
            return strTail.isEmpty() ? strReal : QDir::cleanPath(strReal + u'/' + strTail);
        }
        const qsizetype nSlash = strHead.lastIndexOf(u'/');
        if (nSlash <= 0) {
            return QDir::cleanPath(strAbsolute);
        }
        const QString strLast = strHead.mid(nSlash + 1);
        strTail = strTail.isEmpty() ? strLast : strLast + u'/' + strTail;
        strHead.truncate(nSlash);
    }
}

}  // namespace

QString CProtectedPaths::AbsoluteSpelling(const QString& strPath)
{
    if (strPath.isEmpty()) {
        return {};
    }
    return HVGlobalMFC::HVAbsolutePath(strPath);
}

QString CProtectedPaths::ResolvedSpelling(const QString& strPath)
{
    if (strPath.isEmpty()) {
        return {};
    }
    // Not cleaned first: "link/.." is the parent of the link's target, not the link's folder.
    return RealPrefix(strPath.startsWith(u'/') ? strPath : HVGlobalMFC::HVCurrentFolder() + u'/' + strPath);
}

bool CProtectedPaths::IsSameOrInside(const QString& strOuter, const QString& strInner)
{
    if (strOuter.isEmpty() || !strInner.startsWith(strOuter)) {
        return false;
    }
    return strInner.size() == strOuter.size() || strOuter.endsWith(u'/') || strInner.at(strOuter.size()) == u'/';
}

CProtectedPaths::SEntry CProtectedPaths::MakeEntry(const QString& strPath, bool bInsideToo)
{
    return SEntry{AbsoluteSpelling(strPath), ResolvedSpelling(strPath), bInsideToo};
}

void CProtectedPaths::Clear()
{
    m_neverHidden.clear();
    m_guarded.clear();
}

void CProtectedPaths::AddNeverHidden(const QString& strPath)
{
    if (!strPath.isEmpty()) {
        m_neverHidden.push_back(MakeEntry(strPath, false));
    }
}

void CProtectedPaths::AddGuarded(const QString& strPath, bool bInsideToo)
{
    if (!strPath.isEmpty()) {
        m_guarded.push_back(MakeEntry(strPath, bInsideToo));
    }
}

bool CProtectedPaths::InMountVault(const QString& strSpelling) const
{
    if (m_strMountVaultName.isEmpty()) {
        return false;
    }
    if (strSpelling.split(u'/', Qt::SkipEmptyParts).contains(m_strMountVaultName)) {
        return true;
    }
    struct stat st
    {
    };
    const QString strVault = strSpelling + (strSpelling.endsWith(u'/') ? QString() : QStringLiteral("/"));
    return ::lstat(HVGlobalMFC::HVPathToBytes(strVault + m_strMountVaultName).constData(), &st) == 0;
}

std::vector<CProtectedPaths::SEntry> CProtectedPaths::MountVaults() const
{
    std::vector<SEntry> vaults;
    if (m_strMountVaultName.isEmpty()) {
        return vaults;
    }
    CHVDrivesInfo drives;
    (void)drives.EnumDrivesEx();
    for (const QString& strRoot : std::as_const(drives.m_arrAllDrives)) {
        const QString strVault =
            strRoot + (strRoot.endsWith(u'/') ? QString() : QStringLiteral("/")) + m_strMountVaultName;
        struct stat st
        {
        };
        if (::lstat(HVGlobalMFC::HVPathToBytes(strVault).constData(), &st) == 0) {
            vaults.push_back(MakeEntry(strVault, true));
        }
    }
    return vaults;
}

bool CProtectedPaths::IsProtected(const QString& strPath, EOperation eOperation) const
{
    if (strPath.isEmpty()) {
        return false;
    }
    // The vaults of other filesystems as they are mounted now: each with all that contains it,
    // whichever filesystem that is on.
    std::vector<SEntry> guarded = MountVaults();
    guarded.insert(guarded.begin(), m_guarded.cbegin(), m_guarded.cend());
    const QString aSpellings[] = {AbsoluteSpelling(strPath), ResolvedSpelling(strPath)};
    for (const QString& strItem : aSpellings) {
        if (InMountVault(strItem)) {
            return true;
        }
        for (const SEntry& entry : guarded) {
            for (const QString* pListed : {&entry.strAbsolute, &entry.strResolved}) {
                if (IsSameOrInside(strItem, *pListed) || (entry.bInsideToo && IsSameOrInside(*pListed, strItem))) {
                    return true;
                }
            }
        }
        if (eOperation != EOperation::Hide) {
            continue;
        }
        for (const SEntry& entry : m_neverHidden) {
            if (strItem.compare(entry.strAbsolute, Qt::CaseInsensitive) == 0
                || strItem.compare(entry.strResolved, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
    }
    return false;
}
