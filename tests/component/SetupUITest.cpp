#include "tests/support/Harness.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include "component/NotAvailableDlg.h"
#include "component/StorageUISupportCallbackImp.h"
#include "resources/Ids.h"
#include "module/TypeLibrary.h"
#include "util/Util.h"
#include "platform/com/ClassTable.h"
#include "platform/codepage/CodePage.h"
#include "resources/Resources.h"

namespace {

using testing_support::Harness;

class SetupUI : public Harness {};

TEST_F(SetupUI, ConnectTimeoutEndsTheRecordModeDialogWithZeroAndStillCopiesBack) {
    auto s = apps::CreateSetupUI();
    CRecordInfo info;
    info.m_nFillThreshold = 83;
    Script("slide 1016 1");
    Then([&](ui::Dialog&) { s->ConnectTimeout(); });
    Script("click 1");
    std::int16_t result = -1;
    ASSERT_EQ(s->ShowRecordModeDlg(unit->SetupUISupport(), 0, reinterpret_cast<std::int32_t*>(&info), &result),
              com::S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(info.m_nFillThreshold, 83) << "the copy is written back as it stood (OK never ran)";
    EXPECT_EQ(ui::DefaultScriptDriver().Remaining(), 1u);
}

TEST_F(SetupUI, ConnectTimeoutWithNothingTrackedDoesNothing) {
    auto s = apps::CreateSetupUI();
    EXPECT_EQ(s->ConnectTimeout(), com::S_OK);
}

TEST_F(SetupUI, UpdateLevelMeterWithoutAudioSheetLeavesResultUntouched) {
    auto s = apps::CreateSetupUI();
    std::int16_t v = 1234;
    EXPECT_EQ(s->UpdateLevelMeter(80, &v), com::S_OK);
    EXPECT_EQ(v, 1234);
}

TEST_F(SetupUI, QueryInterfaceAnswersItsOwnInterfacesOnly) {
    com::ComPtr<com::IUnknown> unk;
    ASSERT_EQ(com::CoCreateInstance(mirelle::CLSID_SetupUI, nullptr, com::IUnknown::IID_, unk.outVoid()), com::S_OK);
    com::ComPtr<mirelle::ISetupUI> ui;
    com::ComPtr<com::IDispatch> disp;
    com::ComPtr<host::IStorageUISupportCallback> cb;
    EXPECT_EQ(unk.As(ui), com::S_OK);
    EXPECT_EQ(unk.As(disp), com::S_OK);
    EXPECT_EQ(unk.As(cb), com::E_NOINTERFACE);

    com::ComPtr<com::IUnknown> cbUnk;
    ASSERT_EQ(com::CoCreateInstance(mirelle::CLSID_StorageUISupportCallbackImp, nullptr, com::IUnknown::IID_,
                                    cbUnk.outVoid()),
              com::S_OK);
    EXPECT_EQ(cbUnk.As(cb), com::S_OK);
    EXPECT_EQ(cbUnk.As(disp), com::E_NOINTERFACE);
}

TEST_F(SetupUI, ObjectsHoldTheModuleUntilReleased) {
    long before = com::ModuleLockCount();
    {
        auto s = apps::CreateSetupUI();
        EXPECT_EQ(mirelle::CanUnloadNow(), com::S_FALSE);
    }
    EXPECT_EQ(com::ModuleLockCount(), before);
}

TEST_F(SetupUI, EntryPointsReportBadRequests) {
    void* p = nullptr;
    EXPECT_EQ(mirelle::GetClassObject(mirelle::CLSID_SetupUI, com::IClassFactory::IID_, nullptr), com::E_POINTER);
    EXPECT_EQ(mirelle::GetClassObject(com::GUID_NULL, com::IClassFactory::IID_, &p), com::CLASS_E_CLASSNOTAVAILABLE);
    com::ComPtr<com::IClassFactory> f;
    ASSERT_EQ(mirelle::GetClassObject(mirelle::CLSID_SetupUI, com::IClassFactory::IID_, f.outVoid()), com::S_OK);
    struct Dummy : com::IUnknown {
        com::HRESULT QueryInterface(const com::IID&, void**) override { return com::E_NOINTERFACE; }
        com::ULONG AddRef() override { return 1; }
        com::ULONG Release() override { return 1; }
    } outer;
    EXPECT_EQ(f->CreateInstance(&outer, mirelle::ISetupUI::IID_, &p), com::CLASS_E_NOAGGREGATION);
}

TEST_F(SetupUI, DispatchThroughTheTypeLibrary) {
    auto s = apps::CreateSetupUI();
    std::int32_t id = 0;
    EXPECT_EQ(s->GetIDsOfNames(u"ShowODSetup", &id), com::S_OK);
    EXPECT_EQ(id, 12);
    for (const char16_t* name : {u"showodsetup", u"SHOWODSETUP", u"showODSetup"}) {
        id = 0;
        EXPECT_EQ(s->GetIDsOfNames(name, &id), com::S_OK) << "names are matched without regard to case";
        EXPECT_EQ(id, 12);
    }
    EXPECT_EQ(s->GetIDsOfNames(u"ShowNothing", &id), com::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(s->GetIDsOfNames(u"ShowODSetupX", &id), com::DISP_E_UNKNOWNNAME);
    const auto& lib = mirelle::MirelleTypeLibrary();
    ASSERT_EQ(lib.setupUIMethods.size(), 16u);
    EXPECT_STREQ(lib.setupUIMethods[5].help, "DoModal() on the storage management dialog.");
    EXPECT_STREQ(lib.setupUIMethods[0].help, "method ShowDisplay");

    std::int32_t customer = 0, journal = 1, result = -1;
    std::vector<com::VARIANT> args(7);
    args[0].vt = com::VARIANT::Type::Unknown;
    args[0].punkVal = unit->SetupUISupport();
    args[1].vt = args[2].vt = args[3].vt = com::VARIANT::Type::I4;
    args[4].vt = args[5].vt = args[6].vt = com::VARIANT::Type::ByRefI4;
    args[4].plVal = &customer;
    args[5].plVal = &journal;
    args[6].plVal = &result;
    Script("tick 320 1\nclick 227");
    EXPECT_EQ(s->Invoke(12, args), com::S_OK);
    EXPECT_EQ(customer, 1);
    EXPECT_EQ(result, 1);
    args.pop_back();
    EXPECT_EQ(s->Invoke(12, args), com::DISP_E_BADPARAMCOUNT);
    args.resize(7);
    args[6].vt = com::VARIANT::Type::I4;
    EXPECT_EQ(s->Invoke(12, args), com::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(s->Invoke(17, args), com::DISP_E_MEMBERNOTFOUND);
}

TEST_F(SetupUI, ASetupMissingFromTheBuildSaysSoAndCancels) {
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.GetItemText(res::kIdcNotAvailableText), "ShowX is not available in this version of the setup.");
    });
    Script("click 2");
    EXPECT_EQ(ShowNotAvailable("ShowX", nullptr), 2);
}

// A late-bound host reads the operations from the type information: names,
// dispatch ids, parameters and help strings, as the type library holds them.
TEST_F(SetupUI, TypeInformationDescribesTheOperations) {
    auto s = apps::CreateSetupUI();
    unsigned count = 0;
    ASSERT_EQ(s->GetTypeInfoCount(&count), com::S_OK);
    EXPECT_EQ(count, 1u);
    com::ITypeInfo* raw = nullptr;
    EXPECT_EQ(s->GetTypeInfo(1, 0x409, &raw), com::DISP_E_BADINDEX);
    EXPECT_EQ(s->GetTypeInfo(0, 0x409, nullptr), com::E_POINTER);
    ASSERT_EQ(s->GetTypeInfo(0, 0, &raw), com::S_OK);
    auto info = com::ComPtr<com::ITypeInfo>::Attach(raw);

    com::TYPEATTR attr;
    ASSERT_EQ(info->GetTypeAttr(&attr), com::S_OK);
    EXPECT_EQ(attr.guid, mirelle::ISetupUI::IID_);
    EXPECT_EQ(attr.lcid, 0x409u);
    EXPECT_EQ(attr.cFuncs, 16);
    EXPECT_TRUE(attr.dual);

    auto text = [](com::BSTR b) {
        std::string t = cp::FromBstr(b);
        com::SysFreeString(b);
        return t;
    };
    com::BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(info->GetDocumentation(com::MEMBERID_NIL, &name, &doc, nullptr, nullptr), com::S_OK);
    EXPECT_EQ(text(name), "ISetupUI");
    EXPECT_EQ(text(doc), "ISetupUI Interface");

    using T = com::VARIANT::Type;
    struct Case {
        const char16_t* name;
        std::int32_t dispid;
        const char* help;
        std::vector<std::u16string> names;  // the method's, then its parameters'
        std::vector<T> types;
        unsigned short lastFlags;
    } cases[] = {
        {u"ShowDisplay", 1, "method ShowDisplay",
         {u"ShowDisplay", u"pISetupUISupport", u"bEnableKeyboard", u"wndMain", u"lDisplayInfo", u"bVal"},
         {T::Unknown, T::I2, T::I4, T::ByRefI4, T::ByRefI2}, com::PARAMFLAG_FOUT | com::PARAMFLAG_FRETVAL},
        {u"connecttimeout", 5, "method ConnectTimeout", {u"ConnectTimeout"}, {}, 0},
        {u"ShowStorage", 6, "DoModal() on the storage management dialog.",
         {u"ShowStorage", u"pIStorageUISupport", u"pWndMain", u"pbRet"}, {T::Unknown, T::I4, T::ByRefI4},
         com::PARAMFLAG_FOUT | com::PARAMFLAG_FRETVAL},
        {u"SHOWIPSOURCECONFIG", 13, "Show the IP sources dialog an alternative to the camera dialog",
         {u"ShowIPSourceConfig", u"pISetupUISupport", u"pICameraControlUISupport", u"bEnableKeyboard", u"wndMain",
          u"bVal"},
         {T::Unknown, T::Unknown, T::I2, T::I4, T::ByRefI2}, com::PARAMFLAG_FOUT | com::PARAMFLAG_FRETVAL},
        {u"ShowRawTextSetup", 14, "method ShowRawTextSetup",
         {u"ShowRawTextSetup", u"pISetupUISupport", u"bEnableKeyboard", u"bRemote", u"pWndMain", u"pbstrEOL",
          u"pRetVal"},
         {T::Unknown, T::I4, T::I4, T::I4, T::ByRefBstr, T::ByRefI4}, com::PARAMFLAG_FOUT | com::PARAMFLAG_FRETVAL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(cp::WideToAnsi(c.names[0]));
        std::int32_t id = 0;
        ASSERT_EQ(info->GetIDsOfNames(c.name, &id), com::S_OK);
        EXPECT_EQ(id, c.dispid);
        std::int32_t viaDispatch = 0;
        EXPECT_EQ(s->GetIDsOfNames(c.name, &viaDispatch), com::S_OK);
        EXPECT_EQ(viaDispatch, c.dispid);
        std::vector<std::u16string> names;
        ASSERT_EQ(info->GetNames(id, &names), com::S_OK);
        EXPECT_EQ(names, c.names);
        ASSERT_EQ(info->GetDocumentation(id, &name, &doc, nullptr, nullptr), com::S_OK);
        EXPECT_EQ(text(name), cp::WideToAnsi(c.names[0]));
        EXPECT_EQ(text(doc), c.help);
        com::FUNCDESC f;
        ASSERT_EQ(info->GetFuncDesc(static_cast<unsigned>(c.dispid - 1), &f), com::S_OK);
        EXPECT_EQ(f.memid, c.dispid);
        std::vector<T> types;
        for (const auto& p : f.params) types.push_back(p.vt);
        EXPECT_EQ(types, c.types);
        if (!f.params.empty()) {
            EXPECT_EQ(f.params.back().paramFlags, c.lastFlags);
        }
    }
    // Every operation's parameters are the ones Invoke counts.
    for (unsigned i = 0; i < 16; ++i) {
        com::FUNCDESC f;
        ASSERT_EQ(info->GetFuncDesc(i, &f), com::S_OK);
        std::vector<com::VARIANT> tooMany(f.params.size() + 1);
        EXPECT_EQ(s->Invoke(f.memid, tooMany), com::DISP_E_BADPARAMCOUNT) << f.memid;
    }
    com::FUNCDESC f;
    EXPECT_EQ(info->GetFuncDesc(16, &f), com::TYPE_E_ELEMENTNOTFOUND);
    std::vector<std::u16string> names;
    EXPECT_EQ(info->GetNames(17, &names), com::TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(info->GetDocumentation(0, &name, nullptr, nullptr, nullptr), com::TYPE_E_ELEMENTNOTFOUND);
    std::int32_t id = 0;
    EXPECT_EQ(info->GetIDsOfNames(u"ShowNothing", &id), com::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, com::MEMBERID_NIL);
    // The type information holds the module like any object of it.
    const long locks = com::ModuleLockCount();
    info.reset();
    EXPECT_EQ(com::ModuleLockCount(), locks - 1);
}

TEST_F(SetupUI, RegistrationWritesAndRemovesTheClassKeys) {
    ASSERT_EQ(mirelle::RegisterServer(), com::S_OK);
    std::string clsid = com::GuidToString(mirelle::CLSID_SetupUI);
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI.1", ""), "SetupUI Class");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI\\CurVer", ""), "Mirelle.SetupUI.1");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\ProgID", ""), "Mirelle.SetupUI.1");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\VersionIndependentProgID", ""),
              "Mirelle.SetupUI");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", ""), mirelle::ModulePath());
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", "ThreadingModel"), "Both");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\TypeLib", ""),
              com::GuidToString(mirelle::LIBID_MIRELLELib));
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\Programmable"));
    // The type library is registered under its locale, 0x409.
    const std::string lib = "TypeLib\\" + com::GuidToString(mirelle::LIBID_MIRELLELib) + "\\1.0";
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, lib, ""), "Mirelle 1.0 Type Library");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, lib + "\\409\\win32", ""), mirelle::ModulePath());
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, lib + "\\0"));
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, lib + "\\FLAGS", ""), "0");
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "Mirelle.StorageUISupportCallbackImp.1", ""),
              "StorageUISupportCallbackImp Class");
    com::CLSID found;
    ASSERT_EQ(com::CLSIDFromProgID("Mirelle.SetupUI.1", &found), com::S_OK);
    EXPECT_EQ(found, mirelle::CLSID_SetupUI);

    ASSERT_EQ(mirelle::UnregisterServer(), com::S_OK);
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI.1"));
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "CLSID\\" + clsid));
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "CLSID")) << "the CLSID parent key stays";
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, lib));
}

