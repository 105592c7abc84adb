// Starts the real setup.exe the way a user does and looks at what it leaves.

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <vector>

#include <json/json.h>

#include "base/JsonValue.h"
#include "base/ModuleResource.h"
#include "base/StringConvert.h"
#include "tests/app/PlantedDlls.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// A resource of the built executable, read as a data file.
std::string SetupResource(int id, const wchar_t* type)
{
    HMODULE module = LoadLibraryExW(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return std::string();
    std::string content = FindModuleResource(module, MAKEINTRESOURCEW(id), type).Bytes();
    FreeLibrary(module);
    return content;
}

// The UI settings resource of the built executable, read as a data file.
Json::Value SetupSettings()
{
    Json::Value root;
    ParseJson(SetupResource(133, L"Json"), root);
    return root;
}

std::wstring Other(const char* key)
{
    return Utf8ToWide(SetupSettings()[WideToUtf8(L"其它")][key].asString());
}

std::wstring WorkFolder()
{
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    return std::wstring(local) + L"\\Vantorie" + Other(WideToUtf8(L"产品标识").c_str()) + L"\\";
}

std::wstring TodayLog()
{
    return WorkFolder() + L"Log\\" + TodayLogName();
}


std::wstring ShortcutPath()
{
    wchar_t desktop[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    return std::wstring(desktop) + L"\\" + Other(WideToUtf8(L"快捷方式名字").c_str());
}

struct Shortcut {
    bool loaded = false;
    std::wstring target;
    std::wstring iconFile;
    int iconIndex = -1;
};

// Reads a saved shortcut back through the shell's own link object.
Shortcut ReadShortcut(const std::wstring& path)
{
    Shortcut shortcut;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return shortcut;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t target[MAX_PATH] = {}, icon[MAX_PATH] = {};
            shortcut.loaded = SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
                              SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &shortcut.iconIndex));
            shortcut.target = target;
            shortcut.iconFile = icon;
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

struct ProgramWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data)
{
    auto* windows = reinterpret_cast<ProgramWindows*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId && IsWindowVisible(window)) windows->found.push_back(window);
    return TRUE;
}

// Runs the program to its end as a user who closes whatever it shows: the
// product page (which then ends the process with 0) and any message box.
DWORD RunProgram(const std::wstring& path)
{
    ChildProcess program(L"\"" + path + L"\"");
    EXPECT_TRUE(program.Started());
    for (int waited = 0; waited < 60000; waited += 100) {
        DWORD code = program.Wait(100);
        if (code != static_cast<DWORD>(STILL_ACTIVE)) return code;
        ProgramWindows windows{program.Id(), {}};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows.found) {
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (wcscmp(className, L"#32770") == 0)
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            else if (wcscmp(className, L"InstallerMain") == 0)
                PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }
    ADD_FAILURE() << "the program did not end";
    return static_cast<DWORD>(STILL_ACTIVE);
}

DWORD RunSetup() { return RunProgram(SetupExePath()); }

size_t Count(const std::wstring& text, const std::wstring& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The Info lines that the product window's usage report adds, depending on
// how far its thread got before the window was closed.
size_t ReportInfoLines(const std::wstring& text)
{
    return Count(text, L"the thread of reporting event starts") +
           Count(text, L"report event, name: software_activation");
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        RemoveTree(WorkFolder());
        DeleteFileW(ShortcutPath().c_str());
    }
    void TearDown() override
    {
        RemoveTree(WorkFolder());
        DeleteFileW(ShortcutPath().c_str());
        CoUninitialize();
    }

    void WriteConfig(const std::string& content)
    {
        CreateDirectoryW(WorkFolder().c_str(), nullptr);
        CreateDirectoryW((WorkFolder() + L"Configs").c_str(), nullptr);
        WriteBytes(WorkFolder() + L"Configs\\configs.json", content);
    }
};

}  // namespace

TEST_F(StartupTest, SampleProductSettingsAreComplete)
{
    EXPECT_EQ(L"sample.viewer", Other(WideToUtf8(L"产品标识").c_str()));
    std::wstring appId = Other("APPID");
    ASSERT_EQ(38u, appId.size());
    EXPECT_EQ(L'{', appId.front());
    EXPECT_EQ(L'}', appId.back());
}

