#pragma once

// The image descriptors that controls keep beside the two of the control
// base (state images of buttons, the fore image of a progress bar). Each
// holds a counted reference into the manager's image cache while loaded.

#include <string>

#include "ui/core/DrawKit.h"

class CWindowManagerUI;

namespace control_images {

// Takes a new text: nothing when it is unchanged and its image is loaded;
// otherwise the old reference goes back to the manager and the descriptor
// starts over, to be loaded at its next paint.
void Replace(CWindowManagerUI* manager, ImageDescriptor& descriptor, const std::wstring& text);

// Gives the reference back and forgets the image, keeping the text, so a
// later paint under another manager loads it anew.
void Release(CWindowManagerUI* manager, ImageDescriptor& descriptor);

// Parses the text and fetches the image once, as the first draw would;
// for callers that set the rectangles themselves before drawing. True
// when an image is loaded.
bool Prepare(CWindowManagerUI* manager, ImageDescriptor& descriptor);

// Draws the descriptor over the control; false when it drew nothing
// because it has no text or no image.
bool Draw(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
          ImageDescriptor& descriptor);

}  // namespace control_images
