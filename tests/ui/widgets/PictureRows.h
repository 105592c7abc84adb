#pragma once

// The rows of the state picture: one kind of control each, shown in the
// five states side by side, with what a few of its pixels must show in
// every state. A file adds rows with PICTURE_ROW; the picture test lays
// out every registered row, in the order of their names.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CControlUI;
class CWindowManagerUI;

namespace widget_tests {

enum PictureState { kStateNormal, kStateHot, kStatePushed, kStateFocused, kStateDisabled, kStateCount };

// One check in a control: the pixel at (x, y) from the control's top-left
// corner has the colour, or, with anywhere set, some pixel of the control
// has it (text, whose glyphs land wherever the font puts them).
struct Probe {
    int x = 0;
    int y = 0;
    DWORD rgb = 0;
    bool anywhere = false;
};
inline Probe At(int x, int y, DWORD rgb) { return Probe{x, y, rgb, false}; }
inline Probe Ink(DWORD rgb) { return Probe{0, 0, rgb, true}; }

struct PictureRow {
    std::wstring name;
    int height = 32;  // of the control inside its cell
    // Makes one control; called once for each state.
    std::function<CControlUI*()> make;
    std::function<std::vector<Probe>(PictureState)> expect;
};

std::vector<PictureRow>& PictureRows();

struct PictureRowRegistrar {
    explicit PictureRowRegistrar(PictureRow row) { PictureRows().push_back(std::move(row)); }
};
#define PICTURE_ROW(id, ...) static ::widget_tests::PictureRowRegistrar picture_row_##id(::widget_tests::PictureRow __VA_ARGS__)

// Fonts the rows may name: 2 is the skins' Chinese face at 16 pixels,
// 7 the DIN face at 24.
void RegisterPictureFonts(CWindowManagerUI& manager);

}  // namespace widget_tests
