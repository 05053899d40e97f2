#include "security/CDataSecurityMngr.h"

#include "globalfuncs/HVPathText.h"
#include "logging/CHVLog.h"
#include "passwords/HVWipeText.h"
#include "security/CCommandLine.h"
#include "security/CItemData.h"
#include "security/IPageSwitcher.h"

#include <climits>
#include <sys/stat.h>

namespace {

// Working values of one parse.
struct SCmdRequest
{
    QString strBaseFolder;
    QStringList lstNames;
    bool bFullPath = false;
};

// The value's leading decimal digits as an integer; 0 when there are none, INT_MAX at most.
int LeadingNumber(const QString& strValue)
{
    qint64 nNumber = 0;
    for (const QChar ch : strValue) {
        if (ch < u'0' || ch > u'9') {
            break;
        }
        nNumber = nNumber * 10 + (ch.unicode() - u'0');
        if (nNumber > INT_MAX) {
            return INT_MAX;
        }
    }
    return static_cast<int>(nNumber);
}

using FnApply = void (*)(CDataSecurityMngr&, SCmdRequest&, const QString&);

struct SOptionRow
{
    QStringView strName;
    FnApply fnApply;
};

// Options: the mode follows the last mode option, the flags accumulate.
const SOptionRow kOptions[] = {
    {u"e",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) {
         m.m_bCmdEncrypt = 1;
         m.m_iCmdMode = CDataSecurityMngr::CmdModeSecure;
     }},
    {u"h",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) {
         m.m_iCmdHidenType = CDataSecurityMngr::Hide;
         m.m_iCmdMode = CDataSecurityMngr::CmdModeSecure;
     }},
    {u"w",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) {
         m.m_iCmdHidenType = CDataSecurityMngr::HideWipe;
         m.m_iCmdMode = CDataSecurityMngr::CmdModeSecure;
     }},
    {u"p", [](CDataSecurityMngr&, SCmdRequest& r, const QString& v) { r.strBaseFolder = v; }},
    {u"f",
     [](CDataSecurityMngr&, SCmdRequest& r, const QString& v) {
         // An empty name would stand for the base folder itself: it is not taken.
         if (!v.isEmpty()) {
             r.lstNames.append(v);
         }
     }},
    {u"pt",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString& v) {
         if (v.compare(u"new", Qt::CaseInsensitive) == 0) {
             m.m_iCmdPasswordType = CDataSecurityMngr::PasswordUser;
         } else if (v.compare(u"master", Qt::CaseInsensitive) == 0) {
             m.m_iCmdPasswordType = CDataSecurityMngr::PasswordMaster;
         }
     }},
    {u"pw",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString& v) {
         QString strCopy = v;  // shares v's storage; ParseCommandLine wipes v after the loop
         m.m_strPassword = HVTakeText(strCopy);
     }},
    {u"et", [](CDataSecurityMngr& m, SCmdRequest&, const QString& v) { m.m_iCmdEncryptType = LeadingNumber(v); }},
    {u"wt", [](CDataSecurityMngr& m, SCmdRequest&, const QString& v) { m.m_iCmdWipeType = LeadingNumber(v); }},
    {u"d",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) { m.m_iCmdMode = CDataSecurityMngr::CmdModeDecrypt; }},
    {u"fp",
     [](CDataSecurityMngr&, SCmdRequest& r, const QString& v) {
         r.bFullPath = true;
         r.strBaseFolder = v;
         if (!v.isEmpty()) {
             r.lstNames.append(v);
         }
     }},
    {u"rh",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) { m.m_iCmdMode = CDataSecurityMngr::CmdModeHideWindow; }},
    {u"s",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) { m.m_iCmdMode = CDataSecurityMngr::CmdModeSelectWindow; }},
    {u"ui",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) { m.m_iCmdMode = CDataSecurityMngr::CmdModeCleanup; }},
    {u"em",
     [](CDataSecurityMngr& m, SCmdRequest&, const QString&) {
         m.m_bCmdEncrypt = 1;
         m.m_bCmdEmail = 1;
         m.m_iCmdMode = CDataSecurityMngr::CmdModeSecure;
     }},
};

