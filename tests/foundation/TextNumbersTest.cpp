// The view conversions give the C library's results on every kind of text:
// plain decimal (converted inline), and the rest (handed to the C library).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/TextNumbers.h"

namespace {

TEST(TextNumbers, SameAsTheCLibrary) {
    const std::string texts[] = {"",       "0",        "7",        "-7",       "+7",       "-",      "007",
                                 "0x1F",   "0X1f",     "0x",       "0xg",      "017",      "09",     "  12abc",
                                 "12 34",  "\t-3\r\n", "abc",      "-0",       "999999999999999999",
                                 "9223372036854775807",  "9223372036854775808",  "-9223372036854775809",
                                 "18446744073709551616", "-18446744073709551615", std::string(70, '9'),
                                 "4294967296", "1e5", "--1", "٣"};
    for (const std::string& t : texts) {
        for (int base : {10, 0}) {
            EXPECT_EQ(textnum::ToLong(t, base), std::strtol(t.c_str(), nullptr, base)) << t << " base " << base;
            EXPECT_EQ(textnum::ToULong(t, base), std::strtoul(t.c_str(), nullptr, base)) << t << " base " << base;
        }
    }
    // A view ends where its text ends, not at the next terminator.
    const std::string joined = "12345";
    EXPECT_EQ(textnum::ToLong(std::string_view(joined).substr(0, 2), 10), 12);
    EXPECT_EQ(textnum::ToULong(std::string_view("0x1F;0x2").substr(0, 3), 0), 1u);
}

}  // namespace
