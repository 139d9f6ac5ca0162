// The host's text exception and receipt definitions text, which criteria
// files hold too: a JSON array with one object a definition (keys as the
// definition's property names).
#pragma once
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace host {

// A fresh definition: every property at its reset value.
nlohmann::json BlankDefinition();
// A definition object of the text, with every property present and of its
// type; nullopt for anything else.
std::optional<nlohmann::json> ReadDefinition(const nlohmann::json& in);
// A definitions text read as the host reads it: nullopt when it is not one.
std::optional<nlohmann::json> ReadDefinitionsText(const std::string& text);
// The host's one-line description of a definition.
std::string DescribeDefinition(const nlohmann::json& definition);

}  // namespace host
