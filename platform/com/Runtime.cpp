// Creation by class: host class objects, registration-free modules and the
// registry's InprocServer32 entries, with the module files loaded on demand
// and unloaded when they say they can be.
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <list>
#include <mutex>

#include "platform/NamedList.h"
#include "platform/com/ClassTable.h"
#include "platform/com/Hresult.h"
#include "platform/com/Unknown.h"
#include "platform/registry/Registry.h"

namespace com {
namespace {

// ---- host class objects ------------------------------------------------------

platform::NamedList<ClassObjectProvider>& Providers() {
    static platform::NamedList<ClassObjectProvider> p;
    return p;
}
std::atomic<std::uint32_t> g_nextCookie{1};

// ---- loaded module files -------------------------------------------------------

struct LoadedModule {
    std::string path;  // as the file system resolves it
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
    int busy = 0;           // calls into the module in progress
    int privateUses = 0;    // CoRegisterModuleClasses without revoke
};

std::mutex g_modulesLock;
std::list<LoadedModule>& Modules() {  // a list: entries keep their address
    static std::list<LoadedModule> m;
    return m;
}
thread_local std::string t_lastLoadError;

std::string ResolvePath(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? path : p.string();
}

// Finds or loads a module; g_modulesLock held.
HRESULT LoadModuleLocked(const std::string& file, LoadedModule** out) {
    const std::string path = ResolvePath(file);
    for (auto& m : Modules())
        if (m.path == path) {
            *out = &m;
            t_lastLoadError.clear();
            return S_OK;
        }
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(path, ec)) {
        t_lastLoadError = file.empty() ? "no module file is named" : path + ": no such file";
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        t_lastLoadError = why ? why : path + ": cannot be loaded";
        // A library whose own dependencies are missing is a missing module;
        // anything else is a file that is not a loadable library.
        bool missingDependency = why && std::string_view(why).find("cannot open shared object file") !=
                                            std::string_view::npos;
        return HRESULT_FROM_WIN32(missingDependency ? ERROR_MOD_NOT_FOUND : ERROR_BAD_EXE_FORMAT);
    }
    auto get = reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    if (!get) {
        t_lastLoadError = path + ": no entry point DllGetClassObject";
        ::dlclose(handle);
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    LoadedModule m;
    m.path = path;
    m.handle = handle;
    m.getClassObject = get;
    m.canUnloadNow = canUnload;
    Modules().push_back(std::move(m));
    *out = &Modules().back();
    t_lastLoadError.clear();
    return S_OK;
}

// Asks one module for a class object, outside the lock; the busy count keeps
// the module loaded meanwhile.
HRESULT AskModule(LoadedModule* m, const CLSID& clsid, const IID& iid, void** ppv) {
    HRESULT hr = m->getClassObject(clsid, iid, ppv);
    std::lock_guard lock(g_modulesLock);
    --m->busy;
    return hr;
}

HRESULT FromRegistry(const CLSID& clsid, const IID& iid, void** ppv) {
    auto file = reg::GetString(reg::HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\InprocServer32", "");
    if (!file) return REGDB_E_CLASSNOTREG;
    LoadedModule* m = nullptr;
    {
        std::lock_guard lock(g_modulesLock);
        HRESULT hr = LoadModuleLocked(*file, &m);
        if (FAILED(hr)) return hr;
        ++m->busy;
    }
    return AskModule(m, clsid, iid, ppv);
}

}  // namespace

void RegisterClassProvider(const std::string& name, ClassObjectProvider provider) {
    Providers().Set(name, std::move(provider));
}

void UnregisterClassProvider(const std::string& name) { Providers().Remove(name); }

HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* classObject, std::uint32_t* cookie) {
    if (!classObject || !cookie) return E_INVALIDARG;
    const std::uint32_t id = g_nextCookie++;
    // The provider holds one reference to the class object until revoked.
    ComPtr<IUnknown> held(classObject);
    RegisterClassProvider("cookie:" + std::to_string(id),
                          [clsid, held](const CLSID& wanted, const IID& iid, void** ppv) -> HRESULT {
                              if (wanted != clsid) return CLASS_E_CLASSNOTAVAILABLE;
                              return held->QueryInterface(iid, ppv);
                          });
    *cookie = id;
    return S_OK;
}

HRESULT CoRevokeClassObject(std::uint32_t cookie) {
    return Providers().Remove("cookie:" + std::to_string(cookie)) ? S_OK : E_INVALIDARG;
}

HRESULT CoGetClassObject(const CLSID& clsid, const IID& iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (auto& provider : Providers().Snapshot()) {
        HRESULT hr = provider(clsid, iid, ppv);
        if (hr != CLASS_E_CLASSNOTAVAILABLE) return hr;
    }
    std::vector<LoadedModule*> privateModules;
    {
        std::lock_guard lock(g_modulesLock);
        for (auto& m : Modules())
            if (m.privateUses > 0) {
                ++m.busy;
                privateModules.push_back(&m);
            }
    }
    HRESULT found = CLASS_E_CLASSNOTAVAILABLE;
    for (auto* m : privateModules) {
        if (found == CLASS_E_CLASSNOTAVAILABLE)
            found = AskModule(m, clsid, iid, ppv);
        else {
            std::lock_guard lock(g_modulesLock);
            --m->busy;
        }
    }
    if (found != CLASS_E_CLASSNOTAVAILABLE) return found;
    return FromRegistry(clsid, iid, ppv);
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(clsid, IClassFactory::IID_, factory.outVoid());
    if (FAILED(hr)) return hr;
    if (!factory) return E_POINTER;
    return factory->CreateInstance(outer, iid, ppv);
}

HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid) {
    if (!clsid) return E_POINTER;
    auto text = reg::GetString(reg::HKEY_CLASSES_ROOT, progId + "\\CLSID", "");
    if (!text) return CO_E_CLASSSTRING;
    auto g = GuidFromString(*text);
    if (!g) return CO_E_CLASSSTRING;
    *clsid = *g;
    return S_OK;
}

