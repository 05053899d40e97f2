// The task pages for the screenshot program, each with a few rows of sample items.
#include "hiding/IHidingEngine.h"
#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "pages/CHDItemListPanel.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "pages/CHDPageSecurityOptions.h"
#include "pages/CPage_Decryption.h"
#include "pages/HVTaskPages.h"
#include "resources/CResourceModule.h"
#include "security/CDataSecurityMngr.h"
#include "settings/CHDGlobalData.h"
#include "ui/CGlobalColors.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CXListCtrl.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>

#include <functional>
#include <vector>

namespace {

// The main-window screens show the task pages, as the graphical program does.
[[maybe_unused]] const bool g_bPagesSetup = HVRegisterScreenSetup(&HVRegisterTaskPages);

// A hiding engine that keeps a fixed list.
class CSampleEngine final : public IHidingEngine
{
public:
    bool IsHidingEnabled() override { return true; }
    std::int32_t GetHiddenCount() override { return static_cast<std::int32_t>(m_items.size()); }
    bool EnableHiding() override { return true; }
    bool DisableHiding() override { return true; }
    bool HideItem(const std::string&) override { return false; }
    bool UnhideItem(const std::string&) override { return false; }
    bool HideItemEx(const std::string&, std::int32_t) override { return false; }
    std::string GetHiddenItem(std::int32_t n) override
    {
        return n >= 0 && n < GetHiddenCount() ? m_items[static_cast<std::size_t>(n)] : std::string();
    }
    bool IsHiddenItemFolder(std::int32_t n) override { return GetHiddenItem(n) == "/home/user/Private"; }
    bool SetCurrentHidingEngine(const std::string&) override { return true; }

    std::vector<std::string> m_items{"/home/user/Documents/tax-2025.ods.hvnc",
                                     "/home/user/Private",
                                     "/home/user/Pictures/holiday.jpg",
                                     "/home/user/notes.txt.hvnc"};
};

CDataSecurityMngr& Mngr()
{
    static CDataSecurityMngr* pMngr = [] {
        auto* p = new CDataSecurityMngr;
        p->m_pHideControl = std::make_shared<CSampleEngine>();
        return p;
    }();
    return *pMngr;
}

CHalvoDataSecurityDlg& MainDlg()
{
    static auto* pDlg = new CHalvoDataSecurityDlg(Mngr());
    return *pDlg;
}

template <typename TPage>
TPage* MakePage()
{
    auto* pPage = new TPage(MainDlg(), Mngr());
    Mngr().SetPageSwitcher(nullptr);
    pPage->CreatePage();
    pPage->resize(760, 545);
    return pPage;
}

}  // namespace

HV_SCREEN("page_selection")
{
    auto* pPage = MakePage<CHDPageDataBrows>();
    CHDItemListPanel* pPanel = pPage->Panel();
    pPanel->AddFolderRow(QStringLiteral("/home/user/Documents/Contracts"));
    pPanel->AddFileRow(QStringLiteral("/home/user/Documents/budget-2026.ods"));
    pPanel->AddFileRow(QStringLiteral("/home/user/Pictures/passport-scan.png"));
    pPanel->AddFileRow(QStringLiteral("/home/user/notes.txt"));
    pPanel->List()->SelectItem(1, true);
    pPage->UpdateButtons();
    return pPage;
}

HV_SCREEN("page_selection_empty")
{
    return MakePage<CHDPageDataBrows>();
}

HV_SCREEN("page_options")
{
    Mngr().m_bEncrypt = 1;
    Mngr().m_iHidenType = 1;
    auto* pPage = MakePage<CHDPageSecurityOptions>();
    pPage->findChild<QAbstractButton*>(QStringLiteral("4039"))->click();
    pPage->findChild<QLineEdit*>(QStringLiteral("4033"))->setText(QStringLiteral("Tr0ub4dor&3"));
    pPage->findChild<QLineEdit*>(QStringLiteral("4035"))->setText(QStringLiteral("Tr0ub4dor&3"));
    return pPage;
}

HV_SCREEN("page_options_wipe")
{
    Mngr().m_bEncrypt = 0;
    Mngr().m_iHidenType = 2;
    auto* pPage = MakePage<CHDPageSecurityOptions>();
    Mngr().m_bEncrypt = 1;
    Mngr().m_iHidenType = 0;
    return pPage;
}

HV_SCREEN("page_hide")
{
    auto* pPage = MakePage<CHDPageHideData>();
    pPage->List()->SetCheck(0, CXListCtrl::CheckOn);
    pPage->List()->SetCheck(3, CXListCtrl::CheckOn);
    pPage->UpdateButtons();
    return pPage;
}

HV_SCREEN("page_decryption")
{
    auto* pPage = MakePage<CPage_Decryption>();
    pPage->Panel()->AddFileRow(QStringLiteral("/home/user/Documents/tax-2025.ods.hvnc"));
    pPage->Panel()->AddFolderRow(QStringLiteral("/home/user/Backup"));
    pPage->UpdateButtons();
    return pPage;
}

// The main window on each task page, filled as the page screens above are.
namespace {

template <typename TPage>
QWidget* InMainWindow(int nPageId, const std::function<void(TPage&)>& fill)
{
    auto* pDlg = new CHalvoDataSecurityDlg(Mngr());
    pDlg->resize(CHalvoDataSecurityDlg::MinimumSizeFor(1));
    pDlg->show();  // the window builds its page container when it is first shown
    QCoreApplication::processEvents();
    CHPropertiesPages* pPages = pDlg->GetGPages();
    if (pPages != nullptr && pPages->SetPageById(nPageId)) {
        if (auto* pPage = dynamic_cast<TPage*>(pPages->GetPageDlgHandle(pPages->PageIndex(nPageId)))) {
            fill(*pPage);
        }
    }
    return pDlg;
}

}  // namespace

HV_SCREEN("mainwin_page_selection")
{
    return InMainWindow<CHDPageDataBrows>(CHalvoDataSecurityDlg::kPageSecureData, [](CHDPageDataBrows& page) {
        page.Panel()->AddFolderRow(QStringLiteral("/home/user/Documents/Contracts"));
        page.Panel()->AddFileRow(QStringLiteral("/home/user/Documents/budget-2026.ods"));
        page.Panel()->AddFileRow(QStringLiteral("/home/user/notes.txt"));
        page.UpdateButtons();
    });
}

HV_SCREEN("mainwin_page_options")
{
    Mngr().m_bEncrypt = 1;
    Mngr().m_iHidenType = 1;
    return InMainWindow<CHDPageSecurityOptions>(CHalvoDataSecurityDlg::kPageSecurityOptions,
                                                [](CHDPageSecurityOptions&) {});
}

HV_SCREEN("mainwin_page_hide")
{
    return InMainWindow<CHDPageHideData>(CHalvoDataSecurityDlg::kPageHideData, [](CHDPageHideData& page) {
        page.List()->SetCheck(0, CXListCtrl::CheckOn);
        page.UpdateButtons();
    });
}

HV_SCREEN("mainwin_page_decryption")
{
    return InMainWindow<CPage_Decryption>(CHalvoDataSecurityDlg::kPageDecryption, [](CPage_Decryption& page) {
        page.Panel()->AddFileRow(QStringLiteral("/home/user/Documents/tax-2025.ods.hvnc"));
        page.UpdateButtons();
    });
}
