// The unit file's format, written down as a JSON Schema
// (apps/units/unit.schema.json, built into the program), and the check of a
// unit against it.
//
// The check understands the part of JSON Schema that the format uses: "type"
// (one or a list), "properties", "additionalProperties", "required",
// "items", "minItems", "maxItems", "minimum", "maximum", "enum" and local
// "$ref"s ("#/$defs/NAME"); descriptive keywords are ignored.
#pragma once
#include <string>

#include <nlohmann/json.hpp>

namespace host {

// The first place where value breaks schema, as "PATH: what was expected"
// (PATH like textStreams.streams[2].IpPort), or "" when it conforms.
std::string CheckAgainstSchema(const nlohmann::json& value, const nlohmann::json& schema);

// The unit file's schema and the check of unit data against it.
const nlohmann::json& UnitSchema();
std::string CheckUnitData(const nlohmann::json& unit);

}  // namespace host
