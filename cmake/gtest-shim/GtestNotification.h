#pragma once

// GoogleTest's thread-safe build declares a Notification made of the
// standard mutex and condition variable, which the compilers' win32 thread
// model does not have. This one is a manual-reset event; GoogleTest skips
// its own when GTEST_HAS_NOTIFICATION_ is set. Included ahead of every
// source that sees GoogleTest's headers.

// Sockets' header first, as some tests need it before <windows.h>.
#include <winsock2.h>
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(m_event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_event); }
    void WaitForNotification() { WaitForSingleObject(m_event, INFINITE); }

private:
    HANDLE m_event;
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
