// The unit's "ipSources" section, shared by the IP source operations of
// ISetupUISupport and the simulated device configuration editor.
#pragma once
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace host::ipsrc {
// The section, made an object with "devices" and "sources" arrays if needed.
nlohmann::json& Section(nlohmann::json& unit);
// The IPSourceConfig text of the section (or its "configXml" override).
std::string ConfigXml(nlohmann::json& unit);
nlohmann::json* FindSource(nlohmann::json& unit, std::int32_t id);
nlohmann::json* FindDevice(nlohmann::json& unit, const std::string& guid);
// Takes "address=...;cameras=..." pairs of an editor result into the source.
void ApplyResult(nlohmann::json& source, const std::string& result);
}  // namespace host::ipsrc
