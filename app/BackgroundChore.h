#pragma once

#include <functional>
#include <thread>

// A piece of start-up work that the window need not wait for, run on a
// thread of its own with COM initialised there. The owner waits for it when
// the object goes out of scope, so the work is never cut off by the end of
// the process.
class CBackgroundChore {
public:
    explicit CBackgroundChore(std::function<void()> chore);
    ~CBackgroundChore();
    CBackgroundChore(const CBackgroundChore&) = delete;
    CBackgroundChore& operator=(const CBackgroundChore&) = delete;

private:
    std::thread m_thread;
};
