// Fuzz target of the settings files: the input is the per-user INI file. The settings store
// reads every value of the user's key in each of its kinds, the user's values are loaded from
// it (which rewrites defaults when something is missing), and the shell extension's own reader
// parses the same text.

#include "settings/CMRegistryData.h"
#include "settings/CRegistry.h"
#ifdef HV_FUZZ_EXT_INI
#include "shellext/CHVExtIni.h"
#endif

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

QString g_strFile;  // $XDG_CONFIG_HOME/Halvo-Soft/HalvoNorvane.conf of this run

void ReadEveryKind(const CRegistry& key, const QString& strName)
{
    int nValue = 0;
    std::uint32_t nUnsigned = 0;
    QString strValue;
    QByteArray bytes;
    (void)key.Read(strName, nValue);
    (void)key.Read(strName, nUnsigned);
    (void)key.Read(strName, strValue);
    (void)key.Read(strName, bytes);
    unsigned char buffer[16];
    std::uint32_t nLen = sizeof(buffer);
    if (key.Read(strName, buffer, nLen) && nLen > sizeof(buffer)) {
        std::abort();  // claims to have filled more than the buffer holds
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char szTemplate[] = "/tmp/hv-settings-fuzz-XXXXXX";
    const char* pszHome = ::mkdtemp(szTemplate);
    if (pszHome == nullptr) {
        std::abort();
    }
    const QString strHome = QString::fromLocal8Bit(pszHome);
    ::setenv("XDG_CONFIG_HOME", pszHome, 1);
    ::setenv("HOME", pszHome, 1);
    QDir().mkpath(strHome + QStringLiteral("/Halvo-Soft"));
    g_strFile = strHome + QStringLiteral("/Halvo-Soft/HalvoNorvane.conf");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const QByteArray text(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(nSize));
    {
        QFile::remove(g_strFile);
        QFile file(g_strFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            return 0;
        }
    }

    {
        CRegistry key(HVRegRoot::CurrentUser);
        if (key.Open(HVRegRoot::CurrentUser, QString::fromLatin1(CMRegistryData::kSettingsKey), HV_KEY_READ)) {
            for (const CMRegistryData::CValueInfo& info : CMRegistryData::Values()) {
                ReadEveryKind(key, QString::fromLatin1(info.pszName));
            }
            ReadEveryKind(key, QString::fromLatin1(CMRegistryData::kPlacementValue));
            ReadEveryKind(key, QString());
        }
    }
    {
        CMRegistryData data;
        data.LoadOrCreate();
        for (const CMRegistryData::CValueInfo& info : CMRegistryData::Values()) {
            const QString strName = QString::fromLatin1(info.pszName);
            if (info.pnField != nullptr && !data.GetInt(strName)) {
                std::abort();  // every number has a value after loading
            }
        }
        QByteArray placement;
        (void)data.LoadWindowPlacement(placement);
    }

#ifdef HV_FUZZ_EXT_INI
    CHVExtIni ini;
    ini.Parse(std::string(text.constData(), static_cast<std::size_t>(text.size())), "Main");
    for (const CMRegistryData::CValueInfo& info : CMRegistryData::Values()) {
        (void)ini.GetString(info.pszName);
        (void)ini.GetInt(info.pszName);
    }
    (void)CHVExtIni::UnescapeKey(std::string(text.constData(), static_cast<std::size_t>(text.size())));
    (void)CHVExtIni::UnescapeValue(std::string(text.constData(), static_cast<std::size_t>(text.size())));
#endif
    return 0;
}
