#pragma once

#include <QString>
#include <QStringList>

// Splits a command line into option/value pairs.
//
// Two inputs are understood:
//  - the argument vector, as the process receives it (SetArguments, and the constructor):
//    every argument is one token and is taken verbatim, so paths with blanks, quotes, a
//    leading "/" or any other character arrive intact;
//  - a command-line text (SetCommandLine): split at blanks (U+0020 only; runs of blanks
//    separate, tabs do not), and a token that begins with a double quote runs on to the next
//    token that ends with one; the value is exactly the text between the two quotes.
//
// A token that begins with "-" is an option: its name is the rest of the token. The token after
// an option is its value unless it is an option itself, so a value never begins with "-". A
// token that stands where an option is expected, but is not one, is read as the value of an
// option with an empty name.
class CCommandLine
{
public:
    // Loads the process's own argument vector, program path included.
    CCommandLine();

    CCommandLine(const CCommandLine&) = delete;
    CCommandLine& operator=(const CCommandLine&) = delete;

    // Replaces the input by a text, trimmed of leading and trailing white space.
    void SetCommandLine(const QString& strCmdLine);
    // Replaces the input by an already split argument vector.
    void SetArguments(const QStringList& lstArgs);

    // The text form of the current input (the arguments joined by blanks for a vector).
    [[nodiscard]] QString GetCommandLine() const;
    [[nodiscard]] bool IsArgumentVector() const { return m_bArgs; }

    // Starts over at the first token. Returns 0 when there is none, else 1 with the first
    // pair. A first token that is not an option is taken for the program path and skipped
    // together with whatever is read as its value.
    [[nodiscard]] int GetFirstOption(QString& strOption, QString& strValue);
    // Returns 0 when no token is left, else 1 with the next pair.
    [[nodiscard]] int GetNextOption(QString& strOption, QString& strValue);

    // Reads the current token (with the quoting rule for text input) into strOut. The current
    // token stays where it is, or, after a quoted run, on its last token. An unterminated
    // quote leaves strOut empty and ends the input.
    void ReadToken(QString& strOut);

    [[nodiscard]] static bool IsOptionStart(QStringView token) { return token.startsWith(u'-'); }

private:
    void Restart();
    void SplitNext();
    [[nodiscard]] QStringView CurrentToken() const;
    void ReadTokenFrom(qsizetype nSkip, QString& strOut);

    QString m_strCmdLine;   // text input
    QStringList m_lstArgs;  // vector input
    bool m_bArgs = false;   // which of the two is in use
    bool m_bHasToken = false;
    // Text input: the current token is m_strCmdLine[m_nBegin, m_nEnd).
    // Vector input: the current token is m_lstArgs[m_nBegin].
    qsizetype m_nBegin = 0;
    qsizetype m_nEnd = 0;
};
