#include "module/Module.h"
#include "module/TypeLibrary.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unistd.h>

#include "interfaces/ISetupUI.h"
#include "component/StorageUISupportCallbackImp.h"
#include "module/SetupUI.h"
#include "foundation/DebugLog.h"
#include "util/Util.h"
#include "resources/Resources.h"

namespace mirelle {
namespace {

std::mutex g_lock;
// A plain pointer, not an object with a destructor of its own: the module
// is detached explicitly (ModuleDetach) before the statics of the process
// or of the unloading module are destroyed.
com::ComModule* g_module = nullptr;
std::string g_path;
constexpr const char* kProvider = "Mirelle";

std::string ExecutablePath() {
    char buf[260];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "mirelle";
    buf[n] = 0;
    return buf;
}

bool TryLoad(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && res::LoadResourceModule(p.string());
}

}  // namespace

std::string ChooseResourceModule() {
    if (CWWRegistry::GetSystemLanguage() == "ENG") return {};
    std::string name = CWWRegistry::GetLocalResDLLName("ResSetupUI");
    for (const std::string& folder : LocalResourceFolders()) {
        const std::filesystem::path dir(folder);
        if (TryLoad(dir / name)) return (dir / name).string();
    }
    // The module's own folder: its full path cut after the last separator.
    std::string own = ModulePath();
    if (own.size() > 259) own.resize(259);
    auto slash = own.find_last_of('/');
    std::string path = (slash == std::string::npos ? std::string{} : own.substr(0, slash + 1)) + name;
    if (TryLoad(path)) return path;
    return {};
}

void ModuleAttach(const std::string& modulePath) {
    std::lock_guard l(g_lock);
    if (g_module) return;
    g_path = modulePath.empty() ? ExecutablePath() : modulePath;
    std::vector<com::ClassEntry> classes = {
        {CLSID_SetupUI, "Mirelle.SetupUI.1", "Mirelle.SetupUI", "SetupUI Class", 103,
         [](com::IUnknown* outer) { return CSetupUI::Create(outer); }},
        {CLSID_StorageUISupportCallbackImp, "Mirelle.StorageUISupportCallbackImp.1",
         "Mirelle.StorageUISupportCallbackImp", "StorageUISupportCallbackImp Class", 104,
         [](com::IUnknown* outer) { return CStorageUISupportCallbackImp::Create(outer); }},
    };
    g_module = new com::ComModule(std::move(classes), LIBID_MIRELLELib, g_path);
    g_module->SetTypeLibLocale(mirelle::MirelleTypeLibrary().lcid);
    g_module->SetScriptReplacements({{"CLSID_SetupUI", com::GuidToString(CLSID_SetupUI)},
                                     {"CLSID_StorageUISupportCallbackImp",
                                      com::GuidToString(CLSID_StorageUISupportCallbackImp)},
                                     {"LIBID", com::GuidToString(LIBID_MIRELLELib)}});
    res::Install();
    SetStringSource(&res::LoadString);
    g_lock.unlock();
    ChooseResourceModule();
    g_lock.lock();
}

void ModuleDetach() {
    std::lock_guard l(g_lock);
    if (!g_module) return;
    com::UnregisterClassProvider(kProvider);
    g_module->Term();
    delete g_module;
    g_module = nullptr;
    // Nothing of this module may stay behind in the shared libraries once
    // it is unloaded.
    SetStringSource(nullptr);
    res::Uninstall();
    res::UnloadResourceModule();
}

void RevokeClassesInProcess() { com::UnregisterClassProvider(kProvider); }

void RegisterClassesInProcess() {
    ModuleAttach();
    com::RegisterClassProvider(kProvider, [](const com::CLSID& c, const com::IID& i, void** p) {
        return GetClassObject(c, i, p);
    });
}

bool ModuleAttached() {
    std::lock_guard l(g_lock);
    return g_module != nullptr;
}

std::string ModulePath() { return g_path; }


com::HRESULT GetClassObject(const com::CLSID& clsid, const com::IID& iid, void** ppv) {
    if (!ppv) return com::E_POINTER;
    ModuleAttach();
    return g_module->GetClassObject(clsid, iid, ppv);
}

com::HRESULT CanUnloadNow() { return com::ModuleLockCount() == 0 ? com::S_OK : com::S_FALSE; }

com::HRESULT RegisterServer() {
    ModuleAttach();
    return g_module->RegisterServer([](int id) { return res::RegistryScript(id); });
}

com::HRESULT UnregisterServer() {
    ModuleAttach();
    return g_module->UnregisterServer([](int id) { return res::RegistryScript(id); });
}

}  // namespace mirelle
