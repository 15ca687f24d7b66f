#include "frame/small_queries.h"

#include <gtest/gtest.h>

namespace {

TEST(SmallQueries, FileVersionPacking) {
    EXPECT_EQ(PackFileVersion(0x00010002, 0x00030004), 0x01020304u);
    EXPECT_EQ(PackFileVersion(0x00010000, 0x00050000), 0x01000500u);
    // Parts of 256 or more spill into the byte above them.
    EXPECT_EQ(PackFileVersion(0x00000100, 0x00000000), 0x01000000u);
    EXPECT_EQ(PackFileVersion(0x00000000, 0x00000101), 0x00000101u);
}

}  // namespace
