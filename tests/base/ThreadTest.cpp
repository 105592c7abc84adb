// The thread owner and the timed wait of the condition variable.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "base/ConditionVariable.h"
#include "base/CriticalSection.h"
#include "base/StringConvert.h"
#include "base/Thread.h"

TEST(Thread, JoinAndLeavingScopeWaitForTheWorkOnItsOwnThread)
{
    std::atomic<DWORD> worker{0};
    CThread thread([&worker] {
        Sleep(50);
        worker = GetCurrentThreadId();
    });
    ASSERT_TRUE(thread.Started());
    thread.Join();
    EXPECT_NE(0u, worker.load());
    EXPECT_NE(GetCurrentThreadId(), worker.load());
    thread.Join();  // nothing left to wait for

    std::atomic<bool> done{false};
    {
        CThread scoped([&done] {
            Sleep(50);
            done = true;
        });
    }
    EXPECT_TRUE(done);
}

TEST(Thread, DetachedWorkRunsWithNobodyWaiting)
{
    HANDLE ran = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CThread::StartDetached([ran] { SetEvent(ran); }));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ran, 10000));
    CloseHandle(ran);
}

TEST(ConditionVariable, TimedWaitEndsWhenNobodyWakesIt)
{
    CCriticalSection section;
    CConditionVariable variable;
    CLockGuard guard(section);
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(variable.Wait(section, 100));
    EXPECT_GE(GetTickCount64() - start, 50u);
}

TEST(StringConvert, DecimalTextOfTheWholeRange)
{
    EXPECT_EQ(L"0", DecimalText(0));
    EXPECT_EQ(L"-2147483648", DecimalText(INT32_MIN));
    EXPECT_EQ(L"18446744073709551615", DecimalText(UINT64_MAX));
}
