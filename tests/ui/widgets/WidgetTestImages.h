#pragma once

// Small PNG pictures written for the widget tests, and the descriptor
// text that names them.

#include <windows.h>

#include <cstdint>
#include <string>

namespace widget_tests {

// The scratch folder of this test program's pictures (made once).
const std::wstring& ImageFolder();

// A width by height picture of one opaque colour (0x00RRGGBB); returns the
// descriptor "file='<path>'".
std::wstring SolidImage(const std::wstring& name, DWORD rgb, int width = 8, int height = 8);

// The left half one colour, the right half another.
std::wstring SplitImage(const std::wstring& name, DWORD left, DWORD right, int width, int height);

}  // namespace widget_tests
