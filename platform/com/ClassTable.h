// The module's class table: class factories, registration and unload rules.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/Unknown.h"

namespace com {

struct IClassFactory : IUnknown {
    static constexpr IID IID_ = MakeGuid(0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** ppv) = 0;
    virtual HRESULT LockServer(bool lock) = 0;
};

// Creates a new object (aggregated under outer when not null) and returns its
// non-delegating IUnknown with one reference, or null when out of memory.
using ObjectCreator = std::function<IUnknown*(IUnknown* outer)>;

struct ClassEntry {
    CLSID clsid;
    std::string progId;              // version-dependent
    std::string versionIndependent;  // version-independent
    std::string description;
    int scriptResource = 0;          // registration script resource id
    ObjectCreator create;
};

// A class table with cached factories, as one loadable module has.
class ComModule {
public:
    ComModule(std::vector<ClassEntry> classes, GUID libId, std::string modulePath);
    ~ComModule();

    HRESULT GetClassObject(const CLSID& clsid, const IID& iid, void** ppv);
    HRESULT CanUnloadNow() const;
    // Registration scripts are registry scripts (see RegistryScript.h) looked
    // up by resource id through scriptSource; %MODULE% is the module path.
    HRESULT RegisterServer(const std::function<std::string(int)>& scriptSource);
    HRESULT UnregisterServer(const std::function<std::string(int)>& scriptSource);
    // Releases the cached factories.
    void Term();

    const std::vector<ClassEntry>& Classes() const { return m_classes; }
    const std::string& ModulePath() const { return m_modulePath; }
    const GUID& LibId() const { return m_libId; }
    // The locale the type library is registered under (0: neutral).
    void SetTypeLibLocale(std::uint32_t lcid) { m_libLcid = lcid; }
    // Extra %NAME% placeholders of the registration scripts.
    void SetScriptReplacements(std::map<std::string, std::string> r) { m_replacements = std::move(r); }

private:
    std::vector<ClassEntry> m_classes;
    std::vector<IClassFactory*> m_factories;  // parallel to m_classes, cached
    GUID m_libId;
    std::uint32_t m_libLcid = 0;
    std::string m_modulePath;
    std::map<std::string, std::string> m_replacements;
    mutable std::mutex m_lock;
};

// ---- creation by class (the runtime, in the system library) ---------------
//
// A class is looked for, in this order, among
//   1. the class objects the host registered in this process at run time
//      (RegisterClassProvider, CoRegisterClassObject);
//   2. the modules the host loaded for registration-free use
//      (CoRegisterModuleClasses);
//   3. the registry: HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 names the
//      module file, which is loaded (once) and asked with DllGetClassObject.
using ClassObjectProvider = std::function<HRESULT(const CLSID&, const IID&, void**)>;
void RegisterClassProvider(const std::string& name, ClassObjectProvider provider);
void UnregisterClassProvider(const std::string& name);
// One class object of the host (its IClassFactory); the cookie revokes it.
HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* classObject, std::uint32_t* cookie);
HRESULT CoRevokeClassObject(std::uint32_t cookie);

HRESULT CoGetClassObject(const CLSID& clsid, const IID& iid, void** ppv);
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** ppv);
// HKEY_CLASSES_ROOT\progId\CLSID; CO_E_CLASSSTRING when there is none.
HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid);

// Every class the module file serves becomes creatable in this process
// without registration, until revoked.  The file is loaded as for a
// registered class, with the same error results.
HRESULT CoRegisterModuleClasses(const std::string& path);
HRESULT CoRevokeModuleClasses(const std::string& path);
// Unloads every module loaded for a registered class whose DllCanUnloadNow
// answers S_OK.  Modules in use by a call in progress are kept.
void CoFreeUnusedLibraries();
// Whether a module file is loaded by the runtime now.
bool CoIsModuleLoaded(const std::string& path);
// The loader's own words for the last failed module load on this thread
// (empty when the last load succeeded).
std::string CoLastLoadError();
// The last object CreateRunningObject could not create on this thread, as
// "NAME {CLSID}: HRESULT" (empty when none since ClearCreateError).  Hosts
// name it in their errors; the component logs it.
std::string CoLastCreateError();
void CoClearCreateError();
void CoNoteCreateError(const std::string& text);

// Entry points of a module, exported with C linkage under these names.
extern "C" {
using DllGetClassObjectFn = HRESULT (*)(const CLSID&, const IID&, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
}

struct IRunnableObject : IUnknown {
    static constexpr IID IID_ = MakeGuid(0x00000126, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});
    virtual HRESULT Run() = 0;
};
// Puts an object into the running state: objects that implement
// IRunnableObject are asked to run; others are running already.
HRESULT OleRun(IUnknown* object);

// A ComError raised because an object could not be created; what() names it.
class CreateError : public ComError {
public:
    CreateError(HRESULT hr, const GUID& iid, std::string text) : ComError(hr, iid), m_text(std::move(text)) {}
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};

// Create by class identifier, run, query interface I, release the first
// pointer.  Raises CreateError(E_POINTER) when any step fails or gives no
// pointer, naming the class (name: how the host knows it) and the step's
// result; the text is also kept as CoLastCreateError.
template <class I>
ComPtr<I> CreateRunningObject(const CLSID& clsid, const char* name = "object") {
    auto fail = [&](HRESULT hr, const char* step) {
        std::string text = std::string("cannot create ") + name + " " + GuidToString(clsid) + ": " +
                           step + " answered " + HresultText(hr);
        CoNoteCreateError(text);
        throw CreateError(E_POINTER, I::IID_, text);
    };
    ComPtr<IUnknown> unk;
    HRESULT hr = CoCreateInstance(clsid, nullptr, IUnknown::IID_, unk.outVoid());
    if (FAILED(hr) || !unk) fail(FAILED(hr) ? hr : E_POINTER, "CoCreateInstance");
    if (FAILED(hr = OleRun(unk.get()))) fail(hr, "OleRun");
    ComPtr<I> typed;
    hr = unk->QueryInterface(I::IID_, typed.outVoid());
    if (FAILED(hr) || !typed) fail(FAILED(hr) ? hr : E_POINTER, "QueryInterface");
    return typed;
}

}  // namespace com
