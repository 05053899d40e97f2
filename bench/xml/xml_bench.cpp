// Parse benchmark of the XML document engine.
//
//   xml_bench generate FILE [BYTES] [ELEMENTS]   writes a document of about BYTES bytes (default
//                                                50,000,000) with ELEMENTS elements (1,000,000)
//   xml_bench parse FILE                         loads and indexes it; prints times and peak memory
//   xml_bench hostile [CHARS]                    parses texts of about CHARS characters (default
//                                                5,000,000) made of one unterminated construct
//                                                repeated; prints the slowest parse

#include "xml/CXmlDocument.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>

namespace {

long PeakRssKb()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// Root element plus (elements - 1) / 2 items, each an Item with one Name child and its text padded
// so that the file reaches the wanted size; an even count ends with one empty element.
int Generate(const char* pszPath, long long nBytes, long long nElements)
{
    FILE* f = std::fopen(pszPath, "wb");
    if (!f) {
        std::perror(pszPath);
        return 1;
    }
    const char* pszHead = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<Catalog>\r\n";
    const char* pszTail = (nElements % 2) ? "</Catalog>\r\n" : "<End/></Catalog>\r\n";
    const long long nItems = (nElements - 1) / 2;
    const long long nFixed = static_cast<long long>(std::strlen(pszHead) + std::strlen(pszTail));
    const long long nPerItem = (nBytes - nFixed) / nItems;
    long long nWritten = nFixed;
    std::fputs(pszHead, f);
    std::string line;
    for (long long i = 0; i < nItems; ++i) {
        char head[96];
        std::snprintf(head,
                      sizeof(head),
                      "<Item id=\"%07lld\" kind=\"%s\"><Name>Entry %lld &amp; ",
                      i,
                      (i % 3) ? "file" : "folder",
                      i);
        line = head;
        const std::string tail = "</Name></Item>\r\n";
        long long nPad = nPerItem - static_cast<long long>(line.size() + tail.size());
        if (i == nItems - 1) {
            nPad += nBytes - nWritten - nPerItem;  // the last item takes the remainder
        }
        line.append(static_cast<size_t>(nPad > 0 ? nPad : 0), 'x');
        line += tail;
        std::fwrite(line.data(), 1, line.size(), f);
        nWritten += static_cast<long long>(line.size());
    }
    std::fputs(pszTail, f);
    if (std::fclose(f) != 0) {
        std::perror(pszPath);
        return 1;
    }
    std::printf(
        "generated %s: %lld bytes, %lld elements\n", pszPath, nWritten, nItems * 2 + 1 + (nElements % 2 ? 0 : 1));
    return 0;
}

int Parse(const char* pszPath)
{
    FILE* f = std::fopen(pszPath, "rb");
    if (!f) {
        std::perror(pszPath);
        return 1;
    }
    std::fseek(f, 0, SEEK_END);
    const long nFileBytes = std::ftell(f);
    std::fclose(f);
    const long nBaseKb = PeakRssKb();

    CXmlDocument doc;
    QElapsedTimer timer;
    timer.start();
    const bool bWellFormed = doc.LoadFile(QString::fromLocal8Bit(pszPath));
    const qint64 nLoadMs = timer.elapsed();
    const long nPeakKb = PeakRssKb();

    timer.restart();
    long long nElements = 0;
    doc.ResetPos();
    while (true) {
        if (doc.FindElement()) {
            ++nElements;
            if (!doc.EnterElement()) {
                break;
            }
        } else if (!doc.LeaveElement()) {
            break;
        }
    }
    const qint64 nWalkMs = timer.elapsed();

    std::u16string copy = doc.GetDocumentText();
    timer.restart();
    (void)doc.SetDocument(std::move(copy));
    const qint64 nParseMs = timer.elapsed();

    std::printf("file:              %ld bytes, %lld elements, well-formed %s (%s)\n",
                nFileBytes,
                nElements,
                bWellFormed ? "yes" : "no",
                qPrintable(doc.GetResultText()));
    std::printf("load (read, UTF-8 decode, parse, index): %lld ms\n", static_cast<long long>(nLoadMs));
    std::printf("parse and index only:                     %lld ms\n", static_cast<long long>(nParseMs));
    std::printf("walk every element:                       %lld ms\n", static_cast<long long>(nWalkMs));
    std::printf("peak memory: %.1f MB (process before load %.1f MB) = %.2f x file size\n",
                nPeakKb / 1024.0,
                nBaseKb / 1024.0,
                nPeakKb * 1024.0 / static_cast<double>(nFileBytes));
    std::printf("RESULT load_ms=%lld parse_ms=%lld peak_ratio=%.2f\n",
                static_cast<long long>(nLoadMs),
                static_cast<long long>(nParseMs),
                nPeakKb * 1024.0 / static_cast<double>(nFileBytes));
    return 0;
}

int Hostile(long long nChars)
{
    const char* const apszPieces[] = {"<a", "<a '\"", "</a", "<!DOCTYPE", "<?", "<!--", "<![CDATA[", "<!DOCTYPE <x>"};
    qint64 nWorstMs = 0;
    for (const char* pszPiece : apszPieces) {
        const QString piece = QString::fromLatin1(pszPiece);
        QString text;
        text.reserve(nChars + piece.size());
        while (text.size() < nChars) {
            text += piece;
        }
        CXmlDocument doc;
        QElapsedTimer timer;
        timer.start();
        (void)doc.SetDocument(text);
        const qint64 nMs = timer.elapsed();
        nWorstMs = nMs > nWorstMs ? nMs : nWorstMs;
        std::printf("%-14s x %lld: %lld ms\n",
                    pszPiece,
                    static_cast<long long>(text.size() / piece.size()),
                    static_cast<long long>(nMs));
    }
    std::printf("RESULT hostile_ms=%lld\n", static_cast<long long>(nWorstMs));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "generate") == 0) {
        const long long nBytes = argc > 3 ? std::atoll(argv[3]) : 50000000LL;
        const long long nElements = argc > 4 ? std::atoll(argv[4]) : 1000000LL;
        if (nBytes <= 0 || nElements < 3) {
            std::fprintf(stderr, "bad size\n");
            return 2;
        }
        return Generate(argv[2], nBytes, nElements);
    }
    if (argc == 3 && std::strcmp(argv[1], "parse") == 0) {
        return Parse(argv[2]);
    }
    if (argc >= 2 && std::strcmp(argv[1], "hostile") == 0) {
        const long long nChars = argc > 2 ? std::atoll(argv[2]) : 5000000LL;
        return nChars > 0 ? Hostile(nChars) : 2;
    }
    std::fprintf(stderr, "usage: %s generate FILE [BYTES] [ELEMENTS] | parse FILE | hostile [CHARS]\n", argv[0]);
    return 2;
}
