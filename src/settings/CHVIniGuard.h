#pragma once

#include <QByteArray>
#include <QString>

// Screens a settings file before QSettings parses it. QSettings turns values that begin with
// "@Variant(" or "@DateTime(" into objects through QDataStream, which trusts the counts in the
// data: a damaged or planted file can ask for terabytes and bring the program down. We never
// write such values, so a file that holds one (in any spelling the INI escapes allow) or that is
// far larger than settings ever get is treated as damaged.
class CHVIniGuard
{
public:
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    // True when the file is missing or safe to hand to QSettings.
    [[nodiscard]] static bool IsSafeFile(const QString& strFile);
    [[nodiscard]] static bool IsSafeText(const QByteArray& text);

    // Moves a damaged file out of the way (to "<file>.damaged") so a fresh one can be written;
    // true when the file is gone from its place.
    [[nodiscard]] static bool SetAside(const QString& strFile);
};