TEST_F(StartupTest, CreatesTheWorkingFolderAndTheDaysLog)
{
    EXPECT_EQ(0u, RunSetup());
    for (const wchar_t* sub : {L"Log", L"Configs", L"dump", L"data"})
        EXPECT_TRUE(Exists(WorkFolder() + sub)) << sub;
    std::wstring text = ReadUtf16(TodayLog());
    EXPECT_EQ(0u, text.find(L"\n\n\nLog begin at:"));
    // Without a configuration file the threshold is Info: the skin archive
    // and the identifiers are the two Info lines of start-up, followed by
    // those of the product window's usage report if it got that far.
    EXPECT_EQ(2u + ReportInfoLines(text), Count(text, L"#Info>>"));
    EXPECT_EQ(1u, Count(text, L"[installer.cpp:"));
    EXPECT_EQ(1u, Count(text, L"] device id: "));
    EXPECT_NE(std::wstring::npos, text.find(L"successful to set ui zip resource\r\n"));

    // A second start on the same day appends with its own header.
    EXPECT_EQ(0u, RunSetup());
    text = ReadUtf16(TodayLog());
    EXPECT_EQ(2u, Count(text, L"Log begin at:"));
    EXPECT_EQ(2u, Count(text, L"successful to set ui zip resource"));
}

TEST_F(StartupTest, ConfigurationFileSetsTheThreshold)
{
    WriteConfig("{\"log_level\": 3}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"#Info>>"));

    WriteConfig("{\"log_level\": 4}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"<<"));

    WriteConfig("{\"log_level\": 1}");
    EXPECT_EQ(0u, RunSetup());
    std::wstring text = ReadUtf16(TodayLog());
    EXPECT_EQ(2u + ReportInfoLines(text), Count(text, L"#Info>>"));
}

TEST_F(StartupTest, FirstStartCreatesTheDataFileAndLaterStartsKeepItsDeviceId)
{
    std::wstring dataFile = WorkFolder() + L"Configs\\data.json";
    EXPECT_EQ(0u, RunSetup());
    Json::Value first;
    ASSERT_TRUE(ParseJson(ReadBytes(dataFile), first));
    std::string id = first["device_id"].asString();
    EXPECT_FALSE(id.empty());
    EXPECT_EQ("", first["install_file_path"].asString());
    EXPECT_EQ("", first["software_version"].asString());

    EXPECT_EQ(0u, RunSetup());
    Json::Value second;
    ASSERT_TRUE(ParseJson(ReadBytes(dataFile), second));
    EXPECT_EQ(id, second["device_id"].asString());
    // setup.exe has no underscore in its name, so no vendor id.
    EXPECT_NE(std::wstring::npos,
              ReadUtf16(TodayLog()).find(L"device id: " + Utf8ToWide(id) + L", vendor id: , os: "));
}

TEST_F(StartupTest, ArchiveSwitchOffSkipsTheSkinResource)
{
    WriteConfig("{\"load_resource_from_zip\": 0}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"successful to set ui zip resource"));
}

// The product page of a copy of the program with a "resource" folder
// beside it: its size, or {0, 0} when no page showed. A message box (the
// skin cannot be loaded) counts as no page.
SIZE ProductPageOfCopyWithSkinFolder(const std::string& mainXml, bool* boxSeen)
{
    std::wstring folder = ScratchFolder(L"loose skins");
    std::wstring copy = folder + L"setup.exe";
    EXPECT_TRUE(CopyFileW(SetupExePath().c_str(), copy.c_str(), FALSE));
    CreateDirectoryW((folder + L"resource").c_str(), nullptr);
    WriteBytes(folder + L"resource\\main.xml", mainXml);
    SIZE page{0, 0};
    *boxSeen = false;
    ChildProcess program(L"\"" + copy + L"\"");
    EXPECT_TRUE(program.Started());
    for (int waited = 0; waited < 60000; waited += 100) {
        if (program.Wait(100) != static_cast<DWORD>(STILL_ACTIVE)) break;
        ProgramWindows windows{program.Id(), {}};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows.found) {
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (wcscmp(className, L"#32770") == 0) {
                *boxSeen = true;
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            } else if (wcscmp(className, L"InstallerMain") == 0) {
                RECT r{};
                GetWindowRect(window, &r);
                page = SIZE{r.right - r.left, r.bottom - r.top};
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        }
    }
    program.Wait(10000);
    RemoveTree(folder);
    return page;
}

TEST_F(StartupTest, ArchiveSwitchOffReadsTheSkinsFromTheResourceFolder)
{
    // A page of a size no product skin has, read from the loose file.
    const std::string page =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><Window size=\"321,123\">"
        "<VerticalLayout bkcolor=\"#FF20A040\" /></Window>";
    bool box = false;
    WriteConfig("{\"load_resource_from_zip\": 0}");
    SIZE shown = ProductPageOfCopyWithSkinFolder(page, &box);
    EXPECT_EQ(321, shown.cx);
    EXPECT_EQ(123, shown.cy);
    EXPECT_FALSE(box);
    // With the archive on, the same folder is ignored: the product's page.
    WriteConfig("{\"load_resource_from_zip\": 1}");
    shown = ProductPageOfCopyWithSkinFolder(page, &box);
    EXPECT_NE(321, shown.cx);
    EXPECT_GT(shown.cx, 0);
}

TEST_F(StartupTest, SecondInstanceIsRefusedWithAMessageBox)
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, Other("APPID").c_str());
    ASSERT_NE(nullptr, mutex);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());

    ChildProcess setup(L"\"" + SetupExePath() + L"\"");
    ASSERT_TRUE(setup.Started());
    HWND box = WaitForWindow(setup.Id(), L"提示", 30000);
    ASSERT_NE(nullptr, box);
    wchar_t text[64] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 64);
    EXPECT_STREQ(L"程序已经在运行", text);
    // Still waiting for the user.
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), setup.Wait(300));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, setup.Wait(30000));
    CloseHandle(mutex);
    EXPECT_FALSE(Exists(WorkFolder()));
}

