// Rewriting the hidden list: compaction of a long journal and the rebuild of a damaged one.
#include "globalfuncs/HVDurableFile.h"
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
    // A fixed temporary name: the next start removes one a killed process left behind.
    HVDurableFile::SOptions opt;
    opt.strTempName = HidingPaths::NameOf(m_strFile) + ".tmp";
    bool bWritten = false;
    opt.hook = [&](const char* pszStep) {
        bWritten = std::string_view(pszStep) == "written";
        if (hook) {
            hook(bWritten ? "compact-written" : "compact-renamed");
        }
    };
    if (const int nErr = HVDurableFile::Write(m_strFile, text, opt); nErr != 0) {
        errno = nErr;
        strError = HidingFs::ErrnoText(bWritten ? "cannot replace the hidden list " + m_strFile
                                                : "cannot rewrite the hidden list " + m_strFile + ".tmp");
        return false;
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
