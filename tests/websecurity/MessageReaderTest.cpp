#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "web/security/MessageReader.h"

using namespace web::security;

namespace {

std::string Nested(int depth, const std::string& open = "[", const std::string& close = "]") {
    std::string s = R"({"type":"ping","x":)";
    for (int i = 1; i < depth; ++i) s += open;
    s += "0";
    for (int i = 1; i < depth; ++i) s += close;
    return s + "}";
}

}  // namespace

TEST(MessageReader, AcceptsAndRefuses) {
    struct Case {
        std::string bytes;
        std::string type;   // expected type when accepted
        std::string error;  // expected part of the error when refused
    };
    const std::string big(64 * 1024 - 30, 'a');
    const std::vector<Case> cases = {
        {R"({"type":"ping"})", "ping", ""},
        {R"({"type":"run","operation":"ShowCameras"})", "run", ""},
        {R"({"type":"action","line":"set 1001 Front door"})", "action", ""},
        {R"({"type":"action","line":"set 1001 first\nline 1001 second\nline 1001 third"})", "action", ""},
        {R"({"type":"answer","box":3,"answer":"yes"})", "answer", ""},
        {R"({"type":"answer","answer":"cancel"})", "answer", ""},
        {R"({"type":"record","on":false})", "record", ""},
        {R"({"type":"handover","to":"bj\u00f6rn"})", "handover", ""},
        {R"({"type":"ping","extra":[1,2,{"a":null}]})", "ping", ""},
        {R"({"type":"action","line":")" + big + "\"}", "action", ""},
        // The envelope.
        {R"({"type":"action","line":")" + big + "aaaaaaaaaa\"}", "", "message too large: 65543 bytes, at most 65536"},
        {"{\"type\":\"ping\",\"x\":\"\xC3\x28\"}", "", "not valid UTF-8"},
        {"{\"type\":\"ping\",\"x\":\"\xED\xA0\x80\"}", "", "not valid UTF-8"},
        {R"({"type":"ping")", "", "is not JSON (at byte 15)"},
        {R"({"type":"ping"} {})", "", "is not JSON"},
        {"", "", "is not JSON"},
        {R"({"type":"ping","x":"\ud800"})", "", "is not JSON"},
        {R"(["ping"])", "", "is not a JSON object"},
        {R"("ping")", "", "is not a JSON object"},
        {R"({"kind":"ping"})", "", "has no \"type\""},
        {R"({"type":7})", "", "has no \"type\""},
        {R"({"type":"format"})", "", "unknown message type \"format\""},
        {R"({"type":"<script>"})", "", "unknown message type"},
        // The fields.
        {R"({"type":"run"})", "", "\"run\": needs a text \"operation\""},
        {R"({"type":"run","operation":"../../etc"})", "", "must be a name"},
        {R"({"type":"run","operation":""})", "", "must be a name"},
        {R"({"type":"action","line":5})", "", "needs a text \"line\""},
        {R"({"type":"action","line":"click 1\nclick 2"})", "", "more than one action"},
        {R"({"type":"action","line":"set 1 a\rclick 2"})", "", "control characters"},
        {R"({"type":"action","line":"set 1 a\u0000b"})", "", "control characters"},
        {R"({"type":"action","line":"set 1 a\nline 1 b\nclose"})", "", "more than one action"},
        {R"({"type":"answer","answer":"maybe"})", "", "needs one of yes|no|ok|cancel \"answer\""},
        {R"({"type":"answer","box":"3","answer":"ok"})", "", "needs a number \"box\""},
        {R"({"type":"answer","box":3.5,"answer":"ok"})", "", "needs a number \"box\""},
        {R"({"type":"answer","box":4294967296,"answer":"ok"})", "", "no such box"},
        {R"({"type":"answer","box":-1,"answer":"ok"})", "", "no such box"},
        {R"({"type":"record","on":"yes"})", "", "needs true or false \"on\""},
        {R"({"type":"handover","to":"anna\nbob"})", "", "control characters"},
        {R"({"type":"handover","to":")" + std::string(5000, 'x') + "\"}", "", "longer than 4096 bytes"},
    };
    MessageReader reader;
    for (const auto& c : cases) {
        auto r = reader.Read(c.bytes);
        std::string shown = c.bytes.substr(0, 80);
        if (c.error.empty()) {
            ASSERT_TRUE(r.ok()) << shown << ": " << r.error;
            EXPECT_EQ(r.message->type, c.type) << shown;
            EXPECT_EQ(r.message->body.at("type"), c.type);
        } else {
            EXPECT_FALSE(r.ok()) << shown;
            EXPECT_NE(r.error.find(c.error), std::string::npos) << shown << ": " << r.error;
        }
    }
}

TEST(MessageReader, NestingLimit) {
    struct Case {
        std::string bytes;
        bool ok;
    };
    const std::vector<Case> cases = {
        {Nested(32), true},
        {Nested(33), false},
        {Nested(32, "{\"a\":", "}"), true},
        {Nested(33, "{\"a\":", "}"), false},
        // Brackets inside strings do not count; escaped quotes do not end a string.
        {R"({"type":"ping","x":"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[\"[[[[[[[[[[[[[[[[[[[["})", true},
    };
    MessageReader reader;
    for (const auto& c : cases) {
        auto r = reader.Read(c.bytes);
        EXPECT_EQ(r.ok(), c.ok) << c.bytes.substr(0, 60) << ": " << r.error;
        if (!c.ok) {
            EXPECT_EQ(r.error, "message nested deeper than 32");
        }
    }
    // A message of nothing but brackets is refused at once, without recursion.
    std::string deep(64 * 1024, '[');
    auto start = std::chrono::steady_clock::now();
    auto r = reader.Read(deep);
    EXPECT_EQ(r.error, "message nested deeper than 32");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST(MessageReader, Utf8Validation) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"plain", true},
        {"\xC3\xA9", true},              // é
        {"\xE2\x82\xAC", true},          // €
        {"\xF0\x9F\x98\x80", true},      // emoji
        {"\xF4\x8F\xBF\xBF", true},      // U+10FFFF
        {"\xC0\xAF", false},             // overlong '/'
        {"\xE0\x80\xAF", false},         // overlong
        {"\xF0\x80\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},         // surrogate
        {"\xF4\x90\x80\x80", false},     // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\x80", false},                 // lone continuation
        {"\xC3", false},                 // truncated
        {"\xE2\x82", false},
        {"\xE2\x28\xA1", false},
        {"\xFF", false},
        {std::string("a\0b", 3), true},  // NUL is valid UTF-8 (JSON refuses it raw)
    };
    for (const auto& [text, ok] : cases) EXPECT_EQ(IsValidUtf8(text), ok) << ::testing::PrintToString(text);
}
