// The unit's text streams, served from its "textStreams" section.
#include "host/SimTextStreams.h"
#include "host/SimTextExceptions.h"

#include "platform/codepage/CodePage.h"

namespace host {

namespace {
using json = nlohmann::json;

// A text entry of the text stream section ("" when absent or not text).
std::string SectionText(const json& data, const char* key) {
    auto s = data.find("textStreams");
    if (s == data.end() || !s->is_object()) return {};
    auto it = s->find(key);
    return it != s->end() && it->is_string() ? cp::Utf8ToAnsi(it->get<std::string>()) : std::string{};
}
}  // namespace

HRESULT SimTextStreamsUISupport::GetAvailableComPorts(BSTR* ports) {
    return m_unit.Query("GetAvailableComPorts", "", ports, [&](const json& data) {
        *ports = cp::ToBstr(SectionText(data, "availableComPorts"));
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetUsedTextIPPorts(BSTR* ports) {
    return m_unit.Query("GetUsedTextIPPorts", "", ports, [&](const json& data) {
        *ports = cp::ToBstr(SectionText(data, "usedTextIPPorts"));
        return com::S_OK;
    });
}

HRESULT SimTextStreamsUISupport::GetNetworkIdentity(BSTR* networkName, BSTR* ipAddress) {
    if (HRESULT hr = m_unit.Enter("GetNetworkIdentity", "", false); com::FAILED(hr)) return hr;
    if (!networkName || !ipAddress) return com::E_POINTER;
    std::lock_guard l(m_unit.DataMutex());
    *networkName = cp::ToBstr(SectionText(m_unit.Data(), "networkName"));
    *ipAddress = cp::ToBstr(SectionText(m_unit.Data(), "ipAddress"));
    return com::S_OK;
}

void RegisterTextStreamHostClasses(SimulatedUnit& unit) { RegisterTextDefinitionHostClasses(unit); }

}  // namespace host
