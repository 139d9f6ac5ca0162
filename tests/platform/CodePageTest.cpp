#include <gtest/gtest.h>

#include "platform/codepage/CodePage.h"

namespace {

struct Case {
    std::u16string wide;
    std::string ansi;
};

TEST(CodePage, Windows1252BothWays) {
    const Case cases[] = {
        {u"Camera 1", "Camera 1"},
        {u"\u20AC", "\x80"},          // euro sign
        {u"\u201Cq\u201D", "\x93q\x94"},
        {u"Caf\u00E9", "Caf\xE9"},
        {u"\u0178", "\x9F"},
        {u"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp::WideToAnsi(c.wide), c.ansi);
        EXPECT_EQ(cp::AnsiToWide(c.ansi), c.wide);
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(cp::WideToAnsi(u"\u4E2D\u0416"), "??");
    EXPECT_EQ(cp::WideToAnsi(u"\U0001F600x"), "?x");  // a surrogate pair is one character
    EXPECT_EQ(cp::WideToAnsi(std::u16string(1, char16_t(0xD800))), "?");
}

TEST(CodePage, Utf8RoundTripAndBadSequences) {
    EXPECT_EQ(cp::Utf8ToAnsi("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
    EXPECT_EQ(cp::AnsiToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(cp::Utf8ToAnsi("\xC3"), "?");
    EXPECT_EQ(cp::Utf8ToAnsi("a\xFF" "b"), "a?b");
}

TEST(CodePage, BstrHelpers) {
    long before = com::LiveBstrCount();
    com::BSTR b = cp::ToBstr("N\xE9");
    EXPECT_EQ(com::SysStringLen(b), 2u);
    EXPECT_EQ(cp::FromBstr(b), "N\xE9");
    EXPECT_EQ(cp::FromBstr(nullptr), "");
    com::SysFreeString(b);
    EXPECT_EQ(com::LiveBstrCount(), before);
}

}  // namespace