class ProgressWindow : public ui::Window {
public:
    ProgressWindow() : ui::Window(nullptr) {}
    void OnMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) override {
        got.push_back({msg, static_cast<long>(w), static_cast<long>(l)});
    }
    struct M {
        ui::UINT msg;
        long w, l;
        bool operator==(const M&) const = default;
    };
    std::vector<M> got;
};

TEST_F(SetupUI, ProgressCallbackPostsRangeThenPosition) {
    com::ComPtr<host::IStorageUISupportCallbackImp> cb;
    ASSERT_EQ(com::CoCreateInstance(mirelle::CLSID_StorageUISupportCallbackImp, nullptr,
                                    host::IStorageUISupportCallbackImp::IID_, cb.outVoid()),
              com::S_OK);
    ProgressWindow w;
    EXPECT_EQ(cb->SetProgress(5), com::S_OK);  // before SetWindow: reaches no window
    cb->SetWindow(static_cast<std::int32_t>(w.Handle()));
    std::thread host([&] {
        cb->SetProgressRange(0, 100);
        cb->SetProgress(42);
    });
    host.join();
    ui::ThreadQueue()->Pump();
    EXPECT_EQ(w.got, (std::vector<ProgressWindow::M>{{1125, 0, 100}, {1126, 42, 0}}));
}

