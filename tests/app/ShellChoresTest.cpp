// The shortcut and font routines run in this test process, which carries the
// same resources as setup.exe, so their effect on the process can be seen.

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/DesktopShortcut.h"
#include "app/ResourceFile.h"
#include "base/FileReplace.h"
#include "app/ResourceFont.h"
#include "app/Startup.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "tests/support/ShellFolderOverride.h"
#include "tests/support/TestSupport.h"
#include "ui/core/GdiObjects.h"

using namespace testing_support;

namespace {

class ShellChoresTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The folder helpers cache what they created, so the folder left by
        // an earlier run is emptied in place rather than removed.
        SetProductFolderName(L"VantorieChoresTest");
        std::wstring work = GetWorkFolder();
        RemoveTree(work);
        CreateDirectoryW(work.c_str(), nullptr);
        g_pLogger = GetLogger(L"installer");
    }
    static void TearDownTestSuite() { g_pLogger = nullptr; }

    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }

    static std::wstring Log() { return ReadUtf16(g_pLogger->Path()); }
};

std::string OwnResource(int id, const wchar_t* type)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(nullptr, found)) : std::string();
}

struct TextDrawing {
    std::wstring faceUsed;
    std::vector<DWORD> pixels;
};

// Draws a line of text with the face asked for into a 32-bit bitmap.
TextDrawing DrawText(const wchar_t* face, int height = -40)
{
    const int width = 400, rows = 60;
    TextDrawing drawing;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDib32(width, rows, &bits);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH, face);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all = {0, 0, width, rows};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 4, 4, L"0123456789 Install", 18);
    GdiFlush();
    wchar_t used[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, used);
    drawing.faceUsed = used;
    if (bits) drawing.pixels.assign(reinterpret_cast<DWORD*>(bits), reinterpret_cast<DWORD*>(bits) + width * rows);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return drawing;
}

const wchar_t kMissingFace[] = L"Vantorie No Such Face";

}  // namespace

TEST_F(ShellChoresTest, EmptyShortcutNameFailsTheSaveAndIsLogged)
{
    EXPECT_FALSE(CreateDesktopShortcut(L""));
    EXPECT_NE(std::wstring::npos, Log().find(L"#Error>>")) << Log();
    EXPECT_NE(std::wstring::npos, Log().find(L"failed to save the shortcut file, error: 0x"));

    // A name makes the same routine succeed.
    wchar_t desktop[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    std::wstring named = std::wstring(desktop) + L"\\chores test.lnk";
    EXPECT_TRUE(CreateDesktopShortcut(L"chores test.lnk"));
    EXPECT_TRUE(Exists(named));
    DeleteFileW(named.c_str());
}

TEST_F(ShellChoresTest, RegisteredFontDrawsAsDIN)
{
    // Before registration "DIN" is as unknown as a face that does not exist.
    // Wine keeps the fonts it matched per request, so these requests use a
    // size of their own to leave nothing cached for the ones below.
    TextDrawing before = DrawText(L"DIN", -30);
    EXPECT_NE(L"DIN", before.faceUsed);
    EXPECT_TRUE(DrawText(kMissingFace, -30).pixels == before.pixels);

    RegisterResourceFont();
    std::string font = OwnResource(134, RT_FONT);
    EXPECT_EQ(0u, font.find("OTTO"));  // OpenType with CFF outlines
    EXPECT_TRUE(font == ReadBytes(GetDataFolder() + L"DIN-Regular.otf"));
    EXPECT_EQ(std::wstring::npos, Log().find(L"failed to add font"));

    TextDrawing din = DrawText(L"DIN");
    TextDrawing missing = DrawText(kMissingFace);
    EXPECT_EQ(L"DIN", din.faceUsed);
    ASSERT_FALSE(din.pixels.empty());
    EXPECT_TRUE(missing.pixels != din.pixels);
    // Something was drawn at all.
    EXPECT_TRUE(std::vector<DWORD>(din.pixels.size(), din.pixels[0]) != din.pixels);
}

TEST_F(ShellChoresTest, NoDesktopFromTheShellSavesNoShortcutAnywhere)
{
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring root = std::wstring(current).substr(0, 3);
    const wchar_t name[] = L"chores nowhere.lnk";
    DeleteFileW((root + name).c_str());
    bool saved;
    {
        CShellFolderOverride desktop(L"Desktop", L"Q:\\no such drive\\Desktop");
        wchar_t path[MAX_PATH] = {};
        ASSERT_NE(S_OK, SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))
            << "the shell still gives " << path;
        saved = CreateDesktopShortcut(name);
    }
    EXPECT_FALSE(saved);
    // Not at the root of the current drive, not in the current folder.
    EXPECT_FALSE(Exists(root + name));
    EXPECT_FALSE(Exists(std::wstring(current) + L"\\" + name));
    DeleteFileW((root + name).c_str());
    EXPECT_NE(std::wstring::npos, Log().find(L"failed to find the desktop folder, error: 0x"));
}

TEST_F(ShellChoresTest, ResourceFilesArriveWholeOrNotAtAll)
{
    std::wstring folder = GetDataFolder();
    std::wstring empty = folder + L"empty.bin";
    // No bytes (a resource of size 0) would leave an empty file that later starts keep.
    EXPECT_FALSE(WriteFileWhole(empty, "", 0, false));
    EXPECT_FALSE(Exists(empty));
    EXPECT_FALSE(Exists(empty + L".tmp"));

    std::wstring icon = folder + L"whole.ico";
    EXPECT_TRUE(WriteResourceToFile(icon, FindResourceW(nullptr, MAKEINTRESOURCEW(135), L"BINARY")));
    EXPECT_TRUE(OwnResource(135, L"BINARY") == ReadBytes(icon));
    EXPECT_FALSE(Exists(icon + L".tmp"));
    // A name already taken keeps its file.
    WriteBytes(icon, "kept");
    EXPECT_FALSE(WriteResourceToFile(icon, FindResourceW(nullptr, MAKEINTRESOURCEW(135), L"BINARY")));
    EXPECT_EQ("kept", ReadBytes(icon));
    EXPECT_FALSE(Exists(icon + L".tmp"));
}

TEST(SkinArchiveChoice, NarrowScreensGet130AndWideOnes138)
{
    EXPECT_EQ(130, SkinArchiveForScreenWidth(800));
    EXPECT_EQ(130, SkinArchiveForScreenWidth(2879));
    EXPECT_EQ(138, SkinArchiveForScreenWidth(2880));
    EXPECT_EQ(138, SkinArchiveForScreenWidth(5120));
}
