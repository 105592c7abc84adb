#include "ui/core/DrawKit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "ui/core/WindowManagerUI.h"

using draw_test::Near;
using draw_test::WritePng;

namespace {

std::wstring TemporaryFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buffer);
    return buffer;
}

DWORD FirstPixel(const ImageEntry* e)
{
    return static_cast<DWORD>(e->bits[2]) << 16 | static_cast<DWORD>(e->bits[1]) << 8 | e->bits[0];
}

TEST(ImageCache, SameBytesShareOneEntryAndTheFirstMaskHolds)
{
    std::wstring folder = testing_support::ScratchFolder(L"imagecache");
    std::vector<uint32_t> green(16, 0xFF00FF00);
    std::wstring a = WritePng(folder, L"a.png", 4, 4, green);
    std::wstring b = WritePng(folder, L"b.png", 4, 4, green);
    std::wstring other = WritePng(folder, L"other.png", 4, 4, std::vector<uint32_t>(16, 0xFF0000FF));

    CWindowManagerUI manager;
    EXPECT_EQ(CDrawKit::ImageKey(a), CDrawKit::ImageKey(b));
    EXPECT_EQ(CDrawKit::ImageKey(a), CDrawKit::Crc32Key(testing_support::ReadBytes(a).data(),
                                                        testing_support::ReadBytes(a).size()));
    ImageEntry* first = manager.FindOrLoadImage(a);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->refCount, 1);
    ImageEntry* second = manager.FindOrLoadImage(b, nullptr, 0xFF00FF00);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->refCount, 2);
    EXPECT_EQ(first->mask, 0u);
    EXPECT_FALSE(first->hasAlpha) << "the second name's mask has no effect";
    EXPECT_EQ(FirstPixel(first), 0x00FF00u);

    ImageEntry* third = manager.FindOrLoadImage(other);
    ASSERT_NE(third, nullptr);
    EXPECT_NE(third, first);
    EXPECT_EQ(FirstPixel(third), 0x0000FFu);

    // Loading straight into the cache again replaces the entry of that key
    // (see LoadingAgainReplacesTheEntryAndItsLoans); the new load's mask holds.
    ImageEntry* again = manager.LoadIntoCache(a, nullptr, 0xFF00FF00);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(manager.CachedImage(again->key), again);
    EXPECT_EQ(again->mask, 0xFF00FF00u);
    EXPECT_TRUE(again->hasAlpha);

    // Images loaded for colour adjustment keep their unadjusted pixels.
    std::wstring hsl = WritePng(folder, L"hsl.png", 3, 2, std::vector<uint32_t>(6, 0x80FF8040));
    ImageEntry* adjustable = manager.FindOrLoadImage(hsl, nullptr, 0, true);
    ASSERT_NE(adjustable, nullptr);
    EXPECT_TRUE(adjustable->colourAdjust);
    ASSERT_EQ(adjustable->sourceBits.size(), 3u * 2 * 4);
    EXPECT_TRUE(std::equal(adjustable->sourceBits.begin(), adjustable->sourceBits.end(), adjustable->bits));
    EXPECT_TRUE(third->sourceBits.empty());

    EXPECT_EQ(manager.FindOrLoadImage(folder + L"missing.png"), nullptr);
    EXPECT_EQ(manager.FindOrLoadImage(L""), nullptr);
    EXPECT_EQ(manager.LoadIntoCache(L"abc", L"PNG"), nullptr) << "resource names must be decimal ids";

    // The key of a name that names nothing is the CRC-32 of its UTF-8.
    const std::wstring nothing = folder + L"no-such-file";
    const std::string narrow(nothing.begin(), nothing.end());  // the scratch path is ASCII
    EXPECT_EQ(CDrawKit::ImageKey(nothing), CDrawKit::Crc32Key(narrow.data(), narrow.size()));
    const char utf8[] = "\xe5\x9b\xbe.png";  // 图.png
    EXPECT_EQ(CDrawKit::ImageKey(L"\x56fe.png"), CDrawKit::Crc32Key(utf8, sizeof utf8 - 1));
    EXPECT_EQ(CDrawKit::Crc32Key("123456789", 9), L"cbf43926");
}

TEST(ImageCache, LoadingAgainReplacesTheEntryAndItsLoans)
{
    std::wstring folder = testing_support::ScratchFolder(L"imagereplace");
    std::wstring path = WritePng(folder, L"red.png", 4, 4, std::vector<uint32_t>(16, 0xFFFF0000));
    CWindowManagerUI manager;
    draw_test::Canvas canvas(4, 4, 0xFFFFFFFF);
    ImageDescriptor drawn;
    drawn.SetText(L"file='" + path + L"'");
    ASSERT_TRUE(CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), drawn));
    ImageEntry* old = drawn.image;
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(canvas.Pixel(1, 1), 0xFF0000u);

    // The new load, masking the red out, takes the key's place; the
    // descriptor that held the old entry lets go of it without counting.
    ImageEntry* masked = manager.LoadIntoCache(path, nullptr, 0xFFFF0000);
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(manager.CachedImage(masked->key), masked);
    EXPECT_EQ(drawn.image, nullptr);
    EXPECT_FALSE(drawn.parsed);
    EXPECT_EQ(masked->refCount, 1);

    // The next paint takes the new entry: the masked pixels let the white through.
    canvas.Fill(0xFFFFFFFF);
    CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), drawn);
    EXPECT_EQ(drawn.image, masked);
    EXPECT_EQ(masked->refCount, 2);
    EXPECT_EQ(canvas.Pixel(1, 1), 0xFFFFFFu);
    drawn.Reset();
    EXPECT_EQ(masked->refCount, 1);
    testing_support::RemoveTree(folder);
}

