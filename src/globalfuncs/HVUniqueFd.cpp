#include "globalfuncs/HVUniqueFd.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

HVUniqueFd& HVUniqueFd::operator=(HVUniqueFd&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.Release();
    }
    return *this;
}

int HVUniqueFd::Release()
{
    return std::exchange(m_fd, -1);
}

int HVUniqueFd::Close()
{
    int nResult = 0;
    if (m_fd >= 0) {
        nResult = ::close(m_fd) == 0 ? 0 : errno;
        m_fd = -1;
    }
    return nResult;
}
