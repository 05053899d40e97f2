#include "settings/CRegistry.h"

#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "settings/CHVIniGuard.h"
#include "settings/CHVXdgDirs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cstring>
#include <limits>

namespace {

// A name that cannot climb out of the configuration folder.
bool IsSafePart(const QString& strPart)
{
    return !strPart.isEmpty() && strPart != QStringLiteral(".") && strPart != QStringLiteral("..")
           && !strPart.contains(u'/') && !strPart.contains(QChar(0));
}

// The 32 bits of a stored number, signed or unsigned; false when it is no number.
bool ToBits(const QVariant& value, std::uint32_t& nBits)
{
    qlonglong n = 0;
    bool bOk = false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        n = value.toLongLong(&bOk);
        break;
    case QMetaType::QString:
        n = value.toString().trimmed().toLongLong(&bOk, 10);
        break;
    default:
        return false;
    }
    if (!bOk || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    nBits = static_cast<std::uint32_t>(n);
    return true;
}

}  // namespace

CRegistry::CRegistry(HVRegRoot defaultRoot)
    : m_defaultRoot(defaultRoot)
{
}

CRegistry::~CRegistry()
{
    Close();
}

CRegistry::CLocation CRegistry::Locate(HVRegRoot root, const QString& strPath)
{
    CLocation location;
    if (root == HVRegRoot::ClassesRoot) {
        return location;
    }
    const QStringList parts = strPath.split(u'\\', Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(QStringLiteral("SOFTWARE"), Qt::CaseInsensitive) != 0) {
        return location;
    }
    for (const QString& strPart : parts) {
        if (!IsSafePart(strPart)) {
            return location;
        }
    }
    const bool bMachine = root == HVRegRoot::LocalMachine;
    const QString strBase = bMachine ? CHVXdgDirs::SystemConfigDir() : CHVXdgDirs::ConfigHome();
    static const QStringList kAppPaths = {QStringLiteral("Microsoft"),
                                          QStringLiteral("Windows"),
                                          QStringLiteral("CurrentVersion"),
                                          QStringLiteral("App Paths")};
    if (bMachine && parts.size() == 6
        && parts.mid(1, 4).join(u'\\').compare(kAppPaths.join(u'\\'), Qt::CaseInsensitive) == 0) {
        // The registration of a program: only ours has a home here.
        if (parts[5].compare(QStringLiteral("HalvoNorvane.exe"), Qt::CaseInsensitive) != 0) {
            return location;
        }
        location.strFile = strBase + QStringLiteral("/Halvo-Soft/HalvoNorvane.conf");
        location.strGroup = QStringLiteral("App Paths");
    } else {
        location.strFile = strBase + u'/' + parts[1] + u'/' + parts[2] + QStringLiteral(".conf");
        location.strGroup = parts.mid(3).join(u'/');
    }
    location.bValid = true;
    location.bReadOnly = bMachine;
    return location;
}

bool CRegistry::CanWrite(const CLocation& location) const
{
    if (!location.bValid || location.bReadOnly) {
        return false;
    }
    const QFileInfo file(location.strFile);
    if (file.exists() && (!file.isFile() || !file.isWritable())) {
        return false;
    }
    // The new file is written beside the old one and renamed over it.
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}

int CRegistry::VerifyKey(HVRegRoot root, const QString& strPath, std::uint32_t nAccess) const
{
    const CLocation location = Locate(root, strPath);
    if (!location.bValid || !QFileInfo(location.strFile).isFile()) {
        return 0;
    }
    if (nAccess != HV_KEY_READ && !CanWrite(location)) {
        return 0;
    }
    if (!CHVIniGuard::IsSafeFile(location.strFile)) {
        return 0;
    }
    QSettings settings(location.strFile, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return 0;
    }
    if (!location.strGroup.isEmpty()) {
        settings.beginGroup(location.strGroup);
    }
    return settings.childKeys().isEmpty() && settings.childGroups().isEmpty() ? 0 : 1;
}

int CRegistry::VerifyKey(const QString& strPath, std::uint32_t nAccess) const
{
    return VerifyKey(m_defaultRoot, strPath, nAccess);
}

int CRegistry::Open(HVRegRoot root, const QString& strPath, std::uint32_t nAccess)
{
    Close();
    if (!VerifyKey(root, strPath, nAccess)) {
        return 0;
    }
    const CLocation location = Locate(root, strPath);
    m_settings = std::make_unique<QSettings>(location.strFile, QSettings::IniFormat);
    m_settings->setAtomicSyncRequired(true);
    if (!location.strGroup.isEmpty()) {
        m_settings->beginGroup(location.strGroup);
    }
    m_bWritable = nAccess != HV_KEY_READ;
    return 1;
}

