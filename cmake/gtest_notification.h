// Included before GoogleTest in the Windows build. The Windows runtime of
// this project has no C++ thread library (it is the one without POSIX
// threads, so that the program runs on the oldest systems), and GoogleTest
// builds its one use of std::mutex, the Notification of its own threading
// tests, only when no Notification is given. This one waits on a Windows
// event instead.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

} // namespace testing::internal
