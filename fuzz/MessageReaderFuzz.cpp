// The web console's socket message reader on arbitrary bytes: it answers a
// message of a known type or an error text, never anything else, and what it
// accepts is valid UTF-8 JSON within the limits.  Small limits are tried too,
// so the size and nesting checks are reached by short inputs.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "web/security/MessageReader.h"

using web::security::MessageLimits;
using web::security::MessageReader;

namespace {

void Check(const MessageReader& reader, std::string_view bytes) {
    auto r = reader.Read(bytes);
    if (!r.ok()) {
        if (r.error.empty()) std::abort();
        return;
    }
    const auto& limits = reader.Limits();
    if (bytes.size() > limits.maxBytes) std::abort();
    if (!web::security::IsValidUtf8(bytes)) std::abort();
    if (web::security::JsonNestingDepth(bytes, limits.maxDepth) > limits.maxDepth) std::abort();
    if (!r.message->body.is_object()) std::abort();
    auto type = r.message->body.find("type");
    if (type == r.message->body.end() || !type->is_string() || *type != r.message->type) std::abort();
    bool known = false;
    for (const auto& rule : web::security::ConsoleMessageRules()) known |= rule.type == r.message->type;
    if (!known) std::abort();
    // Whatever was accepted survives a round trip through the serializer.
    if (nlohmann::json::parse(r.message->body.dump()) != r.message->body) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MessageReader reader;
    static const MessageReader tight(MessageLimits{256, 4, 16});
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(reader, bytes);
    Check(tight, bytes);
    return 0;
}
