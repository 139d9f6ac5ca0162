#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "platform/com/ClassTable.h"
#include "platform/com/Hresult.h"
#include "platform/com/Unknown.h"

namespace com {

std::string HresultText(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

ComError::ComError(HRESULT hr, const GUID& iid)
    : std::runtime_error("COM error " + HresultText(hr)), m_hr(hr), m_iid(iid) {}

std::string GuidToString(const GUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return buf;
}

std::optional<GUID> GuidFromString(std::string_view t) {
    if (t.size() != 38 || t.front() != '{' || t.back() != '}') return std::nullopt;
    auto hex = [&](size_t pos, size_t n, std::uint64_t& out) {
        out = 0;
        for (size_t i = 0; i < n; ++i) {
            char c = t[pos + i];
            int v = (c >= '0' && c <= '9') ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (v < 0) return false;
            out = out * 16 + static_cast<unsigned>(v);
        }
        return true;
    };
    if (t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-') return std::nullopt;
    GUID g;
    std::uint64_t v;
    if (!hex(1, 8, v)) return std::nullopt;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!hex(10, 4, v)) return std::nullopt;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!hex(15, 4, v)) return std::nullopt;
    g.Data3 = static_cast<std::uint16_t>(v);
    const size_t pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hex(pos[i], 2, v)) return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    return g;
}

// ---- BSTR ----------------------------------------------------------------

static std::atomic<long> g_liveBstrs{0};

BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) {
    auto* block = static_cast<std::uint32_t*>(
        ::operator new(sizeof(std::uint32_t) + (static_cast<size_t>(length) + 1) * sizeof(OLECHAR), std::nothrow));
    if (!block) return nullptr;
    *block = length * sizeof(OLECHAR);
    auto* chars = reinterpret_cast<OLECHAR*>(block + 1);
    if (text)
        std::memcpy(chars, text, length * sizeof(OLECHAR));
    else
        std::memset(chars, 0, length * sizeof(OLECHAR));
    chars[length] = 0;
    ++g_liveBstrs;
    return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    std::uint32_t n = 0;
    while (text[n]) ++n;
    return SysAllocStringLen(text, n);
}

BSTR SysAllocString(std::u16string_view text) {
    return SysAllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
}

void SysFreeString(BSTR text) {
    if (!text) return;
    --g_liveBstrs;
    ::operator delete(reinterpret_cast<std::uint32_t*>(text) - 1);
}

std::uint32_t SysStringLen(BSTR text) {
    return text ? reinterpret_cast<std::uint32_t*>(text)[-1] / sizeof(OLECHAR) : 0;
}

std::u16string_view BstrView(BSTR text) { return text ? std::u16string_view(text, SysStringLen(text)) : u""; }

long LiveBstrCount() { return g_liveBstrs.load(); }

// ---- module lock and object base -------------------------------------------

static std::atomic<long> g_moduleLocks{0};
void ModuleLock() { ++g_moduleLocks; }
void ModuleUnlock() { --g_moduleLocks; }
long ModuleLockCount() { return g_moduleLocks.load(); }

ComObjectBase::ComObjectBase(IUnknown* outer, bool holdsModuleLock)
    : m_outer(outer), m_holdsModuleLock(holdsModuleLock) {
    if (m_holdsModuleLock) ModuleLock();
}

ComObjectBase::~ComObjectBase() {
    if (m_holdsModuleLock) ModuleUnlock();
}

HRESULT ComObjectBase::Inner::QueryInterface(const IID& iid, void** ppv) { return self->InnerQueryInterface(iid, ppv); }
ULONG ComObjectBase::Inner::AddRef() { return self->InnerAddRef(); }
ULONG ComObjectBase::Inner::Release() { return self->InnerRelease(); }

HRESULT ComObjectBase::InnerQueryInterface(const IID& iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (iid == IUnknown::IID_) {
        *ppv = &m_inner;
        InnerAddRef();
        return S_OK;
    }
    HRESULT hr = QueryInterfaceImpl(iid, ppv);
    if (SUCCEEDED(hr) && *ppv) OuterAddRef();
    return hr;
}

ULONG ComObjectBase::InnerAddRef() { return ++m_refs; }
ULONG ComObjectBase::InnerRelease() {
    ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
}

