// The data store over real files in a scratch folder; each new object over
// the same folder is one start of the program.

#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include <iphlpapi.h>

#include "base/Thread.h"
#include "base/JsonValue.h"
#include "base/StringConvert.h"
#include "state/DataManager.h"
#include "tests/service/TestLog.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

std::string Expected(const std::string& device, const std::string& path, const std::string& version)
{
    return "{\r\n\t\"device_id\" : \"" + device + "\",\r\n\t\"install_file_path\" : \"" + path +
           "\",\r\n\t\"software_version\" : \"" + version + "\"\r\n}";
}

bool LooksLikeDeviceId(const std::wstring& id)
{
    if (id.size() == 36) return id.find_first_not_of(L"0123456789ABCDEF-") == std::wstring::npos;
    if (id.size() >= 2 && id.size() % 2 == 0 &&
        id.find_first_not_of(L"0123456789abcdef") == std::wstring::npos)
        return true;
    return !id.empty() && id.find_first_not_of(L"0123456789") == std::wstring::npos;
}

class DataManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testlog::Open();
        m_folder = ScratchFolder(L"data-manager");
        m_file = m_folder + L"data.json";
    }
    // Objects are never destroyed, as in the program: threads may hold them.
    CDataManager* Start() { return new CDataManager(m_folder); }

    std::wstring m_folder;
    std::wstring m_file;
};

TEST_F(DataManagerTest, FirstRunCreatesTheFileAndTheIdSurvivesRestarts)
{
    CDataManager* first = Start();
    std::wstring id = first->DeviceId();
    EXPECT_TRUE(LooksLikeDeviceId(id)) << WideToUtf8(id);
    std::string bytes = ReadBytes(m_file);
    EXPECT_EQ(Expected(WideToUtf8(id), "", ""), bytes);
    EXPECT_FALSE(Exists(m_file + L".tmp"));

    CDataManager* second = Start();
    EXPECT_EQ(id, second->DeviceId());
    // A start that found an id does not write the file.
    EXPECT_EQ(bytes, ReadBytes(m_file));
}

TEST_F(DataManagerTest, LoadsWriterOutputAndDropsUnknownMembersOnSave)
{
    std::string path = u8"C:\\\\users\\\\测试\\\\Temp\\\\setup 1.exe";
    ASSERT_TRUE(WriteBytes(m_file, "{\r\n\t\"device_id\" : \"abc123\",\r\n\t\"extra\" : [1, 2],\r\n"
                                   "\t\"install_file_path\" : \"" + path + "\",\r\n"
                                   "\t\"software_version\" : \"3.2 \u6b63\u5f0f\u7248\"\r\n}\r\n"));
    CDataManager* manager = Start();
    EXPECT_EQ(L"abc123", manager->DeviceId());
    EXPECT_EQ(L"C:\\users\\\u6d4b\u8bd5\\Temp\\setup 1.exe", manager->GetInstallFilePath());
    EXPECT_EQ(L"3.2 \u6b63\u5f0f\u7248", manager->GetSoftwareVersion());

    manager->SetSoftwareVersion(L"");
    // The writer's default settings escape text outside ASCII.
    EXPECT_EQ(Expected("abc123", "C:\\\\users\\\\\\u6d4b\\u8bd5\\\\Temp\\\\setup 1.exe", ""),
              ReadBytes(m_file));
}

