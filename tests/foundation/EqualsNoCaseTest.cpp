// Names compared without regard to ASCII letter case, eight characters a step.
#include <gtest/gtest.h>

#include <string>

#include "foundation/HostStrings.h"

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Every pair of byte values at the start, middle and end of names of every
// way of reading (one to three characters, two half words, whole words, a
// last word overlapping the one before): equal exactly when only 'A' to 'Z'
// against their lower case differ.
TEST(EqualsNoCase, EveryPairOfBytesInWordAndTail) {
    for (size_t len : {1u, 2u, 3u, 4u, 7u, 8u, 9u, 11u, 16u, 21u}) {
        for (size_t at : {size_t{0}, len / 2, len - 1}) {
            for (int x = 0; x < 256; ++x) {
                for (int y = 0; y < 256; ++y) {
                    std::string a(len, 'q'), b(len, 'Q');
                    a[at] = static_cast<char>(x);
                    b[at] = static_cast<char>(y);
                    const bool want = Fold(static_cast<char>(x)) == Fold(static_cast<char>(y));
                    ASSERT_EQ(mirelle::EqualsNoCase(a, b), want) << len << " at " << at << " bytes " << x << " " << y;
                }
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
