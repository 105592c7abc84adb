#pragma once

#include <windows.h>

#include "base/CriticalSection.h"

// A Win32 condition variable: a thread that waits for a change made under a
// critical section sleeps until the thread making it wakes it, instead of
// looking again on a clock. It needs no clean-up of its own.
class CConditionVariable {
public:
    CConditionVariable() { InitializeConditionVariable(&m_variable); }
    CConditionVariable(const CConditionVariable&) = delete;
    CConditionVariable& operator=(const CConditionVariable&) = delete;

    // Called with `section` entered once (as a CLockGuard does); leaves it
    // while asleep and holds it again on return. A wake may be spurious, so
    // callers wait in a loop that tests their condition.
    void Wait(CCriticalSection& section)
    {
        SleepConditionVariableCS(&m_variable, &section.m_section, INFINITE);
    }
    // The same, giving up after timeoutMs; false when the time ran out.
    bool Wait(CCriticalSection& section, DWORD timeoutMs)
    {
        return SleepConditionVariableCS(&m_variable, &section.m_section, timeoutMs) != 0;
    }
    void WakeAll() { WakeAllConditionVariable(&m_variable); }

private:
    CONDITION_VARIABLE m_variable;
};
