#include "StringUsageScanner.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

StringUsageScanner::StringUsageScanner(QHash<QString, unsigned> tableNames)
    : m_tableNames(std::move(tableNames))
{
}

QString StringUsageScanner::StripCommentsAndLiterals(const QString& strSource)
{
    QString out = strSource;
    enum class State
    {
        Code,
        LineComment,
        BlockComment,
        String,
        Char
    } state = State::Code;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        const QChar next = i + 1 < out.size() ? out[i + 1] : QChar();
        switch (state) {
        case State::Code:
            if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
                state = State::LineComment;
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                state = State::BlockComment;
                out[i] = out[i + 1] = QLatin1Char(' ');
                ++i;
                continue;
            } else if (c == QLatin1Char('"')) {
                state = State::String;
                continue;
            } else if (c == QLatin1Char('\'') && !(i > 0 && out[i - 1].isDigit())) {
                state = State::Char;  // a quote after a digit is a digit separator (1'000)
                continue;
            } else {
                continue;
            }
            break;
        case State::LineComment:
            if (c == QLatin1Char('\n')) {
                state = State::Code;
                continue;
            }
            break;
        case State::BlockComment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                out[i] = out[i + 1] = QLatin1Char(' ');
                ++i;
                state = State::Code;
                continue;
            }
            break;
        case State::String:
        case State::Char:
            if (c == QLatin1Char('\\') && i + 1 < out.size()) {
                if (next != QLatin1Char('\n')) {
                    out[i + 1] = QLatin1Char(' ');
                }
                out[i] = QLatin1Char(' ');
                ++i;
                continue;
            }
            if ((state == State::String && c == QLatin1Char('"')) || (state == State::Char && c == QLatin1Char('\''))) {
                state = State::Code;
                continue;
            }
            break;
        }
        if (out[i] != QLatin1Char('\n')) {
            out[i] = QLatin1Char(' ');
        }
    }
    return out;
}

QHash<QString, unsigned> StringUsageScanner::ReadTableNames(const QString& strTableFile)
{
    QHash<QString, unsigned> names;
    QFile file(strTableFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return names;
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        if (line.startsWith(QLatin1Char('#')) || line.trimmed().isEmpty()) {
            continue;
        }
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() >= 2) {
            names.insert(fields[1], fields[0].toUInt());
        }
    }
    return names;
}

namespace {

const QRegularExpression& ConstantDefinition()
{
    // kName = 130, NAME{130}, NAME = 0x82 (in an enum, a constexpr or a #define-free constant)
    static const QRegularExpression re(
        QStringLiteral(R"(\b(k[A-Z]\w*|[A-Z][A-Z0-9_]*)\s*(?:=|\{)\s*(0[xX][0-9A-Fa-f]+|\d+)[uU]?\b)"));
    return re;
}

bool LooksConstant(const QString& name)
{
    static const QRegularExpression re(QStringLiteral(R"(^(k[A-Z]\w*|[A-Z][A-Z0-9_]*)$)"));
    return re.match(name).hasMatch();
}

unsigned ToNumber(const QString& literal)
{
    bool ok = false;
    const unsigned n = literal.toUInt(&ok, 0);
    return ok ? n : 0;
}

// The first argument of the call whose '(' is at nOpen: up to the ',' or ')' at depth 0.
QString FirstArgument(const QString& text, qsizetype nOpen)
{
    int nDepth = 0;
    for (qsizetype i = nOpen + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{')) {
            ++nDepth;
        } else if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}')) {
            if (nDepth == 0) {
                return text.mid(nOpen + 1, i - nOpen - 1);
            }
            --nDepth;
        } else if (c == QLatin1Char(',') && nDepth == 0) {
            return text.mid(nOpen + 1, i - nOpen - 1);
        }
    }
    return QString();
}

}  // namespace

void StringUsageScanner::CollectConstants(const QString& strText)
{
    for (auto it = ConstantDefinition().globalMatch(strText); it.hasNext();) {
        const auto m = it.next();
        m_constants[m.captured(1)].push_back(ToNumber(m.captured(2)));
    }
}

void StringUsageScanner::ScanText(const QString& strFile, const QString& strText, std::vector<StringUsage>& out) const
{
    static const QRegularExpression call(QStringLiteral(R"(\b(?:HVLoadString|HVFormatString|HVStr)\s*\()"));
    static const QRegularExpression token(QStringLiteral(R"(\b(?:(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*|([A-Za-z_]\w*))\b)"));
    for (auto it = call.globalMatch(strText); it.hasNext();) {
        const auto m = it.next();
        const qsizetype nOpen = m.capturedEnd() - 1;
        const QString arg = FirstArgument(strText, nOpen);
        const int nLine = int(strText.left(m.capturedStart()).count(QLatin1Char('\n'))) + 1;
        for (auto t = token.globalMatch(arg); t.hasNext();) {
            const auto tm = t.next();
            const QString tok = tm.captured(2);
            std::vector<unsigned> ids;
            if (tm.hasCaptured(1)) {
                ids.push_back(ToNumber(tm.captured(1)));
            } else if (m_tableNames.contains(tok)) {
                ids.push_back(m_tableNames.value(tok));
            } else if (LooksConstant(tok) && m_constants.contains(tok)) {
                ids = m_constants.value(tok);
            }
            for (const unsigned nId : ids) {
                out.push_back({strFile, nLine, arg.simplified(), nId});
            }
        }
    }
}

std::vector<StringUsage> StringUsageScanner::ScanTree(const QString& strRoot)
{
    const QStringList filters = {QStringLiteral("*.cpp"),
                                 QStringLiteral("*.h"),
                                 QStringLiteral("*.hpp"),
                                 QStringLiteral("*.cc"),
                                 QStringLiteral("*.inc")};
    std::vector<std::pair<QString, QString>> files;
    QDirIterator it(strRoot, filters, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            files.emplace_back(path, StripCommentsAndLiterals(QString::fromUtf8(file.readAll())));
        }
    }
    m_constants.clear();
    for (const auto& [path, text] : files) {
        CollectConstants(text);
    }
    std::vector<StringUsage> usages;
    for (const auto& [path, text] : files) {
        ScanText(path, text, usages);
    }
    return usages;
}
