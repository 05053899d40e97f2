#include "hiding/HidingPaths.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace HidingPaths {
namespace {

std::string RealPath(const std::string& strPath)
{
    char* pReal = ::realpath(strPath.c_str(), nullptr);
    if (pReal == nullptr) {
        return {};
    }
    std::string strReal(pReal);
    std::free(pReal);
    return strReal;
}

std::string WorkingFolder()
{
    std::string buf(PATH_MAX, '\0');
    if (::getcwd(buf.data(), buf.size()) == nullptr) {
        return {};
    }
    buf.resize(buf.find('\0'));
    return buf;
}

}  // namespace

std::string Join(const std::string& strDir, const std::string& strName)
{
    return strDir == "/" ? "/" + strName : strDir + "/" + strName;
}

std::string Clean(const std::string& strPath)
{
    if (strPath.empty()) {
        return {};
    }
    std::string strAbs = strPath;
    if (strAbs[0] != '/') {
        const std::string strCwd = WorkingFolder();
        if (strCwd.empty()) {
            return {};
        }
        strAbs = strCwd + "/" + strAbs;
    }
    std::vector<std::string> parts;
    bool bDotDot = false;
    std::size_t nPos = 0;
    while (nPos <= strAbs.size()) {
        std::size_t nEnd = strAbs.find('/', nPos);
        if (nEnd == std::string::npos) {
            nEnd = strAbs.size();
        }
        std::string part = strAbs.substr(nPos, nEnd - nPos);
        if (!part.empty() && part != ".") {
            bDotDot = bDotDot || part == "..";
            parts.push_back(std::move(part));
        }
        nPos = nEnd + 1;
    }
    std::string strClean;
    for (const auto& part : parts) {
        strClean += "/" + part;
    }
    if (strClean.empty()) {
        return "/";
    }
    if (bDotDot) {
        if (parts.back() == "..") {
            return RealPath(strClean);
        }
        const std::string strParent = RealPath(ParentOf(strClean));
        return strParent.empty() ? std::string() : Join(strParent, parts.back());
    }
    return strClean;
}

std::string ParentOf(const std::string& strClean)
{
    const auto nSlash = strClean.rfind('/');
    if (nSlash == std::string::npos || nSlash == 0) {
        return "/";
    }
    return strClean.substr(0, nSlash);
}

std::string NameOf(const std::string& strClean)
{
    const auto nSlash = strClean.rfind('/');
    return nSlash == std::string::npos ? strClean : strClean.substr(nSlash + 1);
}

std::string RealForm(const std::string& strClean)
{
    if (strClean == "/") {
        return strClean;
    }
    const std::string strParent = RealPath(ParentOf(strClean));
    return strParent.empty() ? std::string() : Join(strParent, NameOf(strClean));
}

bool IsSameOrInside(const std::string& strPath, const std::string& strDir)
{
    if (strDir == "/") {
        return !strPath.empty() && strPath[0] == '/';
    }
    return strPath.size() >= strDir.size() && strPath.compare(0, strDir.size(), strDir) == 0
           && (strPath.size() == strDir.size() || strPath[strDir.size()] == '/');
}

}  // namespace HidingPaths
