// Starts the real setup.exe the way a user does and looks at what it leaves.

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <iterator>
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
    // The image is a PNG frame: the same pixels as a bitmap would be 262 KB,
    // carried twice.
    EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), ico.substr(22, 8));
    EXPECT_LT(ico.size(), 64u * 1024u);

    // Icon 107 loads at its full size, and at the sizes of a window's icons.
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
    for (int size : {16, 32}) {
        HICON scaled = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(107), IMAGE_ICON, size, size, 0));
        EXPECT_NE(nullptr, scaled) << size;
        if (scaled) DestroyIcon(scaled);
    }
    FreeLibrary(module);
}

namespace {

// The DLLs setup.exe uses that are not among the system's known DLLs, so
// that Windows would look for them beside the executable first.
// With them, those that system DLLs load for it once it runs: the IP
// helper's name service, WinINet's network provider router and the theme
// library that windows load.
const wchar_t* const kPlantable[] = {L"winhttp.dll", L"iphlpapi.dll", L"gdiplus.dll", L"msimg32.dll",
                                     L"comctl32.dll", L"dbghelp.dll", L"urlmon.dll",  L"wininet.dll",
                                     L"bcrypt.dll",   L"dnsapi.dll",  L"mpr.dll",     L"uxtheme.dll"};

// What Wine's own system DLLs import, resolved by Wine's loader before the
// program's first line: its advapi32 imports version and zlib1, its C
// run-time ucrtbase, user32 win32u, ole32 combase, shell32 shcore; and its
// display driver. No program can keep these from the folder it sits in
// when Wine is told to prefer such DLLs, so they are not planted. On
// Windows they are the known DLLs' own imports (or do not exist).
const wchar_t* const kWineLoaderImports[] = {L"version.dll", L"zlib1.dll",   L"ucrtbase.dll", L"win32u.dll",
                                             L"combase.dll", L"shcore.dll",  L"winex11.drv"};

// The system's known DLLs, which Windows always takes from the system
// folder whatever lies beside a program (the KnownDLLs list that every
// Windows from 7 to 11 carries), and the two the loader maps into every
// process before any of the program's own code.
const wchar_t* const kKnownDlls[] = {
    L"advapi32.dll", L"clbcatq.dll",  L"comdlg32.dll", L"gdi32.dll",    L"imagehlp.dll", L"imm32.dll",
    L"kernel32.dll", L"msctf.dll",    L"msvcrt.dll",   L"normaliz.dll", L"nsi.dll",      L"ole32.dll",
    L"oleaut32.dll", L"psapi.dll",    L"rpcrt4.dll",   L"sechost.dll",  L"setupapi.dll", L"shell32.dll",
    L"shlwapi.dll",  L"user32.dll",   L"wldap32.dll",  L"ws2_32.dll",   L"difxapi.dll",  L"ntdll.dll",
    L"kernelbase.dll"};

bool SameName(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

// The DLLs among names that are neither known DLLs nor planted by these tests.
std::vector<std::wstring> Unplanted(const std::vector<std::wstring>& names, const std::wstring& program)
{
    std::vector<std::wstring> unplanted;
    for (const std::wstring& name : names) {
        bool covered = SameName(name, program.c_str());
        for (const wchar_t* known : kKnownDlls) covered = covered || SameName(name, known);
        for (const wchar_t* planted : kPlantable) covered = covered || SameName(name, planted);
        for (const wchar_t* wine : kWineLoaderImports) covered = covered || SameName(name, wine);
        if (!covered) unplanted.push_back(name);
    }
    return unplanted;
}

std::string Joined(const std::vector<std::wstring>& names)
{
    std::wstring joined;
    for (const std::wstring& name : names) joined += name + L" ";
    return WideToUtf8(joined);
}

// The base names of the modules loaded in a process.
std::vector<std::wstring> ModulesOf(DWORD processId)
{
    std::vector<std::wstring> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry))
        names.push_back(entry.szModule);
    CloseHandle(snapshot);
    return names;
}

// A folder like a downloads folder that another program wrote DLLs into,
// with the programs under test copied beside them. Wine is told to prefer
// such DLLs to its own, as Windows does.
class CPlantedFolder {
public:
    CPlantedFolder()
        : m_folder(ScratchFolder(L"planted downloads")),
          m_prefer({L"setup.exe", L"planting_control.exe", L"planting_probe.exe"},
                   std::vector<std::wstring>(std::begin(kPlantable), std::end(kPlantable)))
    {
        for (const wchar_t* name : kPlantable)
            CopyFileW((TestProgramFolder() + L"planted.dll").c_str(), (m_folder + name).c_str(), FALSE);
    }
    ~CPlantedFolder() { RemoveTree(m_folder); }
    const std::wstring& Folder() const { return m_folder; }
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
    // All but comctl32, which it has no use for.
    EXPECT_EQ(std::size(kPlantable) - 1, downloads.Loaded().size()) << Joined(downloads.Loaded());
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
    EXPECT_TRUE(loaded.empty()) << Joined(loaded);
    // Every DLL it took by then that Windows might look for beside it was planted.
    std::vector<std::wstring> modules = ModulesOf(setup.Id());
    EXPECT_GT(modules.size(), 5u);
    EXPECT_TRUE(Unplanted(modules, L"setup.exe").empty()) << Joined(Unplanted(modules, L"setup.exe"));
}

TEST_F(StartupTest, DllsDroppedBesideSetupAreNotLoadedByTheDownload)
{
    // The hashing, URL cache and URL moniker DLLs are loaded only when a
    // download runs, long after start-up; the probe makes those calls the
    // way setup.exe does, with the search restricted first.
    CPlantedFolder downloads;
    std::wstring list = downloads.Folder() + L"modules.txt";
    ProcessResult probe = RunProcess(L"\"" + downloads.Bring(TestProgramFolder() + L"planting_probe.exe") + L"\" \"" +
                                     list + L"\"");
    EXPECT_EQ(0u, probe.exitCode);
    std::vector<std::wstring> loaded = downloads.Loaded();
    EXPECT_TRUE(loaded.empty()) << Joined(loaded);
    std::vector<std::wstring> modules;
    std::string text = ReadBytes(list);
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) modules.push_back(Utf8ToWide(line));
    }
    for (const wchar_t* needed : {L"urlmon.dll", L"wininet.dll", L"bcrypt.dll"}) {
        bool found = false;
        for (const std::wstring& name : modules) found = found || SameName(name, needed);
        EXPECT_TRUE(found) << WideToUtf8(needed) << " was not loaded: " << Joined(modules);
    }
    EXPECT_TRUE(Unplanted(modules, L"planting_probe.exe").empty())
        << Joined(Unplanted(modules, L"planting_probe.exe"));
}
