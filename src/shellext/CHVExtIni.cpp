#include "shellext/CHVExtIni.h"

#include "shellext/HVExtPaths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using HVExtPaths::HexValue;

constexpr std::streamoff kMaxFileSize = 1 << 20;

std::string Trim(const std::string& str)
{
    const auto nBegin = str.find_first_not_of(" \t\r");
    if (nBegin == std::string::npos) {
        return {};
    }
    const auto nEnd = str.find_last_not_of(" \t\r");
    return str.substr(nBegin, nEnd - nBegin + 1);
}

void AppendUtf8(std::string& str, unsigned nCode)
{
    if (nCode < 0x80) {
        str += static_cast<char>(nCode);
    } else if (nCode < 0x800) {
        str += static_cast<char>(0xC0 | (nCode >> 6));
        str += static_cast<char>(0x80 | (nCode & 0x3F));
    } else if (nCode < 0x10000) {
        str += static_cast<char>(0xE0 | (nCode >> 12));
        str += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
        str += static_cast<char>(0xF0 | (nCode >> 18));
        str += static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
        str += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (nCode & 0x3F));
    }
}

}  // namespace

bool CHVExtIni::Load(const std::string& strFile, const std::string& strGroup)
{
    m_values.clear();
    std::ifstream file(strFile, std::ios::binary);
    if (!file) {
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff nSize = file.tellg();
    if (nSize < 0 || nSize > kMaxFileSize) {
        return false;
    }
    file.seekg(0);
    std::string strText(static_cast<std::size_t>(nSize), '\0');
    if (!file.read(strText.data(), nSize)) {
        return false;
    }
    Parse(strText, strGroup);
    return true;
}

void CHVExtIni::Parse(const std::string& strText, const std::string& strGroup)
{
    m_values.clear();
    std::istringstream lines(strText);
    std::string strLine;
    bool bInGroup = false;
    while (std::getline(lines, strLine)) {
        const std::string str = Trim(strLine);
        if (str.empty() || str[0] == ';' || str[0] == '#') {
            continue;
        }
        if (str.front() == '[') {
            const auto nClose = str.find(']');
            const std::string strName = nClose == std::string::npos ? str.substr(1) : str.substr(1, nClose - 1);
            bInGroup = UnescapeKey(Trim(strName)) == strGroup;
            continue;
        }
        const auto nEquals = str.find('=');
        if (!bInGroup || nEquals == std::string::npos) {
            continue;
        }
        // A later line of the same name wins, as in QSettings.
        m_values[UnescapeKey(Trim(str.substr(0, nEquals)))] = Trim(str.substr(nEquals + 1));
    }
}

std::optional<std::string> CHVExtIni::GetString(const std::string& strName) const
{
    const auto it = m_values.find(strName);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return UnescapeValue(it->second);
}

std::optional<int> CHVExtIni::GetInt(const std::string& strName) const
{
    const auto str = GetString(strName);
    if (!str || str->empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* pEnd = nullptr;
    const long long n = std::strtoll(str->c_str(), &pEnd, 10);
    if (errno != 0 || *pEnd != '\0' || n < INT_MIN || n > static_cast<long long>(UINT_MAX)) {
        return std::nullopt;
    }
    // Numbers are 32 bits: an unsigned value reads back as the same bits.
    return static_cast<int>(static_cast<unsigned>(n));
}

std::string CHVExtIni::UnescapeKey(const std::string& strKey)
{
    std::string out;
    for (std::size_t i = 0; i < strKey.size(); ++i) {
        const char ch = strKey[i];
        if (ch == '\\') {
            out += '/';
        } else if (ch == '%' && i + 2 < strKey.size() && strKey[i + 1] != 'U' && HexValue(strKey[i + 1]) >= 0
                   && HexValue(strKey[i + 2]) >= 0) {
            AppendUtf8(out, static_cast<unsigned>(HexValue(strKey[i + 1]) * 16 + HexValue(strKey[i + 2])));
            i += 2;
        } else if (ch == '%' && i + 5 < strKey.size() && strKey[i + 1] == 'U') {
            unsigned nCode = 0;
            bool bOk = true;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int n = HexValue(strKey[k]);
                bOk = bOk && n >= 0;
                nCode = nCode * 16 + static_cast<unsigned>(n < 0 ? 0 : n);
            }
            if (bOk) {
                AppendUtf8(out, nCode);
                i += 5;
            } else {
                out += ch;
            }
        } else {
            out += ch;
        }
    }
    return out;
}

std::optional<std::string> CHVExtIni::UnescapeValue(const std::string& strValue)
{
    std::string out;
    bool bQuoted = false;
    for (std::size_t i = 0; i < strValue.size(); ++i) {
        const char ch = strValue[i];
        if (ch == '"') {
            bQuoted = !bQuoted;
            continue;
        }
        if (ch == ',' && !bQuoted) {
            // A bare comma makes a list of texts; taken back as the text it stood for.
            out += ',';
            continue;
        }
        if (ch != '\\' || i + 1 >= strValue.size()) {
            out += ch;
            continue;
        }
        const char next = strValue[++i];
        switch (next) {
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'v':
            out += '\v';
            break;
        case 'x': {
            unsigned nCode = 0;
            std::size_t k = i + 1;
            for (; k < strValue.size() && k < i + 5 && HexValue(strValue[k]) >= 0; ++k) {
                nCode = nCode * 16 + static_cast<unsigned>(HexValue(strValue[k]));
            }
            AppendUtf8(out, nCode);
            i = k - 1;
            break;
        }
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
            unsigned nCode = 0;
            std::size_t k = i;
            for (; k < strValue.size() && k < i + 3 && strValue[k] >= '0' && strValue[k] <= '7'; ++k) {
                nCode = nCode * 8 + static_cast<unsigned>(strValue[k] - '0');
            }
            AppendUtf8(out, nCode);
            i = k - 1;
            break;
        }
        default:
            out += next;  // \" \\ \' \? \; \, \=
            break;
        }
    }
    if (!out.empty() && out[0] == '@') {
        // "@@..." stands for a text that begins with "@"; "@Type(...)" is another kind of value.
        if (out.size() > 1 && out[1] == '@') {
            return out.substr(1);
        }
        return std::nullopt;
    }
    return out;
}
