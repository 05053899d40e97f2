#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QDateTime>
#include <QString>

// Dates and times in the user's locale (LC_TIME, then LANG). Initialize reads the locale's
// short date and time patterns into m_strDateFormat and m_strTimeFormat (QDateTime format
// strings); callers may replace them. Every formatter gives "Invalid DateTime" for an invalid
// value.
class HVGLOBALMFC_API CGlobalLocals
{
public:
    CGlobalLocals();  // calls Initialize
    void Initialize();

    [[nodiscard]] QString GetDateFormatW(const QDate& date) const;
    [[nodiscard]] QString GetTimeFormatW(const QTime& time) const;
    // Date and time joined by a blank.
    [[nodiscard]] QString GetDateTimeFormat(const QDateTime& value) const;
    [[nodiscard]] QString GetDateTimeFormat(const QDate& date, const QTime& time) const;
    // Seconds since 1970-01-01 UTC, shown in local time.
    [[nodiscard]] QString GetDateTimeFormat(qint64 unixSeconds) const;
    [[nodiscard]] QString GetDateTimeFormat(int year, int month, int day, int hour, int minute, int second) const;

    // Elapsed time from the words of g_GlobalData: "2 Hours 1 Min 5 Secs"; units that are 0
    // are left out, and 0 seconds gives "0 Secs".
    [[nodiscard]] static QString GetFriendlyTimeElapsed(quint64 seconds);

    static inline const QString kInvalid = QStringLiteral("Invalid DateTime");

    QString m_strDateFormat;
    QString m_strTimeFormat;
};
