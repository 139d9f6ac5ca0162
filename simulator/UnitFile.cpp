#include "simulator/UnitFile.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace host {

extern const char* const kUnitSchemaText;  // generated from apps/units/unit.schema.json

namespace {

using nlohmann::json;

std::string TypeOf(const json& v) {
    switch (v.type()) {
        case json::value_t::object: return "object";
        case json::value_t::array: return "array";
        case json::value_t::string: return "string";
        case json::value_t::boolean: return "boolean";
        case json::value_t::null: return "null";
        case json::value_t::number_integer:
        case json::value_t::number_unsigned: return "integer";
        default: return "number";
    }
}

bool HasType(const json& v, const std::string& type) {
    std::string t = TypeOf(v);
    return t == type || (type == "number" && t == "integer");
}

std::string TypeWords(const std::string& type) {
    if (type == "object") return "an object";
    if (type == "array") return "a list";
    if (type == "string") return "a string";
    if (type == "boolean") return "true or false";
    if (type == "null") return "null";
    if (type == "integer") return "an integer";
    return "a number";
}

std::string Number(const json& n) { return n.dump(); }

// "an integer from 0 to 65535", "a number of at least 1", ...
std::string Expected(const json& schema) {
    std::vector<std::string> types;
    if (auto t = schema.find("type"); t != schema.end()) {
        if (t->is_string()) types.push_back(*t);
        if (t->is_array())
            for (auto& e : *t) types.push_back(e.get<std::string>());
    }
    std::string out;
    for (auto& t : types) {
        std::string words = TypeWords(t);
        if (t == "integer" || t == "number") {
            auto lo = schema.find("minimum"), hi = schema.find("maximum");
            if (lo != schema.end() && hi != schema.end())
                words += " from " + Number(*lo) + " to " + Number(*hi);
            else if (lo != schema.end())
                words += " of at least " + Number(*lo);
            else if (hi != schema.end())
                words += " of at most " + Number(*hi);
        }
        out += (out.empty() ? "" : " or ") + words;
    }
    return "expected " + (out.empty() ? std::string("a value") : out);
}

class Checker {
public:
    explicit Checker(const json& root) : m_root(root) {}

    // Empty when value conforms to schema, else "PATH: problem".
    std::string Check(const json& value, const json& schema, const std::string& path) const {
        const json& s = Resolve(schema);
        if (!s.is_object()) return "";
        auto at = [&](const std::string& what) { return (path.empty() ? std::string("(unit)") : path) + ": " + what; };
        if (auto t = s.find("type"); t != s.end()) {
            bool ok = false;
            if (t->is_string()) ok = HasType(value, *t);
            if (t->is_array())
                for (auto& e : *t) ok = ok || HasType(value, e.get<std::string>());
            if (!ok) return at(Expected(s));
        }
        if (auto e = s.find("enum"); e != s.end() && e->is_array()) {
            bool found = false;
            std::string list;
            for (auto& x : *e) {
                found = found || x == value;
                list += (list.empty() ? "" : ", ") + x.dump();
            }
            if (!found) return at("expected one of " + list);
        }
        if (value.is_number()) {
            double v = value.get<double>();
            auto lo = s.find("minimum"), hi = s.find("maximum");
            if ((lo != s.end() && v < lo->get<double>()) || (hi != s.end() && v > hi->get<double>()))
                return at(Expected(s));
        }
        if (value.is_array()) {
            if (auto m = s.find("maxItems"); m != s.end() && value.size() > m->get<size_t>())
                return at("expected at most " + Number(*m) + " items, found " + std::to_string(value.size()));
            if (auto m = s.find("minItems"); m != s.end() && value.size() < m->get<size_t>())
                return at("expected at least " + Number(*m) + " items, found " + std::to_string(value.size()));
            if (auto items = s.find("items"); items != s.end())
                for (size_t i = 0; i < value.size(); ++i)
                    if (auto p = Check(value[i], *items, path + "[" + std::to_string(i) + "]"); !p.empty())
                        return p;
        }
        if (value.is_object()) {
            std::string prefix = path.empty() ? "" : path + ".";
            if (auto r = s.find("required"); r != s.end())
                for (auto& key : *r)
                    if (!value.contains(key.get<std::string>())) return prefix + key.get<std::string>() + ": missing";
            auto props = s.find("properties");
            auto extra = s.find("additionalProperties");
            for (auto& [k, v] : value.items()) {
                if (props != s.end() && props->contains(k)) {
                    if (auto p = Check(v, (*props)[k], prefix + k); !p.empty()) return p;
                } else if (extra != s.end()) {
                    if (extra->is_boolean() && !extra->get<bool>()) return prefix + k + ": unknown field";
                    if (auto p = Check(v, *extra, prefix + k); !p.empty()) return p;
                }
            }
        }
        return "";
    }

private:
    const json& Resolve(const json& schema) const {
        const json* s = &schema;
        for (int depth = 0; depth < 16 && s->is_object() && s->contains("$ref"); ++depth) {
            std::string ref = (*s)["$ref"].get<std::string>();
            if (ref.rfind("#", 0) != 0) throw std::invalid_argument("schema reference " + ref + " is not local");
            s = &m_root.at(json::json_pointer(ref.substr(1)));
        }
        return *s;
    }
    const json& m_root;
};

}  // namespace

