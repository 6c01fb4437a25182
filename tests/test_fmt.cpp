#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/core/fmt.h"

namespace {

TEST(Fmt, ConversionsAndCopiedTextWithAByteZeroFromPercentC) {
  char out[200];
  EXPECT_EQ(Fmt(out, "D%d,%d,%d,", 1000, -6000, 0), 14);
  EXPECT_STREQ(out, "D1000,-6000,0,");
  Fmt(out, "%s|%c|100%", "ab", 'Z');
  EXPECT_STREQ(out, "ab|Z|100%");
  Fmt(out, "R%d,", -2147483647 - 1);
  EXPECT_STREQ(out, "R-2147483648,");
  EXPECT_EQ(Fmt(out, "$%c%s%c", 4, "~~", 0), 5);
  EXPECT_EQ(std::memcmp(out, "$\x04~~\0\0", 6), 0);
}

TEST(Fmt, NeverWritesPastTheTarget) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(Fmt(out, "%s", "0123456789"), -1);
  EXPECT_STREQ(out, "0123456");
  // A missing argument is reported, not read from the stack.
  EXPECT_EQ(Fmt(out, "%d%d", 1), -1);
}

} // namespace
