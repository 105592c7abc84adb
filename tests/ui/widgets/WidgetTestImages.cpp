#include "tests/ui/widgets/WidgetTestImages.h"

#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"

namespace widget_tests {

const std::wstring& ImageFolder()
{
    static const std::wstring folder = testing_support::ScratchFolder(L"widget-images");
    return folder;
}

std::wstring SplitImage(const std::wstring& name, DWORD left, DWORD right, int width, int height)
{
    std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) argb[y * width + x] = 0xFF000000 | (x < width / 2 ? left : right);
    const std::wstring path = draw_test::WritePng(ImageFolder(), name + L".png", width, height, argb);
    return L"file='" + path + L"'";
}

std::wstring SolidImage(const std::wstring& name, DWORD rgb, int width, int height)
{
    return SplitImage(name, rgb, rgb, width, height);
}

}  // namespace widget_tests
