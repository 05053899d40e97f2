#include "hiding/HiddenListFormat.h"

#include <gtest/gtest.h>

namespace Fmt = HiddenListFormat;

namespace {

SListRecord BeginRecord()
{
    SListRecord r;
    r.type = EListRecord::Begin;
    r.kind = EMoveKind::Unhide;
    r.dev = 0x0102030405060708ULL;
    r.ino = 77;
    r.mode = 040755;
    r.entry.id = 42;
    r.entry.path = "/home/u/a b\nc";
    r.entry.vaultDir = "/home/u/.local/share/Halvo-Soft/vault";
    r.entry.vaultName = "000000000000002a-00ff";
    return r;
}

Fmt::EDecode DecodeText(const std::string& text, SListRecord& out, std::size_t& nUsed)
{
    return Fmt::Decode(text.data(), text.size(), out, nUsed);
}

}  // namespace

TEST(HiddenListFormat, EveryRecordKindRoundTrips)
{
    std::vector<SListRecord> records(6);
    records[0] = BeginRecord();
    records[1].type = EListRecord::Entry;
    records[1].entry = {7, false, "/x", "", ""};
    records[2].type = EListRecord::Entry;
    records[2].entry = {8, true, "/y", "/v", "n", 0xabcdef, 0x123456789};
    records[3].type = EListRecord::Commit;
    records[3].entry.id = 9;
    records[4].type = EListRecord::Remove;
    records[4].entry.id = 10;
    records[5].type = EListRecord::State;
    records[5].enabled = false;
    for (const auto& in : records) {
        const std::string text = Fmt::Encode(in);
        SListRecord out;
        std::size_t nUsed = 0;
        ASSERT_EQ(DecodeText(text + "trailing", out, nUsed), Fmt::EDecode::Ok);
        EXPECT_EQ(nUsed, text.size());
        EXPECT_EQ(out.type, in.type);
        EXPECT_EQ(out.kind, in.kind);
        EXPECT_EQ(out.enabled, in.enabled);
        EXPECT_EQ(out.dev, in.dev);
        EXPECT_EQ(out.ino, in.ino);
        EXPECT_EQ(out.mode, in.mode);
        EXPECT_EQ(out.entry.id, in.entry.id);
        EXPECT_EQ(out.entry.inVault, in.entry.inVault);
        EXPECT_EQ(out.entry.path, in.entry.path);
        EXPECT_EQ(out.entry.vaultDir, in.entry.vaultDir);
        EXPECT_EQ(out.entry.vaultName, in.entry.vaultName);
        EXPECT_EQ(out.entry.dev, in.type == EListRecord::Begin ? in.dev : in.entry.dev);
        EXPECT_EQ(out.entry.ino, in.type == EListRecord::Begin ? in.ino : in.entry.ino);
    }
}

TEST(HiddenListFormat, EveryShortPrefixIsTruncated)
{
    const std::string text = Fmt::Encode(BeginRecord());
    for (std::size_t n = 0; n < text.size(); ++n) {
        SListRecord out;
        std::size_t nUsed = 0;
        EXPECT_EQ(DecodeText(text.substr(0, n), out, nUsed), Fmt::EDecode::Truncated) << n;
    }
}

TEST(HiddenListFormat, AnyFlippedByteIsRejected)
{
    const std::string text = Fmt::Encode(BeginRecord());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string bad = text;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        SListRecord out;
        std::size_t nUsed = 0;
        EXPECT_NE(DecodeText(bad + std::string(64, 'x'), out, nUsed), Fmt::EDecode::Ok) << i;
    }
}

TEST(HiddenListFormat, LengthsAreCapped)
{
    SListRecord out;
    std::size_t nUsed = 0;
    const std::string zero("\0\0\0\0", 4);
    EXPECT_EQ(DecodeText(zero + std::string(16, '\0'), out, nUsed), Fmt::EDecode::Bad);
    const std::string huge("\xff\xff\xff\x7f", 4);
    EXPECT_EQ(DecodeText(huge, out, nUsed), Fmt::EDecode::Bad);

    SListRecord tooLong = BeginRecord();
    tooLong.entry.path = "/" + std::string(Fmt::kMaxText, 'a');
    EXPECT_NE(DecodeText(Fmt::Encode(tooLong), out, nUsed), Fmt::EDecode::Ok);
    tooLong.entry.path = "/" + std::string(Fmt::kMaxText - 1, 'a');
    EXPECT_EQ(DecodeText(Fmt::Encode(tooLong), out, nUsed), Fmt::EDecode::Ok);
}

