#pragma once

// The six result counters of an encrypt, wipe or decrypt run.
struct SRunCounters
{
    int m_nProcessed = 0;      // encryptions and decryptions started
    int m_nSucceeded = 0;      // encryptions and decryptions that succeeded
    int m_nFailed = 0;         // ... that failed, and files refused before encryption
    int m_nWipeAttempted = 0;  // files that reached the wipe step
    int m_nWipeSucceeded = 0;  // wipes that succeeded
    int m_nWipeFailed = 0;     // wipes that failed, were skipped, or could not be done

    friend bool operator==(const SRunCounters&, const SRunCounters&) = default;
};

// The three counters of a hide or unhide run.
struct SHideCounters
{
    int m_nProcessed = 0;
    int m_nSucceeded = 0;
    int m_nFailed = 0;

    friend bool operator==(const SHideCounters&, const SHideCounters&) = default;
};
