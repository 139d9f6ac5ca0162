// The unit file's text: its format, written down as a JSON Schema
// (apps/units/unit.schema.json, built into the program) and the check of a
// unit against it; its layout; and the edit that writes a run's changes into
// it.
//
// The check understands the part of JSON Schema that the format uses: "type"
// (one or a list), "properties", "additionalProperties", "required",
// "items", "minItems", "maxItems", "minimum", "maximum", "enum" and local
// "$ref"s ("#/$defs/NAME"); descriptive keywords are ignored.
#pragma once
#include <string>

#include <nlohmann/json.hpp>

namespace host {

// How deep a unit file's values may nest (the format itself needs five
// levels).  Deeper files are refused by the reader and never written, so
// that nothing walks them recursively.
constexpr int kMaxUnitNesting = 64;
// The depth of the deepest value of v (a number or string is 0, [] is 1).
int NestingDepth(const nlohmann::json& v);
int NestingDepth(const nlohmann::ordered_json& v);

// The first place where value breaks schema, as "PATH: what was expected"
// (PATH like textStreams.streams[2].IpPort), or "" when it conforms.
std::string CheckAgainstSchema(const nlohmann::json& value, const nlohmann::json& schema);

// The unit file's schema and the check of unit data against it.
const nlohmann::json& UnitSchema();
std::string CheckUnitData(const nlohmann::json& unit);

// Edits file, which held before, so that it holds after: values that did not
// change keep their place, members that changed are replaced where they
// stand, new ones are appended, removed ones are erased.
void EditUnitFile(nlohmann::ordered_json& file, const nlohmann::json& before, const nlohmann::json& after);

// The text of a unit file as it is written: one line per member of the
// file's object; below that a value that fits a 120-column line stays on one
// line, others take a line per member, indented by two.  A file in this
// layout comes back unchanged, so a write-back changes only the lines of the
// values that changed.
std::string FormatUnitFile(const nlohmann::ordered_json& file);

}  // namespace host
