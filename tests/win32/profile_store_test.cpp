// The settings file through the real Windows profile functions: the file in
// the Windows directory, the longest value, and a write that the system
// refuses. Case in names and the keys beside ours are left to the profile
// functions.
#include "platform/win32/profile_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_file.h"

namespace nimbrel {
namespace {

TEST(Win32ProfileStoreTest, TheFileInTheWindowsDirectoryCutsLongValuesAndARefusedWriteKeepsIt)
{
    char dir[MAX_PATH];
    const std::string path = std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH)) + "\\Rendaxo.ini";
    // The profile functions may keep the last file cached: a flush ends that.
    const auto flush = [] { WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Rendaxo.ini"); };
    DeleteFileA(path.c_str());
    flush();
    Win32ProfileStore store;
    EXPECT_EQ(store.ReadString(kSettingsFileName, "Melt", "RecoverTime", "180"), "180");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "a read made the file";
    EXPECT_TRUE(store.WriteString(kSettingsFileName, "Main", "Long", std::string(1500, '1')));
    flush();
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "no file in the Windows directory";
    EXPECT_EQ(store.ReadString(kSettingsFileName, "Main", "Long", ""), std::string(1023, '1'));

    // Another program holds the file open without sharing: every write fails.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(store.WriteString(kSettingsFileName, "Wave", "Speed", "6"));
    CloseHandle(held);
    flush();
    EXPECT_EQ(store.ReadString(kSettingsFileName, "Wave", "Speed", "-"), "-");
    EXPECT_EQ(store.ReadString(kSettingsFileName, "Main", "Long", "").size(), 1023u);
    DeleteFileA(path.c_str());
    flush();
}

} // namespace
} // namespace nimbrel