class ResourceModule : public Harness {
protected:
    void TearDown() override {
        res::UnloadResourceModule();
        unsetenv("MIRELLE_RESOURCE_PATH");
        Harness::TearDown();
    }
    std::filesystem::path WriteModule(const std::string& lang) {
        auto dir = std::filesystem::temp_directory_path() / ("mirelle-res-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        auto path = dir / ("ResSetupUI" + lang + ".json");
        std::ofstream(path) << R"J({"strings": {"1022": "Aufnahmemodus"}, "templates": {"150": {"controls": {"1014": "Linear (DE)"}}}})J";
        return path;
    }
};

TEST_F(ResourceModule, EnglishKeepsTheOwnResourcesEvenWhenAModuleExists) {
    auto path = WriteModule("ENG");
    setenv("MIRELLE_RESOURCE_PATH", path.parent_path().c_str(), 1);
    EXPECT_EQ(mirelle::ChooseResourceModule(), "");
    EXPECT_EQ(res::LoadString(1022), "Quellan Record Mode Setup");
}

TEST_F(ResourceModule, OtherLanguageLoadsTheLocalisedModule) {
    auto path = WriteModule("DEU");
    reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", "DEU");
    setenv("MIRELLE_RESOURCE_PATH", path.parent_path().c_str(), 1);
    EXPECT_EQ(mirelle::ChooseResourceModule(), path.string());
    EXPECT_EQ(res::LoadString(1022), "Aufnahmemodus");
    EXPECT_EQ(res::LoadString(1000), "Notify when %d%% full") << "strings it lacks come from the own set";
    Then([](ui::Dialog& d) {
        EXPECT_EQ(d.Caption(), "Aufnahmemodus");
        EXPECT_EQ(d.GetItemText(1014), "Linear (DE)");
    });
    Script("click 2");
    Run("ShowRecordModeDlg");
}

TEST_F(ResourceModule, NoModuleLeavesTheOwnResources) {
    reg::SetString(reg::HKEY_LOCAL_MACHINE, kProductKey, "SystemLanguage", "FRA");
    setenv("MIRELLE_RESOURCE_PATH", "/nonexistent", 1);
    EXPECT_EQ(mirelle::ChooseResourceModule(), "");
    EXPECT_EQ(res::LoadString(1022), "Quellan Record Mode Setup");
}

}  // namespace