// Well-formed records whose paths could make a rename go astray.
TEST(HiddenListFormat, UnsoundPathsAreRejected)
{
    const auto rejects = [](const SListRecord& r) {
        SListRecord out;
        std::size_t nUsed = 0;
        return DecodeText(Fmt::Encode(r), out, nUsed) == Fmt::EDecode::Bad;
    };
    SListRecord r = BeginRecord();
    r.entry.path = "relative/path";
    EXPECT_TRUE(rejects(r));
    r = BeginRecord();
    r.entry.vaultName = "../escape";
    EXPECT_TRUE(rejects(r));
    r.entry.vaultName = "..";
    EXPECT_TRUE(rejects(r));
    r = BeginRecord();
    r.entry.vaultDir.clear();
    r.entry.vaultName.clear();
    EXPECT_TRUE(rejects(r));  // a move always has a vault
    r = BeginRecord();
    r.entry.path = std::string("/a\0b", 4);
    EXPECT_TRUE(rejects(r));
    r = BeginRecord();
    r.type = EListRecord::Entry;
    r.entry.inVault = true;
    r.entry.vaultDir.clear();
    EXPECT_TRUE(rejects(r));  // hidden, but nowhere
}

TEST(HiddenListFormat, HeaderMagicAndVersion)
{
    std::string header = Fmt::EncodeHeader();
    ASSERT_EQ(header.size(), Fmt::kHeaderSize);
    EXPECT_EQ(Fmt::CheckHeader(header.data(), header.size()), Fmt::EHeader::Ok);
    EXPECT_EQ(Fmt::CheckHeader(header.data(), header.size() - 1), Fmt::EHeader::BadMagic);
    std::string newer = header;
    newer[8] = 2;
    EXPECT_EQ(Fmt::CheckHeader(newer.data(), newer.size()), Fmt::EHeader::NewerVersion);
    std::string zero = header;
    zero[8] = 0;
    EXPECT_EQ(Fmt::CheckHeader(zero.data(), zero.size()), Fmt::EHeader::BadMagic);
    std::string other = header;
    other[0] = 'X';
    EXPECT_EQ(Fmt::CheckHeader(other.data(), other.size()), Fmt::EHeader::BadMagic);
}

// The kind of an entry travels in its flags byte; lists from before the kind say Unknown, and a
// byte that claims a folder of unknown kind or sets unknown bits is damage.
TEST(HiddenListFormat, EntryKindFlags)
{
    struct SCase
    {
        unsigned char flags;
        bool bOk;
        bool bInVault;
        EHiddenKind kind;
    };
    const SCase cases[] = {
        {0, true, false, EHiddenKind::Unknown},
        {1, true, true, EHiddenKind::Unknown},
        {2, true, false, EHiddenKind::File},
        {3, true, true, EHiddenKind::File},
        {7, true, true, EHiddenKind::Folder},
        {6, true, false, EHiddenKind::Folder},
        {4, false, false, EHiddenKind::Unknown},
        {5, false, false, EHiddenKind::Unknown},
        {8, false, false, EHiddenKind::Unknown},
        {0xff, false, false, EHiddenKind::Unknown},
    };
    for (const SCase& c : cases) {
        SListRecord r;
        r.type = EListRecord::Entry;
        r.entry = {8, true, "/y", "/v", "n"};
        std::string text = Fmt::Encode(r);
        const std::size_t nFlags = 4 + 1 + 8;  // length, type, id
        text[nFlags] = static_cast<char>(c.flags);
        const std::size_t nBody = text.size() - 12;
        const std::uint64_t sum = Fmt::Fnv1a(text.data() + 4, nBody);
        for (int i = 0; i < 8; ++i) {
            text[4 + nBody + i] = static_cast<char>((sum >> (8 * i)) & 0xFF);
        }
        SListRecord out;
        std::size_t nUsed = 0;
        ASSERT_EQ(DecodeText(text, out, nUsed) == Fmt::EDecode::Ok, c.bOk) << int(c.flags);
        if (c.bOk) {
            EXPECT_EQ(out.entry.inVault, c.bInVault) << int(c.flags);
            EXPECT_EQ(out.entry.kind, c.kind) << int(c.flags);
            EXPECT_EQ(Fmt::Encode(out), text) << int(c.flags);
        }
    }
}
