#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"
#include "ui/core/XmlDocument.h"

#include "UiTestData.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::ReadBytes;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

// Every test starts from the process's initial skin source: no archive and
// no resource folder.
class ResourceLocationTest : public ::testing::Test {
protected:
    void SetUp() override { CSkinSource::Process().Reset(); }
    void TearDown() override { CSkinSource::Process().Reset(); }
};

void ExpectSkinFailure(const std::wstring& name, const wchar_t* message)
{
    CXmlDocument document;
    EXPECT_FALSE(document.LoadSkinFile(name)) << name;
    EXPECT_STREQ(message, document.ErrorMessage()) << name;
    EXPECT_STREQ(L"", document.ErrorLocation()) << name;
    EXPECT_FALSE(document.IsLoaded());
}

void ExpectSkinLoads(const std::wstring& name, const wchar_t* rootName)
{
    CXmlDocument document;
    EXPECT_TRUE(document.LoadSkinFile(name)) << name << L": " << document.ErrorMessage();
    EXPECT_STREQ(rootName, document.Root().Name()) << name;
}

TEST_F(ResourceLocationTest, SkinFilesComeFromTheArchiveInTheResourceFolder)
{
    for (const wchar_t* archive : {L"cmake_tar.zip", L"infozip_stream.zip", L"python_stub.zip"}) {
        ResourceLocation::SetResourceFolder(ui_test::ArchivePath(L""));
        ResourceLocation::UseSkinArchive(archive);
        EXPECT_TRUE(CSkinSource::Process().HasOpenArchive()) << archive;
        ExpectSkinLoads(L"window.xml", L"Window");
        ExpectSkinLoads(L"Progress.XML", L"Window");
        ExpectSkinLoads(L"big_limit.xml", L"Window");
        ExpectSkinFailure(L"big_over.xml", L"File too large");
        ExpectSkinFailure(L"empty.xml", L"File is empty");
        ExpectSkinFailure(L"missing.xml", L"Could not find ziped file");
        // An entry that is not markup fails in the parser.
        CXmlDocument document;
        EXPECT_FALSE(document.LoadSkinFile(L"images\\close.png"));
        EXPECT_STREQ(L"Expected start tag", document.ErrorMessage());
        EXPECT_STREQ(L"\xFFFDPNG\r\n\x1A\n", document.ErrorLocation());

        std::string bytes;
        EXPECT_TRUE(ResourceLocation::ReadSkinBytes(L"images\\Close.PNG", bytes));
        EXPECT_TRUE(bytes == ui_test::ExpectedBytes(L"images/close.png")) << archive;
        EXPECT_FALSE(ResourceLocation::ReadSkinBytes(L"missing.png", bytes));
        EXPECT_TRUE(bytes.empty());
    }
    std::string bytes;
    EXPECT_TRUE(ResourceLocation::ReadSkinBytes(L"\u56FE\u7247/\u5173\u95ED\u6309\u94AE.png", bytes));
    EXPECT_TRUE(bytes == ui_test::ExpectedBytes(L"\u56FE\u7247/\u5173\u95ED\u6309\u94AE.png"));
}

TEST_F(ResourceLocationTest, AnArchiveThatCannotBeOpenedFailsEveryRead)
{
    ResourceLocation::SetResourceFolder(ui_test::ArchivePath(L""));
    ResourceLocation::UseSkinArchive(L"no_such.zip");
    EXPECT_FALSE(CSkinSource::Process().HasOpenArchive());
    ExpectSkinFailure(L"window.xml", L"Error opening zip file");
    std::string bytes;
    EXPECT_FALSE(ResourceLocation::ReadSkinBytes(L"window.xml", bytes));
    // Naming a good archive afterwards opens it.
    ResourceLocation::UseSkinArchive(L"infozip.zip");
    ExpectSkinLoads(L"window.xml", L"Window");
}

