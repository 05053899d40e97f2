#include "hiding/CHiddenList.h"

#include "hiding/HidingFs.h"
#include "hiding/HidingPaths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Fmt = HiddenListFormat;

namespace {

bool AllZero(const std::string& data, std::size_t nFrom)
{
    return std::all_of(data.begin() + static_cast<std::ptrdiff_t>(nFrom), data.end(), [](char c) { return c == 0; });
}

}  // namespace

CHiddenList::CHiddenList(std::string strFile)
    : m_strFile(std::move(strFile))
{
}

CHiddenList::~CHiddenList()
{
    Close();
}

void CHiddenList::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void CHiddenList::Reset()
{
    m_entries.clear();
    m_pending.reset();
    m_bEnabled = true;
    m_nextId = 1;
    m_nRecords = 0;
    m_nOffset = 0;
}

const SHiddenEntry* CHiddenList::Find(std::uint64_t id) const
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const auto& e) { return e.id == id; });
    return it == m_entries.end() ? nullptr : &*it;
}

std::vector<SHiddenEntry>::iterator CHiddenList::Locate(std::uint64_t id)
{
    return std::find_if(m_entries.begin(), m_entries.end(), [id](const auto& e) { return e.id == id; });
}

bool CHiddenList::Load(std::string& strError)
{
    Close();
    Reset();
    m_fd = ::open(m_strFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    struct stat st = {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        strError = HidingFs::ErrnoText("cannot open the hidden list " + m_strFile);
        Close();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        strError = "the hidden list is not a regular file: " + m_strFile;
        Close();
        return false;
    }
    m_dev = st.st_dev;
    m_ino = st.st_ino;
    if (st.st_size < static_cast<off_t>(Fmt::kHeaderSize)) {
        // New, or cut short while it was being created: nothing can have been listed yet.
        if (::ftruncate(m_fd, 0) != 0 || !HidingFs::WriteAllAt(m_fd, Fmt::EncodeHeader(), 0) || ::fdatasync(m_fd) != 0
            || !HidingFs::SyncDir(HidingPaths::ParentOf(m_strFile))) {
            strError = HidingFs::ErrnoText("cannot create the hidden list " + m_strFile);
            Close();
            return false;
        }
        m_nOffset = Fmt::kHeaderSize;
        return true;
    }
    std::string header;
    if (!HidingFs::ReadAllAt(m_fd, header, 0, Fmt::kHeaderSize)) {
        strError = HidingFs::ErrnoText("cannot read the hidden list " + m_strFile);
        Close();
        return false;
    }
    const auto eHeader = Fmt::CheckHeader(header.data(), header.size());
    if (eHeader != Fmt::EHeader::Ok) {
        strError = eHeader == Fmt::EHeader::NewerVersion ? "the hidden list was written by a newer version: "
                                                         : "not a hidden list: ";
        strError += m_strFile;
        Close();
        return false;
    }
    m_nOffset = Fmt::kHeaderSize;
    if (!ReadFrom(m_nOffset, st.st_size, strError)) {
        Close();
        return false;
    }
    return true;
}

bool CHiddenList::Sync(std::string& strError)
{
    if (m_fd < 0) {
        return Load(strError);
    }
    struct stat st = {};
    if (::stat(m_strFile.c_str(), &st) != 0 || st.st_dev != m_dev || st.st_ino != m_ino || st.st_size < m_nOffset) {
        return Load(strError);  // rewritten (or removed) by another process
    }
    return st.st_size == m_nOffset || ReadFrom(m_nOffset, st.st_size, strError);
}

bool CHiddenList::ReadFrom(off_t nFrom, off_t nSize, std::string& strError)
{
    if (nSize - nFrom > static_cast<off_t>(Fmt::kMaxFile)) {
        strError = "the hidden list is too large: " + m_strFile;
        return false;
    }
    std::string data;
    if (!HidingFs::ReadAllAt(m_fd, data, nFrom, static_cast<std::size_t>(nSize - nFrom))) {
        strError = HidingFs::ErrnoText("cannot read the hidden list " + m_strFile);
        return false;
    }
    std::size_t nPos = 0;
    while (nPos < data.size()) {
        SListRecord record;
        std::size_t nUsed = 0;
        const auto eResult = Fmt::Decode(data.data() + nPos, data.size() - nPos, record, nUsed);
        if (eResult == Fmt::EDecode::Ok) {
            Apply(record);
            nPos += nUsed;
            m_nOffset = nFrom + static_cast<off_t>(nPos);
            continue;
        }
        // A crash while appending leaves at most the last record incomplete (or zero-filled).
        bool bTorn = eResult == Fmt::EDecode::Truncated || AllZero(data, nPos);
        if (!bTorn && data.size() - nPos >= 4) {
            const std::size_t nBody = static_cast<unsigned char>(data[nPos])
                                      | (static_cast<unsigned char>(data[nPos + 1]) << 8)
                                      | (static_cast<unsigned char>(data[nPos + 2]) << 16)
                                      | (static_cast<std::size_t>(static_cast<unsigned char>(data[nPos + 3])) << 24);
            bTorn = nBody <= Fmt::kMaxBody && nPos + 4 + nBody + 8 == data.size();
        }
        if (!bTorn) {
            strError = "the hidden list is damaged at byte " + std::to_string(nFrom + static_cast<off_t>(nPos)) + ": "
                       + m_strFile;
            return false;
        }
        if (::ftruncate(m_fd, m_nOffset) != 0 || ::fdatasync(m_fd) != 0) {
            strError = HidingFs::ErrnoText("cannot repair the hidden list " + m_strFile);
            return false;
        }
        break;
    }
    return true;
}

void CHiddenList::Apply(const SListRecord& r)
{
    ++m_nRecords;
    m_nextId = std::max(m_nextId, r.entry.id + 1);
    switch (r.type) {
    case EListRecord::Entry:
        if (auto it = Locate(r.entry.id); it != m_entries.end()) {
            *it = r.entry;
        } else {
            m_entries.push_back(r.entry);
        }
        break;
    case EListRecord::Begin:
        m_pending = r;
        // The mode journalled before the move says what the item is.
        m_pending->entry.kind = S_ISDIR(r.mode) ? EHiddenKind::Folder : EHiddenKind::File;
        break;
    case EListRecord::Commit:
        if (m_pending && m_pending->entry.id == r.entry.id) {
            const SHiddenEntry& moved = m_pending->entry;
            auto it = Locate(moved.id);
            switch (m_pending->kind) {
            case EMoveKind::HideNew:
                m_entries.push_back(moved);
                m_entries.back().inVault = true;
                break;
            case EMoveKind::MoveIn:
                if (it != m_entries.end()) {
                    *it = moved;
                    it->inVault = true;
                }
                break;
            case EMoveKind::MoveOut:
                if (it != m_entries.end()) {
                    it->inVault = false;
                }
                break;
            case EMoveKind::Unhide:
                if (it != m_entries.end()) {
                    m_entries.erase(it);
                }
                break;
            }
            m_pending.reset();
        }
        break;
    case EListRecord::Abort:
        if (m_pending && m_pending->entry.id == r.entry.id) {
            m_pending.reset();
        }
        break;
    case EListRecord::Remove:
        if (auto it = Locate(r.entry.id); it != m_entries.end()) {
            m_entries.erase(it);
        }
        break;
    case EListRecord::State:
        m_bEnabled = r.enabled;
        break;
    }
}

bool CHiddenList::Append(const SListRecord& record, bool bDurable, std::string& strError)
{
    if (m_fd < 0) {
        strError = "the hidden list is not open";
        return false;
    }
    const std::string text = Fmt::Encode(record);
    if (!HidingFs::WriteAllAt(m_fd, text, m_nOffset) || (bDurable && ::fdatasync(m_fd) != 0)) {
        strError = HidingFs::ErrnoText("cannot write the hidden list " + m_strFile);
        const int nErr = errno;
        if (::ftruncate(m_fd, m_nOffset) != 0) {
            // Left as it is: the next load cuts a torn record off or finds the whole one.
        }
        errno = nErr;
        return false;
    }
    m_nOffset += static_cast<off_t>(text.size());
    Apply(record);
    return true;
}

bool CHiddenList::CompactIfLarge(const HidingFaultHook& hook, std::string& strError)
{
    if (m_pending || m_nRecords <= 2 * m_entries.size() + 512) {
        return true;
    }
    return Compact(hook, strError);
}