TEST(ImageCache, BrokenImagesLoadAsNothing)
{
    std::wstring folder = testing_support::ScratchFolder(L"imagebroken");
    const std::string inputs[] = {
        std::string(),
        std::string("\x89PNG\r\n\x1a\n", 8),
        draw_test::MakePng(4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF)).substr(0, 40),
        std::string("GIF89a\xff\xff\xff\xff", 10),
        std::string("BM") + std::string(60, '\xff'),
    };
    int i = 0;
    for (const std::string& bytes : inputs) {
        std::wstring path = folder + L"broken" + std::to_wstring(i++) + L".img";
        testing_support::WriteBytes(path, bytes);
        EXPECT_EQ(CDrawKit::LoadImage(path, nullptr, 0), nullptr) << i;
    }
}

// An uncompressed 32-bit BMP of the given size, bottom-up.
std::string SolidBmp(int width, int height)
{
    const uint32_t pixels = static_cast<uint32_t>(width) * height * 4;
    std::string b(54, '\0');
    auto put32 = [&b](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i)); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + pixels);
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    b[26] = 1;
    b[28] = 32;
    b.append(pixels, '\x40');
    return b;
}

TEST(ImageCache, EveryReadIsCappedAndTypedNamesFallBackToThePlainPath)
{
    std::wstring folder = testing_support::ScratchFolder(L"imagecap");
    // 1024 by 1023 fits below 4 MiB, 1024 by 1025 does not.
    ASSERT_TRUE(testing_support::WriteBytes(folder + L"small.bmp", SolidBmp(1024, 1023)));
    ASSERT_TRUE(testing_support::WriteBytes(folder + L"large.bmp", SolidBmp(1024, 1025)));
    ImageEntry* small = CDrawKit::LoadImage(folder + L"small.bmp", nullptr, 0);
    ASSERT_NE(small, nullptr);
    CDrawKit::FreeImage(small);
    EXPECT_EQ(CDrawKit::LoadImage(folder + L"large.bmp", nullptr, 0), nullptr);
    // A typed name that no resource carries is read as a plain path.
    ImageEntry* typed = CDrawKit::LoadImage(folder + L"small.bmp", L"PNG", 0);
    ASSERT_NE(typed, nullptr);
    EXPECT_FALSE(typed->fromResourceSystem);
    CDrawKit::FreeImage(typed);
    testing_support::RemoveTree(folder);
}

// Images made at build time by ImageMagick and jpegtran.
std::wstring BuiltImage(const wchar_t* name) { return testing_support::TestProgramFolder() + L"images\\" + name; }

TEST(ImageCache, RefusedJpegIsReencodedOnceAndReused)
{
    const std::wstring arith = BuiltImage(L"arith.jpg");
    const std::string bytes = testing_support::ReadBytes(arith);
    ASSERT_GT(bytes.size(), 3u) << "missing " << testing_support::ReadBytes(arith).size();
    const std::wstring key = CDrawKit::Crc32Key(bytes.data(), bytes.size());
    wchar_t fileName[32];
    swprintf(fileName, 32, L"fixed_%x.jpg", static_cast<unsigned>(wcstoul(key.c_str(), nullptr, 16)));
    const std::wstring fixed = TemporaryFolder() + fileName;
    DeleteFileW(fixed.c_str());

    // First load: the decoder refuses the arithmetic coding, GDI+ mends it.
    std::wstring loadedKey;
    ImageEntry* first = CDrawKit::LoadImage(arith, nullptr, 0, &loadedKey);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(testing_support::Exists(fixed));
    EXPECT_EQ(loadedKey, key);
    EXPECT_EQ(first->key, key) << "the entry keeps the key of the first file";
    EXPECT_EQ(first->width, 40);
    EXPECT_EQ(first->height, 30);
    EXPECT_TRUE(Near(FirstPixel(first), 0x0080FF, 24)) << std::hex << FirstPixel(first);
    CDrawKit::FreeImage(first);

    // Later loads take the mended file as it is and do not encode again.
    ASSERT_TRUE(testing_support::WriteBytes(fixed, testing_support::ReadBytes(BuiltImage(L"green.jpg"))));
    ImageEntry* second = CDrawKit::LoadImage(arith, nullptr, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(Near(FirstPixel(second), 0x00FF00, 24)) << std::hex << FirstPixel(second);
    EXPECT_EQ(second->key, key);
    CDrawKit::FreeImage(second);

    // A mended file cut short (an earlier run stopped while writing it) is
    // made anew instead of blocking the image for good.
    ASSERT_TRUE(testing_support::WriteBytes(fixed, std::string("\xFF\xD8\xFF\xE0" "cut", 7)));
    ImageEntry* third = CDrawKit::LoadImage(arith, nullptr, 0);
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(Near(FirstPixel(third), 0x0080FF, 24)) << std::hex << FirstPixel(third);
    CDrawKit::FreeImage(third);
    DeleteFileW(fixed.c_str());

    // A JPEG that nothing can read fails without leaving a file behind.
    std::wstring folder = testing_support::ScratchFolder(L"jpegbroken");
    std::string junk = "\xFF\xD8\xFF\xE0junk that is no image at all";
    testing_support::WriteBytes(folder + L"junk.jpg", junk);
    EXPECT_EQ(CDrawKit::LoadImage(folder + L"junk.jpg", nullptr, 0), nullptr);
    swprintf(fileName, 32, L"fixed_%x.jpg",
             static_cast<unsigned>(wcstoul(CDrawKit::Crc32Key(junk.data(), junk.size()).c_str(), nullptr, 16)));
    EXPECT_FALSE(testing_support::Exists(TemporaryFolder() + fileName));
}

}  // namespace
