#include <gtest/gtest.h>

#include <memory>

#include "diagnostics/Logger.h"
#include "state/SettingManager.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// Routes the process-wide log into a scratch folder for one test.
class SettingManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = ScratchFolder(L"settings");
        m_log.reset(new CLogger(m_folder, L"test"));
        g_pLogger = m_log.get();
    }
    void TearDown() override { g_pLogger = nullptr; }

    CSettingManager Read(const std::string& content)
    {
        WriteBytes(m_folder + L"configs.json", content);
        return CSettingManager(m_folder);
    }
    std::wstring LogText() { return ReadUtf16(m_log->Path()); }

    std::wstring m_folder;
    std::unique_ptr<CLogger> m_log;
};

}  // namespace

TEST_F(SettingManagerTest, MissingFileKeepsDefaultsSilently)
{
    CSettingManager settings(m_folder);
    EXPECT_EQ(2, settings.log_level());
    EXPECT_TRUE(settings.load_resource_from_zip());
    EXPECT_EQ(std::wstring::npos, LogText().find(L"#Error>>"));
}

TEST_F(SettingManagerTest, ReadsBothKeysAcrossLines)
{
    CSettingManager settings = Read("{\r\n  \"log_level\": 1,\r\n  \"load_resource_from_zip\": false\r\n}\r\n");
    EXPECT_EQ(1, settings.log_level());
    EXPECT_FALSE(settings.load_resource_from_zip());
}

TEST_F(SettingManagerTest, JsonConversionsOfTheValues)
{
    struct Case {
        const char* content;
        int level;
        bool fromZip;
    } cases[] = {
        {"{\"log_level\": 3, \"load_resource_from_zip\": 0}", 3, false},
        {"{\"log_level\": 4.9, \"load_resource_from_zip\": 2}", 4, true},
        {"{\"log_level\": true, \"load_resource_from_zip\": null}", 1, false},
        {"{\"other\": 5}", 2, true},
        // Values of a kind that does not convert count as absent.
        {"{\"log_level\": \"1\", \"load_resource_from_zip\": \"false\"}", 2, true},
        {"{\"log_level\": {\"a\": 1}, \"load_resource_from_zip\": [0]}", 2, true},
        {"{\"log_level\": 1e12, \"load_resource_from_zip\": {}}", 2, true},
        {"[1, 2]", 2, true},
        {"17", 2, true},
    };
    for (const Case& c : cases) {
        CSettingManager settings = Read(c.content);
        EXPECT_EQ(c.level, settings.log_level()) << c.content;
        EXPECT_EQ(c.fromZip, settings.load_resource_from_zip()) << c.content;
    }
}

TEST_F(SettingManagerTest, CommentOnTheFirstLineSwallowsTheWholeFile)
{
    CSettingManager settings = Read("// settings for the test build\n{\"log_level\": 1, \"load_resource_from_zip\": false}\n");
    EXPECT_EQ(2, settings.log_level());
    EXPECT_TRUE(settings.load_resource_from_zip());
    EXPECT_NE(std::wstring::npos, LogText().find(L"#Error>>"));
    EXPECT_NE(std::wstring::npos, LogText().find(L"failed to parse the basic configure\r\n"));
}

TEST_F(SettingManagerTest, CommentAtTheEndIsHarmless)
{
    CSettingManager settings = Read("{\"log_level\": 3} // quiet\n");
    EXPECT_EQ(3, settings.log_level());
}

TEST_F(SettingManagerTest, UnopenableFileIsReported)
{
    // A folder of that name exists but cannot be opened as a file.
    CreateDirectoryW((m_folder + L"configs.json").c_str(), nullptr);
    CSettingManager settings(m_folder);
    EXPECT_EQ(2, settings.log_level());
    std::wstring expected = L"failed to open the basic configure file : " + m_folder + L"configs.json\r\n";
    EXPECT_NE(std::wstring::npos, LogText().find(expected));
}

TEST_F(SettingManagerTest, DeeplyNestedFileFailsToParseInsteadOfEndingTheProcess)
{
    // jsoncpp throws past 1000 levels; the file is then just not valid JSON.
    for (size_t depth : {1001u, 200000u}) {
        CSettingManager settings = Read("{\"log_level\": 1, \"x\": " + std::string(depth, '[') + "}");
        EXPECT_EQ(2, settings.log_level());
        EXPECT_TRUE(settings.load_resource_from_zip());
    }
    EXPECT_NE(std::wstring::npos, LogText().find(L"failed to parse the basic configure"));
    // Within the limit the same shape reads normally.
    CSettingManager settings =
        Read("{\"log_level\": 1, \"x\": " + std::string(999, '[') + std::string(999, ']') + "}");
    EXPECT_EQ(1, settings.log_level());
}

TEST_F(SettingManagerTest, NoConfigurationFolderKeepsDefaultsAndReadsNothingFromTheCurrentFolder)
{
    // A configs.json in the current folder must not be taken for ours.
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryW(m_folder.c_str()));
    WriteBytes(m_folder + L"configs.json", "{\"log_level\": 3, \"load_resource_from_zip\": false}");
    CSettingManager settings(L"");
    SetCurrentDirectoryW(current);
    EXPECT_EQ(2, settings.log_level());
    EXPECT_TRUE(settings.load_resource_from_zip());
    EXPECT_NE(std::wstring::npos, LogText().find(L"failed to find the configure folder"));
}
