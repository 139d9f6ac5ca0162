#include "simulator/DefinitionsText.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace host {

using nlohmann::json;

namespace {

constexpr const char* kTextKeys[] = {"Name", "Match", "StringValue", "BeginMarker", "EndMarker"};
constexpr const char* kNumberKeys[] = {"Id",     "JumpCount", "Operator", "Forward",  "IsString",      "Value1",
                                       "Value2", "IsReceipt", "ToLastEntry", "ReceiptFlag", "EndMarkerFlag"};

}  // namespace

json BlankDefinition() {
    json d = json::object();
    for (const char* k : kTextKeys) d[k] = "";
    for (const char* k : kNumberKeys) d[k] = 0;
    d["Forward"] = 1;
    d["Operator"] = 4;
    d["Id"] = -1;
    return d;
}

std::optional<json> ReadDefinition(const json& in) {
    if (!in.is_object()) return std::nullopt;
    json d = BlankDefinition();
    for (auto it = in.begin(); it != in.end(); ++it) {
        if (!d.contains(it.key())) return std::nullopt;
        if (d[it.key()].is_string() != it->is_string()) return std::nullopt;
        if (!it->is_string() && !it->is_number()) return std::nullopt;
        d[it.key()] = *it;
    }
    // Every property but the two amounts is an integer of its property's
    // width; the identifier runs from 0 to 127.
    auto fits = [&](const char* k, long lo, long hi) {
        const json& v = d[k];
        if (v.is_number_unsigned()) return v.get<std::uint64_t>() <= static_cast<std::uint64_t>(hi);
        return v.is_number_integer() && v.get<long>() >= lo && v.get<long>() <= hi;
    };
    for (const char* k : kNumberKeys) {
        std::string_view key(k);
        if (key == "Value1" || key == "Value2") continue;
        bool narrow = key == "JumpCount" || key == "Operator";
        if (!fits(k, narrow ? INT16_MIN : INT32_MIN, narrow ? INT16_MAX : INT32_MAX)) return std::nullopt;
    }
    if (!fits("Id", 0, 127)) return std::nullopt;
    return d;
}

std::optional<json> ReadDefinitionsText(const std::string& text) {
    json in = json::parse(text, nullptr, false);
    if (in.is_discarded() || !in.is_array()) return std::nullopt;
    json out = json::array();
    for (const json& d : in) {
        auto def = ReadDefinition(d);
        if (!def) return std::nullopt;
        out.push_back(*def);
    }
    return out;
}

std::string DescribeDefinition(const json& d) {
    auto text = [&](const char* k) { return d.value(k, std::string{}); };
    auto number = [&](const char* k) { return d.value(k, 0.0); };
    char amount[64];
    if (number("IsReceipt") != 0) {
        std::string s = "Receipt begins at '" + text("BeginMarker") + "'";
        if (!text("EndMarker").empty()) s += ", ends at '" + text("EndMarker") + "'";
        return s;
    }
    std::string s = "Match '" + text("Match") + "' " + (number("Forward") != 0 ? "forward " : "backward ");
    s += number("ToLastEntry") != 0 ? std::string("to last entry") : std::to_string(static_cast<int>(number("JumpCount")));
    s += ": ";
    int op = static_cast<int>(number("Operator"));
    if (number("IsString") != 0) return s + "equal to '" + text("StringValue") + "'";
    static const char* const kOps[] = {"less than ", "greater than ", "equal to ", "between ", "found"};
    if (op < 0 || op > 4) return s + "?";
    s += kOps[op];
    if (op == 4) return s;
    std::snprintf(amount, sizeof amount, "%0.2f", number("Value1"));
    s += amount;
    if (op == 3) {
        std::snprintf(amount, sizeof amount, " and %0.2f", number("Value2"));
        s += amount;
    }
    return s;
}

}  // namespace host
