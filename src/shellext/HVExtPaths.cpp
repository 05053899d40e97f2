#include "shellext/HVExtPaths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string AbsoluteEnv(const char* pszName)
{
    const char* psz = std::getenv(pszName);
    return psz != nullptr && psz[0] == '/' ? std::string(psz) : std::string();
}

std::string UnderHome(const char* pszRest)
{
    const std::string strHome = HVExtPaths::Home();
    return strHome.empty() ? std::string() : strHome + pszRest;
}

}  // namespace

namespace HVExtPaths {

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    return -1;
}

std::string Home()
{
    std::string strHome = AbsoluteEnv("HOME");
    if (strHome.empty()) {
        const passwd* pw = ::getpwuid(::getuid());
        if (pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/') {
            strHome = pw->pw_dir;
        }
    }
    return strHome;
}

std::string ConfigHome()
{
    const std::string str = AbsoluteEnv("XDG_CONFIG_HOME");
    return str.empty() ? UnderHome("/.config") : str;
}

std::string DataHome()
{
    const std::string str = AbsoluteEnv("XDG_DATA_HOME");
    return str.empty() ? UnderHome("/.local/share") : str;
}

std::string Normalize(const std::string& strPath)
{
    std::string strIn = strPath;
    if (!strIn.empty() && strIn[0] != '/') {
        char* pszCwd = ::getcwd(nullptr, 0);
        if (pszCwd != nullptr) {
            strIn = std::string(pszCwd) + '/' + strIn;
            std::free(pszCwd);
        }
    }
    std::string out;
    for (const char ch : strIn) {
        if (ch == '/' && !out.empty() && out.back() == '/') {
            continue;
        }
        out += ch;
    }
    while (out.size() > 1 && out.back() == '/') {
        out.pop_back();
    }
    return out;
}

std::string FileName(const std::string& strPath)
{
    const auto nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

std::string FolderPart(const std::string& strPath)
{
    const auto nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) {
        return {};
    }
    return nSlash == 0 ? std::string("/") : strPath.substr(0, nSlash);
}

std::string LocalPathFromArgument(const std::string& strArg)
{
    if (!strArg.empty() && strArg[0] == '/') {
        return strArg;
    }
    static const std::string kScheme = "file://";
    if (strArg.compare(0, kScheme.size(), kScheme) != 0) {
        return {};
    }
    std::string strRest = strArg.substr(kScheme.size());
    // "file://localhost/x" and "file:///x" are local; another host is not.
    if (strRest.compare(0, 9, "localhost") == 0) {
        strRest.erase(0, 9);
    }
    if (strRest.empty() || strRest[0] != '/') {
        return {};
    }
    std::string out;
    for (std::size_t i = 0; i < strRest.size(); ++i) {
        if (strRest[i] == '%' && i + 2 < strRest.size() && HexValue(strRest[i + 1]) >= 0
            && HexValue(strRest[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(strRest[i + 1]) * 16 + HexValue(strRest[i + 2]));
            i += 2;
        } else if (strRest[i] == '?' || strRest[i] == '#') {
            return {};
        } else {
            out += strRest[i];
        }
    }
    // A decoded NUL would cut the path short.
    return out.find('\0') == std::string::npos ? out : std::string();
}

}  // namespace HVExtPaths
