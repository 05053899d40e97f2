#include "globalfuncs/HVEnumFunctions.h"

#include "globalfuncs/HVInternal.h"
#include "globalfuncs/HVPathText.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace HVGlobalMFC {

namespace {

// Walks one folder, then its sub-folders (the folder is closed first, so deep trees do not
// pile up open descriptors). files and folders may point at the same list.
int Walk(const QString& folder, QStringList* files, QStringList* folders, bool recursive, bool top)
{
    DIR* dir = opendir(detail::Native(folder).constData());
    if (!dir)
        return top ? -1 : 0;
    QString prefix = folder;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    int added = 0;
    QStringList subfolders;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QString path = prefix + HVGlobalMFC::HVPathFromBytes(name);
        struct stat st
        {
        };
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (folders) {
                folders->append(path);
                ++added;
            }
            if (recursive)
                subfolders.append(path);
        } else if (files) {
            files->append(path);
            ++added;
        }
    }
    closedir(dir);
    for (const QString& sub : subfolders)
        added += Walk(sub, files, folders, recursive, false);
    return added;
}

}  // namespace

int HVEnumAllFiles(const QString& folder, QStringList& files, bool recursive)
{
    return Walk(folder, &files, nullptr, recursive, true);
}

int HVEnumFilesAndFolders(const QString& folder, QStringList& items, bool recursive)
{
    return Walk(folder, &items, &items, recursive, true);
}

int EnumFilesAndFolders(const QString& folder, QStringList& files, QStringList& folders, bool recursive)
{
    return Walk(folder, &files, &folders, recursive, true);
}

bool IsJunctionPoint(const HVFileFindData& finder)
{
    return (finder.dwFileAttributes & HV_FILE_ATTRIBUTE_REPARSE_POINT)
           && (finder.dwFileAttributes & HV_FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace HVGlobalMFC