TEST_F(DataManagerTest, TheInstallerDigestIsKeptBesideItsPathWhenThereIsOne)
{
    const std::string digest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    std::string upper = digest;
    for (char& c : upper)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    // Read in either case, written back in lower case after the path.
    ASSERT_TRUE(WriteBytes(m_file, "{\"device_id\": \"abc\", \"install_file_path\": \"C:\\\\a.exe\", "
                                   "\"install_file_sha256\": \"" + upper + "\"}"));
    Start()->SetSoftwareVersion(L"1");
    EXPECT_EQ("{\r\n\t\"device_id\" : \"abc\",\r\n\t\"install_file_path\" : \"C:\\\\a.exe\",\r\n"
              "\t\"install_file_sha256\" : \"" + digest + "\",\r\n\t\"software_version\" : \"1\"\r\n}",
              ReadBytes(m_file));
    // A digest that is not one counts as none: the file is as it always was.
    for (const std::string& bad : {digest.substr(1), std::string("\"\""), std::string("[1]")}) {
        std::string value = bad[0] == '"' || bad[0] == '[' ? bad : "\"" + bad + "\"";
        ASSERT_TRUE(WriteBytes(m_file, "{\"device_id\": \"abc\", \"install_file_path\": \"C:\\\\a.exe\", "
                                       "\"install_file_sha256\": " + value + "}"));
        Start()->SetSoftwareVersion(L"1");
        EXPECT_EQ(Expected("abc", "C:\\\\a.exe", "1"), ReadBytes(m_file)) << bad;
    }
}

TEST_F(DataManagerTest, MissingEmptyOrUnreadableMembersGiveANewSavedId)
{
    struct {
        const char* content;
        bool logsParseFailure;
        const char* keptVersion;
    } rows[] = {
        {"{\"device_id\": \"\", \"software_version\": \"1.0\"}", false, "1.0"},
        {"{\"software_version\": \"1.0\"}", false, "1.0"},
        {"{\"device_id\": {\"a\": 1}, \"software_version\": \"1.0\"}", false, "1.0"},
        {"{\"device_id\": [\"x\"], \"software_version\": \"1.0\", \"install_file_path\": {}}", false, "1.0"},
        {"not json at all", true, ""},
        {"[\"device_id\", \"x\"]", true, ""},
        {"\"device_id\"", true, ""},
        {"", true, ""},
        // The reader throws past 1000 levels; such a file is simply not JSON.
        {"{\"device_id\": \"keep\", \"x\": [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[", true, ""},
    };
    for (auto& row : rows) {
        // The nested row goes deeper than its literal: past the reader's limit.
        std::string deep;
        if (strstr(row.content, "[[[[")) {
            deep = std::string(row.content) + std::string(1000, '[');
            row.content = deep.c_str();
        }
        ASSERT_TRUE(WriteBytes(m_file, row.content));
        size_t before = testlog::Lines(L"failed to parse the basic configure").size();
        CDataManager* manager = Start();
        EXPECT_TRUE(LooksLikeDeviceId(manager->DeviceId())) << row.content;
        EXPECT_EQ(row.keptVersion, WideToUtf8(manager->GetSoftwareVersion())) << row.content;
        EXPECT_EQ(L"", manager->GetInstallFilePath()) << row.content;
        EXPECT_EQ(before + (row.logsParseFailure ? 1 : 0),
                  testlog::Lines(L"failed to parse the basic configure").size())
            << row.content;
        EXPECT_EQ(Expected(WideToUtf8(manager->DeviceId()), "", row.keptVersion), ReadBytes(m_file))
            << row.content;
    }
}