std::string CheckAgainstSchema(const json& value, const json& schema) { return Checker(schema).Check(value, schema, ""); }

const json& UnitSchema() {
    static const json schema = json::parse(kUnitSchemaText);
    return schema;
}

std::string CheckUnitData(const json& unit) { return CheckAgainstSchema(unit, UnitSchema()); }

namespace {

// Edits file, which held before, so that it holds after: values that did not
// change keep their text and place, members that changed are replaced where
// they stand, new ones are appended, removed ones are erased.  Arrays of the
// same length are edited element by element (a renamed camera keeps its other
// members as they were); others are replaced whole.
void EditFileValue(nlohmann::ordered_json& file, const nlohmann::json& before, const nlohmann::json& after) {
    if (before == after) return;
    if (after.is_object() && before.is_object() && file.is_object()) {
        for (auto& [k, v] : after.items()) {
            auto b = before.find(k);
            if (b != before.end() && *b == v) continue;
            auto f = file.find(k);
            if (b != before.end() && f != file.end())
                EditFileValue(*f, *b, v);
            else
                file[k] = nlohmann::ordered_json(v);
        }
        for (auto& [k, v] : before.items())
            if (!after.contains(k)) file.erase(k);
        return;
    }
    if (after.is_array() && before.is_array() && file.is_array() && after.size() == before.size() &&
        file.size() == before.size()) {
        for (size_t i = 0; i < after.size(); ++i) EditFileValue(file[i], before[i], after[i]);
        return;
    }
    file = nlohmann::ordered_json(after);
}

// A value on one line: members separated by ", " and ": ".
std::string Inline(const nlohmann::ordered_json& v) {
    if (v.is_object()) {
        std::string out = "{";
        bool first = true;
        for (auto& [k, m] : v.items()) {
            out += (first ? "" : ", ") + nlohmann::ordered_json(k).dump() + ": " + Inline(m);
            first = false;
        }
        return out + "}";
    }
    if (v.is_array()) {
        std::string out = "[";
        for (size_t i = 0; i < v.size(); ++i) out += (i ? ", " : "") + Inline(v[i]);
        return out + "]";
    }
    return v.dump();
}

// The unit file's layout: one line per member of the file's object; below
// that a value that fits the line stays on one line, others take a line per
// member, indented by two.  A file in this layout
// comes back unchanged, so a write-back changes only the lines of the
// values that changed.
// lead is the width of what stands before the value on its line.
void Format(const nlohmann::ordered_json& v, size_t indent, size_t lead, std::string& out) {
    constexpr size_t kWidth = 120;
    std::string flat = Inline(v);
    if ((!v.is_object() && !v.is_array()) || v.empty() || (indent > 0 && lead + flat.size() <= kWidth)) {
        out += flat;
        return;
    }
    std::string pad(indent + 2, ' ');
    bool object = v.is_object();
    out += object ? "{\n" : "[\n";
    size_t i = 0;
    for (auto it = v.begin(); it != v.end(); ++it, ++i) {
        std::string head = pad + (object ? nlohmann::ordered_json(it.key()).dump() + ": " : std::string());
        out += head;
        Format(*it, indent + 2, head.size(), out);
        out += i + 1 < v.size() ? ",\n" : "\n";
    }
    out += std::string(indent, ' ') + (object ? "}" : "]");
}

}  // namespace

void EditUnitFile(nlohmann::ordered_json& file, const nlohmann::json& before, const nlohmann::json& after) {
    EditFileValue(file, before, after);
}

namespace {
// Depth without recursion: a value's depth is found with an explicit stack,
// so an over-deep value sent here is measured, not walked on the call stack.
template <class J>
int Depth(const J& root) {
    struct Entry {
        const J* value;
        int depth;
    };
    std::vector<Entry> stack{{&root, 0}};
    int deepest = 0;
    while (!stack.empty()) {
        auto [v, d] = stack.back();
        stack.pop_back();
        if (!v->is_structured()) continue;
        deepest = std::max(deepest, d + 1);
        for (const auto& child : *v) stack.push_back({&child, d + 1});
    }
    return deepest;
}
}  // namespace

int NestingDepth(const nlohmann::json& v) { return Depth(v); }
int NestingDepth(const nlohmann::ordered_json& v) { return Depth(v); }

std::string FormatUnitFile(const nlohmann::ordered_json& file) {
    std::string out;
    Format(file, 0, 0, out);
    return out + "\n";
}

}  // namespace host
