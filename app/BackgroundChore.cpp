#include "app/BackgroundChore.h"

#include <objbase.h>

#include <system_error>

namespace {

void RunInApartment(const std::function<void()>& work)
{
    // Shell objects want an apartment on the thread that uses them.
    bool initialised = SUCCEEDED(CoInitialize(nullptr));
    work();
    if (initialised) CoUninitialize();
}

}  // namespace

CBackgroundChore::CBackgroundChore(std::function<void()> chore)
{
    try {
        m_thread = std::thread([work = chore] { RunInApartment(work); });
    } catch (const std::system_error&) {
        // Without a thread the work is still done, only on the caller's time.
        RunInApartment(chore);
    }
}

CBackgroundChore::~CBackgroundChore()
{
    if (m_thread.joinable()) m_thread.join();
}
