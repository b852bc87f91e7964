// SettingsFile over the in-memory store: the reading rule, the stored
// encodings and the write error.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "platform/headless/memory_profile_store.h"
#include "settings/errors.h"

namespace nimbrel {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    // Loads Main/Key with the given default after the file was given this
    // value text, or no such key at all.
    std::int32_t IntFrom(std::optional<std::string_view> valueText, std::int32_t defaultValue)
    {
        SetKey(valueText);
        return SettingsFile(kSettingsFileName, store).LoadInt("Main", "Key", defaultValue);
    }
    bool FlagFrom(std::optional<std::string_view> valueText, bool defaultValue)
    {
        SetKey(valueText);
        return SettingsFile(kSettingsFileName, store).LoadFlag("Main", "Key", defaultValue);
    }
    void SetKey(std::optional<std::string_view> valueText)
    {
        store.SetFileText(kSettingsFileName,
                          valueText ? "[Main]\nKey=" + std::string(*valueText) + "\n" : "[Main]\nOther=1\n");
    }

    MemoryProfileStore store;
};

TEST_F(SettingsFileTest, LoadIntConvertsOrFallsBackToTheDefault)
{
    constexpr std::int32_t kDefault = -99;
    const std::pair<std::optional<std::string_view>, std::int32_t> cases[] = {
        {std::nullopt, kDefault}, {"", kDefault}, {"12", 12}, {"  12", 12}, {"12 ", kDefault},
        {"1.5", kDefault}, {"2147483647", 2147483647}, {"2147483648", kDefault},
        {"$80000000", -2147483647 - 1},
        // "0x" or "0X" reads as "$", but only as the very first two
        // characters and only before more text.
        {"0x1F", 31}, {"0X10", 16}, {"0xFFFFFFFF", -1}, {"0x", kDefault},
        {"0x100000000", kDefault}, {" 0x10", kDefault}, {"0x-1", kDefault},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(IntFrom(text, kDefault), expected) << text.value_or("(no key)");
    }
    store.SetFileText(kSettingsFileName, "");
    EXPECT_EQ(SettingsFile(kSettingsFileName, store).LoadText("Wave", "Pitch", "dflt"), "dflt");
}

TEST_F(SettingsFileTest, FlagsAreNonZeroIntegersWithTheDefaultForTheRest)
{
    const std::tuple<std::optional<std::string_view>, bool, bool> cases[] = {
        {"1", false, true}, {"2", false, true}, {"-1", false, true}, {"0", true, false},
        {"", true, true}, {"", false, false}, {"abc", true, true}, {"abc", false, false},
        {std::nullopt, true, true},
    };
    for (const auto& [text, defaultValue, expected] : cases) {
        EXPECT_EQ(FlagFrom(text, defaultValue), expected) << text.value_or("(no key)") << ", " << defaultValue;
    }
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

} // namespace
} // namespace nimbrel
