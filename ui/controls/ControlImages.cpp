#include "ui/controls/ControlImages.h"

#include "ui/core/WindowManagerUI.h"

namespace control_images {

void Replace(CWindowManagerUI* manager, ImageDescriptor& descriptor, const std::wstring& text)
{
    if (descriptor.text == text && descriptor.image) return;
    if (manager && descriptor.image) manager->ReleaseImage(descriptor.image);
    descriptor.Reset();
    descriptor.text = text;
}

void Release(CWindowManagerUI* manager, ImageDescriptor& descriptor)
{
    if (manager && descriptor.image) manager->ReleaseImage(descriptor.image);
    descriptor.image = nullptr;
    descriptor.parsed = false;
}

bool Prepare(CWindowManagerUI* manager, ImageDescriptor& descriptor)
{
    if (descriptor.text.empty()) return false;
    if (!descriptor.parsed) {
        descriptor.parsed = true;
        descriptor.fields = ParseDescriptorText(descriptor.text);
        const DescriptorFields& f = descriptor.fields;
        const wchar_t* type = f.isResource && !f.resourceType.empty() ? f.resourceType.c_str() : nullptr;
        if (manager) descriptor.image = manager->FindOrLoadImage(f.file, type, f.mask, f.hsl);
    }
    return descriptor.image != nullptr;
}

bool Draw(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
          ImageDescriptor& descriptor)
{
    if (descriptor.text.empty()) return false;
    return CDrawKit::DrawImageDescriptor(dc, manager, control, paint, descriptor);
}

}  // namespace control_images