// A folder item for an existing directory (links followed), else a file item with the size
// of the file, 0 when it cannot be found.
std::shared_ptr<CItemData> MakeItem(const QString& strPath)
{
    struct stat st
    {
    };
    const bool bFound = ::stat(HVGlobalMFC::HVPathToBytes(strPath).constData(), &st) == 0;
    if (bFound && S_ISDIR(st.st_mode)) {
        return std::make_shared<CItemData>(strPath, 0, CItemData::KindFolder);
    }
    const quint64 nSize = bFound && st.st_size > 0 ? static_cast<quint64>(st.st_size) : 0;
    return std::make_shared<CItemData>(strPath, nSize, CItemData::KindFile);
}

}  // namespace

CDataSecurityMngr::CDataSecurityMngr() = default;

CDataSecurityMngr::~CDataSecurityMngr()
{
    m_pHideControl.reset();
}

void CDataSecurityMngr::RemovePageSwitcher(const IPageSwitcher* pSwitcher)
{
    if (m_pPageSwitcher == pSwitcher) {
        m_pPageSwitcher = nullptr;
    }
}

bool CDataSecurityMngr::SwitchPage(int nPageId) const
{
    if (m_pPageSwitcher == nullptr) {
        return false;
    }
    m_pPageSwitcher->PostPageSwitch(nPageId);
    return true;
}

QString CDataSecurityMngr::BuildItemPath(const QString& strBaseFolder, const QString& strName)
{
    if (strBaseFolder.endsWith(u'/')) {
        return strBaseFolder + strName;
    }
    return strBaseFolder + u'/' + strName;
}

int CDataSecurityMngr::ParseCommandLine()
{
    CCommandLine cmdLine;
    if (!m_lstCmdArgs.isEmpty()) {
        cmdLine.SetArguments(m_lstCmdArgs);
    } else if (!m_strCmdLine.isEmpty()) {
        cmdLine.SetCommandLine(m_strCmdLine);
    }
    LOGGER::g_HVLog.Log("Start Parse CMD");

    m_bCmdEncrypt = 0;
    m_bCmdEmail = 0;
    m_iCmdHidenType = HideNone;
    m_iCmdPasswordType = PasswordMaster;
    m_strPassword.clear();

    SCmdRequest request;
    QString strOption;
    QString strValue;
    for (int bMore = cmdLine.GetFirstOption(strOption, strValue); bMore != 0;
         bMore = cmdLine.GetNextOption(strOption, strValue)) {
        for (const SOptionRow& row : kOptions) {
            if (strOption.compare(row.strName, Qt::CaseInsensitive) == 0) {
                row.fnApply(*this, request, strValue);
                break;
            }
        }
    }
    HVWipeText(strValue);  // may have held the "-pw" password

    m_eCmdLineCheck = ECmdLineCheck::Accepted;
    if (m_iCmdMode == CmdModeHideWindow || m_iCmdMode == CmdModeCleanup) {
        return 1;
    }
    if (m_iCmdMode == CmdModeSecure && m_iCmdHidenType == HideNone && m_bCmdEncrypt == 0) {
        m_eCmdLineCheck = ECmdLineCheck::NothingToDo;
        return 0;
    }
    if (request.strBaseFolder.isEmpty()) {
        m_eCmdLineCheck = ECmdLineCheck::NoBaseFolder;
        return 0;
    }
    // "-fp" always brings its name, so this asks "-p" for at least one "-f".
    if (request.lstNames.isEmpty()) {
        m_eCmdLineCheck = ECmdLineCheck::NoNames;
        return 0;
    }

    LOGGER::g_HVLog.Log("accept Command");
    m_bCmdLine = 1;
    for (const QString& strName : std::as_const(request.lstNames)) {
        const QString strPath = request.bFullPath ? strName : BuildItemPath(request.strBaseFolder, strName);
        m_arrItems.push_back(MakeItem(strPath));
    }
    return 1;
}
