// The server side of COM that each module links for itself: the module lock
// count, the object base, class factories and the class table.  Every module
// (and every host that serves objects of its own) has its own copy, so the
// lock count of one never keeps another loaded.
#include <atomic>
#include <mutex>
#include <new>

#include "platform/com/ClassTable.h"
#include "platform/com/Hresult.h"
#include "platform/com/Unknown.h"

namespace com {

// ---- module lock and object base -------------------------------------------

static std::atomic<long> g_moduleLocks{0};
void ModuleLock() { ++g_moduleLocks; }
// An unbalanced unlock (a host calling LockServer(FALSE) once too often) is
// ignored: a count below zero would keep the module loaded for good.
void ModuleUnlock() {
    long n = g_moduleLocks.load();
    while (n > 0 && !g_moduleLocks.compare_exchange_weak(n, n - 1)) {
    }
}
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

}  // namespace com
