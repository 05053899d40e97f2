#include "security/CRunWorker.h"

// A thread still joinable here ends the process (std::thread): it would use the destroyed
// members of the derived class.
CRunWorker::~CRunWorker() = default;

void CRunWorker::Start()
{
    Join();
    m_thread = std::thread([this] { Run(); });
}

void CRunWorker::Join()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CRunWorker::Cancel()
{
    RequestStop();
    (void)BusySignal().WaitState(false, -1);
    ClearStop();
    Join();
}

void CRunWorker::StopAndJoin()
{
    if (m_thread.joinable()) {
        RequestStop();
        m_thread.join();
    }
}
