// The loadable module as a host meets it: registration, creation by ProgID
// and by class identifier through the registry, unloading, and every way a
// registered module can be broken.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/run/Operations.h"
#include "interfaces/ISetupUI.h"
#include "platform/com/ClassTable.h"
#include "platform/registry/Registry.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Script.h"
#include "simulator/SimulatedUnit.h"

namespace fs = std::filesystem;

namespace {

const std::string kModule = fs::canonical(MIRELLE_MODULE_FILE).string();

// How many mappings of the file the process has (0 once it is unloaded).
int Mappings(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    int n = 0;
    for (std::string line; std::getline(maps, line);)
        if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) ++n;
    return n;
}

std::pair<int, std::string> Exec(const std::string& command) {
    std::string out;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return {-1, ""};
    std::array<char, 4096> buf;
    while (size_t n = std::fread(buf.data(), 1, buf.size(), p)) out.append(buf.data(), n);
    int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// Calls one entry point of a module file the way a registration tool does.
com::HRESULT CallEntry(const std::string& file, const char* name) {
    void* h = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) return com::E_FAIL;
    auto fn = reinterpret_cast<com::DllRegisterServerFn>(::dlsym(h, name));
    com::HRESULT hr = fn ? fn() : com::E_FAIL;
    ::dlclose(h);
    return hr;
}

class Module : public ::testing::Test {
protected:
    void SetUp() override {
        reg::UseMemory();
        reg::Clear();
        ui::DefaultScriptDriver().Clear();
        ui::DefaultMessageBoxes().Clear();
        ASSERT_EQ(CallEntry(kModule, "DllRegisterServer"), com::S_OK);
        com::CoFreeUnusedLibraries();
        ASSERT_EQ(Mappings(kModule), 0) << "the module stayed loaded after registration";
    }
    void TearDown() override {
        com::CoFreeUnusedLibraries();
        ui::DefaultScriptDriver().Clear();
    }

    static com::ComPtr<mirelle::ISetupUI> Create(const com::CLSID& clsid) {
        com::ComPtr<mirelle::ISetupUI> ui;
        EXPECT_EQ(com::CoCreateInstance(clsid, nullptr, mirelle::ISetupUI::IID_, ui.outVoid()), com::S_OK);
        return ui;
    }
    // The record mode dialog, ticked to circular and confirmed.
    static long RunRecordMode(mirelle::ISetupUI& setupUI) {
        host::SimulatedUnit unit(nlohmann::json::object());
        auto parsed = ui::ParseScript("click 1\n");
        EXPECT_TRUE(parsed.ok());
        ui::DefaultScriptDriver().Queue(parsed.actions);
        auto outcome = apps::RunOperation("ShowRecordModeDlg", unit, setupUI);
        EXPECT_EQ(outcome.hr, com::S_OK);
        return outcome.result;
    }
};

TEST_F(Module, ExportsTheFourEntryPointsOnly) {
    auto [code, out] = Exec("nm -D --defined-only " + kModule + " | awk '{print $NF}' | sort");
    ASSERT_EQ(code, 0) << out;
    std::istringstream names(out);
    std::vector<std::string> exported;
    for (std::string n; names >> n;)
        if (n != "_init" && n != "_fini" && n != "_edata" && n != "_end" && n != "__bss_start") exported.push_back(n);
    EXPECT_EQ(exported, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                                   "DllUnregisterServer"}));
}

TEST_F(Module, CreatedByProgIdAndByClassIdThenUnloadedWhenReleased) {
    com::CLSID byProgId{}, byCurrentVersion{};
    ASSERT_EQ(com::CLSIDFromProgID("Mirelle.SetupUI", &byProgId), com::S_OK);
    ASSERT_EQ(com::CLSIDFromProgID("Mirelle.SetupUI.1", &byCurrentVersion), com::S_OK);
    EXPECT_EQ(byProgId, mirelle::CLSID_SetupUI);
    EXPECT_EQ(byCurrentVersion, mirelle::CLSID_SetupUI);
    EXPECT_EQ(reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + com::GuidToString(mirelle::CLSID_SetupUI) +
                                                         "\\InprocServer32", ""),
              kModule);
    for (const auto& clsid : {byProgId, mirelle::CLSID_SetupUI}) {
        {
            auto setupUI = Create(clsid);
            ASSERT_TRUE(setupUI);
            EXPECT_GT(Mappings(kModule), 0);
            EXPECT_EQ(RunRecordMode(*setupUI.get()), 1);
            com::CoFreeUnusedLibraries();
            EXPECT_GT(Mappings(kModule), 0) << "unloaded while an object is alive";
        }
        com::CoFreeUnusedLibraries();
        EXPECT_EQ(Mappings(kModule), 0);
        EXPECT_FALSE(com::CoIsModuleLoaded(kModule));
    }
}

