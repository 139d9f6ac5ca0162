// The unit's text exception and receipt definitions, served from its
// "textDefinitions" section.
//
// The host's definitions text is a JSON array with one object a
// definition (keys as the definition's property names); criteria files
// hold the same text.  Section keys: "definitions" (that array), "inUse"
// (identifiers that a stream monitors with), "streams" (objects with
// "name" and "id"; when absent the names of the "textStreams" section
// are used), "transactions" (object: stream id -> array of text pieces).
#pragma once
#include <optional>

#include "simulator/DefinitionsText.h"
#include "simulator/SimulatedUnit.h"

namespace host {

class SimTextExceptionsUISupport final : public SimObject<ITextExceptionsUISupport> {
public:
    using SimObject::SimObject;
    HRESULT GetDefinitionsText(BSTR* text) override;
    HRESULT SetDefinitionsText(BSTR text, std::int16_t* result) override;
    HRESULT ImportDefinitionsText(BSTR fileContent, std::int16_t* result) override;
    HRESULT ExportDefinitionsText(const std::int32_t* ids, std::int32_t count, BSTR* text,
                                  std::int32_t* reserved) override;
    HRESULT GetTextStreamList(BSTR* names, BSTR* ids) override;
    HRESULT GetTransactionData(std::int32_t mode, std::int32_t streamId, std::int32_t* pos1, std::int32_t* pos2,
                               std::int32_t* pos3, BSTR* piece, std::int32_t* count) override;
    HRESULT IsDefinitionInUse(std::int32_t id, std::int16_t* inUse) override;
};

void RegisterTextDefinitionHostClasses(SimulatedUnit& unit);

}  // namespace host
