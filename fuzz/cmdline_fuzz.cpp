// Fuzz target of the command line. Byte 0 bit 0 chooses the input form: a command-line text
// (UTF-8) or an argument vector (arguments separated by 0 bytes). The tokenizer must end after
// at most one pair per token, and the manager's parse must accept or refuse with a reason.

#include "security/CCommandLine.h"
#include "security/CDataSecurityMngr.h"
#include "security/CItemData.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) {
        return 0;
    }
    const bool bText = pData[0] & 1;
    const QByteArray raw(reinterpret_cast<const char*>(pData + 1), static_cast<qsizetype>(nSize - 1));

    CCommandLine cmdLine;
    QStringList lstArgs;
    QString strText;
    if (bText) {
        strText = QString::fromUtf8(raw);
        cmdLine.SetCommandLine(strText);
    } else {
        for (const QByteArray& arg : raw.split('\0')) {
            lstArgs.append(QString::fromUtf8(arg));
        }
        cmdLine.SetArguments(lstArgs);
    }
    const qsizetype nMaxPairs = (bText ? strText.size() : lstArgs.size()) + 1;
    QString strOption;
    QString strValue;
    qsizetype nPairs = 0;
    for (int bMore = cmdLine.GetFirstOption(strOption, strValue); bMore != 0;
         bMore = cmdLine.GetNextOption(strOption, strValue)) {
        // A value never begins with "-", except a quoted one of a text input.
        if (++nPairs > nMaxPairs || (!bText && strValue.startsWith(u'-'))) {
            std::abort();  // runs past the input, or an option taken for a value
        }
    }
    (void)cmdLine.GetCommandLine();

    CDataSecurityMngr manager;
    if (bText) {
        manager.m_strCmdLine = strText;
    } else {
        manager.m_lstCmdArgs = lstArgs;
    }
    const int nAccepted = manager.ParseCommandLine();
    if (nAccepted == 0 && !manager.m_arrItems.empty()) {
        std::abort();  // a refused request brings no items
    }
    return 0;
}