int CRegistry::CreateKey(HVRegRoot root, const QString& strPath)
{
    Close();
    const CLocation location = Locate(root, strPath);
    if (!location.bValid || location.bReadOnly) {
        return 0;
    }
    if (!QDir().mkpath(QFileInfo(location.strFile).absolutePath()) || !CanWrite(location)) {
        return 0;
    }
    if (!CHVIniGuard::IsSafeFile(location.strFile) && !CHVIniGuard::SetAside(location.strFile)) {
        return 0;
    }
    m_settings = std::make_unique<QSettings>(location.strFile, QSettings::IniFormat);
    m_settings->setAtomicSyncRequired(true);
    if (m_settings->status() != QSettings::NoError) {
        m_settings.reset();
        return 0;
    }
    if (!location.strGroup.isEmpty()) {
        m_settings->beginGroup(location.strGroup);
    }
    m_bWritable = true;
    return 1;
}

bool CRegistry::Close()
{
    if (!m_settings) {
        return true;
    }
    bool bOk = true;
    if (m_bWritable) {
        m_settings->sync();
        bOk = m_settings->status() == QSettings::NoError;
    }
    m_settings.reset();
    m_bWritable = false;
    return bOk;
}

QString CRegistry::ValueKey(const QString& strName)
{
    return strName.isEmpty() ? QStringLiteral("@") : strName;
}

bool CRegistry::HasValue(const QString& strName) const
{
    return m_settings && m_settings->contains(ValueKey(strName));
}

int CRegistry::Read(const QString& strName, int& nValue) const
{
    std::uint32_t nBits = 0;
    if (!HasValue(strName) || !ToBits(m_settings->value(ValueKey(strName)), nBits)) {
        return 0;
    }
    nValue = static_cast<int>(nBits);
    return 1;
}

int CRegistry::Read(const QString& strName, std::uint32_t& nValue) const
{
    std::uint32_t nBits = 0;
    if (!HasValue(strName) || !ToBits(m_settings->value(ValueKey(strName)), nBits)) {
        return 0;
    }
    nValue = nBits;
    return 1;
}

int CRegistry::Read(const QString& strName, QString& strValue) const
{
    if (!HasValue(strName)) {
        return 0;
    }
    const QVariant value = m_settings->value(ValueKey(strName));
    switch (value.typeId()) {
    case QMetaType::QString:
        strValue = value.toString();
        return 1;
    case QMetaType::QStringList:
        // INI text with a bare comma reads as a list: take the text back as it stood.
        strValue = value.toStringList().join(u',');
        return 1;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        strValue = value.toString();
        return 1;
    default:
        return 0;
    }
}

int CRegistry::Read(const QString& strName, QByteArray& value) const
{
    if (!HasValue(strName)) {
        return 0;
    }
    const QVariant stored = m_settings->value(ValueKey(strName));
    if (stored.typeId() != QMetaType::QByteArray) {
        return 0;
    }
    value = stored.toByteArray();
    return 1;
}

int CRegistry::Read(const QString& strName, void* pBuffer, std::uint32_t& nLen) const
{
    QByteArray value;
    if (!Read(strName, value) || static_cast<qsizetype>(std::numeric_limits<std::uint32_t>::max()) < value.size()) {
        return 0;
    }
    const auto nSize = static_cast<std::uint32_t>(value.size());
    if (nSize > nLen || (nSize > 0 && pBuffer == nullptr)) {
        nLen = nSize;
        return 0;
    }
    if (nSize > 0) {
        std::memcpy(pBuffer, value.constData(), nSize);
    }
    nLen = nSize;
    return 1;
}

int CRegistry::Write(const QString& strName, int nValue)
{
    if (!m_settings || !m_bWritable) {
        return 0;
    }
    m_settings->setValue(ValueKey(strName), nValue);
    return 1;
}

int CRegistry::Write(const QString& strName, std::uint32_t nValue)
{
    if (!m_settings || !m_bWritable) {
        return 0;
    }
    m_settings->setValue(ValueKey(strName), static_cast<qulonglong>(nValue));
    return 1;
}

int CRegistry::Write(const QString& strName, const QString& strValue)
{
    if (!m_settings || !m_bWritable) {
        return 0;
    }
    if (HVGlobalMFC::HVPathHasEscapes(strValue)) {
        // A path whose name is not UTF-8: the settings file is UTF-8 text and would keep a
        // different name, so nothing is stored.
        LOGGER::g_HVLog.Log("Setting %s not stored: its path is not UTF-8 text", qUtf8Printable(strName));
        return 0;
    }
    m_settings->setValue(ValueKey(strName), strValue);
    return 1;
}

int CRegistry::Write(const QString& strName, const QByteArray& value)
{
    if (!m_settings || !m_bWritable) {
        return 0;
    }
    m_settings->setValue(ValueKey(strName), value);
    return 1;
}

int CRegistry::Write(const QString& strName, const void* pBuffer, std::uint32_t nLen)
{
    if (pBuffer == nullptr && nLen > 0) {
        return 0;
    }
    return Write(strName, QByteArray(static_cast<const char*>(pBuffer), static_cast<qsizetype>(nLen)));
}

int CRegistry::Write(const QString& strName, const char* pszValue)
{
    return Write(strName, QString::fromLocal8Bit(pszValue ? pszValue : ""));
}

int CRegistry::DeleteValue(const QString& strName)
{
    if (!m_bWritable || !HasValue(strName)) {
        return 0;
    }
    m_settings->remove(ValueKey(strName));
    return 1;
}
