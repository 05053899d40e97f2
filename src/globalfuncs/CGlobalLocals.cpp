#include "globalfuncs/CGlobalLocals.h"

#include "globalfuncs/CHVGlobalFunc.h"

#include <QLocale>
#include <QStringList>

CGlobalLocals::CGlobalLocals()
{
    Initialize();
}

void CGlobalLocals::Initialize()
{
    const QLocale locale = QLocale::system();
    m_strDateFormat = locale.dateFormat(QLocale::ShortFormat);
    m_strTimeFormat = locale.timeFormat(QLocale::ShortFormat);
}

QString CGlobalLocals::GetDateFormatW(const QDate& date) const
{
    return date.isValid() ? QLocale::system().toString(date, m_strDateFormat) : kInvalid;
}

QString CGlobalLocals::GetTimeFormatW(const QTime& time) const
{
    return time.isValid() ? QLocale::system().toString(time, m_strTimeFormat) : kInvalid;
}

QString CGlobalLocals::GetDateTimeFormat(const QDateTime& value) const
{
    if (!value.isValid())
        return kInvalid;
    return GetDateFormatW(value.date()) + QLatin1Char(' ') + GetTimeFormatW(value.time());
}

QString CGlobalLocals::GetDateTimeFormat(const QDate& date, const QTime& time) const
{
    if (!date.isValid() || !time.isValid())
        return kInvalid;
    return GetDateFormatW(date) + QLatin1Char(' ') + GetTimeFormatW(time);
}

QString CGlobalLocals::GetDateTimeFormat(qint64 unixSeconds) const
{
    return GetDateTimeFormat(QDateTime::fromSecsSinceEpoch(unixSeconds));
}

QString CGlobalLocals::GetDateTimeFormat(int year, int month, int day, int hour, int minute, int second) const
{
    return GetDateTimeFormat(QDate(year, month, day), QTime(hour, minute, second));
}

QString CGlobalLocals::GetFriendlyTimeElapsed(quint64 seconds)
{
    const quint64 hours = seconds / 3600;
    const quint64 minutes = (seconds / 60) % 60;
    const quint64 secs = seconds % 60;
    QStringList parts;
    auto add = [&parts](quint64 n, const QString& one, const QString& many) {
        parts.append(QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many));
    };
    if (hours)
        add(hours, g_GlobalData.m_strHour, g_GlobalData.m_strHours);
    if (minutes)
        add(minutes, g_GlobalData.m_strMin, g_GlobalData.m_strMins);
    if (secs || parts.isEmpty())
        add(secs, g_GlobalData.m_strSec, g_GlobalData.m_strSecs);
    return parts.join(QLatin1Char(' '));
}
