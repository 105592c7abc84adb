#include <gtest/gtest.h>

#include "base/StringConvert.h"
#include "state/UiSetting.h"

namespace {
std::string Utf8(const wchar_t* text) { return WideToUtf8(text); }
}  // namespace

TEST(UiSetting, ReadsEveryGroupAndConvertsScalars)
{
    CUiSetting settings(Utf8(LR"({
        // comments are allowed
        "文本": {"版本1": "一", "版本2": "二", "版本3": "三", "版本5": "五", "位置": ""},
        "颜色": {"主题色": "#FF2F7CF6"},
        "链接": {"接口地址": "localhost"},
        "其它": {"总是下载最新安装包": 1, "flag": true, "nothing": null, "real": 2.5}
    })"));
    EXPECT_EQ(L"一", settings.GetText(L"版本1"));
    EXPECT_EQ(L"五", settings.GetText(L"版本5"));
    EXPECT_EQ(L"", settings.GetText(L"版本4"));
    EXPECT_EQ(L"", settings.GetText(L"位置"));
    EXPECT_EQ(L"#FF2F7CF6", settings.GetColor(L"主题色"));
    EXPECT_EQ(L"localhost", settings.GetLink(L"接口地址"));
    EXPECT_EQ(L"1", settings.GetOther(L"总是下载最新安装包"));
    EXPECT_EQ(L"true", settings.GetOther(L"flag"));
    EXPECT_EQ(L"", settings.GetOther(L"nothing"));
    EXPECT_EQ(L"2.5", settings.GetOther(L"real"));
    EXPECT_EQ((std::vector<std::wstring>{L"一", L"二", L"三"}), settings.OfferedVersions());
    // Groups are separate maps: a text key is not a link.
    EXPECT_EQ(L"", settings.GetLink(L"版本1"));
}

TEST(UiSetting, MissingOrMalformedGroupsAndMembersArePassedOver)
{
    CUiSetting settings(Utf8(LR"({
        "文本": {"版本1": "一", "nested": {"a": 1}, "list": [1, 2]},
        "链接": "not a group",
        "其它": {"APPID": "{X}"}
    })"));
    EXPECT_EQ(L"一", settings.GetText(L"版本1"));
    EXPECT_EQ(L"", settings.GetText(L"nested"));
    EXPECT_EQ(L"", settings.GetText(L"list"));
    EXPECT_EQ(L"", settings.GetLink(L"接口地址"));
    EXPECT_EQ(L"", settings.GetColor(L"主题色"));
    EXPECT_EQ(L"{X}", settings.GetOther(L"APPID"));
}

TEST(UiSetting, BrokenDocumentsLeaveEverythingEmpty)
{
    for (const char* document : {"", "{\"文本\": ", "[1, 2, 3]", "\"text\"", "null"}) {
        CUiSetting settings(document);
        EXPECT_EQ(L"", settings.GetText(L"版本1")) << document;
        EXPECT_EQ(L"", settings.GetOther(L"APPID")) << document;
    }
}

TEST(UiSetting, OfferedVersionsStopAtAnEmptyNameAndAtTwenty)
{
    std::string texts;
    for (int n = 1; n <= 22; ++n) texts += (n > 1 ? ", " : "") + std::string("\"") + WideToUtf8(L"版本") + std::to_string(n) + "\": \"v" + std::to_string(n) + "\"";
    CUiSetting many(Utf8(L"{\"文本\": {") + texts + "}}");
    std::vector<std::wstring> versions = many.OfferedVersions();
    ASSERT_EQ(20u, versions.size());
    EXPECT_EQ(L"v20", versions.back());

    CUiSetting gap(Utf8(LR"({"文本": {"版本1": "a", "版本2": "", "版本3": "c"}})"));
    EXPECT_EQ(std::vector<std::wstring>{L"a"}, gap.OfferedVersions());
    // Leading zeros are not version numbers.
    CUiSetting zero(Utf8(LR"({"文本": {"版本01": "a"}})"));
    EXPECT_TRUE(zero.OfferedVersions().empty());
}

TEST(UiSetting, DeeplyNestedDocumentReadsAsEmptyInsteadOfEndingTheProcess)
{
    CUiSetting settings("{\"\xe5\x85\xb6\xe5\xae\x83\": {\"APPID\": \"x\"}, \"deep\": " + std::string(1001, '[') +
                        std::string(1001, ']') + "}");
    EXPECT_EQ(L"", settings.GetOther(L"APPID"));
    CUiSetting deeper(std::string(300000, '{'));
    EXPECT_EQ(L"", deeper.GetOther(L"APPID"));
}
