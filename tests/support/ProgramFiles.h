#pragma once

#include "engines/CEncryptManager.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include "support/TempHome.h"

namespace hvtest {

// Encrypts plain into strOut the way the build makes the configuration and theme files: under
// the configuration password (or another), at a cheap key-derivation cost. False on failure.
inline bool WriteEncryptedConfig(const QString& strOut,
                                 const QByteArray& plain,
                                 std::u16string_view password = u"" HV_CONFIG_PASSWORD)
{
    const QString strPlain = strOut + QStringLiteral(".plain");
    QFile::remove(strOut);
    if (!WriteFile(strPlain, plain)) {
        return false;
    }
    CEncryptManager engine;
    engine.SetKdfCost(8 * 1024, 1);
    const std::string strDest = QFile::encodeName(strOut).toStdString();
    const bool bOk = engine.EnablerEncryptionType(32, password) == 1
                     && engine.EncryptFileW(QFile::encodeName(strPlain).toStdString(), strDest.c_str()) != 0;
    QFile::remove(strPlain);
    return bOk;
}

// The build's program folder ($HV_BUILD_BIN, set for every test).
inline QString BuildBin()
{
    return qEnvironmentVariable("HV_BUILD_BIN", QStringLiteral("build/bin"));
}

}  // namespace hvtest
