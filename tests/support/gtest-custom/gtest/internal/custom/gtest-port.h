// GoogleTest port settings for mingw-w64's win32 thread model, which has no std::mutex: the one
// class GoogleTest builds on it is given here without it. Only GoogleTest's own thread tests use it.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : m_notified(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { m_notified.store(true); }
  void WaitForNotification() {
    while (!m_notified.load()) {
    }
  }

 private:
  std::atomic<bool> m_notified;
};

}  // namespace internal
}  // namespace testing
