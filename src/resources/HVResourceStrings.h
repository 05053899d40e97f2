#pragma once

// The one way to get a user-visible text: by its number in the resource module.
//
//   HVLoadString(IDS_WRONG_PASSWORD)                 the text as it stands
//   HVFormatString(IDS_STATUS_ENCRYPTING, strPath)   a text with placeholders filled in
//   HVStr(4014)                                      marks a number kept in a table for later
//
// Numbers are best written as the IDS_ constants of "resources/HVStringIds.h" (generated from the
// string tables, so a wrong name does not compile). A literal number in one of the three calls
// above is checked by the test suite against the table, so a missing text is a test failure.
//
// Placeholders are printf-style: %s for a text, %d and %u for numbers, %% for a percent sign.
// They are filled in order; an argument's own text is never scanned again, so a path that holds
// "%s" comes out unchanged.
#include "resources/CResourceModule.h"
#include "resources/HVStringIds.h"

#include <QString>
#include <QStringList>

#include <concepts>
#include <string>

[[nodiscard]] QString HVLoadString(unsigned nId);
[[nodiscard]] bool HVHasString(unsigned nId);
[[nodiscard]] QString HVFormatText(const QString& strTemplate, const QStringList& args);
[[nodiscard]] QString HVImagePath(HVImageKind kind, unsigned nId);

[[nodiscard]] constexpr unsigned HVStr(unsigned nId)
{
    return nId;
}

namespace HVResourceArgs {
inline QString ToText(const QString& s)
{
    return s;
}
inline QString ToText(QStringView s)
{
    return s.toString();
}
inline QString ToText(const char* psz)
{
    return QString::fromUtf8(psz);
}
inline QString ToText(const std::string& s)
{
    return QString::fromStdString(s);
}
template <std::integral T>
QString ToText(T value)
{
    return QString::number(value);
}
}  // namespace HVResourceArgs

template <typename... Args>
[[nodiscard]] QString HVFormatString(unsigned nId, const Args&... args)
{
    return HVFormatText(HVLoadString(nId), QStringList{HVResourceArgs::ToText(args)...});
}
