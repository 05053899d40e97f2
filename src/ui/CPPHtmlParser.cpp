#include "ui/CPPHtmlParser.h"

#include <QHash>

namespace {

struct SStyle
{
    int nSize = 0;
    QString strFace;
    QColor color;
};

struct STag
{
    QString strName;  // lower case, "/font" for a closing tag
    QHash<QString, QString> attrs;
};

// Reads the tag that starts at s[i] == '<'; false when it is not a well-formed tag.
bool ReadTag(const QString& s, qsizetype i, STag& tag, qsizetype& end)
{
    const qsizetype close = s.indexOf(QLatin1Char('>'), i + 1);
    if (close < 0) {
        return false;
    }
    const QString inner = s.mid(i + 1, close - i - 1).trimmed();
    qsizetype p = 0;
    const qsizetype n = inner.size();
    if (p < n && inner[p] == QLatin1Char('/')) {
        ++p;
    }
    while (p < n && (inner[p].isLetterOrNumber())) {
        ++p;
    }
    tag.strName = inner.left(p).toLower();
    if (tag.strName.isEmpty() || tag.strName == QLatin1String("/")) {
        return false;
    }
    while (p < n) {
        while (p < n && (inner[p].isSpace() || inner[p] == QLatin1Char('/'))) {
            ++p;
        }
        const qsizetype nameStart = p;
        while (p < n && !inner[p].isSpace() && inner[p] != QLatin1Char('=') && inner[p] != QLatin1Char('/')) {
            ++p;
        }
        const QString name = inner.mid(nameStart, p - nameStart).toLower();
        for (const QChar ch : name) {
            if (!ch.isLetterOrNumber() && ch != QLatin1Char('-') && ch != QLatin1Char('_')) {
                return false;  // not an attribute: "<b & c>" is text
            }
        }
        while (p < n && inner[p].isSpace()) {
            ++p;
        }
        QString value;
        if (p < n && inner[p] == QLatin1Char('=')) {
            ++p;
            while (p < n && inner[p].isSpace()) {
                ++p;
            }
            if (p < n && (inner[p] == QLatin1Char('\'') || inner[p] == QLatin1Char('"'))) {
                const QChar quote = inner[p];
                const qsizetype q = inner.indexOf(quote, p + 1);
                if (q < 0) {
                    return false;
                }
                value = inner.mid(p + 1, q - p - 1);
                p = q + 1;
            } else {
                const qsizetype valueStart = p;
                while (p < n && !inner[p].isSpace()) {
                    ++p;
                }
                value = inner.mid(valueStart, p - valueStart);
            }
        }
        if (!name.isEmpty()) {
            tag.attrs.insert(name, value);
        }
    }
    end = close + 1;
    return true;
}

QString DecodeEntity(const QString& s, qsizetype i, qsizetype& end)
{
    const qsizetype semi = s.indexOf(QLatin1Char(';'), i + 1);
    if (semi < 0 || semi - i > 10) {
        return QString();
    }
    const QString name = s.mid(i + 1, semi - i - 1);
    QString out;
    if (name == QLatin1String("amp")) {
        out = QStringLiteral("&");
    } else if (name == QLatin1String("lt")) {
        out = QStringLiteral("<");
    } else if (name == QLatin1String("gt")) {
        out = QStringLiteral(">");
    } else if (name == QLatin1String("quot")) {
        out = QStringLiteral("\"");
    } else if (name == QLatin1String("apos")) {
        out = QStringLiteral("'");
    } else if (name == QLatin1String("nbsp")) {
        out = QString(QChar(0xA0));
    } else if (name.startsWith(QLatin1Char('#'))) {
        bool bOk = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&bOk, 16)
                                                                                    : name.mid(1).toUInt(&bOk, 10);
        if (bOk && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
            const char32_t c = code;
            out = QString::fromUcs4(&c, 1);
        }
    }
    if (!out.isEmpty()) {
        end = semi + 1;
    }
    return out;
}

QColor ParseColor(const QString& strValue)
{
    QString v = strValue.trimmed();
    if (!v.startsWith(QLatin1Char('#')) && v.size() == 6) {
        bool bHex = false;
        v.toUInt(&bHex, 16);
        if (bHex) {
            v.prepend(QLatin1Char('#'));
        }
    }
    return QColor::fromString(v);
}

}  // namespace

std::vector<SHtmlRun> CPPHtmlParser::Parse(const QString& strMarkup)
{
    std::vector<SHtmlRun> runs;
    std::vector<SStyle> styles{SStyle{}};
    int nBold = 0;
    QString text;

    const auto flush = [&] {
        if (text.isEmpty()) {
            return;
        }
        SHtmlRun run;
        run.strText = text;
        run.nSize = styles.back().nSize;
        run.strFace = styles.back().strFace;
        run.color = styles.back().color;
        run.bBold = nBold > 0;
        runs.push_back(run);
        text.clear();
    };

    const qsizetype n = strMarkup.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = strMarkup[i];
        if (c == QLatin1Char('&')) {
            qsizetype end = i;
            const QString decoded = DecodeEntity(strMarkup, i, end);
            text += decoded.isEmpty() ? QString(c) : decoded;
            i = decoded.isEmpty() ? i + 1 : end;
            continue;
        }
        STag tag;
        qsizetype end = i;
        if (c != QLatin1Char('<') || !ReadTag(strMarkup, i, tag, end)) {
            text += (c == QLatin1Char('\r') || c == QLatin1Char('\n')) ? QChar(QLatin1Char(' ')) : c;
            ++i;
            continue;
        }
        const QString& name = tag.strName;
        if (name == QLatin1String("font")) {
            flush();
            SStyle style = styles.back();
            bool bOk = false;
            const int nSize = tag.attrs.value(QStringLiteral("size")).toInt(&bOk);
            if (bOk && nSize > 0) {
                style.nSize = qMin(nSize, 400);
            }
            if (const QString face = tag.attrs.value(QStringLiteral("face")).trimmed(); !face.isEmpty()) {
                style.strFace = face;
            }
            if (const QColor clr = ParseColor(tag.attrs.value(QStringLiteral("color"))); clr.isValid()) {
                style.color = clr;
            }
            styles.push_back(style);
        } else if (name == QLatin1String("/font")) {
            flush();
            if (styles.size() > 1) {
                styles.pop_back();
            }
        } else if (name == QLatin1String("b") || name == QLatin1String("strong")) {
            flush();
            ++nBold;
        } else if (name == QLatin1String("/b") || name == QLatin1String("/strong")) {
            flush();
            nBold = qMax(0, nBold - 1);
        } else if (name == QLatin1String("br")) {
            flush();
            runs.push_back(SHtmlRun{SHtmlRun::LineBreak, QString(), 0, QString(), QColor(), false, 0});
        } else if (name == QLatin1String("bmp")) {
            flush();
            bool bOk = false;
            const uint nId = tag.attrs.value(QStringLiteral("idres")).trimmed().toUInt(&bOk);
            if (bOk) {
                runs.push_back(SHtmlRun{SHtmlRun::Picture, QString(), 0, QString(), QColor(), false, nId});
            }
        } else {
            text += strMarkup.mid(i, end - i);  // not ours: shown as it is written
        }
        i = end;
    }
    flush();
    return runs;
}

QString CPPHtmlParser::PlainText(const std::vector<SHtmlRun>& runs)
{
    QString out;
    for (const SHtmlRun& run : runs) {
        if (run.kind == SHtmlRun::Text) {
            out += run.strText;
        } else if (run.kind == SHtmlRun::LineBreak) {
            out += QLatin1Char('\n');
        }
    }
    return out;
}
