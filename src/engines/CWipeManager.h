#pragma once

#include "engines/HVFileRef.h"
#include "engines/HVProgress.h"
#include "engines/HvncResult.h"
#include "signal/CSignal.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class HVFastRandom;
struct HVWipePass;
struct HVWipeTarget;

// Wipe engine: overwrites a file's content in place, pass by pass, then removes it.
//
// Methods (SetMethod):
//   0  one pass of random data (the default);
//   1  three passes: zeros, ones (0xFF), then a third pass chosen by SetDoDParam:
//        pass set 0 (or any value other than 1): random data;
//        pass set 1: the pattern text as hexadecimal bytes, repeated over the file. The text may
//        carry surrounding blanks and a "0x"/"0X" prefix; then either one hex digit ("A" = 0x0A)
//        or an even number of hex digits, at most 16 (up to 8 pattern bytes): "AA", "0xA5",
//        "DEADBEEF". Any other text (empty, "G1", "ABC") is not a pattern: the third pass then
//        uses random data, and GetLastError() after a wipe says so;
//   2  35 passes: 4 random, 26 fixed bit patterns (0x00, 0xFF, 0x55, 0xAA, the walking one
//      0x01..0x80, the walking zero 0xFE..0x7F, and the three phases each of the 3-byte
//      patterns 92 49 24 and 6D B6 DB), then 5 random.
// Other method numbers are ignored (the method stays as it was).
//
// WipeFile(path, size):
//   - never follows a symbolic link: a link is refused (failure, nothing changed; its target is
//     neither wiped nor is the link removed). Anything but a regular file is refused too;
//   - wipes the file's actual size as found when it is opened; the caller's size is only a hint;
//   - a file the caller may not write but owns (mode 0444) is made writable for the owner and
//     wiped (should that wipe fail, the old mode is put back); a file the caller neither may
//     write nor owns fails with a reason;
//   - before anything is written, the wipe is recorded in the data folder (HVPendingRecords) and
//     the file renamed to ".hvwipe-<token>" in its folder (never replacing a name), the folder
//     synced: should the process die during the passes, the user's name never shows damaged
//     content, and the next start (FinishPendingWipes) completes the wipe;
//   - each pass is written with large buffered writes and made durable with one fdatasync before
//     the next pass begins; random data comes from an in-process AES-CTR keystream with a fresh
//     key from the operating system for every file;
//   - afterwards the file is truncated to 0, synced, removed, and the folder synced;
//   - a file of size 0 is only renamed and removed;
//   - a file with other hard links is never overwritten (their content would go too): it fails
//     with HVNC_MULTIPLE_LINKS and nothing is written. WipeFileAt with bUnlinkOnly removes only
//     the one name instead;
//   - the stop signal is tested before every write; a stopped (or failed) wipe returns failure and
//     gives the file its name back, partly overwritten (what was overwritten stays overwritten;
//     should the name be taken meanwhile, the file stays set aside for the next start). The engine never
//     resets the stop signal itself: while it is set, every WipeFile fails before writing;
//   - the busy signal is set while WipeFile runs and reset when it returns.
// Progress notices go to the sink after every write. Over one wipe they add up to the file's size:
// each pass counts for 1/(number of passes) of it, so a caller's per-file bar ends at 100%.
//
// Weak medium: when the file lives where writing in place may not reach the blocks that held the
// old content (copy-on-write or log-structured filesystems, network and memory filesystems,
// overlays, FUSE, flash devices with wear levelling, ...) the wipe is still done, and
// WasWeakMedium() / GetWeakMediumReason() report it for the caller to tell the user.
class CWipeManager
{
public:
    CSignal m_sigBusy;  // set while a wipe runs
    CSignal m_sigStop;  // set by another thread to end a wipe early

    CWipeManager();
    virtual ~CWipeManager();

    CWipeManager(const CWipeManager&) = delete;
    CWipeManager& operator=(const CWipeManager&) = delete;

    void SetParent(HVProgressSink sink);
    void SetMethod(int nMethod);
    void SetDoDParam(int nPassSet, std::string_view strPattern);

    // Non-zero on success (the file is gone), 0 on failure (see GetLastError() and
    // GetLastResult()). Opens the path's folder and acts as WipeFileAt.
    [[nodiscard]] int WipeFile(const std::string& strPath, std::uint64_t nSize);
    // The same for a file named by folder descriptor and name (see SHVFileRef). Returns the code
    // of an EHvnc: Ok when the file is gone; Changed when it is not the listed file or changed
    // since it was listed; MultipleLinks when it has other names and bUnlinkOnly is false
    // (nothing written). With bUnlinkOnly a file with other names loses only this name and
    // its content is left alone (the other names still hold it).
    [[nodiscard]] int WipeFileAt(const SHVFileRef& file, bool bUnlinkOnly = false);

    [[nodiscard]] const std::string& GetLastError() const;
    [[nodiscard]] int GetLastResult() const { return m_nLastResult; }
    [[nodiscard]] bool WasWeakMedium() const;
    [[nodiscard]] const std::string& GetWeakMediumReason() const;

    // Called after each pass has been written and synced, before the next one starts; the file
    // is still under its own name then. nPass counts from 1.
    using PassObserver = std::function<void(int nPass, int nPassCount, const std::string& strPath)>;
    void SetPassObserver(PassObserver fn);

    // Finishes the wipes that a process which is gone had begun (recorded in the data folder, see
    // HVPendingRecords): each file it had set aside is overwritten with the method it was begun with
    // and removed. strDataFolder: the data folder ("" keeps the one set before, or the default).
    // The first wipe of a process calls this itself. Returns the number of files finished.
    static int FinishPendingWipes(const std::string& strDataFolder);

    // The number of passes the current settings give.
    [[nodiscard]] int GetPassCount() const;

private:
    [[nodiscard]] SHvncResult DoWipeAt(const SHVFileRef& file, bool bUnlinkOnly);
    // Overwrites a file set aside as strAside, then removes it. On failure the file gets strOwnName
    // back (when given and free).
    [[nodiscard]] SHvncResult OverwriteAndRemove(int nDir,
                                                 const std::string& strAside,
                                                 const std::string& strOwnName,
                                                 HVWipeTarget& target,
                                                 const std::string& strFolderShown);
    [[nodiscard]] bool WritePasses(int fd,
                                   std::uint64_t nFileSize,
                                   const std::vector<HVWipePass>& passes,
                                   HVFastRandom& rng,
                                   const std::string& strPath,
                                   std::string& strError);
    // Makes r the last result (GetLastResult, GetLastError); returns its code.
    int Record(const SHvncResult& r);

    HVProgressSink m_sink;
    PassObserver m_observer;
    int m_nMethod = 0;
    int m_nPassSet = 0;
    std::vector<std::uint8_t> m_pattern;  // empty: the method-1 third pass is random
    bool m_bPatternInvalid = false;       // a pattern text was given but could not be read
    std::string m_strLastError;
    int m_nLastResult = 0;
    bool m_bWeakMedium = false;
    std::string m_strWeakReason;
};
