// Names compared without regard to ASCII letter case, eight characters a step.
#include <gtest/gtest.h>

#include <string>

#include "foundation/HostStrings.h"

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Every pair of byte values, in the eight-character part and in the tail:
// equal exactly when only 'A' to 'Z' against their lower case differ.
TEST(EqualsNoCase, EveryPairOfBytesInWordAndTail) {
    for (size_t at : {0u, 5u, 7u, 8u, 10u}) {
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 256; ++y) {
                std::string a(11, 'q'), b(11, 'Q');
                a[at] = static_cast<char>(x);
                b[at] = static_cast<char>(y);
                const bool want = Fold(static_cast<char>(x)) == Fold(static_cast<char>(y));
                ASSERT_EQ(mirelle::EqualsNoCase(a, b), want) << "at " << at << " bytes " << x << " " << y;
            }
        }
    }
}

TEST(EqualsNoCase, LengthsAndNames) {
    EXPECT_TRUE(mirelle::EqualsNoCase("", ""));
    EXPECT_FALSE(mirelle::EqualsNoCase("Handler", "Handlers"));
    EXPECT_TRUE(mirelle::EqualsNoCase("cameraADDRESS", "CameraAddress"));
    EXPECT_FALSE(mirelle::EqualsNoCase("CameraAddresz", "CameraAddress"));
    EXPECT_FALSE(mirelle::EqualsNoCase("Camera@ddress", "Camera`ddress"));
    EXPECT_FALSE(mirelle::EqualsNoCase("[", "{"));
}

}  // namespace
