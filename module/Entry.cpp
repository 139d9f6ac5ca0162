// The loadable module's entry points: the only symbols it exports.  The
// first call into the module attaches the component (class table,
// resources, localised resource module); unloading the module, or the end
// of the process, detaches it.
#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

#include "module/Module.h"

extern "C" int __cxa_atexit(void (*fn)(void*), void* arg, void* dso);
extern "C" void* __dso_handle;

namespace {

std::string OwnPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&OwnPath), &info) == 0 || !info.dli_fname) return {};
    char* resolved = ::realpath(info.dli_fname, nullptr);
    std::string path = resolved ? resolved : info.dli_fname;
    std::free(resolved);
    return path;
}

void Detach(void*) { mirelle::ModuleDetach(); }

// Attached on first use, once every static of the module is initialised.
// The detach handler belongs to this module: it runs when the module is
// unloaded, or at exit, before the statics that were in place when it was
// registered (the shared libraries' tables among them) are destroyed.
void EnsureAttached() {
    static std::once_flag once;
    std::call_once(once, [] {
        mirelle::ModuleAttach(OwnPath());
        __cxa_atexit(&Detach, nullptr, &__dso_handle);
    });
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) com::HRESULT DllGetClassObject(const com::CLSID& clsid, const com::IID& iid,
                                                                       void** ppv) {
    EnsureAttached();
    return mirelle::GetClassObject(clsid, iid, ppv);
}

__attribute__((visibility("default"))) com::HRESULT DllCanUnloadNow() { return mirelle::CanUnloadNow(); }

__attribute__((visibility("default"))) com::HRESULT DllRegisterServer() {
    EnsureAttached();
    return mirelle::RegisterServer();
}

__attribute__((visibility("default"))) com::HRESULT DllUnregisterServer() {
    EnsureAttached();
    return mirelle::UnregisterServer();
}

}  // extern "C"
