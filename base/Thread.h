#pragma once

#include <windows.h>

#include <functional>

// A thread running one piece of work. Its owner either waits for it (Join,
// or leaving scope) or lets it go (Detach). Built on the C runtime's own
// thread start so that the runtime's per-thread state is set up and freed,
// and without the standard thread class, whose threading layer would add
// a library to the download for these few uses.
class CThread {
public:
    // Starts `work` at once; Started() tells whether a thread could be made.
    explicit CThread(std::function<void()> work);
    ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    bool Started() const { return m_handle != nullptr; }
    // Waits for the work to end (at once when there is no thread).
    void Join();
    // The thread runs on alone; this object no longer refers to it.
    void Detach();

    // Starts work that nobody waits for; false if no thread could be made.
    static bool StartDetached(std::function<void()> work);

private:
    HANDLE m_handle = nullptr;
};
