// SettingsFile over the in-memory store: the reading rule, the stored
// encodings and the write error.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "platform/headless/memory_profile_store.h"
#include "settings/errors.h"
#include "settings/saver_settings.h"

namespace nimbrel {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    // Reads Main/Key after the file was given this value text.
    std::int32_t IntFrom(std::string_view valueText, std::int32_t defaultValue = -99)
    {
        store.SetFileText(kSettingsFileName, "[Main]\nKey=" + std::string(valueText) + "\n");
        return SettingsFile(kSettingsFileName, store).LoadInt("Main", "Key", defaultValue);
    }
    bool FlagFrom(std::string_view valueText, bool defaultValue)
    {
        store.SetFileText(kSettingsFileName, "[Main]\nKey=" + std::string(valueText) + "\n");
        return SettingsFile(kSettingsFileName, store).LoadFlag("Main", "Key", defaultValue);
    }

    MemoryProfileStore store;
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGivesDefaults)
{
    SettingsFile file(kSettingsFileName, store);
    EXPECT_EQ(file.LoadInt("Main", "CloseMouseMove", 4), 4);
    EXPECT_TRUE(file.LoadFlag("Main", "Wave", true));
    EXPECT_EQ(file.LoadText("Wave", "Pitch", "dflt"), "dflt");
    store.SetFileText(kSettingsFileName, "[Wave]\nSpeed=6\n");
    EXPECT_EQ(file.LoadInt("Wave", "Pitch", 4), 4);
    EXPECT_EQ(file.LoadInt("Melt", "Speed", 3), 3);
}

TEST_F(SettingsFileTest, LoadIntFollowsTheReadingRule)
{
    EXPECT_EQ(IntFrom("12"), 12);
    EXPECT_EQ(IntFrom("  12"), 12);
    EXPECT_EQ(IntFrom("12 "), -99);
    EXPECT_EQ(IntFrom("12\t"), -99);
    EXPECT_EQ(IntFrom("+7"), 7);
    EXPECT_EQ(IntFrom("007"), 7);
    EXPECT_EQ(IntFrom("1.5"), -99);
    EXPECT_EQ(IntFrom("true"), -99);
    EXPECT_EQ(IntFrom(""), -99);
    EXPECT_EQ(IntFrom(" "), -99);
    EXPECT_EQ(IntFrom("$"), -99);
    EXPECT_EQ(IntFrom("-"), -99);
}

TEST_F(SettingsFileTest, ZeroXPrefixReadsAsHexOnlyBeforeMoreText)
{
    EXPECT_EQ(IntFrom("0x1F"), 31);
    EXPECT_EQ(IntFrom("0X1F"), 31);
    EXPECT_EQ(IntFrom("0X10"), 16);
    EXPECT_EQ(IntFrom("$1f"), 31);
    EXPECT_EQ(IntFrom("0x"), -99);
    EXPECT_EQ(IntFrom("0xFFFFFFFF"), -1);
    EXPECT_EQ(IntFrom("0x80000000"), -2147483647 - 1);
    EXPECT_EQ(IntFrom("0x100000000"), -99);
    EXPECT_EQ(IntFrom(" 0x10"), -99);  // only the very first two characters
    EXPECT_EQ(IntFrom("0x-1"), -99);
}

TEST_F(SettingsFileTest, LoadIntKeepsThe32BitLimits)
{
    EXPECT_EQ(IntFrom("2147483647"), 2147483647);
    EXPECT_EQ(IntFrom("-2147483647"), -2147483647);
    EXPECT_EQ(IntFrom("2147483648"), -99);
    EXPECT_EQ(IntFrom("-2147483648"), -99);
    EXPECT_EQ(IntFrom("$80000000"), -2147483647 - 1);
}

