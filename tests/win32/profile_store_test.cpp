// The settings file through the real Windows profile functions: the file in
// the Windows directory, the longest value, and a write that the system
// refuses.
#include "platform/win32/profile_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "settings/errors.h"
#include "settings/settings_file.h"

namespace nimbrel {
namespace {

std::string SettingsPath()
{
    char dir[MAX_PATH];
    UINT length = GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir, length) + "\\Rendaxo.ini";
}

class Win32ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }

    static void Remove()
    {
        SetFileAttributesA(SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(SettingsPath().c_str());
        // The profile functions may keep the last file cached: flush it.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");
    }
    static std::string FileText()
    {
        std::ifstream in(SettingsPath(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    Win32ProfileStore store;
};

// Case in names and the keys beside ours are left to the profile functions.
TEST_F(Win32ProfileStoreTest, TheFileLiesInTheWindowsDirectoryAndLongValuesAreCut)
{
    SettingsFile file(kSettingsFileName, store);
    EXPECT_EQ(file.LoadInt("Melt", "RecoverTime", 180), 180);
    EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES) << "a read made the file";
    file.StoreInt("Main", "CloseMouseMove", -5);
    file.StoreText("Main", "Long", std::string(1500, '1'));
    EXPECT_EQ(file.LoadInt("Main", "CloseMouseMove", 4), -5);
    EXPECT_EQ(file.LoadText("Main", "Long", "").size(), 1023u);
    EXPECT_NE(FileText().find("CloseMouseMove=-5"), std::string::npos) << FileText();
}

TEST_F(Win32ProfileStoreTest, RefusedWriteRaisesAndKeepsTheFile)
{
    SettingsFile file(kSettingsFileName, store);
    file.StoreInt("Wave", "Pitch", 2);
    std::string before = FileText();
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");

    // Another program holds the file open without sharing: every write fails.
    HANDLE held = CreateFileA(SettingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        file.StoreInt("Wave", "Speed", 6);
        ADD_FAILURE() << "the store should fail";
    } catch (const EConvertError&) {
        ADD_FAILURE() << "a write failure is not a conversion error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Rendaxo.ini に書き込めません");
    }
    CloseHandle(held);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini");
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(file.LoadInt("Wave", "Pitch", 4), 2);
}

} // namespace
} // namespace nimbrel
