// The GNOME Files (Nautilus 43+) module: shows the handler's submenu on local files and starts
// the chosen entry. Only the three module entry points are exported.
#include "shellext/CHVShlExt.h"

#include <glib-object.h>
extern "C" {
#include <nautilus-extension.h>
}

#include <memory>
#include <string>
#include <vector>

namespace {

struct HVNautilusMenu
{
    GObject parent;
};

struct HVNautilusMenuClass
{
    GObjectClass parent_class;
};

GType g_typeMenuProvider = 0;
GType g_arrTypes[1];

constexpr const char* kHandlerKey = "hvext-handler";
constexpr const char* kOffsetKey = "hvext-offset";

void FreeHandler(gpointer p)
{
    delete static_cast<std::shared_ptr<CHVShlExt>*>(p);
}

void OnActivate(NautilusMenuItem* pItem, gpointer)
{
    auto* pHandler = static_cast<std::shared_ptr<CHVShlExt>*>(g_object_get_data(G_OBJECT(pItem), kHandlerKey));
    const int nOffset = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(pItem), kOffsetKey));
    if (pHandler != nullptr && *pHandler) {
        // A failed start is not reported to the file manager.
        [[maybe_unused]] const HVRESULT hr = (*pHandler)->InvokeCommand(nOffset);
    }
}

// The local path of a selected item; empty for anything that is not a local file.
std::string LocalPath(NautilusFileInfo* pInfo)
{
    std::string strPath;
    gchar* pszScheme = nautilus_file_info_get_uri_scheme(pInfo);
    const bool bLocal = pszScheme != nullptr && g_strcmp0(pszScheme, "file") == 0;
    g_free(pszScheme);
    if (!bLocal) {
        return strPath;
    }
    GFile* pFile = nautilus_file_info_get_location(pInfo);
    if (pFile != nullptr) {
        gchar* pszPath = g_file_get_path(pFile);
        if (pszPath != nullptr) {
            strPath = pszPath;
            g_free(pszPath);
        }
        g_object_unref(pFile);
    }
    return strPath;
}

GList* GetFileItems(NautilusMenuProvider*, GList* pFiles)
{
    std::vector<std::string> paths;
    for (GList* p = pFiles; p != nullptr; p = p->next) {
        const std::string strPath = LocalPath(NAUTILUS_FILE_INFO(p->data));
        if (strPath.empty()) {
            return nullptr;  // local files only
        }
        paths.push_back(strPath);
    }
    if (paths.empty()) {
        return nullptr;
    }
    auto pHandler = std::make_shared<CHVShlExt>();
    if (!HV_SUCCEEDED(pHandler->Initialize(paths))) {
        return nullptr;
    }
    const std::vector<SHVMenuEntry> entries = pHandler->BuildMenu();
    if (entries.empty()) {
        return nullptr;
    }
    const std::string strOffset = std::to_string(CHVShlExt::OffSubmenu);
    NautilusMenuItem* pTop =
        nautilus_menu_item_new(("HVShlExt::" + strOffset).c_str(), CHVShlExt::SubmenuLabel().c_str(), nullptr, nullptr);
    NautilusMenu* pSubmenu = nautilus_menu_new();
    for (const SHVMenuEntry& entry : entries) {
        if (entry.IsSeparator()) {
            continue;  // the module interface has no separators
        }
        const std::string strName = "HVShlExt::" + std::to_string(entry.nOffset);
        NautilusMenuItem* pItem = nautilus_menu_item_new(strName.c_str(), entry.strText.c_str(), nullptr, nullptr);
        g_object_set_data_full(G_OBJECT(pItem), kHandlerKey, new std::shared_ptr<CHVShlExt>(pHandler), FreeHandler);
        g_object_set_data(G_OBJECT(pItem), kOffsetKey, GINT_TO_POINTER(entry.nOffset));
        g_signal_connect(pItem, "activate", G_CALLBACK(OnActivate), nullptr);
        nautilus_menu_append_item(pSubmenu, pItem);
        g_object_unref(pItem);
    }
    nautilus_menu_item_set_submenu(pTop, pSubmenu);
    g_object_unref(pSubmenu);
    return g_list_append(nullptr, pTop);
}

GList* GetBackgroundItems(NautilusMenuProvider*, NautilusFileInfo*)
{
    return nullptr;
}

void MenuProviderInit(gpointer pIface, gpointer)
{
    auto* pProvider = static_cast<NautilusMenuProviderInterface*>(pIface);
    pProvider->get_file_items = GetFileItems;
    pProvider->get_background_items = GetBackgroundItems;
}

void ClassInit(gpointer, gpointer) {}
void InstanceInit(GTypeInstance*, gpointer) {}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void nautilus_module_initialize(GTypeModule* pModule)
{
    const GTypeInfo info = {
        sizeof(HVNautilusMenuClass),
        nullptr,
        nullptr,
        ClassInit,
        nullptr,
        nullptr,
        sizeof(HVNautilusMenu),
        0,
        InstanceInit,
        nullptr,
    };
    g_typeMenuProvider =
        g_type_module_register_type(pModule, G_TYPE_OBJECT, "HVShlExtNautilusMenu", &info, GTypeFlags(0));
    const GInterfaceInfo iface = {MenuProviderInit, nullptr, nullptr};
    g_type_module_add_interface(pModule, g_typeMenuProvider, NAUTILUS_TYPE_MENU_PROVIDER, &iface);
    g_arrTypes[0] = g_typeMenuProvider;
}

__attribute__((visibility("default"))) void nautilus_module_shutdown(void) {}

__attribute__((visibility("default"))) void nautilus_module_list_types(const GType** ppTypes, int* pnTypes)
{
    *ppTypes = g_arrTypes;
    *pnTypes = g_typeMenuProvider != 0 ? 1 : 0;
}

}  // extern "C"
