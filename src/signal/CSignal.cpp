#include "signal/CSignal.h"

#include <chrono>

CSignal::CSignal(bool bInitiallySet)
    : m_bSet(bInitiallySet)
{
}

CSignal::~CSignal() = default;

bool CSignal::Set()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSet = true;
    }
    m_cond.notify_all();
    return true;
}

bool CSignal::Reset()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSet = false;
    }
    m_cond.notify_all();
    return true;
}

bool CSignal::IsSet() const
{
    std::lock_guard lock(m_mutex);
    return m_bSet;
}

bool CSignal::WaitState(bool bExpectSet, int iTimeoutMs) const
{
    std::unique_lock lock(m_mutex);
    auto reached = [&] { return m_bSet == bExpectSet; };
    if (iTimeoutMs < 0) {
        m_cond.wait(lock, reached);
        return true;
    }
    return m_cond.wait_for(lock, std::chrono::milliseconds(iTimeoutMs), reached);
}