TEST_F(ResourceLocationTest, FirstArchiveInMemoryStaysInForce)
{
    static const std::string first = ReadBytes(ui_test::ArchivePath(L"python_deflated.zip"));
    // A second archive that lacks window.xml: if it replaced the first,
    // the load below would fail.
    static const std::string second = ReadBytes(ui_test::ArchivePath(L"python_stored.zip")).substr(0, 100);
    ASSERT_FALSE(first.empty());
    ResourceLocation::UseSkinArchiveBytes(first.data(), static_cast<unsigned>(first.size()));
    EXPECT_EQ(L"membuffer", CSkinSource::Process().ArchiveName());
    ResourceLocation::UseSkinArchiveBytes(second.data(), static_cast<unsigned>(second.size()));
    ExpectSkinLoads(L"window.xml", L"Window");
    ExpectSkinFailure(L"big_over.xml", L"File too large");

    // A named archive replaces the memory one; memory may then come again.
    ResourceLocation::SetResourceFolder(ui_test::ArchivePath(L""));
    ResourceLocation::UseSkinArchive(L"cmake_tar.zip");
    EXPECT_EQ(L"cmake_tar.zip", CSkinSource::Process().ArchiveName());
    ResourceLocation::UseSkinArchiveBytes(second.data(), static_cast<unsigned>(second.size()));
    EXPECT_FALSE(CSkinSource::Process().HasOpenArchive());
    ExpectSkinFailure(L"window.xml", L"Error opening zip file");
}

TEST_F(ResourceLocationTest, WithoutAnArchiveSkinFilesComeFromTheResourceFolder)
{
    std::wstring folder = ScratchFolder(L"ui_resource_folder");
    const std::string skin = ReadBytes(ui_test::DataPath(L"progress.xml"));
    ASSERT_TRUE(WriteBytes(folder + L"progress.xml", skin));
    ASSERT_TRUE(WriteBytes(folder + L"empty.xml", ""));
    ASSERT_TRUE(WriteBytes(folder + L"limit.xml", ui_test::ExpectedBytes(L"big_limit.xml")));
    ASSERT_TRUE(WriteBytes(folder + L"over.xml", ui_test::ExpectedBytes(L"big_over.xml")));
    ASSERT_TRUE(WriteBytes(folder + L"broken.xml", "<Window><A></B></Window>"));

    ResourceLocation::SetResourceFolder(folder);
    EXPECT_EQ(folder, ResourceLocation::GetResourceFolder());
    ExpectSkinLoads(L"progress.xml", L"Window");
    ExpectSkinLoads(L"limit.xml", L"Window");
    ExpectSkinFailure(L"over.xml", L"File too large");
    ExpectSkinFailure(L"empty.xml", L"File is empty");
    ExpectSkinFailure(L"missing.xml", L"Error opening file");

    CXmlDocument document;
    EXPECT_FALSE(document.LoadSkinFile(L"broken.xml"));
    EXPECT_STREQ(L"Unmatched closing tag", document.ErrorMessage());
    EXPECT_STREQ(L"B></Window>", document.ErrorLocation());

    std::string bytes;
    EXPECT_TRUE(ResourceLocation::ReadSkinBytes(L"progress.xml", bytes));
    EXPECT_TRUE(bytes == skin);
    EXPECT_FALSE(ResourceLocation::ReadSkinBytes(L"missing.xml", bytes));
    testing_support::RemoveTree(folder);
}

TEST_F(ResourceLocationTest, ModuleFolderIsTheProgramsFolder)
{
    HINSTANCE before = ResourceLocation::GetModuleInstance();
    ResourceLocation::SetModuleInstance(nullptr);
    EXPECT_EQ(L"", ResourceLocation::GetModuleFolder());
    ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
    std::wstring folder = ResourceLocation::GetModuleFolder();
    EXPECT_EQ(testing_support::TestProgramFolder(), folder);
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_EQ(GetModuleHandleW(nullptr), ResourceLocation::GetResourceModule());
    ResourceLocation::SetModuleInstance(before);
}

}  // namespace
