// Loads the built GNOME Files module the way the file manager does, asks its menu provider for
// the items of fake selections, and activates an entry.
#include "settings/CMRegistryData.h"

#include <dlfcn.h>
#include <glib-object.h>

#include "ShellExtTestSupport.h"
extern "C" {
#include <nautilus-extension.h>
}

namespace {

// A selected item as the file manager describes it.
struct HvFakeFileInfo
{
    GObject parent;
    gchar* pszUri;
};

struct HvFakeFileInfoClass
{
    GObjectClass parent_class;
};

void FakeIfaceInit(NautilusFileInfoInterface* p);

G_DEFINE_TYPE_WITH_CODE(HvFakeFileInfo,
                        hv_fake_file_info,
                        G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(NAUTILUS_TYPE_FILE_INFO, FakeIfaceInit))

const gchar* FakeUri(NautilusFileInfo* p)
{
    return G_TYPE_CHECK_INSTANCE_CAST(p, hv_fake_file_info_get_type(), HvFakeFileInfo)->pszUri;
}

void FakeIfaceInit(NautilusFileInfoInterface* p)
{
    p->get_uri = [](NautilusFileInfo* pInfo) { return g_strdup(FakeUri(pInfo)); };
    p->get_uri_scheme = [](NautilusFileInfo* pInfo) { return g_uri_parse_scheme(FakeUri(pInfo)); };
    p->get_location = [](NautilusFileInfo* pInfo) { return g_file_new_for_uri(FakeUri(pInfo)); };
    p->get_name = [](NautilusFileInfo* pInfo) {
        GFile* pFile = g_file_new_for_uri(FakeUri(pInfo));
        gchar* psz = g_file_get_basename(pFile);
        g_object_unref(pFile);
        return psz;
    };
    p->is_gone = [](NautilusFileInfo*) -> gboolean { return FALSE; };
}

void hv_fake_file_info_init(HvFakeFileInfo*) {}

void hv_fake_file_info_class_init(HvFakeFileInfoClass* pClass)
{
    G_OBJECT_CLASS(pClass)->finalize = [](GObject* p) {
        g_free(reinterpret_cast<HvFakeFileInfo*>(p)->pszUri);
        G_OBJECT_CLASS(hv_fake_file_info_parent_class)->finalize(p);
    };
}

// The module's entry points, and a type module that loads it as the file manager does.
using FnInit = void (*)(GTypeModule*);
using FnShutdown = void (*)();
using FnListTypes = void (*)(const GType**, int*);
FnInit g_fnInit = nullptr;
FnShutdown g_fnShutdown = nullptr;

struct HvTestTypeModule
{
    GTypeModule parent;
};

struct HvTestTypeModuleClass
{
    GTypeModuleClass parent_class;
};

G_DEFINE_TYPE(HvTestTypeModule, hv_test_type_module, G_TYPE_TYPE_MODULE)

void hv_test_type_module_init(HvTestTypeModule*) {}

void hv_test_type_module_class_init(HvTestTypeModuleClass* pClass)
{
    G_TYPE_MODULE_CLASS(pClass)->load = [](GTypeModule* p) -> gboolean {
        g_fnInit(p);
        return TRUE;
    };
    G_TYPE_MODULE_CLASS(pClass)->unload = [](GTypeModule*) { g_fnShutdown(); };
}

class HVExtNautilusModule : public ShellExtTestEnv
{
protected:
    static void SetUpTestSuite()
    {
        s_pLibrary = ::dlopen(HV_NAUTILUS_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(s_pLibrary, nullptr) << ::dlerror();
        g_fnInit = reinterpret_cast<FnInit>(::dlsym(s_pLibrary, "nautilus_module_initialize"));
        g_fnShutdown = reinterpret_cast<FnShutdown>(::dlsym(s_pLibrary, "nautilus_module_shutdown"));
        auto fnList = reinterpret_cast<FnListTypes>(::dlsym(s_pLibrary, "nautilus_module_list_types"));
        ASSERT_NE(g_fnInit, nullptr);
        ASSERT_NE(g_fnShutdown, nullptr);
        ASSERT_NE(fnList, nullptr);
        // Nothing but the entry points is exported.
        EXPECT_EQ(::dlsym(s_pLibrary, "HVExtLoadString"), nullptr);

        auto* pModule = G_TYPE_MODULE(g_object_new(hv_test_type_module_get_type(), nullptr));
        ASSERT_TRUE(g_type_module_use(pModule));
        const GType* pTypes = nullptr;
        int nTypes = 0;
        fnList(&pTypes, &nTypes);
        ASSERT_EQ(nTypes, 1);
        ASSERT_TRUE(g_type_is_a(pTypes[0], NAUTILUS_TYPE_MENU_PROVIDER));
        s_pProvider = NAUTILUS_MENU_PROVIDER(g_object_new(pTypes[0], nullptr));
    }

    void SetUp() override
    {
        ShellExtTestEnv::SetUp();
        ASSERT_NE(s_pProvider, nullptr);
        WriteSettings(0, 1);
    }

    static void WriteSettings(int nWipe, int nShell)
    {
        CMRegistryData data;
        ASSERT_TRUE(data.LoadOrCreate());
        data.m_strModuleEXEPath = QStringLiteral(HV_STUB_RECORDER);
        data.m_nShlEnableWipe = nWipe;
        data.m_nShlEnableShell = nShell;
        ASSERT_TRUE(data.Save());
    }

    // The labels of the provider's items for a selection: the top item's label first, then
    // those of its submenu; the submenu's items are kept for activation.
    std::vector<std::string> Labels(const std::vector<std::string>& uris)
    {
        GList* pFiles = nullptr;
        for (const std::string& strUri : uris) {
            auto* pInfo = static_cast<HvFakeFileInfo*>(g_object_new(hv_fake_file_info_get_type(), nullptr));
            pInfo->pszUri = g_strdup(strUri.c_str());
            pFiles = g_list_append(pFiles, pInfo);
        }
        GList* pItems = nautilus_menu_provider_get_file_items(s_pProvider, pFiles);
        g_list_free_full(pFiles, g_object_unref);
        ClearSubItems();
        std::vector<std::string> labels;
        if (pItems == nullptr) {
            return labels;
        }
        EXPECT_EQ(g_list_length(pItems), 1U);
        gchar* pszLabel = nullptr;
        NautilusMenu* pMenu = nullptr;
        g_object_get(pItems->data, "label", &pszLabel, "menu", &pMenu, nullptr);
        labels.emplace_back(pszLabel != nullptr ? pszLabel : "");
        g_free(pszLabel);
        if (pMenu != nullptr) {
            m_pSubItems = nautilus_menu_get_items(pMenu);
            for (GList* p = m_pSubItems; p != nullptr; p = p->next) {
                g_object_get(p->data, "label", &pszLabel, nullptr);
                labels.emplace_back(pszLabel != nullptr ? pszLabel : "");
                g_free(pszLabel);
            }
            g_object_unref(pMenu);
        }
        nautilus_menu_item_list_free(pItems);
        return labels;
    }

    void ClearSubItems()
    {
        if (m_pSubItems != nullptr) {
            nautilus_menu_item_list_free(m_pSubItems);
            m_pSubItems = nullptr;
        }
    }

    void TearDown() override
    {
        ClearSubItems();
        ShellExtTestEnv::TearDown();
    }

    std::string Uri(const fs::path& path) const
    {
        gchar* psz = g_filename_to_uri(path.c_str(), nullptr, nullptr);
        std::string str = psz;
        g_free(psz);
        return str;
    }

    static void* s_pLibrary;
    static NautilusMenuProvider* s_pProvider;
    GList* m_pSubItems = nullptr;
};

void* HVExtNautilusModule::s_pLibrary = nullptr;
NautilusMenuProvider* HVExtNautilusModule::s_pProvider = nullptr;

TEST_F(HVExtNautilusModule, MenusOfTheFourSelections)
{
    Touch(m_work / "a b.txt");
    Touch(m_work / "x.hvnc");
    Touch(m_work / "enc/y.hvnc");
    EXPECT_EQ(Labels({Uri(m_work / "a b.txt")}),
              (std::vector<std::string>{"Halvo Norvane",
                                        "Encrypt to a b.txt.hvnc",
                                        "Encrypt to a b.txt.hvnc then hide",
                                        "Encrypt and E-Mail a b.txt.hvnc",
                                        "Hide a b.txt",
                                        "Add to Secure Data ...",
                                        "Hide Management ..."}));
    EXPECT_EQ(Labels({Uri(m_work / "x.hvnc")}),
              (std::vector<std::string>{"Halvo Norvane", "Decrypt x.hvnc", "Hide x.hvnc", "Hide Management ..."}));
    EXPECT_EQ(Labels({Uri(m_work / "enc")}),
              (std::vector<std::string>{
                  "Halvo Norvane", "Decrypt selected data", "Hide selected data", "Hide Management ..."}));
    WriteSettings(1, 1);
    EXPECT_EQ(Labels({Uri(m_work / "x.hvnc"), Uri(m_work / "a b.txt")}),
              (std::vector<std::string>{"Halvo Norvane",
                                        "Encrypt selected data",
                                        "Encrypt selected data then hide",
                                        "Encrypt and E-Mail selected data ",
                                        "Encrypt selected data then wipe",
                                        "Hide selected data",
                                        "Wipe selected data",
                                        "Add to Secure Data ...",
                                        "Hide Management ..."}));
}

TEST_F(HVExtNautilusModule, NoMenuForRemoteFilesOrWhenSwitchedOff)
{
    Touch(m_work / "a.txt");
    EXPECT_TRUE(Labels({"sftp://host/home/a.txt"}).empty());
    EXPECT_TRUE(Labels({Uri(m_work / "a.txt"), "sftp://host/home/b.txt"}).empty());
    WriteSettings(0, 0);
    EXPECT_TRUE(Labels({Uri(m_work / "a.txt")}).empty());
}

TEST_F(HVExtNautilusModule, ActivatingAnEntryStartsTheProgram)
{
    const fs::path record = m_root / "record";
    Set("HV_STUB_RECORD", record.string());
    const fs::path folder = m_work / "say \"hi\"";
    Touch(folder / "a b.txt");
    const auto labels = Labels({Uri(folder / "a b.txt")});
    ASSERT_EQ(labels.size(), 7U);
    ASSERT_EQ(labels[3], "Encrypt and E-Mail a b.txt.hvnc");
    nautilus_menu_item_activate(NAUTILUS_MENU_ITEM(g_list_nth_data(m_pSubItems, 2)));
    EXPECT_EQ(
        WaitForRecord(record),
        (std::vector<std::string>{HV_STUB_RECORDER, "-em", "-pt", "master", "-p", folder.string(), "-f", "a b.txt"}));
}

}  // namespace
