#pragma once

#include <QString>

#include <mutex>

// The terminal of the terminal program: prompts and hidden input on the controlling terminal
// (/dev/tty, so that they work while stdin and stdout are redirected), messages on stderr, a
// progress line on stderr when stderr is a terminal. Every call may come from any thread; one
// lock keeps prompts, messages and the progress line apart.
class CTerminal
{
public:
    CTerminal();
    ~CTerminal();

    CTerminal(const CTerminal&) = delete;
    CTerminal& operator=(const CTerminal&) = delete;

    // Whether there is a terminal to ask on.
    [[nodiscard]] bool HasTty() const { return m_fdTty >= 0; }

    // A line typed with echo off. False when there is no terminal or the input ended.
    [[nodiscard]] bool ReadHidden(const QString& strPrompt, QString& strOut);
    // A line typed normally. False when there is no terminal or the input ended.
    [[nodiscard]] bool ReadLine(const QString& strPrompt, QString& strOut);

    // A message line on stderr (the progress line is cleared first).
    void Message(const QString& strText);

    // The progress line: percent of the current file and of the run, and a status text.
    void SetProgressEnabled(bool bOn) { m_bProgress = bOn; }
    void Progress(int nCurrent, int nOverall, const QString& strStatus);
    void EndProgress();

    // Wipes a text that held a secret.
    static void Wipe(QString& str);

private:
    [[nodiscard]] bool ReadTty(const QString& strPrompt, bool bHidden, QString& strOut);
    void ClearProgressLocked();

    std::mutex m_lock;
    int m_fdTty = -1;
    bool m_bProgress = false;
    bool m_bProgressShown = false;
};
