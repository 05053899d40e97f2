#include "globalfuncs/HVNumberFunctions.h"

#include <cmath>

namespace HVGlobalMFC {

QString HVConvertSizeToSmartString(quint64 bytes)
{
    constexpr quint64 kGiB = 0x40000000ULL;
    constexpr quint64 kMiB = 0x100000ULL;
    if (bytes > kGiB)
        return QString::asprintf("%.2f GB", static_cast<double>(bytes) / static_cast<double>(kGiB));
    if (bytes > kMiB)
        return QString::asprintf("%.2f MB", static_cast<double>(bytes) / static_cast<double>(kMiB));
    if (bytes > 1024)
        return QString::asprintf("%.2f KB", static_cast<double>(bytes) / 1024.0);
    return QString::asprintf("%d Bytes", static_cast<int>(bytes));
}

quint64 ConvertStringSizeToDWordLong(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    int dots = 0;
    bool digits = false;
    while (i < t.size() && (t.at(i).isDigit() || t.at(i) == QLatin1Char('.'))) {
        if (t.at(i) == QLatin1Char('.'))
            ++dots;
        else
            digits = digits || t.at(i).unicode() < 128;
        ++i;
    }
    if (!digits || dots > 1)
        return 0;
    bool ok = false;
    const long double number = static_cast<long double>(t.left(i).toDouble(&ok));
    if (!ok)
        return 0;
    const QString unit = t.mid(i).trimmed().toLower();
    long double factor = 0;
    if (unit.isEmpty() || unit == QLatin1String("byte") || unit == QLatin1String("bytes") || unit == QLatin1String("b"))
        factor = 1;
    else if (unit == QLatin1String("kb") || unit == QLatin1String("kilobyte") || unit == QLatin1String("kilobytes"))
        factor = 1024.0L;
    else if (unit == QLatin1String("mb") || unit == QLatin1String("megabyte") || unit == QLatin1String("megabytes"))
        factor = 1024.0L * 1024.0L;
    else if (unit == QLatin1String("gb") || unit == QLatin1String("gigabyte") || unit == QLatin1String("gigabytes"))
        factor = 1024.0L * 1024.0L * 1024.0L;
    else
        return 0;
    const long double value = std::floor(number * factor);
    if (value >= 18446744073709551616.0L)
        return 0;
    return static_cast<quint64>(value);
}

quint64 HVMakeUnsignedInt64(quint32 high, quint32 low)
{
    return (static_cast<quint64>(high) << 32) | low;
}

void HVSplitUnsignedInt64(quint64 value, quint32& high, quint32& low)
{
    high = static_cast<quint32>(value >> 32);
    low = static_cast<quint32>(value & 0xFFFFFFFFu);
}

quint64 HVDaysToSecs(quint64 days)
{
    return days * 86400ULL;
}

quint64 HVHourToSecs(quint64 hours)
{
    return hours * 3600ULL;
}

QDateTime GetModifiedDateTime(quint64 fileTime)
{
    if (fileTime == 0)
        return {};
    // 11644473600 s between 1601-01-01 and 1970-01-01.
    const qint64 msecs = static_cast<qint64>(fileTime / 10000ULL) - 11644473600000LL;
    return QDateTime::fromMSecsSinceEpoch(msecs);
}

quint64 AdjestBuffer_16_24_32(quint64 size)
{
    constexpr quint64 kStep = 96;  // lcm(16, 24, 32)
    const quint64 rest = size % kStep;
    if (rest == 0)
        return size;
    if (size > ~0ULL - (kStep - rest))
        return 0;
    return size + (kStep - rest);
}

quint64 Get_Prime(quint32 n)
{
    if (n <= 2)
        return 2;
    for (quint64 candidate = n | 1ULL;; candidate += 2) {
        bool prime = true;
        for (quint64 d = 3; d * d <= candidate; d += 2) {
            if (candidate % d == 0) {
                prime = false;
                break;
            }
        }
        if (prime)
            return candidate;
    }
}

}  // namespace HVGlobalMFC
