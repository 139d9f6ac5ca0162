#pragma once
#include "host/SimulatedUnit.h"

namespace host {

// Placeholder answers until the unit serves its definitions.
class SimTextExceptionsUISupport final : public SimObject<ITextExceptionsUISupport> {
public:
    using SimObject::SimObject;
    HRESULT GetDefinitionsText(BSTR*) override { return com::E_NOTIMPL; }
    HRESULT SetDefinitionsText(BSTR, std::int16_t*) override { return com::E_NOTIMPL; }
    HRESULT ImportDefinitionsText(BSTR, std::int16_t*) override { return com::E_NOTIMPL; }
    HRESULT ExportDefinitionsText(const std::int32_t*, std::int32_t, BSTR*, std::int32_t*) override {
        return com::E_NOTIMPL;
    }
    HRESULT GetTextStreamList(BSTR*, BSTR*) override { return com::E_NOTIMPL; }
    HRESULT GetTransactionData(std::int32_t, std::int32_t, std::int32_t*, std::int32_t*, std::int32_t*, BSTR*,
                               std::int32_t*) override {
        return com::E_NOTIMPL;
    }
    HRESULT IsDefinitionInUse(std::int32_t, std::int16_t*) override { return com::E_NOTIMPL; }
};

}  // namespace host
