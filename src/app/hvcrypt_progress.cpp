#include "app/hvcrypt_progress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

CHvcryptProgress::CHvcryptProgress(std::uint64_t nTotal, bool bEnabled)
    : m_nTotal(nTotal)
    , m_bEnabled(bEnabled && ::isatty(STDERR_FILENO) == 1)
{
}

CHvcryptProgress::~CHvcryptProgress()
{
    Finish();
}

void CHvcryptProgress::SetLabel(const std::string& strLabel)
{
    m_strLabel = strLabel.size() > 40 ? "..." + strLabel.substr(strLabel.size() - 37) : strLabel;
    Draw();
}

void CHvcryptProgress::Add(std::uint64_t nBytes)
{
    m_nDone += nBytes;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last >= std::chrono::milliseconds(100)) {
        Draw();
    }
}

void CHvcryptProgress::Draw()
{
    if (!m_bEnabled) {
        return;
    }
    m_last = std::chrono::steady_clock::now();
    const double f = m_nTotal == 0 ? 1.0 : std::min(1.0, static_cast<double>(m_nDone) / static_cast<double>(m_nTotal));
    constexpr int kWidth = 30;
    const int nFull = static_cast<int>(f * kWidth);
    std::string bar(static_cast<std::size_t>(nFull), '#');
    bar.resize(kWidth, '.');
    std::fprintf(stderr, "\r[%s] %3d%% %-40s", bar.c_str(), static_cast<int>(f * 100.0), m_strLabel.c_str());
    std::fflush(stderr);
    m_bDrawn = true;
}

void CHvcryptProgress::Finish()
{
    if (m_bDrawn) {
        std::fprintf(stderr, "\r%80s\r", "");
        std::fflush(stderr);
        m_bDrawn = false;
    }
}
