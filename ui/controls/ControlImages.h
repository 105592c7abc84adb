#pragma once

// The image descriptors that controls keep beside the two of the control
// base (state images of buttons, the fore image of a progress bar). Each
// descriptor holds its own counted reference into the cache of the manager
// that lent the image and gives it back itself.

#include <string>

#include "ui/core/DrawKit.h"

class CWindowManagerUI;

namespace control_images {

// Takes a new text: nothing when it is unchanged and its image is loaded;
// otherwise the old image goes back and the descriptor starts over, to be
// loaded at its next paint.
void Replace(ImageDescriptor& descriptor, const std::wstring& text);

// Parses the text and fetches the image once, as the first draw would,
// without drawing; for callers that set the rectangles themselves before
// drawing. True when an image is loaded.
bool Prepare(HDC dc, CWindowManagerUI* manager, ImageDescriptor& descriptor);

// Draws the descriptor over the control; false when it drew nothing
// because it has no text or no image.
bool Draw(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
          ImageDescriptor& descriptor);

// Draws the image of the control's state (null when no state applies) or,
// when that draws nothing, the normal image.
void DrawStateOrNormal(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
                       ImageDescriptor* state, ImageDescriptor& normal);

}  // namespace control_images