TEST_F(StartupTest, ShortcutPointsAtTheExecutableAndComesBack)
{
    EXPECT_EQ(0u, RunSetup());
    Shortcut shortcut = ReadShortcut(ShortcutPath());
    ASSERT_TRUE(shortcut.loaded) << ShortcutPath();
    EXPECT_TRUE(SamePath(SetupExePath(), shortcut.target)) << shortcut.target;
    EXPECT_TRUE(SamePath(WorkFolder() + L"data\\logo.ico", shortcut.iconFile)) << shortcut.iconFile;
    EXPECT_EQ(0, shortcut.iconIndex);
    // The icon and the font are the resources' bytes, and nothing failed.
    EXPECT_TRUE(SetupResource(135, L"BINARY") == ReadBytes(WorkFolder() + L"data\\logo.ico"));
    EXPECT_TRUE(SetupResource(134, RT_FONT) == ReadBytes(WorkFolder() + L"data\\DIN-Regular.otf"));
    EXPECT_GT(ReadBytes(WorkFolder() + L"data\\DIN-Regular.otf").size(), 10000u);
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"#Error>>"));

    ASSERT_TRUE(DeleteFileW(ShortcutPath().c_str()));
    EXPECT_EQ(0u, RunSetup());
    EXPECT_TRUE(ReadShortcut(ShortcutPath()).loaded);
}

TEST_F(StartupTest, ShortcutFollowsAMovedExecutable)
{
    std::wstring moved = ScratchFolder(L"moved setup") + L"setup.exe";
    ASSERT_TRUE(CopyFileW(SetupExePath().c_str(), moved.c_str(), FALSE));
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, RunProgram(moved));
    Shortcut shortcut = ReadShortcut(ShortcutPath());
    EXPECT_TRUE(SamePath(moved, shortcut.target)) << shortcut.target;

    EXPECT_EQ(0u, RunSetup());
    EXPECT_TRUE(SamePath(SetupExePath(), ReadShortcut(ShortcutPath()).target));
    RemoveTree(moved.substr(0, moved.size() - 9));
}

TEST_F(StartupTest, DataFilesAlreadyThereAreKept)
{
    CreateDirectoryW(WorkFolder().c_str(), nullptr);
    CreateDirectoryW((WorkFolder() + L"data").c_str(), nullptr);
    WriteBytes(WorkFolder() + L"data\\logo.ico", "an older icon");
    WriteBytes(WorkFolder() + L"data\\DIN-Regular.otf", "an older font");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ("an older icon", ReadBytes(WorkFolder() + L"data\\logo.ico"));
    EXPECT_EQ("an older font", ReadBytes(WorkFolder() + L"data\\DIN-Regular.otf"));
    // Used as they are: the shortcut names the icon, the font is offered to
    // the system, which refuses these bytes; start-up went on regardless.
    EXPECT_TRUE(SamePath(WorkFolder() + L"data\\logo.ico", ReadShortcut(ShortcutPath()).iconFile));
    std::wstring log = ReadUtf16(TodayLog());
    EXPECT_EQ(1u, Count(log, L"failed to add font\r\n"));
    EXPECT_EQ(1u, Count(log, L"successful to set ui zip resource"));
}

