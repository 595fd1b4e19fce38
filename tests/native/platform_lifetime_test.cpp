// A platform object outlives every thread that uses it.  The receiver
// thread is never woken or waited for at exit, so a platform destroyed under
// it would let it run into freed memory; the platform stops the program
// there instead, and the program's own platform is never destroyed.
#include <gtest/gtest.h>

#include "platform/fake/fake_pc.h"

namespace {

TEST(PlatformLifetime, DestroyedWhileAThreadUsesItEndsTheProgramAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platform::FakePc pc;
        pc.threadStarted();  // a thread that never says it has ended
      },
      ::testing::ExitedWithCode(3), "platform destroyed while a thread uses it");
}

TEST(PlatformLifetime, DestroyedAfterItsThreadsEndedIsFine) {
  EXPECT_EXIT(
      {
        {
          platform::FakePc pc;
          pc.threadStarted();
          pc.threadEnded();
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
