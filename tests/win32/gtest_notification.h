// GoogleTest's Notification for MinGW-w64's win32 thread model, whose library has no
// std::mutex. Force-included before GoogleTest's headers when cross-building. Only
// GoogleTest's own thread helpers use it, never a test here, so a spin is enough.
#pragma once

#ifdef __cplusplus
#include <atomic>

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
#endif
