#include "resources/CResourceModule.h"

#include "resources/CResourceFileCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QResource>

#include <algorithm>
#include <atomic>

Q_LOGGING_CATEGORY(lcHvResources, "hv.resources")

namespace {

#include "resources/HVBuiltinStrings.inc"

const char* FindBuiltin(unsigned nId)
{
    const auto* end = std::end(kBuiltinStrings);
    const auto* it =
        std::lower_bound(std::begin(kBuiltinStrings), end, nId, [](const auto& e, unsigned n) { return e.nId < n; });
    return it != end && it->nId == nId ? it->pszText : nullptr;
}

void DefaultMissingString(unsigned nId, bool bModuleLoaded)
{
    if (!bModuleLoaded) {
        // Said once: a caller in a loop would otherwise flood the log.
        static std::atomic<bool> s_bWarned{false};
        if (!s_bWarned.exchange(true)) {
            qCWarning(lcHvResources, "string %u asked for before the resource module was loaded", nId);
        }
        return;
    }
    qCCritical(lcHvResources, "string %u is missing from the resource module", nId);
    Q_ASSERT_X(false, "HVLoadString", "string number missing from the resource module");
}

}  // namespace

CResourceModule& CResourceModule::Instance()
{
    static CResourceModule instance;
    return instance;
}

CResourceModule::CResourceModule() = default;

bool CResourceModule::Load(const QString& strPath)
{
    QWriteLocker locker(&m_lock);
    UnloadLocked();
    if (strPath.isEmpty()) {
        return false;
    }
    const QString strFile = ResolvePath(strPath);
    QFile file(strFile);
    if (!QFileInfo(strFile).isFile() || file.size() > CResourceFileCheck::kMaxFileSize
        || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    // Checked and registered from the same bytes: the file cannot change in between.
    QByteArray content = file.read(CResourceFileCheck::kMaxFileSize + 1);
    if (!CResourceFileCheck::IsWellFormed(content)) {
        return false;
    }
    const auto* pData = reinterpret_cast<const uchar*>(content.constData());
    if (!QResource::registerResource(pData)) {
        return false;
    }
    const QResource table(QString::fromLatin1(kStringTablePath));
    if (!table.isValid() || table.compressionAlgorithm() != QResource::Compression::NoCompression
        || !m_table.Parse(QByteArrayView(table.data(), table.size())) || m_table.IsEmpty()) {
        QResource::unregisterResource(pData);
        m_table.Clear();
        return false;
    }
    m_content = std::move(content);
    m_strFilePath = strFile;
    return true;
}

void CResourceModule::Unload()
{
    QWriteLocker locker(&m_lock);
    UnloadLocked();
}

void CResourceModule::UnloadLocked()
{
    if (!m_content.isEmpty()) {
        QResource::unregisterResource(reinterpret_cast<const uchar*>(m_content.constData()));
    }
    m_content.clear();
    m_strFilePath.clear();
    m_table.Clear();
}

bool CResourceModule::IsLoaded() const
{
    QReadLocker locker(&m_lock);
    return !m_strFilePath.isEmpty();
}

QString CResourceModule::FilePath() const
{
    QReadLocker locker(&m_lock);
    return m_strFilePath;
}

QString CResourceModule::String(unsigned nId) const
{
    {
        QReadLocker locker(&m_lock);
        if (m_table.Contains(nId)) {
            return m_table.Text(nId);
        }
    }
    if (const char* psz = FindBuiltin(nId)) {
        return QString::fromUtf8(psz);
    }
    ReportMissing(nId);
    return QString();
}

bool CResourceModule::HasString(unsigned nId) const
{
    QReadLocker locker(&m_lock);
    return m_table.Contains(nId) || FindBuiltin(nId) != nullptr;
}

std::vector<unsigned> CResourceModule::StringIds() const
{
    QReadLocker locker(&m_lock);
    return m_table.Ids();
}

QString CResourceModule::ImagePath(HVImageKind kind, unsigned nId) const
{
    QReadLocker locker(&m_lock);
    if (m_strFilePath.isEmpty()) {
        return QString();
    }
    const QString strFolder = kind == HVImageKind::Icon ? QStringLiteral(":/icon") : QStringLiteral(":/bmp");
    const QStringList names = QDir(strFolder).entryList({QString::number(nId) + QStringLiteral(".*")}, QDir::Files);
    return names.isEmpty() ? QString() : strFolder + QLatin1Char('/') + names.first();
}

CResourceModule::MissingStringHandler CResourceModule::SetMissingStringHandler(MissingStringHandler handler)
{
    QWriteLocker locker(&m_lock);
    std::swap(m_missingHandler, handler);
    return handler;
}

void CResourceModule::ReportMissing(unsigned nId) const
{
    MissingStringHandler handler;
    bool bLoaded = false;
    {
        QReadLocker locker(&m_lock);
        handler = m_missingHandler;
        bLoaded = !m_strFilePath.isEmpty();
    }
    // Called without the lock: a handler may look strings up itself.
    if (handler) {
        handler(nId);
    } else {
        DefaultMissingString(nId, bLoaded);
    }
}

QString CResourceModule::BuiltinString(unsigned nId)
{
    const char* psz = FindBuiltin(nId);
    return psz ? QString::fromUtf8(psz) : QString();
}

bool CResourceModule::HasBuiltinString(unsigned nId)
{
    return FindBuiltin(nId) != nullptr;
}

QString CResourceModule::DefaultFileName()
{
    return QStringLiteral(HV_RESOURCE_FILE_NAME);
}

QString CResourceModule::ProgramFolder()
{
    if (QCoreApplication::instance()) {
        return QCoreApplication::applicationDirPath();
    }
    // Before the application object exists (or in tools without one).
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

QString CResourceModule::ResolvePath(const QString& strPath)
{
    if (QDir::isAbsolutePath(strPath)) {
        return QDir::cleanPath(strPath);
    }
    return QDir::cleanPath(ProgramFolder() + QLatin1Char('/') + strPath);
}
