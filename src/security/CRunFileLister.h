#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CItemData;
class CSignal;

// Builds the flat file list of a run: one new entry per file, owned by the list, pointing back
// at the selected item it came from.
//
// Folders are listed depth first, in the order the filesystem returns names. A decryption run
// takes only ".hvnc" files from folders. Only regular files are taken; symbolic links found in
// a folder are neither followed nor taken (a link must not carry the run, and its wipes, out of
// the selected tree), nor are devices, pipes or sockets. The stop signal is tested after every
// name; once it is set the listing ends at once.
class CRunFileLister
{
public:
    using FileList = std::vector<std::unique_ptr<CItemData>>;
    // Test seam: told every name the listing looks at (full path), before the stop test.
    using NameObserver = std::function<void(const std::string& strPath)>;

    CRunFileLister(const CSignal& sigStop, bool bDecrypt, FileList& files);

    void SetNameObserver(NameObserver fn) { m_observer = std::move(fn); }

    // A selected file: appended with its own path and size when the path still exists.
    void AddSelectedFile(CItemData& item);
    // A selected folder: its files, with the folder as owner.
    void AddSelectedFolder(CItemData& item);

    // Names skipped because they could not be read (folders that cannot be opened and so on).
    [[nodiscard]] int GetUnreadableCount() const { return m_nUnreadable; }

private:
    // False when the stop signal ended the listing.
    bool ListFolder(const std::string& strFolder, CItemData& owner);

    const CSignal& m_sigStop;
    bool m_bDecrypt;
    FileList& m_files;
    NameObserver m_observer;
    int m_nUnreadable = 0;
};
