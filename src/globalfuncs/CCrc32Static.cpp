#include "globalfuncs/CCrc32Static.h"

#include "globalfuncs/HVInternal.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::array<std::array<quint32, 256>, 8> MakeTables()
{
    std::array<std::array<quint32, 256>, 8> t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (int s = 1; s < 8; ++s) {
        for (int i = 0; i < 256; ++i)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
    return t;
}

constexpr auto kTables = MakeTables();

constexpr std::size_t kBlock = 1 << 20;

quint32 FileCrc(const QString& path, quint32& crc)
{
    crc = 0;
    // Regular files only: a FIFO or a device would never end or never answer.
    const int fd = open(HVGlobalMFC::detail::Native(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return static_cast<quint32>(errno);
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return static_cast<quint32>(err);
    }
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kBlock]);
    if (!buffer) {
        close(fd);
        return ENOMEM;
    }
    quint32 state = 0xFFFFFFFFu;
    for (;;) {
        const ssize_t got = read(fd, buffer.get(), kBlock);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            close(fd);
            return static_cast<quint32>(err);
        }
        state = CCrc32Static::Update(state, buffer.get(), static_cast<std::size_t>(got));
    }
    close(fd);
    crc = state ^ 0xFFFFFFFFu;
    return 0;
}

}  // namespace

const quint32 CCrc32Static::s_arrdwCrc32Table[256] = {
#define HV_CRC_ROW(i) kTables[0][i], kTables[0][i + 1], kTables[0][i + 2], kTables[0][i + 3]
#define HV_CRC_16(i) HV_CRC_ROW(i), HV_CRC_ROW(i + 4), HV_CRC_ROW(i + 8), HV_CRC_ROW(i + 12)
    HV_CRC_16(0),
    HV_CRC_16(16),
    HV_CRC_16(32),
    HV_CRC_16(48),
    HV_CRC_16(64),
    HV_CRC_16(80),
    HV_CRC_16(96),
    HV_CRC_16(112),
    HV_CRC_16(128),
    HV_CRC_16(144),
    HV_CRC_16(160),
    HV_CRC_16(176),
    HV_CRC_16(192),
    HV_CRC_16(208),
    HV_CRC_16(224),
    HV_CRC_16(240),
#undef HV_CRC_16
#undef HV_CRC_ROW
};

quint32 CCrc32Static::Update(quint32 state, const void* data, std::size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    // Slicing by eight (little-endian word loads).
    while (std::endian::native == std::endian::little && size >= 8) {
        quint32 lo;
        quint32 hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        lo ^= state;
        state = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF]
                ^ kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF]
                ^ kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
        p += 8;
        size -= 8;
    }
    while (size--)
        state = (state >> 8) ^ kTables[0][(state ^ *p++) & 0xFF];
    return state;
}

quint32 CCrc32Static::Compute(const void* data, std::size_t size)
{
    return Update(0xFFFFFFFFu, data, size) ^ 0xFFFFFFFFu;
}

quint32 CCrc32Static::StringCrc32(const QString& text, quint32& crc)
{
    quint32 state = 0xFFFFFFFFu;
    for (const QChar ch : text) {
        const auto byte = static_cast<unsigned char>(ch.unicode() & 0xFF);
        state = (state >> 8) ^ kTables[0][(state ^ byte) & 0xFF];
    }
    crc = state ^ 0xFFFFFFFFu;
    return 0;
}

quint32 CCrc32Static::FileCrc32Win32(const QString& path, quint32& crc)
{
    return FileCrc(path, crc);
}

quint32 CCrc32Static::FileCrc32Filemap(const QString& path, quint32& crc)
{
    return FileCrc(path, crc);
}

quint32 CCrc32Static::FileCrc32Assembly(const QString& path, quint32& crc)
{
    return FileCrc(path, crc);
}

quint32 CCrc32Static::FileCrc32Streams(const QString& path, quint32& crc)
{
    (void)path;
    crc = 0;
    return kNotSupported;
}
