#include "web/security/MessageReader.h"

#include <cctype>
#include <climits>

namespace web::security {

namespace {
constexpr long long kMaxIndex = 1'000'000'000;
}  // namespace

const std::vector<MessageRule>& ConsoleMessageRules() {
    static const std::vector<MessageRule> rules = {
        {"run", {{"operation", FieldKind::Name}}},
        {"action", {{"line", FieldKind::Action}}},
        {"answer", {{"box", FieldKind::Index, false}, {"answer", FieldKind::Choice, true, {"yes", "no", "ok", "cancel"}}}},
        {"reset", {}},
        {"record", {{"on", FieldKind::Bool}}},
        {"recording", {}},
        {"take", {}},
        {"handover", {{"to", FieldKind::Text}}},
        {"ping", {}},
    };
    return rules;
}

bool IsValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        // The bounds of the second byte, narrower after some lead bytes.
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) lo = 0xA0;       // no overlong forms
            if (c == 0xED) hi = 0x9F;       // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) lo = 0x90;       // no overlong forms
            if (c == 0xF4) hi = 0x8F;       // nothing above U+10FFFF
        } else {
            return false;  // continuation byte, C0/C1 overlong lead, F5..FF
        }
        if (end - p <= extra) return false;
        if (p[1] < lo || p[1] > hi) return false;
        for (int i = 2; i <= extra; ++i)
            if ((p[i] & 0xC0) != 0x80) return false;
        p += extra + 1;
    }
    return true;
}

int JsonNestingDepth(std::string_view text, int stopAbove) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"': inString = true; break;
        case '[':
        case '{':
            if (++depth > deepest) deepest = depth;
            if (deepest > stopAbove) return deepest;
            break;
        case ']':
        case '}':
            if (depth > 0) --depth;
            break;
        default: break;
        }
    }
    return deepest;
}

MessageReader::MessageReader(MessageLimits limits, std::vector<MessageRule> rules)
    : m_limits(limits), m_rules(std::move(rules)) {}

namespace {

bool HasControl(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

// Every line after the first continues the action's text.
bool ContinuesOnly(const std::string& s) {
    for (std::size_t nl = s.find('\n'); nl != std::string::npos; nl = s.find('\n', nl + 1))
        if (s.compare(nl + 1, 5, "line ") != 0) return false;
    return true;
}

bool HasControlBesidesLineBreaks(const std::string& s) {
    for (unsigned char c : s)
        if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
    return false;
}

bool IsName(const std::string& s) {
    if (s.empty() || s.size() > 128) return false;
    for (unsigned char c : s)
        if (!(std::isalnum(c) || c == '_' || c == '-' || c == '.')) return false;
    return true;
}

}  // namespace

std::string MessageReader::CheckField(const nlohmann::json& body, const FieldRule& rule) const {
    auto it = body.find(rule.name);
    const std::string field = "\"" + rule.name + "\"";
    auto needs = [&](const char* what) { return "needs " + std::string(what) + " " + field; };
    if (it == body.end()) {
        if (!rule.required) return {};
        switch (rule.kind) {
        case FieldKind::Bool: return needs("true or false");
        case FieldKind::Index: return needs("a number");
        default: return needs("a text");
        }
    }
    const nlohmann::json& v = *it;
    switch (rule.kind) {
    case FieldKind::Text:
        if (!v.is_string()) return needs("a text");
        if (v.get_ref<const std::string&>().size() > m_limits.maxTextField)
            return field + " is longer than " + std::to_string(m_limits.maxTextField) + " bytes";
        if (HasControl(v.get_ref<const std::string&>())) return field + " must not hold control characters";
        return {};
    case FieldKind::Action: {
        if (!v.is_string()) return needs("a text");
        // Bounded by the message's size only: an edit's text may be long.
        const auto& s = v.get_ref<const std::string&>();
        if (HasControlBesidesLineBreaks(s)) return field + " must not hold control characters";
        if (!ContinuesOnly(s)) return field + " holds more than one action (a new line must start \"line \")";
        return {};
    }
    case FieldKind::Name:
        if (!v.is_string()) return needs("a text");
        if (!IsName(v.get_ref<const std::string&>())) return field + " must be a name (letters, digits, '_', '-', '.')";
        return {};
    case FieldKind::Bool:
        return v.is_boolean() ? std::string() : needs("true or false");
    case FieldKind::Index:
        if (!v.is_number_integer()) return needs("a number");
        if (v.is_number_unsigned() ? v.get<unsigned long long>() > kMaxIndex
                                   : (v.get<long long>() < 0 || v.get<long long>() > kMaxIndex))
            return "no such " + rule.name;
        return {};
    case FieldKind::Choice:
        if (v.is_string())
            for (const auto& c : rule.choices)
                if (v.get_ref<const std::string&>() == c) return {};
        {
            std::string list;
            for (const auto& c : rule.choices) list += (list.empty() ? "" : "|") + c;
            return needs(("one of " + list).c_str());
        }
    }
    return field + " is of an unknown kind";
}

ReadResult MessageReader::Read(std::string_view bytes) const {
    ReadResult r;
    if (bytes.size() > m_limits.maxBytes) {
        r.error = "message too large: " + std::to_string(bytes.size()) + " bytes, at most " +
                  std::to_string(m_limits.maxBytes);
        r.limitBroken = true;
        return r;
    }
    if (!IsValidUtf8(bytes)) {
        r.error = "message is not valid UTF-8";
        r.limitBroken = true;
        return r;
    }
    if (JsonNestingDepth(bytes, m_limits.maxDepth) > m_limits.maxDepth) {
        r.error = "message nested deeper than " + std::to_string(m_limits.maxDepth);
        r.limitBroken = true;
        return r;
    }
    nlohmann::json body;
    try {
        body = nlohmann::json::parse(bytes.begin(), bytes.end());
    } catch (const nlohmann::json::parse_error& e) {
        // The position only: the parser's own text quotes the input back.
        r.error = "message is not JSON (at byte " + std::to_string(e.byte) + ")";
        return r;
    } catch (const nlohmann::json::exception&) {
        r.error = "message is not JSON";
        return r;
    }
    if (!body.is_object()) {
        r.error = "message is not a JSON object";
        return r;
    }
    auto type = body.find("type");
    if (type == body.end() || !type->is_string()) {
        r.error = "message has no \"type\" (a text)";
        return r;
    }
    const std::string& name = type->get_ref<const std::string&>();
    const MessageRule* rule = nullptr;
    for (const auto& m : m_rules)
        if (m.type == name) rule = &m;
    if (!rule) {
        // Quoted only when it is a plain name, so nothing odd is echoed back.
        r.error = IsName(name) ? "unknown message type \"" + name + "\"" : "unknown message type";
        return r;
    }
    for (const auto& f : rule->fields) {
        if (std::string e = CheckField(body, f); !e.empty()) {
            r.error = "\"" + name + "\": " + e;
            return r;
        }
    }
    r.message = InboundMessage{name, std::move(body)};
    return r;
}

}  // namespace web::security
