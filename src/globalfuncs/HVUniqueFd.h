#pragma once

// Owns one file descriptor and closes it at the end of its life.
class HVUniqueFd
{
public:
    HVUniqueFd() = default;
    explicit HVUniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~HVUniqueFd() { Close(); }
    HVUniqueFd(HVUniqueFd&& other) noexcept
        : m_fd(other.Release())
    {
    }
    HVUniqueFd& operator=(HVUniqueFd&& other) noexcept;
    HVUniqueFd(const HVUniqueFd&) = delete;
    HVUniqueFd& operator=(const HVUniqueFd&) = delete;

    [[nodiscard]] int Get() const { return m_fd; }
    [[nodiscard]] bool IsValid() const { return m_fd >= 0; }
    // Gives up ownership; returns the descriptor.
    int Release();
    int Close();  // 0 or the close error (errno is set as well)

private:
    int m_fd = -1;
};
