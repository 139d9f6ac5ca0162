// The result container that the IP Sources page hands to the device
// configuration editor: named values with a type, in the order added.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "interfaces/HostInterfaces.h"

class CIPConfigValues final : public host::IIPConfigValues {
public:
    // A new container with one reference, owned by the caller.
    static com::ComPtr<CIPConfigValues> Create();

    com::HRESULT QueryInterface(const com::IID& iid, void** ppv) override;
    com::ULONG AddRef() override { return ++m_refs; }
    com::ULONG Release() override;

    com::HRESULT AddValue(com::BSTR name, com::BSTR type, com::BSTR value) override;
    com::HRESULT get_Count(std::int32_t* count) override;
    com::HRESULT Item(std::int32_t index, com::BSTR* name, com::BSTR* type, com::BSTR* value) override;

    // Convenience for the page: adds an 8-bit text value.
    void Add(const std::string& name, const std::string& type, const std::string& value);

private:
    CIPConfigValues() = default;
    struct Value {
        std::u16string name, type, value;
    };
    std::vector<Value> m_values;
    std::atomic<com::ULONG> m_refs{0};
};
