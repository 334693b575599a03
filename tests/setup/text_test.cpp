// Bounded composition of texts.
#include <cstring>

#include "setup/text.h"
#include <gtest/gtest.h>

namespace {

TEST(TextTest, CopyAndAppendNeverPassTheBuffer)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    copy_text(buffer, 5, "abc");
    EXPECT_STREQ(buffer, "abc");
    append_text(buffer, 5, "def");
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], 'x');
    append_text(buffer, 5, "g");
    EXPECT_STREQ(buffer, "abcd");
    copy_text(buffer, 1, "abc");
    EXPECT_STREQ(buffer, "");
    copy_text(buffer, 0, "abc");   // no room at all: nothing is written
    EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
