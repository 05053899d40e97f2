#include "shellext/CHVExtRegistrar.h"

#include "globalfuncs/HVDurableFile.h"
#include "shellext/CHVServiceMenus.h"
#include "shellext/HVExtPaths.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsDenied(int nErr)
{
    return nErr == EACCES || nErr == EPERM || nErr == EROFS;
}

bool IsDir(const std::string& strPath)
{
    struct stat st
    {
    };
    return ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadAll(const std::string& strPath, std::string& out)
{
    std::ifstream file(strPath, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    out = text.str();
    return !file.bad();
}

// Writes a file by a temporary file and a rename, so that a reader sees the old or the new
// file, never a part. Returns 0 or the errno of the failed step.
int WriteAtomic(const std::string& strPath, const std::string& strContent, mode_t nMode)
{
    HVDurableFile::SOptions opt;
    opt.nMode = nMode;
    return HVDurableFile::Write(strPath, strContent, opt);
}

bool MakeFolders(const std::string& strPath)
{
    std::string strPart;
    std::size_t nPos = 0;
    while (nPos != std::string::npos) {
        nPos = strPath.find('/', nPos + 1);
        strPart = strPath.substr(0, nPos);
        if (!strPart.empty() && ::mkdir(strPart.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return IsDir(strPath);
}

}  // namespace

CHVExtRegistrar::SPlaces CHVExtRegistrar::DefaultPlaces(const std::string& strLibraryFolder)
{
    SPlaces places;
    places.strLauncher = strLibraryFolder + '/' + kLauncherName;
    places.strDataHome = HVExtPaths::DataHome();
    return places;
}

HVRESULT CHVExtRegistrar::RemoveMenus(const SPlaces& places, const std::vector<std::string>& keep)
{
    if (places.strDataHome.empty()) {
        return HV_E_FAIL;
    }
    HVRESULT hr = HV_S_OK;
    const std::string strPrefix = CHVServiceMenus::kPrefix;
    for (const char* pszFolder : {CHVServiceMenus::kDolphinFolder, CHVServiceMenus::kNemoFolder}) {
        const std::string strFolder = places.strDataHome + '/' + pszFolder;
        DIR* pDir = ::opendir(strFolder.c_str());
        if (pDir == nullptr) {
            if (errno != ENOENT && errno != ENOTDIR) {
                hr = IsDenied(errno) ? HV_E_ACCESSDENIED : HV_E_FAIL;
            }
            continue;
        }
        std::vector<std::string> names;
        while (const dirent* pEntry = ::readdir(pDir)) {
            const std::string strName = pEntry->d_name;
            if (strName.compare(0, strPrefix.size(), strPrefix) == 0) {
                names.push_back(strName);
            }
        }
        ::closedir(pDir);
        for (const std::string& strName : names) {
            const std::string strPath = strFolder + '/' + strName;
            bool bKeep = false;
            for (const std::string& strKeep : keep) {
                bKeep = bKeep || strKeep == strPath;
            }
            if (!bKeep && ::unlink(strPath.c_str()) != 0 && errno != ENOENT) {
                hr = IsDenied(errno) ? HV_E_ACCESSDENIED : HV_E_FAIL;
            }
        }
    }
    return hr;
}

HVRESULT CHVExtRegistrar::Register(const SPlaces& places, const CHVExtSettings& settings)
{
    if (places.strDataHome.empty()) {
        return HV_E_FAIL;
    }
    const auto files = CHVServiceMenus::Build(settings, places.strLauncher);
    if (files.empty()) {
        return HV_E_FAIL;
    }
    std::vector<std::string> written;
    for (const CHVServiceMenus::SFile& file : files) {
        const std::string strFolder = places.strDataHome + '/' + file.strFolder;
        const std::string strPath = strFolder + '/' + file.strName;
        if (!MakeFolders(strFolder)) {
            return IsDenied(errno) ? HV_E_ACCESSDENIED : HV_E_FAIL;
        }
        std::string strOld;
        struct stat st
        {
        };
        const mode_t nMode = file.bExecutable ? 0755 : 0644;
        const bool bSame = ::lstat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777) == nMode
                           && ReadAll(strPath, strOld) && strOld == file.strContent;
        const int nErr = bSame ? 0 : WriteAtomic(strPath, file.strContent, nMode);
        if (nErr != 0) {
            return IsDenied(nErr) ? HV_E_ACCESSDENIED : HV_E_FAIL;
        }
        written.push_back(strPath);
    }
    // Menus of entries the settings no longer offer.
    return RemoveMenus(places, written);
}

HVRESULT CHVExtRegistrar::Unregister(const SPlaces& places)
{
    return RemoveMenus(places, {});
}
