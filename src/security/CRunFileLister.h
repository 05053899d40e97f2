#pragma once

#include "security/CRunFolder.h"
#include "security/SRunDetails.h"
#include "security/SRunFile.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CItemData;
class CSignal;

// Builds the flat file list of a run: one new entry per file, owned by the list, pointing back
// at the selected item it came from, and beside it what the run needs to act on that very file
// later (SRunFile: folder by descriptor, name bytes, identity).
//
// Each selected item is opened once; everything below a selected folder is reached from its
// descriptor one name at a time, never following a link. Folders are listed depth first, in the
// order the filesystem returns names. A decryption run takes only ".hvnc" files from folders.
// Only regular files are taken; links, devices, pipes and sockets found in a folder are left
// alone (and named in the details), and so are the encryption engine's own temporaries.
// A selected link to a folder is refused; a selected link to a regular file is taken only for
// encryption. A folder or file that cannot be read fails its selected item with the reason
// (the item's states are set as for a failed file, and the failure counted by the caller).
// The stop signal is tested after every name; once it is set the listing ends at once.
class CRunFileLister
{
public:
    using FileList = std::vector<std::unique_ptr<CItemData>>;
    // Test seam: told every name the listing looks at (full path), before the stop test.
    using NameObserver = std::function<void(const std::string& strPath)>;
    // Told of a failure of a selected item found while listing (the caller counts it).
    using FailureSink = std::function<void(CItemData& owner, const std::string& strPath, const std::string& strWhy)>;

    CRunFileLister(
        const CSignal& sigStop, bool bDecrypt, bool bEncrypt, FileList& files, std::vector<SRunFile>& runFiles);

    void SetNameObserver(NameObserver fn) { m_observer = std::move(fn); }
    void SetFailureSink(FailureSink fn) { m_failure = std::move(fn); }
    void SetDetails(SRunDetails* pDetails) { m_pDetails = pDetails; }

    void AddSelectedFile(CItemData& item);
    void AddSelectedFolder(CItemData& item);

    // Names of the engines' temporaries (HVIsOwnTemporaryName) and of older writers'
    // (".<name>.hvtmp-XXXXXX", ".<name>.hvtmp-<pid>-XXXXXX").
    [[nodiscard]] static bool IsEngineTemporary(const std::string& strName);

private:
    // False when the stop signal ended the listing.
    bool ListFolder(const std::shared_ptr<SRunFolder>& pFolder, int nFd, CItemData& owner);
    void Append(CItemData& owner,
                const std::shared_ptr<SRunFolder>& pFolder,
                const std::string& strName,
                const struct stat& st);
    void Fail(CItemData& owner, const std::string& strPath, const std::string& strWhy);
    void Note(CItemData& owner, const std::string& strPath, const std::string& strWhy);
    std::shared_ptr<SRunFolder> ParentOf(const std::string& strPath, std::string& strName, std::string& strWhy);

    const CSignal& m_sigStop;
    bool m_bDecrypt;
    bool m_bEncrypt;
    FileList& m_files;
    std::vector<SRunFile>& m_runFiles;
    NameObserver m_observer;
    FailureSink m_failure;
    SRunDetails* m_pDetails = nullptr;
    std::map<std::string, std::shared_ptr<SRunFolder>> m_parents;  // folders of selected files
};
