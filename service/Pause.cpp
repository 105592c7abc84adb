#include "service/Pause.h"

#include <windows.h>

void PauseFor(unsigned long milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64())
        Sleep(static_cast<DWORD>(end - now));
}
