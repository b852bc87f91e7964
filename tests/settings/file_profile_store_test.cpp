// The portable file store on a real folder: where it looks, what it keeps,
// and that a failed write leaves the old file whole.
#include "platform/posix/file_profile_store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {
namespace fs = std::filesystem;

class FileProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("nimbrel-store-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    void WriteFile(const fs::path& path, std::string_view text)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path folder;
};

TEST_F(FileProfileStoreTest, FirstStoreCreatesFolderAndFileAndReplacingLeavesNoOtherFile)
{
    FileProfileStore store(folder);
    SettingsFile file(kSettingsFileName, store);
    EXPECT_EQ(file.LoadInt("Main", "CloseMouseMove", 4), 4);
    EXPECT_FALSE(fs::exists(folder)) << "reading creates nothing";
    file.StoreFlag("Main", "Wave", false);
    file.StoreInt("Main", "CloseMouseMove", 8);
    EXPECT_EQ(ReadFile(folder / "Rendaxo.ini"), "[Main]\nWave=0\nCloseMouseMove=8\n");
    EXPECT_FALSE(file.LoadFlag("Main", "Wave", true));
    for (int i = 0; i < 3; ++i) file.StoreInt("Main", "CloseMouseMove", i);
    EXPECT_EQ(file.LoadInt("Main", "CloseMouseMove", 4), 2);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(FileProfileStoreTest, StoreKeepsOtherSectionsCommentsAndUnknownLines)
{
    const std::string before =
        "; written by hand\r\n[Wave]\r\nPitch=2\r\nSpeed=5\r\n\r\n[Mine]\r\nx=y\r\nodd line\r\n";
    WriteFile(folder / "Rendaxo.ini", before);
    FileProfileStore store(folder);
    SettingsFile(kSettingsFileName, store).StoreInt("wave", "pitch", 7);
    EXPECT_EQ(ReadFile(folder / "Rendaxo.ini"),
              "; written by hand\r\n[Wave]\r\nPitch=7\r\nSpeed=5\r\n\r\n[Mine]\r\nx=y\r\nodd line\r\n");
}

TEST_F(FileProfileStoreTest, LongValuesAreCutTo1023CharactersOnLoad)
{
    // This store hands over whole values; the load does the cut.
    WriteFile(folder / "Rendaxo.ini", "[Main]\nCut=" + std::string(1023, '0') + "7\nFits="
                                          + std::string(1022, '0') + "7\n");
    FileProfileStore store(folder);
    SettingsFile file(kSettingsFileName, store);
    EXPECT_EQ(file.LoadText("Main", "Cut", "").size(), 1023u);
    EXPECT_EQ(file.LoadInt("Main", "Cut", -1), 0);
    EXPECT_EQ(file.LoadInt("Main", "Fits", -1), 7);
}

TEST_F(FileProfileStoreTest, FolderComesFromTheEnvironment)
{
    ::setenv("NIMBREL_CONFIG_DIR", folder.c_str(), 1);
    FileProfileStore store;
    EXPECT_EQ(store.PathOf("Rendaxo.ini"), folder / "Rendaxo.ini");
    SettingsFile(kSettingsFileName, store).StoreInt("Noise", "Deal", 6);
    EXPECT_TRUE(fs::exists(folder / "Rendaxo.ini"));
    ::unsetenv("NIMBREL_CONFIG_DIR");

    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(FileProfileStore().PathOf("Rendaxo.ini"), fs::path("/xdg/nimbrel/Rendaxo.ini"));
}

TEST_F(FileProfileStoreTest, FailedWriteRaisesAndLeavesNoTrace)
{
    // A folder path that runs through a plain file can never be created,
    // whoever runs the test.
    WriteFile(folder / "blocker", "not a folder");
    FileProfileStore store(folder / "blocker" / "sub");
    SettingsFile file(kSettingsFileName, store);
    try {
        file.StoreInt("Main", "CloseMouseMove", 3);
        FAIL() << "the store should fail";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Rendaxo.ini に書き込めません");
    }
    EXPECT_EQ(ReadFile(folder / "blocker"), "not a folder");
}

TEST_F(FileProfileStoreTest, UnreadableFileIsNeverReplaced)
{
    // A folder where the file should be: reading fails, so writing must not
    // replace it with a file that has lost its content.
    fs::create_directories(folder / "Rendaxo.ini" / "inside");
    FileProfileStore store(folder);
    SettingsFile file(kSettingsFileName, store);
    EXPECT_EQ(file.LoadInt("Main", "CloseMouseMove", 4), 4);
    EXPECT_THROW(file.StoreInt("Main", "CloseMouseMove", 3), Error);
    EXPECT_TRUE(fs::is_directory(folder / "Rendaxo.ini" / "inside"));
}

TEST_F(FileProfileStoreTest, ValueThatCannotBeStoredRaisesAndKeepsTheFile)
{
    WriteFile(folder / "Rendaxo.ini", "[Main]\nWave=1\n");
    FileProfileStore store(folder);
    SettingsFile file(kSettingsFileName, store);
    EXPECT_THROW(file.StoreText("Main", "Wave", "1\n[Evil]"), Error);
    EXPECT_EQ(ReadFile(folder / "Rendaxo.ini"), "[Main]\nWave=1\n");
}

} // namespace
} // namespace nimbrel
