#pragma once

#include <string>

// The shortcut on the user's desktop to the running executable, deleted and
// saved anew on every start. COM must be initialised on the calling thread.

// Named by the product's settings; true on success.
bool CreateDesktopShortcut();
// The same with the shortcut's file name (including ".lnk") given.
bool CreateDesktopShortcut(const std::wstring& shortcutName);
