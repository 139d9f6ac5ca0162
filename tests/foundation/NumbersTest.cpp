// Numbers read from host text into the unit's 32-bit long and unsigned long.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Numbers.h"

namespace {

TEST(Numbers, SignedReadingSaturatesAt32Bits) {
    struct Case {
        const char* text;
        int base;
        std::int32_t want;
    } cases[] = {
        {"12abc", 10, 12},          {"  -7", 10, -7},          {"abc", 10, 0},
        {"", 10, 0},                {"2147483647", 10, INT32_MAX}, {"2147483648", 10, INT32_MAX},
        {"4294967296", 10, INT32_MAX}, {"-2147483649", 10, INT32_MIN}, {"99999999999999999999999", 10, INT32_MAX},
        {"-99999999999999999999999", 10, INT32_MIN}, {"0x10", 0, 16}, {"010", 0, 8}, {"0x1FFFFFFFF", 0, INT32_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToLong32(c.text, c.base), c.want) << c.text;
}

TEST(Numbers, UnsignedReadingSaturatesAt32BitsAndNegatesIn32Bits) {
    struct Case {
        const char* text;
        std::uint32_t want;
    } cases[] = {
        {"0x0A", 10u},       {"010", 8u},         {" 12abc", 12u},         {"4294967295", 4294967295u},
        {"4294967296", 4294967295u}, {"99999999999999999999999", 4294967295u}, {"-1", 4294967295u},
        {"-4294967295", 1u}, {"-4294967296", 4294967295u}, {"+5", 5u}, {"- 5", 0u}, {"--5", 0u}, {"x", 0u},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToULong32(c.text, 0), c.want) << c.text;
}

// Views read as the C runtime reads the same characters: a view ends where it
// ends (not at the text behind it) or at its first NUL.
TEST(Numbers, ViewsEndAtTheirEndOrFirstNul) {
    const std::string text = "12345";
    EXPECT_EQ(StrToLong32(std::string_view(text).substr(0, 2), 10), 12);
    EXPECT_EQ(StrToULong32(std::string_view(text).substr(1, 3), 0), 234u);
    EXPECT_EQ(StrToLong32(std::string_view("-7\0" "9", 4), 10), -7);
    EXPECT_EQ(StrToLong32(std::string_view("\0" "9", 2), 10), 0);
    EXPECT_EQ(StrToULong32(std::string_view("8\0" "1", 3), 0), 8u);
    EXPECT_EQ(StrToLong32(std::string_view(), 0), 0);  // an empty view without characters
    EXPECT_EQ(StrToULong32(std::string_view(), 0), 0u);
    // Long digit runs, prefixes and signs where the plain decimal path stops.
    EXPECT_EQ(StrToLong32("0000000000000000000000000042", 10), 42);
    EXPECT_EQ(StrToLong32("-0x10", 0), -16);
    EXPECT_EQ(StrToLong32("-010", 0), -8);
    EXPECT_EQ(StrToLong32("123456789012345678", 10), INT32_MAX);
    EXPECT_EQ(StrToLong32("-123456789012345678", 10), INT32_MIN);
    EXPECT_EQ(StrToULong32("1234567890123456789", 10), UINT32_MAX);
    EXPECT_EQ(StrToULong32(std::string(100, '7'), 0), UINT32_MAX);
    std::string spaced(100, ' ');
    spaced += '5';
    EXPECT_EQ(StrToLong32(spaced, 10), 5);
}

// Short plain decimals are read inline; a leading 0 in the automatic base,
// a tenth digit, a sign or any other character leaves the number to the
// general reading, which must agree.
TEST(Numbers, ShortDecimalsAndWhereTheyEnd) {
    const struct {
        const char* text;
        int base;
        std::int32_t signedWant;
        std::uint32_t unsignedWant;
    } cases[] = {
        {"0", 0, 0, 0u},           {"7", 0, 7, 7u},           {"08", 0, 0, 0u},           {"010", 10, 10, 10u},
        {"-0", 10, 0, 0u},         {"-12", 0, -12, 4294967284u}, {"999999999", 10, 999999999, 999999999u},
        {"2147483647", 0, INT32_MAX, 2147483647u}, {"4294967295", 10, INT32_MAX, 4294967295u},
        {"12 ", 10, 12, 12u},      {"1,6", 0, 1, 1u},         {"-", 10, 0, 0u},           {"9a", 16, 154, 154u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToLong32(c.text, c.base), c.signedWant) << c.text << " base " << c.base;
        EXPECT_EQ(StrToULong32(c.text, c.base), c.unsignedWant) << c.text << " base " << c.base;
    }
}

}  // namespace