TEST_F(Module, TwoObjectsShareOneLoad) {
    auto first = Create(mirelle::CLSID_SetupUI);
    const int mapped = Mappings(kModule);
    auto second = Create(mirelle::CLSID_SetupUI);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(Mappings(kModule), mapped);
    EXPECT_EQ(RunRecordMode(*second.get()), 1);
    first.reset();
    com::CoFreeUnusedLibraries();
    EXPECT_EQ(Mappings(kModule), mapped) << "the second object no longer holds the module";
    EXPECT_EQ(RunRecordMode(*second.get()), 1);
    second.reset();
    com::CoFreeUnusedLibraries();
    EXPECT_EQ(Mappings(kModule), 0);
}

TEST_F(Module, ServerLockKeepsTheModuleLoaded) {
    com::ComPtr<com::IClassFactory> factory;
    ASSERT_EQ(com::CoGetClassObject(mirelle::CLSID_SetupUI, com::IClassFactory::IID_, factory.outVoid()), com::S_OK);
    ASSERT_EQ(factory->LockServer(true), com::S_OK);
    com::CoFreeUnusedLibraries();
    EXPECT_GT(Mappings(kModule), 0);
    ASSERT_EQ(factory->LockServer(false), com::S_OK);
    // A host that unlocks once too often must not keep the module loaded for good.
    ASSERT_EQ(factory->LockServer(false), com::S_OK);
    factory.reset();
    com::CoFreeUnusedLibraries();
    EXPECT_EQ(Mappings(kModule), 0);
    auto again = Create(mirelle::CLSID_SetupUI);
    ASSERT_TRUE(again);
    again.reset();
    com::CoFreeUnusedLibraries();
    EXPECT_EQ(Mappings(kModule), 0);
}

TEST_F(Module, StorageCallbackClassComesFromTheSameModule) {
    com::CLSID clsid{};
    ASSERT_EQ(com::CLSIDFromProgID("Mirelle.StorageUISupportCallbackImp.1", &clsid), com::S_OK);
    com::ComPtr<com::IUnknown> callback;
    ASSERT_EQ(com::CoCreateInstance(clsid, nullptr, com::IUnknown::IID_, callback.outVoid()), com::S_OK);
    EXPECT_GT(Mappings(kModule), 0);
    callback.reset();
    com::CoFreeUnusedLibraries();
    EXPECT_EQ(Mappings(kModule), 0);
}

struct BrokenCase {
    const char* what;
    std::string inprocServer;  // empty: the class has no registration at all
    com::HRESULT expected;
};

TEST_F(Module, BrokenRegistrationsGiveTheirOwnResults) {
    const fs::path dir = fs::temp_directory_path() / ("mirelle-module-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "notalibrary.so") << "this is text, not a library\n";
    const std::string fixtures = MIRELLE_FIXTURES;
    const BrokenCase cases[] = {
        {"missing file", (dir / "gone.so").string(), com::HRESULT_FROM_WIN32(com::ERROR_MOD_NOT_FOUND)},
        {"not a library", (dir / "notalibrary.so").string(), com::HRESULT_FROM_WIN32(com::ERROR_BAD_EXE_FORMAT)},
        {"no entry points", fixtures + "/mirelle_test_noentry.so", com::HRESULT_FROM_WIN32(com::ERROR_PROC_NOT_FOUND)},
        {"failing factory", fixtures + "/mirelle_test_badfactory.so", com::E_OUTOFMEMORY},
        {"unregistered class", "", com::REGDB_E_CLASSNOTREG},
    };
    const com::CLSID clsid = com::MakeGuid(0x0badc1a5, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8});
    const std::string key = "CLSID\\" + com::GuidToString(clsid) + "\\InprocServer32";
    for (const auto& c : cases) {
        reg::RegDeleteTree(reg::HKEY_CLASSES_ROOT, "CLSID\\" + com::GuidToString(clsid));
        if (!c.inprocServer.empty()) reg::SetString(reg::HKEY_CLASSES_ROOT, key, "", c.inprocServer);
        com::ComPtr<com::IUnknown> object;
        EXPECT_EQ(com::CoCreateInstance(clsid, nullptr, com::IUnknown::IID_, object.outVoid()), c.expected)
            << c.what;
        EXPECT_FALSE(object) << c.what;
        if (c.expected != com::E_OUTOFMEMORY && c.expected != com::REGDB_E_CLASSNOTREG) {
            EXPECT_FALSE(com::CoLastLoadError().empty()) << c.what;
        }
    }
    com::CLSID none{};
    EXPECT_EQ(com::CLSIDFromProgID("Mirelle.NoSuchClass", &none), com::CO_E_CLASSSTRING);
    com::CoFreeUnusedLibraries();
    fs::remove_all(dir);
}

