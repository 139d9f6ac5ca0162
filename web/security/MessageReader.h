// The reader of the messages a browser sends over the console's socket.
//
// Every inbound message passes through here before anything acts on it.  It
// is refused, with an error text the page can show, when it is larger than
// 64 KiB, is not valid UTF-8, nests arrays and objects deeper than 32 levels
// (checked by a scan before the JSON parser runs, so nothing recurses on
// hostile depth), is not JSON, is not an object with a string "type", has a
// type this server does not know, or lacks a field the type needs or has it
// of the wrong kind.  Operator text fields (an action line, a user name) hold
// no control characters: a line break would smuggle a second action in (the
// one exception is an action's text continued on "line " lines).
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace web::security {

struct MessageLimits {
    std::size_t maxBytes = 64 * 1024;
    int maxDepth = 32;
    std::size_t maxTextField = 4096;  // bytes of one operator text field
};

enum class FieldKind {
    Text,        // a string without control characters, at most maxTextField bytes
    Action,      // one script action: Text of any length, except that a multi-line text goes on in
                 // lines that each start "line " (the scripts' continuation), so a
                 // line break cannot start a second action
    Name,        // a non-empty identifier: ASCII letters, digits, '_', '-', '.'
    Bool,
    Index,       // a whole number from 0 to 10^9
    Choice,      // one of the listed strings
};

struct FieldRule {
    std::string name;
    FieldKind kind;
    bool required = true;
    std::vector<std::string> choices = {};
};

struct MessageRule {
    std::string type;
    std::vector<FieldRule> fields;
};

// The messages the console's page sends.
const std::vector<MessageRule>& ConsoleMessageRules();

struct InboundMessage {
    std::string type;
    nlohmann::json body;  // the whole object, "type" included
};

struct ReadResult {
    std::optional<InboundMessage> message;
    std::string error;  // set when message is empty
    // The refusal broke a limit (size, UTF-8, nesting), not only the
    // protocol: a client that keeps doing that is cut off.
    bool limitBroken = false;
    bool ok() const { return message.has_value(); }
};

class MessageReader {
public:
    explicit MessageReader(MessageLimits limits = {}, std::vector<MessageRule> rules = ConsoleMessageRules());
    ReadResult Read(std::string_view bytes) const;
    const MessageLimits& Limits() const { return m_limits; }

private:
    std::string CheckField(const nlohmann::json& body, const FieldRule& rule) const;
    MessageLimits m_limits;
    std::vector<MessageRule> m_rules;
};

// Is the text valid UTF-8 (shortest forms only, no surrogates, at most U+10FFFF)?
bool IsValidUtf8(std::string_view text);
// The deepest nesting of arrays and objects in JSON text, counted without
// parsing; the scan stops once `stopAbove` is passed and returns that depth.
int JsonNestingDepth(std::string_view text, int stopAbove);

}  // namespace web::security
