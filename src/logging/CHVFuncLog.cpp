#include "logging/CHVFuncLog.h"

#include <vector>

namespace LOGGER {

namespace {

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '~'
           || c == ':';
}

void TrimRight(std::string_view& s)
{
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
}

// Drops qualifiers that follow the parameter list: " const", " noexcept", " &&" ...
void DropTrailingQualifiers(std::string_view& s)
{
    static constexpr std::string_view kQualifiers[] = {"const", "volatile", "noexcept", "&&", "&", "override"};
    for (bool bDropped = true; bDropped;) {
        bDropped = false;
        TrimRight(s);
        for (std::string_view q : kQualifiers) {
            if (s.ends_with(q)) {
                s.remove_suffix(q.size());
                bDropped = true;
                break;
            }
        }
    }
}

// Position of the bracket that opens the one closing at s[close]; npos when unbalanced.
size_t MatchBackward(std::string_view s, size_t close, char open, char shut)
{
    int depth = 0;
    for (size_t i = close + 1; i-- > 0;) {
        if (s[i] == shut) {
            ++depth;
        } else if (s[i] == open && --depth == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

// What follows "operator" in an operator's name: symbols, or a blank and a type.
bool IsOperatorTail(std::string_view rest)
{
    return rest.find_first_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789")
               == std::string_view::npos
           || rest.starts_with(' ');
}

// Start of the qualified name ("ns::A<int>::f") that ends just before position end.
size_t NameStart(std::string_view s, size_t end)
{
    size_t begin = end;
    while (begin > 0) {
        const char c = s[begin - 1];
        if (IsNameChar(c)) {
            --begin;
        } else if (c == '>') {
            const size_t open = MatchBackward(s, begin - 1, '<', '>');
            if (open == std::string_view::npos) {
                break;
            }
            begin = open;
        } else {
            break;
        }
    }
    return begin;
}

// The qualified name that ends just before position end.
std::string_view NameBefore(std::string_view s, size_t end)
{
    // Operators: "A::operator()" "A::operator==" "A::operator<" "A::operator bool"
    const size_t op = s.rfind("operator", end);
    if (op != std::string_view::npos && op < end) {
        if (IsOperatorTail(s.substr(op + 8, end - op - 8))) {
            const size_t begin = NameStart(s, op);
            return s.substr(begin, end - begin);
        }
    }
    const size_t begin = NameStart(s, end);
    return s.substr(begin, end - begin);
}

std::string StripTemplateArguments(std::string_view s)
{
    std::string strOut;
    int depth = 0;
    for (char c : s) {
        if (c == '<') {
            ++depth;
        } else if (c == '>') {
            depth = depth > 0 ? depth - 1 : 0;
        } else if (depth == 0) {
            strOut += c;
        }
    }
    return strOut;
}

std::string LastTwoParts(const std::string& strName)
{
    std::vector<std::string_view> parts;
    std::string_view s(strName);
    for (size_t pos; (pos = s.find("::")) != std::string_view::npos; s.remove_prefix(pos + 2)) {
        if (pos > 0) {
            parts.push_back(s.substr(0, pos));
        }
    }
    if (!s.empty()) {
        parts.push_back(s);
    }
    if (parts.empty()) {
        return strName;
    }
    if (parts.size() == 1) {
        return std::string(parts.back());
    }
    return std::string(parts[parts.size() - 2]) + "::" + std::string(parts.back());
}

}  // namespace

std::string CHVFuncLog::QualifiedName(std::string_view strPretty)
{
    std::string_view s = strPretty;
    if (const size_t with = s.find(" [with "); with != std::string_view::npos) {
        s = s.substr(0, with);
    }
    // clang gives the template arguments as a trailing " [T = int]".
    if (!s.empty() && s.back() == ']') {
        const size_t open = MatchBackward(s, s.size() - 1, '[', ']');
        if (open != std::string_view::npos && open > 0 && s[open - 1] == ' ') {
            s = s.substr(0, open - 1);
        }
    }
    // A lambda is named after the function that holds it: "A::f()::<lambda(int)>", with clang
    // "A::f()::(anonymous class)::operator()(int) const" or "A::f()::(lambda at file:1:2)::...".
    for (const std::string_view marker : {"::<lambda", "::(anonymous class)::", "::(lambda at "}) {
        if (const size_t lambda = s.find(marker); lambda != std::string_view::npos) {
            s = s.substr(0, lambda);
        }
    }
    DropTrailingQualifiers(s);
    if (s.empty() || s.back() != ')') {
        return std::string(strPretty);
    }
    const size_t open = MatchBackward(s, s.size() - 1, '(', ')');
    if (open == std::string_view::npos || open == 0) {
        return std::string(strPretty);
    }
    const std::string_view name = NameBefore(s, open);
    if (name.empty()) {
        return std::string(strPretty);
    }
    // Template arguments go, but not the brackets of "operator<" and its kin.
    const size_t op = name.rfind("operator");
    if (op != std::string_view::npos && IsOperatorTail(name.substr(op + 8))) {
        return LastTwoParts(StripTemplateArguments(name.substr(0, op)) + std::string(name.substr(op)));
    }
    return LastTwoParts(StripTemplateArguments(name));
}

CHVFuncLog::CHVFuncLog(const char* pszFunction, CHVLog& log)
    : m_log(log)
    , m_pszFunction(pszFunction ? pszFunction : "")
{
    if (m_log.IsLogging()) {
        m_log.LogText("Enter " + QualifiedName(m_pszFunction));
    }
}

CHVFuncLog::~CHVFuncLog()
{
    if (m_log.IsLogging()) {
        m_log.LogText("Exit " + QualifiedName(m_pszFunction));
    }
}

}  // namespace LOGGER
