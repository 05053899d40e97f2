#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Progress bar of the hvcrypt tool on stderr (drawn only when stderr is a terminal).
class CHvcryptProgress
{
public:
    CHvcryptProgress(std::uint64_t nTotal, bool bEnabled);
    ~CHvcryptProgress();
    void SetLabel(const std::string& strLabel);
    void Add(std::uint64_t nBytes);
    void Finish();  // clears the bar's line

private:
    void Draw();

    std::uint64_t m_nTotal;
    std::uint64_t m_nDone = 0;
    bool m_bEnabled;
    bool m_bDrawn = false;
    std::string m_strLabel;
    std::chrono::steady_clock::time_point m_last;
};
