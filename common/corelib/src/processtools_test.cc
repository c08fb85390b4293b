// Shell commands: their output byte for byte and the raw wait status.
#include "corelib/src/processtools.h"

#include <gtest/gtest.h>

TEST(RunCommandCaptureTest, OutputAndStatus) {
  std::string output;
  EXPECT_EQ(0, corelib::RunCommandCapture("printf 'a\\000b\\n\\n'; head -c 600 /dev/zero | tr '\\000' x", &output));
  EXPECT_EQ(std::string("a\0b\n\n", 5) + std::string(600, 'x'), output);
  EXPECT_EQ(5 * 256, corelib::RunCommandCapture("echo partial; echo not-captured >&2; exit 5", &output));
  EXPECT_EQ("partial\n", output);
}
