// The portable file store on a real folder: where it looks, what a store
// writes and keeps, the cut of long values, and that a write that cannot
// succeed raises and leaves the old file whole.
#include "platform/posix/file_profile_store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {
namespace fs = std::filesystem;

class FileProfileStoreTest : public ::testing::Test {
protected:
    FileProfileStoreTest() { fs::remove_all(folder); }
    ~FileProfileStoreTest() override { fs::remove_all(folder); }

    static std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void WriteFile(const fs::path& path, std::string_view text)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    const fs::path folder = fs::temp_directory_path() / ("nimbrel-store-" + std::to_string(::getpid()));
    FileProfileStore store{folder};
    SettingsFile file{kSettingsFileName, store};
};

TEST_F(FileProfileStoreTest, StoresWriteDecimalsAndFlagsLeaveNoOtherFileAndTheDefaultFolderIsTheEnvironments)
{
    EXPECT_EQ(file.LoadInt("Wave", "Pitch", 4), 4);
    EXPECT_FALSE(fs::exists(folder)) << "reading creates nothing";
    file.StoreFlag("Main", "Wave", false);
    file.StoreFlag("Main", "Melt", true);
    for (int i = 12; i >= -5; --i) file.StoreInt("Wave", "Pitch", i);
    file.StoreInt("Wave", "Pitch", -2147483647 - 1);
    EXPECT_EQ(ReadFile(folder / "Rendaxo.ini"), "[Main]\nWave=0\nMelt=1\n\n[Wave]\nPitch=-2147483648\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    // Without a folder of its own the store asks the environment.
    ::setenv("NIMBREL_CONFIG_DIR", folder.c_str(), 1);
    EXPECT_EQ(FileProfileStore().PathOf("Rendaxo.ini"), folder / "Rendaxo.ini");
    ::unsetenv("NIMBREL_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(FileProfileStore().PathOf("Rendaxo.ini"), fs::path("/xdg/nimbrel/Rendaxo.ini"));
}

TEST_F(FileProfileStoreTest, StoreKeepsEveryOtherLineAndLoadCutsLongValuesTo1023Characters)
{
    const std::string rest = "Speed=5\r\n\r\n[Mine]\r\nodd line\r\nCut=" + std::string(1023, '0') + "7\r\nFits=" +
                             std::string(1022, '0') + "7\r\n";
    WriteFile(folder / "Rendaxo.ini", "; by hand\r\n[Wave]\r\nPitch=2\r\n" + rest);
    file.StoreInt("wave", "PITCH", 7);
    EXPECT_EQ(ReadFile(folder / "Rendaxo.ini"), "; by hand\r\n[Wave]\r\nPitch=7\r\n" + rest);
    // This store hands over whole values; the load does the cut.
    EXPECT_EQ(file.LoadInt("Mine", "Cut", -1), 0);
    EXPECT_EQ(file.LoadInt("Mine", "Fits", -1), 7);
}

TEST_F(FileProfileStoreTest, WritesThatCannotSucceedRaiseAndLeaveEverythingAsItWas)
{
    // A value that would not read back, and a folder path that runs through
    // a plain file (which fails whoever runs the test).
    WriteFile(folder / "Rendaxo.ini", "[Main]\nWave=1\n");
    EXPECT_THROW(file.StoreText("Main", "Wave", "1\n[Evil]"), Error);
    FileProfileStore blocked(folder / "Rendaxo.ini" / "sub");
    EXPECT_THROW(SettingsFile(kSettingsFileName, blocked).StoreInt("Main", "Wave", 0), Error);
    EXPECT_EQ(ReadFile(folder / "Rendaxo.ini"), "[Main]\nWave=1\n");
    // A folder where the file should be: reading fails, so a rewrite would
    // lose its content.
    fs::remove(folder / "Rendaxo.ini");
    fs::create_directories(folder / "Rendaxo.ini" / "inside");
    EXPECT_EQ(file.LoadInt("Main", "CloseMouseMove", 4), 4);
    try {
        file.StoreInt("Main", "CloseMouseMove", 3);
        FAIL() << "the store should fail";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Rendaxo.ini に書き込めません");
    }
    EXPECT_TRUE(fs::is_directory(folder / "Rendaxo.ini" / "inside"));
}

} // namespace
} // namespace nimbrel