TEST_F(Module, HundredLoadCreateUnloadCycles) {
    for (int i = 0; i < 100; ++i) {
        {
            auto setupUI = Create(mirelle::CLSID_SetupUI);
            ASSERT_TRUE(setupUI);
            EXPECT_EQ(RunRecordMode(*setupUI.get()), 1);
        }
        com::CoFreeUnusedLibraries();
        ASSERT_EQ(Mappings(kModule), 0) << "cycle " << i;
    }
}

TEST_F(Module, RegistrationFreeModuleServesItsClassesUntilRevoked) {
    reg::Clear();  // nothing registered
    com::ComPtr<mirelle::ISetupUI> none;
    EXPECT_EQ(com::CoCreateInstance(mirelle::CLSID_SetupUI, nullptr, mirelle::ISetupUI::IID_, none.outVoid()),
              com::REGDB_E_CLASSNOTREG);
    ASSERT_EQ(com::CoRegisterModuleClasses(kModule), com::S_OK);
    {
        auto setupUI = Create(mirelle::CLSID_SetupUI);
        ASSERT_TRUE(setupUI);
        EXPECT_EQ(RunRecordMode(*setupUI.get()), 1);
    }
    com::CoFreeUnusedLibraries();
    EXPECT_GT(Mappings(kModule), 0) << "a module the host loaded itself stays until revoked";
    ASSERT_EQ(com::CoRevokeModuleClasses(kModule), com::S_OK);
    com::CoFreeUnusedLibraries();
    EXPECT_EQ(Mappings(kModule), 0);
}

// mirelle-regsvr as a user calls it, against a store file of its own.
TEST(Regsvr, ExitStatusAndMessageForEachCase) {
    const fs::path dir = fs::temp_directory_path() / ("mirelle-regsvr-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "notalibrary.so") << "text\n";
    const std::string store = (dir / "registry.db").string();
    const std::string tool = "MIRELLE_REGISTRY=" + store + " " + MIRELLE_REGSVR + " ";
    const std::string fixtures = MIRELLE_FIXTURES;
    struct Case {
        std::string args;
        int code;
        std::string says;
    } cases[] = {
        {kModule, 0, "DllRegisterServer in " + kModule + " succeeded."},
        {"-u " + kModule, 0, "DllUnregisterServer in " + kModule + " succeeded."},
        {(dir / "gone.so").string(), 3, "failed to load"},
        {(dir / "notalibrary.so").string(), 3, "failed to load"},
        {fixtures + "/mirelle_test_noentry.so", 4, "the entry-point DllRegisterServer was not found"},
        {fixtures + "/mirelle_test_badfactory.so", 5, "failed with error code 0x80070005"},
        {"-s " + fixtures + "/mirelle_test_badfactory.so", 5, ""},
        {"", 1, "MODULE is required"},
    };
    for (const auto& c : cases) {
        auto [code, out] = Exec(tool + c.args);
        EXPECT_EQ(code, c.code) << c.args << "\n" << out;
        if (c.says.empty())
            EXPECT_EQ(out, "") << c.args;
        else
            EXPECT_NE(out.find(c.says), std::string::npos) << c.args << "\n" << out;
    }
    // Registered, then removed again: the store holds the class only between.
    Exec(tool + kModule);
    reg::UseFile(store);
    EXPECT_TRUE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI.1"));
    Exec(tool + "-u " + kModule);
    reg::UseFile(store);
    EXPECT_FALSE(reg::KeyExists(reg::HKEY_CLASSES_ROOT, "Mirelle.SetupUI.1"));
    reg::UseMemory();
    fs::remove_all(dir);
}

}  // namespace
