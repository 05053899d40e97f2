// Rewriting the hidden list: compaction of a long journal and the rebuild of a damaged one.
#include "hiding/CHiddenList.h"
#include "hiding/HidingFs.h"
#include "hiding/HidingPaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Fmt = HiddenListFormat;

std::string CHiddenList::LiveText() const
{
    std::string text = Fmt::EncodeHeader();
    SListRecord state;
    state.type = EListRecord::State;
    state.enabled = m_bEnabled;
    text += Fmt::Encode(state);
    for (const auto& entry : m_entries) {
        SListRecord record;
        record.type = EListRecord::Entry;
        record.entry = entry;
        text += Fmt::Encode(record);
    }
    if (m_pending) {
        text += Fmt::Encode(*m_pending);
    }
    return text;
}

bool CHiddenList::Compact(const HidingFaultHook& hook, std::string& strError)
{
    if (m_pending) {
        strError = "a move is still pending";
        return false;
    }
    return ReplaceWith(LiveText(), hook, strError);
}

bool CHiddenList::ReplaceWith(const std::string& text, const HidingFaultHook& hook, std::string& strError)
{
    const std::string strTemp = m_strFile + ".tmp";
    const int fd = ::open(strTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        strError = HidingFs::ErrnoText("cannot rewrite the hidden list " + strTemp);
        return false;
    }
    const bool bWritten = HidingFs::WriteAllAt(fd, text, 0) && ::fsync(fd) == 0;
    const int nErr = errno;
    ::close(fd);
    if (!bWritten) {
        errno = nErr;
        strError = HidingFs::ErrnoText("cannot rewrite the hidden list " + strTemp);
        ::unlink(strTemp.c_str());
        return false;
    }
    if (hook) {
        hook("compact-written");
    }
    if (::rename(strTemp.c_str(), m_strFile.c_str()) != 0) {
        strError = HidingFs::ErrnoText("cannot replace the hidden list " + m_strFile);
        ::unlink(strTemp.c_str());
        return false;
    }
    if (!HidingFs::SyncDir(HidingPaths::ParentOf(m_strFile))) {
        // The new list is complete either way; only its name may not be durable yet.
    }
    if (hook) {
        hook("compact-renamed");
    }
    return Load(strError);
}

bool CHiddenList::Rebuild(const std::string& strDamaged, std::size_t& nSkipped, std::string& strError)
{
    Close();
    Reset();
    nSkipped = 0;
    const int fd = ::open(strDamaged.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat st = {};
    std::string data;
    const bool bRead = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
                       && st.st_size <= static_cast<off_t>(Fmt::kMaxFile)
                       && HidingFs::ReadAllAt(fd, data, 0, static_cast<std::size_t>(st.st_size));
    if (fd >= 0) {
        ::close(fd);
    }
    if (!bRead) {
        strError = HidingFs::ErrnoText("cannot read the damaged hidden list " + strDamaged);
        return false;
    }
    std::size_t nPos = 0;
    if (data.size() >= Fmt::kHeaderSize) {
        const auto eHeader = Fmt::CheckHeader(data.data(), Fmt::kHeaderSize);
        if (eHeader == Fmt::EHeader::NewerVersion) {
            strError = "the hidden list was written by a newer version: " + strDamaged;
            return false;
        }
        nPos = Fmt::kHeaderSize;
        nSkipped += eHeader == Fmt::EHeader::Ok ? 0 : Fmt::kHeaderSize;
    }
    while (nPos < data.size()) {
        SListRecord record;
        std::size_t nUsed = 0;
        if (Fmt::Decode(data.data() + nPos, data.size() - nPos, record, nUsed) == Fmt::EDecode::Ok) {
            Apply(record);
            nPos += nUsed;
        } else {
            ++nPos;  // look for the next whole record one byte further on
            ++nSkipped;
        }
    }
    return ReplaceWith(LiveText(), HidingFaultHook(), strError);
}
