#include "network/IPConfigValues.h"

#include "platform/codepage/CodePage.h"

com::ComPtr<CIPConfigValues> CIPConfigValues::Create() { return com::ComPtr<CIPConfigValues>(new CIPConfigValues); }

com::HRESULT CIPConfigValues::QueryInterface(const com::IID& iid, void** ppv) {
    if (!ppv) return com::E_POINTER;
    *ppv = nullptr;
    if (iid == com::IUnknown::IID_ || iid == host::IIPConfigValues::IID_) {
        *ppv = static_cast<host::IIPConfigValues*>(this);
        AddRef();
        return com::S_OK;
    }
    return com::E_NOINTERFACE;
}

com::ULONG CIPConfigValues::Release() {
    com::ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
}

com::HRESULT CIPConfigValues::AddValue(com::BSTR name, com::BSTR type, com::BSTR value) {
    m_values.push_back({std::u16string(com::BstrView(name)), std::u16string(com::BstrView(type)),
                        std::u16string(com::BstrView(value))});
    return com::S_OK;
}

com::HRESULT CIPConfigValues::get_Count(std::int32_t* count) {
    if (!count) return com::E_POINTER;
    *count = static_cast<std::int32_t>(m_values.size());
    return com::S_OK;
}

com::HRESULT CIPConfigValues::Item(std::int32_t index, com::BSTR* name, com::BSTR* type, com::BSTR* value) {
    if (!name || !type || !value) return com::E_POINTER;
    if (index < 0 || index >= static_cast<std::int32_t>(m_values.size())) return com::E_INVALIDARG;
    const Value& v = m_values[static_cast<size_t>(index)];
    *name = com::SysAllocString(v.name);
    *type = com::SysAllocString(v.type);
    *value = com::SysAllocString(v.value);
    return com::S_OK;
}

void CIPConfigValues::Add(const std::string& name, const std::string& type, const std::string& value) {
    m_values.push_back({cp::AnsiToWide(name), cp::AnsiToWide(type), cp::AnsiToWide(value)});
}
