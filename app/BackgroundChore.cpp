#include "app/BackgroundChore.h"

#include <objbase.h>

#include <utility>

CBackgroundChore::CBackgroundChore(std::function<void()> chore)
    : m_thread([work = std::move(chore)] {
          // Shell objects want an apartment on the thread that uses them.
          bool initialised = SUCCEEDED(CoInitialize(nullptr));
          work();
          if (initialised) CoUninitialize();
      })
{
}

CBackgroundChore::~CBackgroundChore()
{
    if (m_thread.joinable()) m_thread.join();
}
