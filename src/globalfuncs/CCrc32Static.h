#pragma once

#include "globalfuncs/HVGlobalMFCExport.h"

#include <QString>

#include <cstddef>

// CRC-32 (reflected, polynomial 0xEDB88320, initial and final value 0xFFFFFFFF).
// The file variants return 0 or the errno of the failing step and leave crc at 0 on failure.
// FileCrc32Win32, FileCrc32Filemap and FileCrc32Assembly share one fast implementation here
// (large reads, eight bytes per step); FileCrc32Streams is not supported and returns 50.
class HVGLOBALMFC_API CCrc32Static
{
public:
    static const quint32 s_arrdwCrc32Table[256];

    static constexpr quint32 kNotSupported = 50;

    // CRC-32 over the low byte of each UTF-16 unit of text. Returns 0.
    static quint32 StringCrc32(const QString& text, quint32& crc);
    static quint32 FileCrc32Win32(const QString& path, quint32& crc);
    static quint32 FileCrc32Filemap(const QString& path, quint32& crc);
    static quint32 FileCrc32Assembly(const QString& path, quint32& crc);
    static quint32 FileCrc32Streams(const QString& path, quint32& crc);

    // Continues a running CRC: state starts at 0xFFFFFFFF; the result is state ^ 0xFFFFFFFF.
    [[nodiscard]] static quint32 Update(quint32 state, const void* data, std::size_t size);
    // One-shot CRC-32 of a buffer.
    [[nodiscard]] static quint32 Compute(const void* data, std::size_t size);
};
