#include "resources/CResourceFileCheck.h"

#include <QtEndian>

#include <vector>

namespace {

constexpr quint16 kFlagCompressed = 0x01;
constexpr quint16 kFlagDirectory = 0x02;
constexpr quint16 kFlagCompressedZstd = 0x04;

class Reader
{
public:
    explicit Reader(QByteArrayView file)
        : m_file(file)
    {
    }

    // True when [pos, pos + len) lies inside the file.
    [[nodiscard]] bool Has(qint64 pos, qint64 len) const { return pos >= 0 && len >= 0 && pos <= m_file.size() - len; }
    [[nodiscard]] quint32 U32(qint64 pos) const { return qFromBigEndian<quint32>(m_file.data() + pos); }
    [[nodiscard]] quint16 U16(qint64 pos) const { return qFromBigEndian<quint16>(m_file.data() + pos); }

private:
    QByteArrayView m_file;
};

}  // namespace

bool CResourceFileCheck::IsWellFormed(QByteArrayView file)
{
    const Reader in(file);
    if (file.size() > kMaxFileSize || !in.Has(0, 20) || file.first(4) != QByteArrayView("qres")) {
        return false;
    }
    const quint32 nVersion = in.U32(4);
    if (nVersion < 1 || nVersion > 3) {
        return false;
    }
    const qint64 nHeader = nVersion >= 3 ? 24 : 20;
    const qint64 nTree = in.U32(8);
    const qint64 nData = in.U32(12);
    const qint64 nNames = in.U32(16);
    if (!in.Has(0, nHeader) || nTree < nHeader || nData < nHeader || nNames < nHeader || !in.Has(nTree, 1)
        || !in.Has(nData, 1) || !in.Has(nNames, 1)) {
        return false;
    }
    const qint64 nNodeSize = nVersion >= 2 ? 22 : 14;
    const qint64 nMaxNodes = (file.size() - nTree) / nNodeSize;

    std::vector<qint64> pending{0};
    qint64 nVisited = 0;
    while (!pending.empty()) {
        const qint64 nNode = pending.back();
        pending.pop_back();
        if (++nVisited > nMaxNodes || nNode >= nMaxNodes) {
            return false;
        }
        const qint64 pos = nTree + nNode * nNodeSize;
        if (!in.Has(pos, nNodeSize)) {
            return false;
        }
        const quint16 nFlags = in.U16(pos + 4);
        if (nNode != 0) {
            const qint64 nName = nNames + in.U32(pos);
            if (!in.Has(nName, 6) || !in.Has(nName + 6, qint64(in.U16(nName)) * 2)) {
                return false;
            }
        }
        if (nFlags & kFlagDirectory) {
            const qint64 nCount = in.U32(pos + 6);
            const qint64 nFirst = in.U32(pos + 10);
            if (nCount > nMaxNodes || nFirst <= nNode || nFirst + nCount > nMaxNodes) {
                return false;
            }
            for (qint64 i = 0; i < nCount; ++i) {
                pending.push_back(nFirst + i);
            }
            continue;
        }
        if (nNode == 0 || (nFlags & (kFlagCompressed | kFlagCompressedZstd)) != 0) {
            return false;  // the root must be a folder; entries are stored as they are
        }
        const qint64 nBlock = nData + in.U32(pos + 10);
        if (!in.Has(nBlock, 4) || !in.Has(nBlock + 4, in.U32(nBlock))) {
            return false;
        }
    }
    return true;
}
