// Header-only helpers for the COM objects a host serves: the support
// interfaces it hands to SetupUI's operations, the host system object and the
// other classes the component creates by class identifier, and their class
// factories.  Nothing here needs a library beyond the system library.
//
//   class MySupport final : public com::HostObject<host::ISetupUISupport> { ... };
//   auto support = com::MakeHostObject<MySupport>(args...);     // ComPtr<MySupport>
//
//   std::uint32_t cookie;
//   com::RegisterHostClass<MySystemObject>(host::CLSID_HostSystemObject, &cookie);
//   ...
//   com::CoRevokeClassObject(cookie);
#pragma once
#include <atomic>
#include <functional>
#include <new>
#include <tuple>
#include <utility>

#include "platform/com/ClassTable.h"
#include "platform/com/Unknown.h"

namespace com {

// A reference-counted object implementing the interfaces Is (each derived
// from IUnknown, each with its IID_): QueryInterface answers IUnknown (as the
// first interface) and each of them; the last Release deletes the object.
template <class... Is>
class HostObject : public Is... {
    static_assert(sizeof...(Is) > 0, "name at least one interface");

public:
    // The interface that stands for IUnknown.
    using FirstInterface = std::tuple_element_t<0, std::tuple<Is...>>;

    HRESULT QueryInterface(const IID& iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (iid == IUnknown::IID_) {
            *ppv = static_cast<FirstInterface*>(this);
        } else {
            // The first interface whose IID matches.
            ((*ppv == nullptr && iid == Is::IID_ ? (void)(*ppv = static_cast<Is*>(this)) : (void)0), ...);
        }
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG n = --m_refs;
        if (n == 0) delete this;
        return n;
    }

protected:
    HostObject() = default;
    virtual ~HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

private:
    std::atomic<ULONG> m_refs{0};
};

// Creates a T (a HostObject) with one reference, held by the pointer.
template <class T, class... Args>
ComPtr<T> MakeHostObject(Args&&... args) {
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

// A class factory over a function that makes a new object (with no
// reference yet; null when it cannot).  Aggregation is refused.
class HostClassFactory final : public HostObject<IClassFactory> {
public:
    explicit HostClassFactory(std::function<IUnknown*()> create) : m_create(std::move(create)) {}
    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IUnknown* object = nullptr;
        try {
            object = m_create();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
        if (!object) return E_OUTOFMEMORY;
        object->AddRef();
        HRESULT hr = object->QueryInterface(iid, ppv);
        object->Release();
        return hr;
    }
    HRESULT LockServer(bool) override { return S_OK; }

private:
    std::function<IUnknown*()> m_create;
};

// Makes class clsid of this process: CoCreateInstance(clsid) creates a T
// from args (copied into the factory) until CoRevokeClassObject(*cookie).
template <class T, class... Args>
HRESULT RegisterHostClass(const CLSID& clsid, std::uint32_t* cookie, Args... args) {
    auto factory = MakeHostObject<HostClassFactory>([=]() -> IUnknown* {
        T* object = new T(args...);
        return static_cast<IUnknown*>(static_cast<typename T::FirstInterface*>(object));
    });
    return CoRegisterClassObject(clsid, factory.get(), cookie);
}

}  // namespace com
