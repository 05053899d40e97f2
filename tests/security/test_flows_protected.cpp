// The protected paths in every spelling a user or a shell may give them, for every operation.
#include <QDir>
#include <QFile>

#include <iostream>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include "FlowsTestSupport.h"

using namespace flowtest;
using EOp = CProtectedPaths::EOperation;

namespace {

class ProtectedPaths : public ::testing::Test
{
protected:
    ProtectedPaths()
    {
        m_mngr.m_fnCreateHideControl = [this]() -> std::shared_ptr<IHidingEngine> { return m_pEngine; };
        for (const char* pszFolder : {"Program Files/HalvoNorvane",
                                      ".local/share/Halvo-Soft/vault",
                                      ".config/Halvo-Soft",
                                      "Desktop/notes",
                                      "Docs",
                                      ".local/share/other",
                                      ".config/other",
                                      "Program Files/Other",
                                      ".localx"}) {
            QDir().mkpath(Home(pszFolder));
        }
        m_strOldCwd = QDir::currentPath();
    }
    ~ProtectedPaths() override
    {
        EXPECT_EQ(::chdir(QFile::encodeName(m_strOldCwd).constData()), 0);
        m_mngr.m_arrItems.clear();
    }
    [[nodiscard]] QString Home(const char* pszRelative) const
    {
        return m_home.Path() + u'/' + QString::fromUtf8(pszRelative);
    }
    // Spellings of strPath other than its own: relative to its folder and to itself, with "..",
    // and through links to it and to its folder. Changes the current folder: each spelling is
    // checked right away by the caller, in the current folder it was made for.
    void ForEachSpelling(const QString& strPath, const std::function<void(const QString&)>& fnCheck)
    {
        const QFileInfo info(strPath);
        const QString strName = info.fileName();
        const QString strParent = info.path();
        ASSERT_EQ(::chdir(QFile::encodeName(strParent).constData()), 0);
        fnCheck(QStringLiteral("./") + strName);
        fnCheck(strName + QStringLiteral("/"));
        if (info.isDir()) {
            ASSERT_EQ(::chdir(QFile::encodeName(strPath).constData()), 0);
            fnCheck(QStringLiteral("."));
            fnCheck(QStringLiteral("../") + strName);
        }
        fnCheck(strPath + QStringLiteral("/../") + strName);
        fnCheck(strPath + QStringLiteral("/no-such/.."));
        const QString strLink = m_home.Path() + QStringLiteral("/link%1").arg(++m_nLinks);
        const QString strParentLink = strLink + QStringLiteral("p");
        ASSERT_TRUE(QFile::link(strPath, strLink));
        ASSERT_TRUE(QFile::link(strParent, strParentLink));
        fnCheck(strLink);
        fnCheck(strParentLink + u'/' + strName);
    }

