// Fuzz target of the XML document engine: parse, walk the whole index, resolve paths, read
// element text, and append / replace text with a round-trip check.
//
// Input layout: byte 0 selects options (bit 0: the document is raw UTF-16LE rather than UTF-8;
// bit 1: names compare without regard to case; both bits: the document bytes are loaded as a
// file, byte-order marks and all; bit 2: also edit; bits 3-7: append flags), then the document,
// then optionally a 0 byte and a path to look up.

#include "xml/CXmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "../tests/xml/XmlTestSupport.h"

namespace {

constexpr int kMaxSteps = 20000;

QString Utf8(const uint8_t* p, size_t n)
{
    std::u16string s(n, u'\0');
    s.resize(Utf8ToUtf16(reinterpret_cast<const char*>(p), n, s.data()));
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

// Loads the bytes as a file through an in-memory file descriptor.
void LoadBytes(CXmlDocument& doc, const uint8_t* pData, size_t nSize)
{
    const int fd = memfd_create("xml_fuzz", MFD_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (::write(fd, pData, nSize) == static_cast<ssize_t>(nSize)) {
        (void)doc.LoadFile(QStringLiteral("/proc/self/fd/%1").arg(fd));
    }
    ::close(fd);
}

void Walk(CXmlDocument& doc)
{
    doc.ResetPos();
    for (int nSteps = 0; nSteps < kMaxSteps; ++nSteps) {
        if (doc.FindElement()) {
            (void)doc.GetElementData();
            (void)doc.GetTagName();
            if (!doc.EnterElement()) {
                break;
            }
        } else if (!doc.LeaveElement()) {
            break;
        }
    }
}

void Lookups(CXmlDocument& doc, const QString& strPath)
{
    static const char* const kPaths[] = {
        "", "*", "//*", "//*[2]", "/*/*[@id]", "*[a]/b", "a/b/c", "//a[1]", "*[3]", "/"};
    for (const char* p : kPaths) {
        doc.ResetPos();
        if (doc.FindElement(QString::fromLatin1(p))) {
            (void)doc.GetElementData();
            (void)doc.FindChildElement(QString::fromLatin1(p));
            (void)doc.GetChildElementData();
        }
    }
    doc.ResetPos();
    (void)doc.FindElement(strPath);
    (void)doc.GetElementData();
    (void)doc.FindChildElement(strPath);
    (void)doc.GetChildElementData();
    doc.RestartChildSearch();
    (void)doc.FindChildElement();
    (void)doc.GetChildElementData();
}

// The index kept by the edits must equal a fresh parse of the edited text when the text was
// well-formed before.
bool Unchanged(const CXmlDocument& doc, bool bWellFormed)
{
    return doc.IsIndexConsistent() && (!bWellFormed || SameIndexAsFreshParse(doc));
}

// Appends and replaces text at the element the path names (else the root's first child); the
// text must read back unchanged and the index stay right.
bool Edit(CXmlDocument& doc, int nFlags, const QString& strPath, const QString& strData)
{
    nFlags &= ~(CXmlDocument::kAppendKeepRefs | CXmlDocument::kAppendReplace);
    const bool bWellFormed = doc.IsWellFormed();
    doc.ResetPos();
    if (strPath.isEmpty() || !doc.FindElement(strPath)) {
        (void)doc.FindElement();
        (void)doc.FindChildElement();
    }
    const bool bChild = nFlags & CXmlDocument::kAppendAsChild;
    const QString strName = QStringLiteral("n");
    const QString strWanted = (nFlags & CXmlDocument::kAppendNoEndTag) ? QString() : strData;
    if (doc.AppendElement(strName, strWanted, nFlags)) {
        const QString strBack = bChild ? doc.GetChildElementData() : doc.GetElementData();
        if (strBack != strWanted || !Unchanged(doc, bWellFormed)) {
            return false;
        }
    }
    const uint32_t iPos = doc.GetMainPosition();
    if (iPos && doc.SetElementData(iPos, strData, nFlags & CXmlDocument::kAppendCData)) {
        if (doc.GetElementData() != strData || !Unchanged(doc, bWellFormed)) {
            return false;
        }
    }
    return doc.IsIndexConsistent();
}

}  // namespace

// Runs one input; false when an invariant of the engine was broken.
bool HvXmlFuzzOne(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) {
        return true;
    }
    const uint8_t nMode = pData[0];
    ++pData;
    --nSize;
    const bool bAsFile = (nMode & 3) == 3;  // file bytes hold zeros: no path then
    const auto* pZero = bAsFile ? nullptr : static_cast<const uint8_t*>(std::memchr(pData, 0, nSize));
    const size_t nDocSize = pZero ? static_cast<size_t>(pZero - pData) : nSize;
    const QString strPath = pZero ? Utf8(pZero + 1, nSize - nDocSize - 1) : QString();

    std::u16string strText;
    if (nMode & 1) {
        strText.resize(nDocSize / 2);
        for (size_t i = 0; i < strText.size(); ++i) {
            strText[i] = static_cast<char16_t>(pData[2 * i] | (pData[2 * i + 1] << 8));
        }
    } else {
        strText.resize(Utf8ToUtf16(reinterpret_cast<const char*>(pData), nDocSize, nullptr));
        strText.resize(Utf8ToUtf16(reinterpret_cast<const char*>(pData), nDocSize, strText.data()));
    }
    const QString strAsText =
        QString(reinterpret_cast<const QChar*>(strText.data()), static_cast<qsizetype>(strText.size()));

    CXmlDocument doc;
    if (nMode & 2) {
        doc.SetDocFlags(CXmlDocument::kDocIgnoreCase);
    }
    if (bAsFile) {
        LoadBytes(doc, pData, nDocSize);
    } else {
        (void)doc.SetDocument(std::move(strText));
    }
    if (!doc.IsIndexConsistent()) {
        return false;
    }
    Walk(doc);
    Lookups(doc, strPath);

    (void)DecodeEntities(strAsText);
    unsigned char buf[64];
    (void)Base64Decode(strAsText, buf, sizeof(buf));

    if (nMode & 4) {
        const int nFlags = (nMode >> 3) & 0x1F;
        const int nAppendFlags = (nFlags & 0x7) | ((nFlags & 0x8) ? CXmlDocument::kAppendBefore : 0)
                                 | ((nFlags & 0x10) ? CXmlDocument::kAppendAsChild : 0);
        if (!Edit(doc, nAppendFlags, strPath, strPath + QStringLiteral("a]]>b&c<"))) {
            return false;
        }
        Walk(doc);
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (!HvXmlFuzzOne(pData, nSize)) {
        std::abort();
    }
    return 0;
}