HRESULT CoRegisterModuleClasses(const std::string& path) {
    std::lock_guard lock(g_modulesLock);
    LoadedModule* m = nullptr;
    HRESULT hr = LoadModuleLocked(path, &m);
    if (FAILED(hr)) return hr;
    ++m->privateUses;
    return S_OK;
}

HRESULT CoRevokeModuleClasses(const std::string& path) {
    std::lock_guard lock(g_modulesLock);
    const std::string resolved = ResolvePath(path);
    for (auto& m : Modules())
        if (m.path == resolved && m.privateUses > 0) {
            --m.privateUses;
            return S_OK;
        }
    return E_INVALIDARG;
}

void CoFreeUnusedLibraries() {
    std::lock_guard lock(g_modulesLock);
    for (auto it = Modules().begin(); it != Modules().end();) {
        // A module the host loaded for registration-free use stays until the
        // host revokes it; then it unloads like any other.
        bool unload = it->busy == 0 && it->privateUses == 0 && it->canUnloadNow && it->canUnloadNow() == S_OK;
        if (unload) {
            ::dlclose(it->handle);
            it = Modules().erase(it);
        } else {
            ++it;
        }
    }
}

bool CoIsModuleLoaded(const std::string& path) {
    std::lock_guard lock(g_modulesLock);
    const std::string resolved = ResolvePath(path);
    return std::any_of(Modules().begin(), Modules().end(), [&](auto& m) { return m.path == resolved; });
}

std::string CoLastLoadError() { return t_lastLoadError; }

namespace {
thread_local std::string t_lastCreateError;
}
std::string CoLastCreateError() { return t_lastCreateError; }
void CoClearCreateError() { t_lastCreateError.clear(); }
void CoNoteCreateError(const std::string& text) { t_lastCreateError = text; }

HRESULT OleRun(IUnknown* object) {
    if (!object) return E_INVALIDARG;
    ComPtr<IRunnableObject> runnable;
    if (SUCCEEDED(object->QueryInterface(IRunnableObject::IID_, runnable.outVoid())) && runnable)
        return runnable->Run();
    return S_OK;
}

}  // namespace com