TEST_F(DataManagerTest, AFailedSaveLeavesTheOldFileWhole)
{
    CDataManager* manager = Start();
    manager->SetSoftwareVersion(L"old");
    std::string old = ReadBytes(m_file);
    ASSERT_NE(std::string::npos, old.find("\"old\""));

    // The temporary file cannot be written: a folder holds its name.
    ASSERT_TRUE(CreateDirectoryW((m_file + L".tmp").c_str(), nullptr));
    size_t before = testlog::Lines(L"failed to save the data configure file : ").size();
    manager->SetSoftwareVersion(L"new");
    EXPECT_EQ(old, ReadBytes(m_file));
    EXPECT_EQ(before + 1, testlog::Lines(L"failed to save the data configure file : ").size());
    // The value stays in memory and reaches the file with the next save that can write.
    EXPECT_EQ(L"new", manager->GetSoftwareVersion());
    RemoveDirectoryW((m_file + L".tmp").c_str());

    // The old file cannot be replaced while another program holds it open.
    HANDLE held = CreateFileW(m_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    manager->SetSoftwareVersion(L"newer");
    CloseHandle(held);
    EXPECT_EQ(old, ReadBytes(m_file));
    EXPECT_FALSE(Exists(m_file + L".tmp"));
    EXPECT_EQ(before + 2, testlog::Lines(L"failed to save the data configure file : ").size());

    manager->SetSoftwareVersion(L"last");
    EXPECT_EQ(Expected(WideToUtf8(manager->DeviceId()), "", "last"), ReadBytes(m_file));
}

TEST_F(DataManagerTest, AFileThatCannotBeOpenedIsLoggedAndGetsANewId)
{
    ASSERT_TRUE(WriteBytes(m_file, "{\"device_id\": \"keep\"}"));
    HANDLE held = CreateFileW(m_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    size_t before = testlog::Lines(L"failed to open the data configure file : ").size();
    CDataManager* manager = Start();
    CloseHandle(held);
    EXPECT_NE(L"keep", manager->DeviceId());
    EXPECT_TRUE(LooksLikeDeviceId(manager->DeviceId()));
    std::vector<std::wstring> lines = testlog::Lines(L"failed to open the data configure file : ");
    ASSERT_EQ(before + 1, lines.size());
    EXPECT_NE(std::wstring::npos, lines.back().find(m_file));
}

// Reads a file the way an indexer or a second copy would, without keeping
// a writer from replacing it meanwhile.
std::string ReadShared(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

TEST_F(DataManagerTest, OverlappingSavesAlwaysLeaveAWholeFile)
{
    CDataManager* manager = Start();
    auto saver = [manager](const wchar_t* prefix) {
        for (int i = 0; i < 40; ++i) manager->SetSoftwareVersion(prefix + std::to_wstring(i));
    };
    CThread a([&saver] { saver(L"a"); }), b([&saver] { saver(L"b"); });
    // The file exists from the start on; a reader never finds it empty or cut.
    for (int i = 0; i < 200; ++i) {
        std::string bytes = ReadShared(m_file);
        Json::Value root;
        EXPECT_TRUE(ParseJson(bytes, root) && root.isObject()) << i << ": " << bytes;
    }
    a.Join();
    b.Join();
    Json::Value root;
    ASSERT_TRUE(ParseJson(ReadBytes(m_file), root));
    EXPECT_EQ(WideToUtf8(manager->GetSoftwareVersion()), root["software_version"].asString());
    EXPECT_EQ(WideToUtf8(manager->DeviceId()), root["device_id"].asString());
}

TEST_F(DataManagerTest, AStoredIdThatIsNotAPlainIdentifierIsMadeAnew)
{
    // A hand-edited file: the id would end the "did" header line and add one.
    ASSERT_TRUE(WriteBytes(m_file, "{\"device_id\": \"abc\\r\\nX-Injected: 1\", \"software_version\": \"1.0\"}"));
    size_t before = testlog::Lines(L"the stored device id is not a plain identifier").size();
    CDataManager* manager = Start();
    EXPECT_EQ(before + 1, testlog::Lines(L"the stored device id is not a plain identifier").size());
    EXPECT_TRUE(LooksLikeDeviceId(manager->DeviceId())) << WideToUtf8(manager->DeviceId());
    EXPECT_EQ(L"1.0", manager->GetSoftwareVersion());
    EXPECT_EQ(Expected(WideToUtf8(manager->DeviceId()), "", "1.0"), ReadBytes(m_file));
    std::wstring headers = manager->BuildHeaders();
    EXPECT_EQ(0u, headers.find(L"did: " + manager->DeviceId() + L"\r\nvid: "));
    EXPECT_EQ(3, std::count(headers.begin(), headers.end(), L'\n'));

    // Ids of every form the program makes, and plain ones written by hand, stay.
    for (const char* id : {"001a2b3c4d5e", "0A1B2C3D-0000-4000-8000-00000000ABCD", "123456789", "my_device.2"}) {
        ASSERT_TRUE(WriteBytes(m_file, std::string("{\"device_id\": \"") + id + "\"}"));
        EXPECT_EQ(id, WideToUtf8(Start()->DeviceId()));
    }
    for (const char* id : {"a b", "a:b", "tab\\there", "\\u00e9t\\u00e9"}) {
        ASSERT_TRUE(WriteBytes(m_file, std::string("{\"device_id\": \"") + id + "\"}"));
        EXPECT_NE(id, WideToUtf8(Start()->DeviceId())) << id;
    }
}

// The id the real adapter walk must give on this machine, worked out here
// from the system's own list.
std::wstring ExpectedAdapterId()
{
    ULONG size = 0;
    if (GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW)
        return L"";
    std::vector<unsigned char> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    if (GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, first, &size) != 0) return L"";
    for (IP_ADAPTER_ADDRESSES* a = first; a; a = a->Next) {
        if (a->IfType != IF_TYPE_ETHERNET_CSMACD) continue;
        std::wstring description = a->Description ? a->Description : L"";
        for (wchar_t& c : description) c = static_cast<wchar_t>(towlower(c));
        if (description.find(L"virtual") != std::wstring::npos ||
            description.find(L"\u865a\u62df") != std::wstring::npos)
            continue;
        std::wstring id;
        for (ULONG i = 0; i < a->PhysicalAddressLength; ++i) {
            wchar_t digits[3];
            swprintf(digits, 3, L"%02x", a->PhysicalAddress[i]);
            id += digits;
        }
        return id;
    }
    return L"";
}

TEST_F(DataManagerTest, RealAdapterWalkGivesThisMachinesAddressOrAGuid)
{
    std::wstring expected = ExpectedAdapterId();
    std::wstring made = Start()->DeviceId();
    if (!expected.empty()) {
        EXPECT_EQ(expected, made);
    } else {
        // No qualifying adapter: the GUID without its braces.
        ASSERT_EQ(36u, made.size()) << WideToUtf8(made);
        EXPECT_EQ(std::wstring::npos, made.find_first_not_of(L"0123456789ABCDEF-")) << WideToUtf8(made);
        EXPECT_EQ(L'-', made[8]);
        EXPECT_EQ(L'-', made[23]);
    }
}

TEST_F(DataManagerTest, NoConfigurationFolderReadsAndWritesNothing)
{
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryW(m_folder.c_str()));
    ASSERT_TRUE(WriteBytes(m_file, "{\"device_id\": \"fromcurrentfolder\"}"));
    size_t before = testlog::Lines(L"failed to find the configure folder").size();
    CDataManager* manager = new CDataManager(L"");
    manager->SetSoftwareVersion(L"2.0");
    SetCurrentDirectoryW(current);
    EXPECT_NE(L"fromcurrentfolder", manager->DeviceId());
    EXPECT_EQ("{\"device_id\": \"fromcurrentfolder\"}", ReadBytes(m_file));
    EXPECT_FALSE(Exists(m_file + L".tmp"));
    EXPECT_LE(before + 3, testlog::Lines(L"failed to find the configure folder").size());
}

TEST_F(DataManagerTest, InstallPathIsReturnedEvenWhenItsFileIsGone)
{
    ASSERT_TRUE(WriteBytes(m_file, "{\"device_id\": \"d\", \"install_file_path\": \"C:\\\\gone\\\\x.exe\"}"));
    EXPECT_EQ(L"C:\\gone\\x.exe", Start()->GetInstallFilePath());
}

TEST_F(DataManagerTest, DownloadCallbacksRecordTheStatusAndIdentifiersComeFromThisSystem)
{
    CDataManager* manager = Start();
    manager->OnDownloadProgress(3, 42);
    EXPECT_EQ(42, manager->DownloadPercent());
    // This program is test_state.exe: the vendor id is the text after its underscore.
    EXPECT_EQ(L"state", manager->VendorId());

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                                           L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                                           KEY_READ, &key));
    wchar_t build[100] = {};
    DWORD size = sizeof build;
    RegQueryValueExW(key, L"CurrentBuildNumber", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(build), &size);
    RegCloseKey(key);
    std::string os = manager->OsVersion();
    std::string suffix = "." + WideToUtf8(build);
    ASSERT_GT(os.size(), suffix.size());
    EXPECT_EQ(suffix, os.substr(os.size() - suffix.size())) << os;
    EXPECT_EQ(2, std::count(os.begin(), os.end(), '.')) << os;
}

}  // namespace