TEST_F(SettingsFileTest, ValuesAreCutTo1023CharactersBeforeConversion)
{
    // 1023 zeros then a 7: the cut leaves only zeros.
    std::string longValue(1023, '0');
    EXPECT_EQ(IntFrom(longValue + "7"), 0);
    // 1022 zeros then 7 fits.
    EXPECT_EQ(IntFrom(std::string(1022, '0') + "7"), 7);
    EXPECT_EQ(SettingsFile(kSettingsFileName, store).LoadText("Main", "Key", "").size(), 1023u);
}

TEST_F(SettingsFileTest, FlagsReadAsNonZeroIntegers)
{
    EXPECT_TRUE(FlagFrom("1", false));
    EXPECT_TRUE(FlagFrom("2", false));
    EXPECT_TRUE(FlagFrom("-1", false));
    EXPECT_FALSE(FlagFrom("0", true));
    EXPECT_TRUE(FlagFrom("", true));
    EXPECT_FALSE(FlagFrom("", false));
    EXPECT_TRUE(FlagFrom("abc", true));
    EXPECT_FALSE(FlagFrom("abc", false));
}

TEST_F(SettingsFileTest, StoresWriteDecimalAndOneCharacterFlags)
{
    SettingsFile file(kSettingsFileName, store);
    file.StoreInt("Melt", "RecoverTime", -5);
    file.StoreInt("Melt", "Speed", 0);
    file.StoreInt("Wave", "Pitch", -2147483647 - 1);
    file.StoreFlag("Main", "Wave", true);
    file.StoreFlag("Main", "Melt", false);
    EXPECT_EQ(file.LoadText("Melt", "RecoverTime", ""), "-5");
    EXPECT_EQ(file.LoadInt("Melt", "RecoverTime", 180), -5);
    EXPECT_EQ(file.LoadInt("Melt", "Speed", 3), 0);
    EXPECT_EQ(file.LoadText("Wave", "Pitch", ""), "-2147483648");
    EXPECT_EQ(file.LoadText("Main", "Wave", ""), "1");
    EXPECT_EQ(file.LoadText("Main", "Melt", ""), "0");
}

TEST_F(SettingsFileTest, FailedStoreRaisesTheWriteErrorAndKeepsEarlierKeys)
{
    SettingsFile file(kSettingsFileName, store);
    store.FailWritesAfter(1);
    file.StoreInt("Wave", "Pitch", 7);
    try {
        file.StoreInt("Wave", "Speed", 6);
        FAIL() << "the second store should fail";
    } catch (const EConvertError&) {
        FAIL() << "a write failure is not a conversion error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Rendaxo.ini に書き込めません");
    }
    EXPECT_EQ(file.LoadInt("Wave", "Pitch", 4), 7);
    EXPECT_EQ(file.LoadInt("Wave", "Speed", 3), 3);
}

TEST_F(SettingsFileTest, UsesTheProcessStoreWhenNoneIsGiven)
{
    SetCurrentProfileStore(&store);
    SettingsFile().StoreInt("Main", "CloseMouseMove", 8);
    SetCurrentProfileStore(nullptr);
    EXPECT_EQ(SettingsFile(kSettingsFileName, store).LoadInt("Main", "CloseMouseMove", 4), 8);
}

TEST(SaverSettingsTest, DefaultsAreTheDocumentedOnes)
{
    SaverSettings s;
    EXPECT_TRUE(s.Main.Wave);
    EXPECT_FALSE(s.Main.Melt);
    EXPECT_FALSE(s.Main.Noise);
    EXPECT_EQ(s.Main.CloseMouseMove, 4);
    EXPECT_EQ(s.Wave.Pitch, 4);
    EXPECT_EQ(s.Wave.Speed, 3);
    EXPECT_EQ(s.Melt.Speed, 3);
    EXPECT_TRUE(s.Melt.Recover);
    EXPECT_EQ(s.Melt.RecoverTime, 180);
    EXPECT_EQ(s.Noise.Deal, 3);
}

} // namespace
} // namespace nimbrel
