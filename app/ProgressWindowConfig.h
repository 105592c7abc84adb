#pragma once

#include <windows.h>

#include <string>

// What the owner of a progress window tells it before it is created: the
// four texts it shows and how far its bar may creep while the task runs.
struct ProgressWindowConfig {
    std::wstring title;
    std::wstring runningText;
    std::wstring successText;
    std::wstring failureText;
    int stepCount = 10;  // the bar's maximum is five times this
};

// Posted to the progress window when its task has ended; wParam is 1 for
// success and 0 for failure, lParam is 0.
constexpr UINT WM_TASK_DONE = WM_USER + 101;
