// IUnknown, IDispatch, reference-counted object base and smart pointer.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/com/Hresult.h"

namespace com {

using ULONG = std::uint32_t;

struct IUnknown {
    static constexpr IID IID_ = MakeGuid(0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});
    virtual HRESULT QueryInterface(const IID& iid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Automation value: the subset of VARIANT that the dispatch path needs.
struct VARIANT {
    enum class Type { Empty, I2, I4, R8, Bstr, Unknown, ByRefI2, ByRefI4, ByRefBstr, I8 };
    Type vt = Type::Empty;
    std::int16_t iVal = 0;
    std::int32_t lVal = 0;
    std::int64_t llVal = 0;
    double dblVal = 0;
    BSTR bstrVal = nullptr;      // not owned
    IUnknown* punkVal = nullptr;  // not owned
    std::int16_t* piVal = nullptr;
    std::int32_t* plVal = nullptr;
    BSTR* pbstrVal = nullptr;
};

// Type information of a dispatch interface, as late-bound callers read it:
// its members' names, dispatch ids, parameters and help strings.  The
// descriptions are filled into the caller's own structures.
constexpr std::int32_t MEMBERID_NIL = -1;  // the type itself, in GetDocumentation

enum class TypeKind { Dispatch, Interface, CoClass };

struct TYPEATTR {
    GUID guid{};
    std::uint32_t lcid = 0;
    TypeKind typekind = TypeKind::Dispatch;
    unsigned short cFuncs = 0;
    unsigned short wMajorVerNum = 0, wMinorVerNum = 0;
    bool dual = false;
};

// Parameter direction flags, with the platform's values.
constexpr unsigned short PARAMFLAG_FIN = 0x1;
constexpr unsigned short PARAMFLAG_FOUT = 0x2;
constexpr unsigned short PARAMFLAG_FRETVAL = 0x8;

struct ELEMDESC {
    VARIANT::Type vt = VARIANT::Type::Empty;  // the type Invoke takes for it
    unsigned short paramFlags = 0;
};

struct FUNCDESC {
    std::int32_t memid = 0;
    std::vector<ELEMDESC> params;  // in declaration order, the retval last
    short oVft = 0;                // slot in the interface's table, after IDispatch's
};

struct ITypeInfo : IUnknown {
    static constexpr IID IID_ = MakeGuid(0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});
    virtual HRESULT GetTypeAttr(TYPEATTR* attr) = 0;
    // index from 0 to cFuncs - 1; TYPE_E_ELEMENTNOTFOUND beyond.
    virtual HRESULT GetFuncDesc(unsigned index, FUNCDESC* desc) = 0;
    // The member's name, then its parameters' names.
    virtual HRESULT GetNames(std::int32_t memid, std::vector<std::u16string>* names) = 0;
    virtual HRESULT GetIDsOfNames(const std::u16string& name, std::int32_t* memid) = 0;
    // Each out pointer may be null; MEMBERID_NIL describes the type itself.
    virtual HRESULT GetDocumentation(std::int32_t memid, BSTR* name, BSTR* docString, std::uint32_t* helpContext,
                                     BSTR* helpFile) = 0;
};

struct IDispatch : IUnknown {
    static constexpr IID IID_ = MakeGuid(0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46});
    virtual HRESULT GetTypeInfoCount(unsigned* count) = 0;
    // index 0 is the only one (DISP_E_BADINDEX otherwise); the caller
    // releases the answer.
    virtual HRESULT GetTypeInfo(unsigned index, std::uint32_t lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(const std::u16string& name, std::int32_t* dispid) = 0;
    // Arguments in declaration order (not reversed as the platform's DISPPARAMS).
    virtual HRESULT Invoke(std::int32_t dispid, std::vector<VARIANT>& args) = 0;
};

// Module lock count: every live object of the component and every server lock
// taken through a class factory holds one.
void ModuleLock();
void ModuleUnlock();
long ModuleLockCount();

// Smart pointer that holds one reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    explicit ComPtr(T* p, bool addRef = true) : m_p(p) { if (m_p && addRef) m_p->AddRef(); }
    ComPtr(const ComPtr& o) : m_p(o.m_p) { if (m_p) m_p->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ComPtr& operator=(ComPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }
    ~ComPtr() { if (m_p) m_p->Release(); }

    static ComPtr Attach(T* p) { return ComPtr(p, false); }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** out() { reset(); return &m_p; }
    void** outVoid() { reset(); return reinterpret_cast<void**>(&m_p); }
    void reset() { if (m_p) { T* p = m_p; m_p = nullptr; p->Release(); } }
    T* detach() { T* p = m_p; m_p = nullptr; return p; }

    template <class U>
    HRESULT As(ComPtr<U>& out) const {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(U::IID_, out.outVoid());
    }

private:
    T* m_p = nullptr;
};

// Reference-counted implementation base for objects that may be aggregated.
// Derived classes implement QueryInterfaceImpl for their own interfaces; the
// base answers IUnknown and delegates to the outer object when aggregated.
class ComObjectBase {
public:
    explicit ComObjectBase(IUnknown* outer, bool holdsModuleLock = true);
    virtual ~ComObjectBase();
    ComObjectBase(const ComObjectBase&) = delete;
    ComObjectBase& operator=(const ComObjectBase&) = delete;

    // The non-delegating IUnknown handed to an aggregating outer object.
    IUnknown* InnerUnknown() { return &m_inner; }
    ULONG RefCount() const { return m_refs.load(); }

protected:
    // Answer own interfaces (not IUnknown); E_NOINTERFACE otherwise.
    virtual HRESULT QueryInterfaceImpl(const IID& iid, void** ppv) = 0;
    // Own IUnknown methods of the derived interfaces call these.
    HRESULT OuterQueryInterface(const IID& iid, void** ppv);
    ULONG OuterAddRef();
    ULONG OuterRelease();
    // Identity IUnknown pointer of this object (the outer one when aggregated).
    IUnknown* Identity();

private:
    struct Inner : IUnknown {
        ComObjectBase* self;
        explicit Inner(ComObjectBase* s) : self(s) {}
        HRESULT QueryInterface(const IID& iid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
    };
    friend struct Inner;
    HRESULT InnerQueryInterface(const IID& iid, void** ppv);
    ULONG InnerAddRef();
    ULONG InnerRelease();

    std::atomic<ULONG> m_refs{0};
    IUnknown* m_outer;
    Inner m_inner{this};
    bool m_holdsModuleLock;
};

// Implements the three IUnknown methods of interface I over ComObjectBase.
#define MIRELLE_IUNKNOWN_IMPL()                                                              \
    com::HRESULT QueryInterface(const com::IID& iid, void** ppv) override {                 \
        return OuterQueryInterface(iid, ppv);                                                \
    }                                                                                        \
    com::ULONG AddRef() override { return OuterAddRef(); }                                   \
    com::ULONG Release() override { return OuterRelease(); }

}  // namespace com
