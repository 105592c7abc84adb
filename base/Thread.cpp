#include "base/Thread.h"

#include <process.h>

#include <memory>

namespace {

// Like the standard thread's, an exception that leaves the work ends in
// std::terminate, and so in the crash dump with the program's own code,
// rather than reaching the system as an exception nobody knows.
unsigned __stdcall Run(void* parameter) noexcept
{
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

}  // namespace

CThread::CThread(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    uintptr_t handle = _beginthreadex(nullptr, 0, Run, owned.get(), 0, nullptr);
    if (handle == 0) return;
    // The new thread owns the work from here on.
    owned.release();
    m_handle = reinterpret_cast<HANDLE>(handle);
}

CThread::~CThread() { Join(); }

void CThread::Join()
{
    if (!m_handle) return;
    WaitForSingleObject(m_handle, INFINITE);
    CloseHandle(m_handle);
    m_handle = nullptr;
}

void CThread::Detach()
{
    if (!m_handle) return;
    CloseHandle(m_handle);
    m_handle = nullptr;
}

bool CThread::StartDetached(std::function<void()> work)
{
    CThread thread(std::move(work));
    if (!thread.Started()) return false;
    thread.Detach();
    return true;
}