    CTempHome m_home;
    Events m_events;
    std::shared_ptr<CFakeHidingEngine> m_pEngine = std::make_shared<CFakeHidingEngine>(m_events);
    CDataSecurityMngr m_mngr;
    QString m_strOldCwd;
    int m_nLinks = 0;
};

TEST_F(ProtectedPaths, EverySpellingIsRefusedForItsOperationsAndNeighboursAreNot)
{
    ASSERT_EQ(m_mngr.InitManager(), 1);
    // A filesystem of its own two levels below the home folder, with a hiding vault at its top
    // (in a mount namespace of this process; its rows are left out where that is not allowed).
    const QString strMount = Home("media/usb");
    QDir().mkpath(strMount);
    const bool bMounted = ::unshare(CLONE_NEWNS) == 0
                          && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                          && ::mount("tmpfs", QFile::encodeName(strMount).constData(), "tmpfs", 0, "size=1m") == 0;
    if (!bMounted) {
        std::cout << "[ note     ] no mount namespace here: the rows of another filesystem are left out\n";
    } else {
        QDir().mkpath(strMount + QStringLiteral("/docs"));
        QDir().mkpath(strMount + QStringLiteral("/.hvvault-%1/1").arg(::geteuid()));
    }
    struct SCase
    {
        const char* pszPath;  // relative to the home folder; absolute when it starts with '/'
        bool bHide;           // refused for hiding
        bool bWipeEncrypt;    // refused for wiping and encrypting
        bool bOnMount = false;
    };
    const SCase cases[] = {
        {"Program Files/HalvoNorvane", true, true},
        {".local/share/Halvo-Soft/HalvoNorvane/Data", true, true},
        {".local/share/Halvo-Soft/HalvoNorvane/Data/HNVConfig.xml", true, true},
        {".local/share/Halvo-Soft", true, true},
        {".local/share/Halvo-Soft/vault", true, true},
        {".config/Halvo-Soft", true, true},
        {".local", true, true},
        {".config", true, true},
        {"", true, true},  // the home folder holds all of them
        {"Desktop", true, false},
        {"/usr", true, false},
        {"Program Files", true, true},
        {"Program Files/Other", false, false},
        {"Desktop/notes", false, false},
        {"Docs", false, false},
        {".local/share/other", false, false},
        {".config/other", false, false},
        {".localx", false, false},
        {"media", true, true, true},
        {"media/usb", true, true, true},
        {"media/usb/.hvvault-%1/1", true, true, true},
        {"media/usb/docs", false, false, true},
    };
    QFile(Home(".local/share/Halvo-Soft/HalvoNorvane/Data/HNVConfig.xml")).open(QIODevice::WriteOnly);
    for (const SCase& c : cases) {
        if (c.bOnMount && !bMounted) {
            continue;
        }
        const QString strPath = c.pszPath[0] == '/'
                                    ? QString::fromUtf8(c.pszPath)
                                    : Home(c.pszPath).replace(QStringLiteral("%1"), QString::number(::geteuid()));
        const QString strTarget = QDir::cleanPath(strPath);
        ForEachSpelling(strTarget, [&](const QString& strSpelling) {
            const std::string strWhat = strSpelling.toStdString() + " for " + strTarget.toStdString();
            EXPECT_EQ(m_mngr.IsProtectedPath(strSpelling, EOp::Hide), c.bHide) << strWhat;
            EXPECT_EQ(m_mngr.IsProtectedPath(strSpelling, EOp::Wipe), c.bWipeEncrypt) << strWhat;
            EXPECT_EQ(m_mngr.IsProtectedPath(strSpelling, EOp::Encrypt), c.bWipeEncrypt) << strWhat;
            if (c.bHide) {
                m_events.clear();
                EXPECT_EQ(m_mngr.HidePath(strSpelling), 0) << strWhat;
                EXPECT_TRUE(m_events.empty()) << strWhat;
            }
        });
    }
    if (bMounted) {
        EXPECT_EQ(::chdir("/"), 0);
        EXPECT_EQ(::umount2(QFile::encodeName(strMount).constData(), MNT_DETACH), 0);
    }
}

// The flows keep refused items away from the runners, mark them failed for what was asked and
// name them; the other items run as usual.
TEST_F(ProtectedPaths, SecureFlowRefusesProtectedItemsAndRunsTheRest)
{
    ASSERT_EQ(m_mngr.InitManager(), 1);
    Events runEvents;
    CRecordingHost host(runEvents);
    m_mngr.m_pRunnerHost = &host;
    m_mngr.m_bCmdLine = 1;
    CItemDataList items;
    ASSERT_EQ(::chdir(QFile::encodeName(m_home.Path()).constData()), 0);
    for (const char* pszPath : {"./.local", "Docs", "./.config/Halvo-Soft/"}) {
        items.push_back(std::make_shared<CItemData>(QString::fromUtf8(pszPath), 0, CItemData::KindFolder));
        m_mngr.m_arrItems.push_back(items.back());
    }
    struct SCase
    {
        int bEncrypt;
        int iAction;
    };
    for (const SCase c : {SCase{0, CDataSecurityMngr::HideWipe},
                          SCase{1, CDataSecurityMngr::HideNone},
                          SCase{0, CDataSecurityMngr::Hide}}) {
        m_mngr.m_bCmdEncrypt = c.bEncrypt;
        m_mngr.m_iCmdHidenType = c.iAction;
        m_mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"pw");
        for (auto& pItem : items) {
            *pItem = CItemData(pItem->m_strPath, 0, CItemData::KindFolder);
        }
        runEvents.clear();
        ASSERT_EQ(m_mngr.SecureData(), 1);
        EXPECT_EQ(m_mngr.m_lstRefusedPaths,
                  (QStringList{QStringLiteral("./.local"), QStringLiteral("./.config/Halvo-Soft/")}));
        EXPECT_EQ(Only(runEvents, c.iAction == CDataSecurityMngr::Hide ? "hide.items" : "run.items"),
                  Events{c.iAction == CDataSecurityMngr::Hide ? "hide.items 1" : "run.items 1"});
        const quint16 nFailed = CItemData::StateFailed;
        EXPECT_EQ(items[0]->m_nEncryptState, c.bEncrypt ? nFailed : CItemData::StateNotProcessed);
        EXPECT_EQ(items[0]->m_nWipeState,
                  c.iAction == CDataSecurityMngr::HideWipe ? nFailed : CItemData::StateNotProcessed);
        EXPECT_EQ(items[2]->m_nHideState,
                  c.iAction == CDataSecurityMngr::Hide ? nFailed : CItemData::StateNotProcessed);
        EXPECT_EQ(items[1]->m_nWipeState, CItemData::StateNotProcessed);
        SRunCounters run;
        SHideCounters hide;
        m_mngr.CountRefused(run, hide, c.bEncrypt, c.iAction);
        EXPECT_EQ(run.m_nFailed + run.m_nWipeFailed + hide.m_nFailed, 2);
    }
}

}  // namespace
