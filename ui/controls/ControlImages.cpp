#include "ui/controls/ControlImages.h"

#include "ui/core/WindowManagerUI.h"

namespace control_images {

void Replace(ImageDescriptor& descriptor, const std::wstring& text)
{
    if (descriptor.text == text && descriptor.image) return;
    descriptor.Reset();
    descriptor.text = text;
}

bool Prepare(HDC dc, CWindowManagerUI* manager, ImageDescriptor& descriptor)
{
    if (descriptor.text.empty()) return false;
    if (descriptor.parsed) return descriptor.image != nullptr;
    // The drawing kit's one way of parsing and borrowing, with a paint
    // area that nothing meets.
    return CDrawKit::DrawImageDescriptor(dc, manager, RECT{0, 0, 0, 0}, RECT{0, 0, 0, 0}, descriptor);
}

bool Draw(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
          ImageDescriptor& descriptor)
{
    if (descriptor.text.empty()) return false;
    return CDrawKit::DrawImageDescriptor(dc, manager, control, paint, descriptor);
}

void DrawStateOrNormal(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
                       ImageDescriptor* state, ImageDescriptor& normal)
{
    if (state && Draw(dc, manager, control, paint, *state)) return;
    Draw(dc, manager, control, paint, normal);
}

}  // namespace control_images
