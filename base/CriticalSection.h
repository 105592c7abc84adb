#pragma once

#include <windows.h>

// A Win32 critical section owned for the lifetime of this object.
class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_section); }
    ~CCriticalSection() { DeleteCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    friend class CConditionVariable;
    CRITICAL_SECTION m_section;
};

// Holds a critical section for one scope, so that no early return leaves it entered.
class CLockGuard {
public:
    explicit CLockGuard(CCriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~CLockGuard() { m_section.Leave(); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CCriticalSection& m_section;
};