HRESULT ComObjectBase::OuterQueryInterface(const IID& iid, void** ppv) {
    return m_outer ? m_outer->QueryInterface(iid, ppv) : InnerQueryInterface(iid, ppv);
}
ULONG ComObjectBase::OuterAddRef() { return m_outer ? m_outer->AddRef() : InnerAddRef(); }
ULONG ComObjectBase::OuterRelease() { return m_outer ? m_outer->Release() : InnerRelease(); }
IUnknown* ComObjectBase::Identity() { return m_outer ? m_outer : &m_inner; }

// ---- class factory ----------------------------------------------------------

namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(ObjectCreator create) : m_create(std::move(create)) {}
    HRESULT QueryInterface(const IID& iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (iid == IUnknown::IID_ || iid == IClassFactory::IID_) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG n = --m_refs;
        if (n == 0) delete this;
        return n;
    }
    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer && iid != IUnknown::IID_) return CLASS_E_NOAGGREGATION;
        IUnknown* inner = nullptr;
        try {
            inner = m_create(outer);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (!inner) return E_OUTOFMEMORY;
        // The creator hands out one reference; the query adds the caller's and
        // the release below drops the creator's, which destroys the object
        // when the query failed.
        HRESULT hr = inner->QueryInterface(iid, ppv);
        inner->Release();
        return hr;
    }
    HRESULT LockServer(bool lock) override {
        if (lock)
            ModuleLock();
        else
            ModuleUnlock();
        return S_OK;
    }

private:
    ~ClassFactory() = default;
    std::atomic<ULONG> m_refs{0};
    ObjectCreator m_create;
};

}  // namespace

ComModule::ComModule(std::vector<ClassEntry> classes, GUID libId, std::string modulePath)
    : m_classes(std::move(classes)), m_factories(m_classes.size(), nullptr), m_libId(libId),
      m_modulePath(std::move(modulePath)) {}

ComModule::~ComModule() { Term(); }

void ComModule::Term() {
    std::lock_guard lock(m_lock);
    for (auto*& f : m_factories) {
        if (f) f->Release();
        f = nullptr;
    }
}

HRESULT ComModule::GetClassObject(const CLSID& clsid, const IID& iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (size_t i = 0; i < m_classes.size(); ++i) {
        if (m_classes[i].clsid != clsid) continue;
        IClassFactory* factory;
        {
            std::lock_guard lock(m_lock);
            if (!m_factories[i]) {
                m_factories[i] = new (std::nothrow) ClassFactory(m_classes[i].create);
                if (!m_factories[i]) return E_OUTOFMEMORY;
                m_factories[i]->AddRef();
            }
            factory = m_factories[i];
        }
        return factory->QueryInterface(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComModule::CanUnloadNow() const { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

// ---- creation by class identifier ---------------------------------------------

namespace {
std::mutex g_providersLock;
std::vector<std::pair<std::string, ClassObjectProvider>>& Providers() {
    static std::vector<std::pair<std::string, ClassObjectProvider>> p;
    return p;
}
}  // namespace

void RegisterClassProvider(const std::string& name, ClassObjectProvider provider) {
    std::lock_guard lock(g_providersLock);
    for (auto& [n, p] : Providers())
        if (n == name) {
            p = std::move(provider);
            return;
        }
    Providers().emplace_back(name, std::move(provider));
}

void UnregisterClassProvider(const std::string& name) {
    std::lock_guard lock(g_providersLock);
    std::erase_if(Providers(), [&](auto& e) { return e.first == name; });
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, const IID& iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    std::vector<ClassObjectProvider> providers;
    {
        std::lock_guard lock(g_providersLock);
        for (auto& e : Providers()) providers.push_back(e.second);
    }
    for (auto& provider : providers) {
        ComPtr<IClassFactory> factory;
        HRESULT hr = provider(clsid, IClassFactory::IID_, factory.outVoid());
        if (hr == CLASS_E_CLASSNOTAVAILABLE) continue;
        if (FAILED(hr)) return hr;
        if (!factory) return E_POINTER;
        return factory->CreateInstance(outer, iid, ppv);
    }
    return REGDB_E_CLASSNOTREG;
}

HRESULT OleRun(IUnknown* object) {
    if (!object) return E_INVALIDARG;
    ComPtr<IRunnableObject> runnable;
    if (SUCCEEDED(object->QueryInterface(IRunnableObject::IID_, runnable.outVoid())) && runnable)
        return runnable->Run();
    return S_OK;
}

}  // namespace com