TEST_F(StartupTest, IconResourceIsOne256PixelImageOf32Bits)
{
    std::string ico = SetupResource(135, L"BINARY");
    ASSERT_GE(ico.size(), 22u + 40u);
    // Reserved 0, type 1 (icon), one image; width and height 0 mean 256.
    EXPECT_EQ(std::string("\0\0\1\0\1\0", 6), ico.substr(0, 6));
    EXPECT_EQ(0, ico[6]);
    EXPECT_EQ(0, ico[7]);
    EXPECT_EQ(32, ico[12]);

    // Icon 107 loads at its full size.
    HMODULE module = LoadLibraryExW(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(107), IMAGE_ICON, 256, 256, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(256, bitmap.bmWidth);
    EXPECT_EQ(256, bitmap.bmHeight);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    FreeLibrary(module);
}

namespace {

// The DLLs setup.exe uses that are not among the system's known DLLs, so
// that Windows would look for them beside the executable first.
const wchar_t* const kPlantable[] = {L"winhttp.dll", L"iphlpapi.dll", L"gdiplus.dll", L"msimg32.dll",
                                     L"comctl32.dll", L"dbghelp.dll"};

// A folder like a downloads folder that another program wrote DLLs into,
// with the programs under test copied beside them. Wine is told to prefer
// such DLLs to its own, as Windows does.
class CPlantedFolder {
public:
    CPlantedFolder()
        : m_folder(ScratchFolder(L"planted downloads")),
          m_prefer({L"setup.exe", L"planting_control.exe"},
                   std::vector<std::wstring>(std::begin(kPlantable), std::end(kPlantable)))
    {
        for (const wchar_t* name : kPlantable)
            CopyFileW((TestProgramFolder() + L"planted.dll").c_str(), (m_folder + name).c_str(), FALSE);
    }
    ~CPlantedFolder() { RemoveTree(m_folder); }
    std::wstring Bring(const std::wstring& program)
    {
        std::wstring copy = m_folder + program.substr(program.find_last_of(L'\\') + 1);
        CopyFileW(program.c_str(), copy.c_str(), FALSE);
        return copy;
    }
    std::vector<std::wstring> Loaded() const
    {
        std::vector<std::wstring> loaded;
        for (const wchar_t* name : kPlantable)
            if (Exists(m_folder + name + L".loaded")) loaded.push_back(name);
        return loaded;
    }
    void Forget() const
    {
        for (const wchar_t* name : kPlantable) DeleteFileW((m_folder + name + L".loaded").c_str());
    }

private:
    std::wstring m_folder;
    CPreferPlantedDlls m_prefer;
};

}  // namespace

TEST_F(StartupTest, DllsDroppedBesideSetupAreNotLoaded)
{
    CPlantedFolder downloads;
    // The plant works: an ordinary program in that folder loads every one.
    ProcessResult control = RunProcess(L"\"" + downloads.Bring(TestProgramFolder() + L"planting_control.exe") + L"\"");
    EXPECT_EQ(0u, control.exitCode);
    EXPECT_EQ(5u, downloads.Loaded().size());
    downloads.Forget();

    // setup.exe in the same folder starts, makes the device id (the IP
    // helper), starts GDI+, and loads none of them.
    ChildProcess setup(L"\"" + downloads.Bring(SetupExePath()) + L"\"");
    ASSERT_TRUE(setup.Started());
    // It may wait for the user once started: the log tells when it got there.
    auto started = [] { return ReadUtf16(TodayLog()).find(L"] device id: ") != std::wstring::npos; };
    for (int waited = 0; waited < 60000 && !started(); waited += 100)
        if (setup.Wait(100) != static_cast<DWORD>(STILL_ACTIVE)) break;
    EXPECT_TRUE(started()) << "setup.exe did not get through start-up";
    std::vector<std::wstring> loaded = downloads.Loaded();
    EXPECT_TRUE(loaded.empty()) << WideToUtf8(loaded.empty() ? L"" : loaded[0]);
}
