// The type information of ISetupUI, made from the type library data: what a
// late-bound host reads to find the operations, their dispatch ids,
// parameters and help strings.
#include <new>

#include "foundation/HostStrings.h"
#include "interfaces/ISetupUI.h"
#include "module/TypeLibrary.h"
#include "platform/codepage/CodePage.h"

namespace mirelle {

namespace {

using com::HRESULT;

class CSetupUITypeInfo final : public com::ComObjectBase, public com::ITypeInfo {
public:
    // Each live type information holds a module lock, like any object of
    // the module: the data it reads stays loaded.
    CSetupUITypeInfo() : com::ComObjectBase(nullptr) {}
    MIRELLE_IUNKNOWN_IMPL()

    HRESULT GetTypeAttr(com::TYPEATTR* attr) override {
        if (!attr) return com::E_POINTER;
        const auto& lib = MirelleTypeLibrary();
        *attr = com::TYPEATTR{};
        attr->guid = ISetupUI::IID_;
        attr->lcid = lib.lcid;
        attr->typekind = com::TypeKind::Dispatch;
        attr->cFuncs = static_cast<unsigned short>(lib.setupUIMethods.size());
        attr->wMajorVerNum = static_cast<unsigned short>(lib.major);
        attr->wMinorVerNum = static_cast<unsigned short>(lib.minor);
        attr->dual = true;
        return com::S_OK;
    }

    HRESULT GetFuncDesc(unsigned index, com::FUNCDESC* desc) override {
        if (!desc) return com::E_POINTER;
        const auto& methods = MirelleTypeLibrary().setupUIMethods;
        if (index >= methods.size()) return com::TYPE_E_ELEMENTNOTFOUND;
        const auto& m = methods[index];
        desc->memid = m.dispid;
        desc->params.clear();
        for (const auto& p : m.params) desc->params.push_back({p.vt, p.flags});
        // IUnknown's three slots and IDispatch's four come first.
        desc->oVft = static_cast<short>((7 + index) * sizeof(void*));
        return com::S_OK;
    }

    HRESULT GetNames(std::int32_t memid, std::vector<std::u16string>* names) override {
        if (!names) return com::E_POINTER;
        names->clear();
        const TypeLibMethod* m = SetupUIMethod(memid);
        if (!m) return com::TYPE_E_ELEMENTNOTFOUND;
        names->push_back(cp::AnsiToWide(m->name));
        for (const auto& p : m->params) names->push_back(cp::AnsiToWide(p.name));
        return com::S_OK;
    }

    HRESULT GetIDsOfNames(const std::u16string& name, std::int32_t* memid) override {
        if (!memid) return com::E_POINTER;
        const TypeLibMethod* m = FindSetupUIMethod(cp::WideToAnsi(name));
        *memid = m ? m->dispid : com::MEMBERID_NIL;
        return m ? com::S_OK : com::DISP_E_UNKNOWNNAME;
    }

    HRESULT GetDocumentation(std::int32_t memid, com::BSTR* name, com::BSTR* docString, std::uint32_t* helpContext,
                             com::BSTR* helpFile) override {
        const char* n = nullptr;
        const char* doc = nullptr;
        if (memid == com::MEMBERID_NIL) {
            n = "ISetupUI";
            for (const auto& e : MirelleTypeLibrary().entries)
                if (e.id == ISetupUI::IID_) doc = e.help;
        } else if (const TypeLibMethod* m = SetupUIMethod(memid)) {
            n = m->name;
            doc = m->help;
        } else {
            return com::TYPE_E_ELEMENTNOTFOUND;
        }
        // Every string is made before any is handed out, so that a failure
        // leaves the caller's pointers alone.
        com::Bstr nameText(cp::AnsiToWide(n)), docText(cp::AnsiToWide(doc ? doc : ""));
        if (!nameText.get() || !docText.get()) return com::E_OUTOFMEMORY;
        if (name) *name = nameText.detach();
        if (docString) *docString = docText.detach();
        if (helpContext) *helpContext = 0;
        if (helpFile) *helpFile = nullptr;  // the library names no help file
        return com::S_OK;
    }

protected:
    HRESULT QueryInterfaceImpl(const com::IID& iid, void** ppv) override {
        if (iid == com::ITypeInfo::IID_) {
            *ppv = static_cast<com::ITypeInfo*>(this);
            return com::S_OK;
        }
        return com::E_NOINTERFACE;
    }
};

}  // namespace

com::ITypeInfo* CreateSetupUITypeInfo() {
    auto* info = new (std::nothrow) CSetupUITypeInfo();
    if (!info) return nullptr;
    com::ITypeInfo* out = info;
    out->AddRef();
    return out;
}

}  // namespace mirelle
