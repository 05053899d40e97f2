#include "hiding/HiddenListFormat.h"

#include <cstring>

namespace HiddenListFormat {
namespace {

constexpr char kMagic[8] = {'H', 'V', 'H', 'I', 'D', 'L', 'S', 'T'};

void PutU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

void PutU64(std::string& out, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

void PutText(std::string& out, const std::string& text)
{
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

std::uint64_t GetLE(const char* p, int nBytes)
{
    std::uint64_t v = 0;
    for (int i = nBytes - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    }
    return v;
}

// Bounds-checked reader over one record body.
class CBodyReader
{
public:
    CBodyReader(const char* p, std::size_t n)
        : m_p(p)
        , m_n(n)
    {
    }
    bool U8(std::uint8_t& v) { return Fixed(1, v); }
    bool U32(std::uint32_t& v) { return Fixed(4, v); }
    bool U64(std::uint64_t& v) { return Fixed(8, v); }
    bool Text(std::string& out)
    {
        std::uint32_t n = 0;
        if (!U32(n) || n > kMaxText || n > m_n - m_pos) {
            return false;
        }
        out.assign(m_p + m_pos, n);
        m_pos += n;
        return out.find('\0') == std::string::npos;
    }
    [[nodiscard]] bool AtEnd() const { return m_pos == m_n; }

private:
    template <typename T>
    bool Fixed(std::size_t nBytes, T& v)
    {
        if (m_n - m_pos < nBytes) {
            return false;
        }
        v = static_cast<T>(GetLE(m_p + m_pos, static_cast<int>(nBytes)));
        m_pos += nBytes;
        return true;
    }
    const char* m_p;
    std::size_t m_n;
    std::size_t m_pos = 0;
};

// Flags byte of an Entry record: bit 0 in the vault, bit 1 the kind is known, bit 2 a folder.
// Lists written before the kind was recorded hold 0 or 1 only.
constexpr std::uint8_t kInVault = 1;
constexpr std::uint8_t kKindKnown = 2;
constexpr std::uint8_t kFolder = 4;

std::uint8_t EntryFlags(const SHiddenEntry& e)
{
    std::uint8_t flags = e.inVault ? kInVault : 0;
    if (e.kind != EHiddenKind::Unknown) {
        flags |= kKindKnown;
        if (e.kind == EHiddenKind::Folder) {
            flags |= kFolder;
        }
    }
    return flags;
}

bool SetEntryFlags(std::uint8_t flags, SHiddenEntry& e)
{
    if (flags > (kInVault | kKindKnown | kFolder) || ((flags & kFolder) != 0 && (flags & kKindKnown) == 0)) {
        return false;
    }
    e.inVault = (flags & kInVault) != 0;
    if ((flags & kKindKnown) != 0) {
        e.kind = (flags & kFolder) != 0 ? EHiddenKind::Folder : EHiddenKind::File;
    }
    return true;
}

bool IsAbsolute(const std::string& s)
{
    return !s.empty() && s[0] == '/';
}

bool IsPlainName(const std::string& s)
{
    return !s.empty() && s != "." && s != ".." && s.find('/') == std::string::npos;
}

// Paths of a decoded entry must make sense before anything renames by them.
bool EntryIsSound(const SHiddenEntry& e, bool bNeedsVault)
{
    if (!IsAbsolute(e.path)) {
        return false;
    }
    if (e.vaultDir.empty() && e.vaultName.empty()) {
        return !bNeedsVault;
    }
    return IsAbsolute(e.vaultDir) && IsPlainName(e.vaultName);
}

bool DecodeBody(CBodyReader& in, SListRecord& r)
{
    std::uint8_t type = 0;
    if (!in.U8(type)) {
        return false;
    }
    r = SListRecord{};
    r.type = static_cast<EListRecord>(type);
    std::uint8_t flags = 0;
    switch (r.type) {
    case EListRecord::Entry:
        if (!in.U64(r.entry.id) || !in.U8(flags) || !SetEntryFlags(flags, r.entry) || !in.U64(r.entry.dev)
            || !in.U64(r.entry.ino) || !in.Text(r.entry.path) || !in.Text(r.entry.vaultDir)
            || !in.Text(r.entry.vaultName)) {
            return false;
        }
        return EntryIsSound(r.entry, r.entry.inVault);
    case EListRecord::Begin: {
        std::uint8_t kind = 0;
        if (!in.U8(kind) || kind < 1 || kind > 4 || !in.U64(r.entry.id) || !in.U64(r.dev) || !in.U64(r.ino)
            || !in.U32(r.mode) || !in.Text(r.entry.path) || !in.Text(r.entry.vaultDir) || !in.Text(r.entry.vaultName)) {
            return false;
        }
        r.kind = static_cast<EMoveKind>(kind);
        r.entry.dev = r.dev;
        r.entry.ino = r.ino;
        return EntryIsSound(r.entry, true);
    }
    case EListRecord::Commit:
    case EListRecord::Abort:
    case EListRecord::Remove:
        return in.U64(r.entry.id);
    case EListRecord::State:
        if (!in.U8(flags) || flags > 1) {
            return false;
        }
        r.enabled = flags == 1;
        return true;
    }
    return false;
}

}  // namespace

std::uint64_t Fnv1a(const char* pData, std::size_t nSize)
{
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < nSize; ++i) {
        h ^= static_cast<unsigned char>(pData[i]);
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string EncodeHeader()
{
    std::string out(kMagic, sizeof kMagic);
    PutU32(out, kVersion);
    PutU32(out, 0);
    return out;
}

EHeader CheckHeader(const char* pData, std::size_t nSize)
{
    if (nSize < kHeaderSize || std::memcmp(pData, kMagic, sizeof kMagic) != 0) {
        return EHeader::BadMagic;
    }
    const auto version = static_cast<std::uint32_t>(GetLE(pData + 8, 4));
    if (version == 0) {
        return EHeader::BadMagic;
    }
    return version > kVersion ? EHeader::NewerVersion : EHeader::Ok;
}

std::string Encode(const SListRecord& r)
{
    std::string body;
    body.push_back(static_cast<char>(r.type));
    switch (r.type) {
    case EListRecord::Entry:
        PutU64(body, r.entry.id);
        body.push_back(static_cast<char>(EntryFlags(r.entry)));
        PutU64(body, r.entry.dev);
        PutU64(body, r.entry.ino);
        PutText(body, r.entry.path);
        PutText(body, r.entry.vaultDir);
        PutText(body, r.entry.vaultName);
        break;
    case EListRecord::Begin:
        body.push_back(static_cast<char>(r.kind));
        PutU64(body, r.entry.id);
        PutU64(body, r.dev);
        PutU64(body, r.ino);
        PutU32(body, r.mode);
        PutText(body, r.entry.path);
        PutText(body, r.entry.vaultDir);
        PutText(body, r.entry.vaultName);
        break;
    case EListRecord::Commit:
    case EListRecord::Abort:
    case EListRecord::Remove:
        PutU64(body, r.entry.id);
        break;
    case EListRecord::State:
        body.push_back(r.enabled ? 1 : 0);
        break;
    }
    std::string out;
    out.reserve(body.size() + 12);
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    PutU64(out, Fnv1a(body.data(), body.size()));
    return out;
}

EDecode Decode(const char* pData, std::size_t nAvail, SListRecord& record, std::size_t& nUsed)
{
    if (nAvail < 4) {
        return EDecode::Truncated;
    }
    const std::size_t nBody = GetLE(pData, 4);
    if (nBody == 0 || nBody > kMaxBody) {
        return EDecode::Bad;
    }
    if (nAvail - 4 < nBody + 8) {
        return EDecode::Truncated;
    }
    const char* pBody = pData + 4;
    if (Fnv1a(pBody, nBody) != GetLE(pBody + nBody, 8)) {
        return EDecode::Bad;
    }
    CBodyReader in(pBody, nBody);
    if (!DecodeBody(in, record) || !in.AtEnd()) {
        return EDecode::Bad;
    }
    nUsed = 4 + nBody + 8;
    return EDecode::Ok;
}

}  // namespace HiddenListFormat
