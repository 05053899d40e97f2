#include "resources/CStringTable.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr char kMagic[8] = {'H', 'V', 'S', 'T', 'R', 'T', 'A', 'B'};
constexpr qsizetype kHeaderSize = 16;
constexpr qsizetype kEntryHeaderSize = 8;

quint32 ReadU32(QByteArrayView data, qsizetype pos)
{
    return qFromLittleEndian<quint32>(data.data() + pos);
}

}  // namespace

bool CStringTable::Parse(QByteArrayView data)
{
    Clear();
    if (data.size() < kHeaderSize || !std::equal(kMagic, kMagic + 8, data.data())) {
        return false;
    }
    if (ReadU32(data, 8) != kVersion) {
        return false;
    }
    const quint32 nCount = ReadU32(data, 12);
    // Every entry needs at least its header and one byte of text.
    if (nCount > kMaxCount || qsizetype(nCount) * (kEntryHeaderSize + 1) > data.size() - kHeaderSize) {
        return false;
    }

    std::vector<unsigned> ids;
    std::vector<QString> texts;
    ids.reserve(nCount);
    texts.reserve(nCount);
    qsizetype pos = kHeaderSize;
    for (quint32 i = 0; i < nCount; ++i) {
        if (data.size() - pos < kEntryHeaderSize) {
            return false;
        }
        const quint32 nId = ReadU32(data, pos);
        const quint32 nLen = ReadU32(data, pos + 4);
        pos += kEntryHeaderSize;
        if (nId == 0 || (!ids.empty() && nId <= ids.back())) {
            return false;  // numbers must be unique and ascending
        }
        if (nLen == 0 || nLen > kMaxTextBytes || qsizetype(nLen) > data.size() - pos) {
            return false;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(data.sliced(pos, nLen));
        if (decoder.hasError()) {
            return false;
        }
        ids.push_back(nId);
        texts.push_back(std::move(text));
        pos += nLen;
    }
    if (pos != data.size()) {
        return false;  // trailing bytes: not the layout we wrote
    }
    m_vecIds = std::move(ids);
    m_vecTexts = std::move(texts);
    return true;
}

void CStringTable::Clear()
{
    m_vecIds.clear();
    m_vecTexts.clear();
}

qsizetype CStringTable::IndexOf(unsigned nId) const
{
    const auto it = std::lower_bound(m_vecIds.begin(), m_vecIds.end(), nId);
    if (it == m_vecIds.end() || *it != nId) {
        return -1;
    }
    return it - m_vecIds.begin();
}

bool CStringTable::Contains(unsigned nId) const
{
    return IndexOf(nId) >= 0;
}

QString CStringTable::Text(unsigned nId) const
{
    const qsizetype i = IndexOf(nId);
    return i < 0 ? QString() : m_vecTexts[static_cast<std::size_t>(i)];
}
