#pragma once

#include <string>

// One writing run at a time per user: an exclusive lock (flock) on a file in the user's data
// folder, held while a run works. Within one process the lock is counted, so a flow that holds
// it may start runners that take it again.
class CRunLock
{
public:
    static constexpr const char* kFileName = "HNVRun.lock";
    static constexpr const char* kBusyText =
        "Another encryption, wipe, decryption or hiding run of this user is in progress. "
        "Wait until it has ended, then start this one again.";

    CRunLock() = default;
    ~CRunLock() { Release(); }
    CRunLock(const CRunLock&) = delete;
    CRunLock& operator=(const CRunLock&) = delete;

    // Takes the lock on strFile without waiting. An empty name takes nothing and succeeds (no
    // data folder: nothing to share with). False with the reason when another run holds it or
    // the file cannot be opened.
    [[nodiscard]] bool TryAcquire(const std::string& strFile, std::string& strWhy);
    void Release();
    [[nodiscard]] bool Held() const { return m_bHeld; }

private:
    bool m_bHeld = false;
};
