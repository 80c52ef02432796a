// The tick count and Sleep.
#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

TEST(ClockTest, SleepLetsAtLeastThatMuchTimePass) {
  const win::DWORD start = win::GetTickCount();
  win::Sleep(30);
  const win::DWORD elapsed = win::GetTickCount() - start;  // unsigned difference survives a wrap
  EXPECT_GE(elapsed, 25u);  // Windows' tick has a granularity of 10 to 16 ms
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
