#include "pages/HVTaskPages.h"

#include "mainwnd/CMainWndPageRegistry.h"
#include "pages/CHDPageDataBrows.h"
#include "pages/CHDPageHideData.h"
#include "pages/CHDPageSecurityOptions.h"
#include "pages/CHDPageWelcome.h"
#include "pages/CPage_Decryption.h"

void HVRegisterTaskPages()
{
    HVRegisterPageClass<CHDPageWelcome>(CHDPageWelcome::kPageId);
    HVRegisterPageClass<CHDPageDataBrows>(CHDPageDataBrows::kPageId);
    HVRegisterPageClass<CHDPageSecurityOptions>(CHDPageSecurityOptions::kPageId);
    HVRegisterPageClass<CHDPageHideData>(CHDPageHideData::kPageId);
    HVRegisterPageClass<CPage_Decryption>(CPage_Decryption::kPageId);
}
