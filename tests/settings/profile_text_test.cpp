// The portable profile format: lookups, and rewrites that keep every other line.
#include "settings/profile_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace nimbrel {
namespace {

TEST(ProfileTextTest, FindsTheFirstEntryOfTheFirstMatchingSection)
{
    // Text, section, key, value found.
    const std::tuple<std::string_view, std::string_view, std::string_view, std::optional<std::string>> cases[] = {
        // Names compare without regard to case.
        {"[main]\nWAVE=1\n[Wave]\npitch=7\n", "Main", "Wave", "1"},
        {"[main]\nWAVE=1\n[Wave]\npitch=7\n", "WAVE", "Pitch", "7"},
        {"[main]\nWAVE=1\n[Wave]\npitch=7\n", "Wave", "Wave", std::nullopt},
        // The value is everything after the first "=", blanks included.
        {"[S]\n  Key  = a=b \r\nEmpty=\n", "S", "Key", " a=b "},
        {"[S]\n  Key  = a=b \r\nEmpty=\n", "S", "Empty", ""},
        // The first key wins, and only the first [S] is searched, as the
        // Windows functions do.
        {"[S]\nK=1\nK=2\n[T]\nK=3\n[S]\nK=4\nL=5\n", "S", "K", "1"},
        {"[S]\nK=1\nK=2\n[T]\nK=3\n[S]\nK=4\nL=5\n", "S", "L", std::nullopt},
        // Comments and keys before any section are not entries.
        {"K=0\n[S]\n;K=1\n  ; K=2\nK=3\n", "S", "K", "3"},
        {"K=0\n[S]\n;K=1\n  ; K=2\nK=3\n", "", "K", std::nullopt},
    };
    for (const auto& [text, section, key, expected] : cases) {
        EXPECT_EQ(FindProfileValue(text, section, key), expected) << text << section << "/" << key;
    }
}

TEST(ProfileTextTest, StoresInPlaceOrAtTheEndOfTheSectionOrInANewOne)
{
    // Text before, section, key, value, text after.
    const std::tuple<std::string_view, std::string_view, std::string_view, std::string_view, std::string_view>
        cases[] = {
            {"; mine\n[Wave]\nPitch=4\nSpeed=3\n", "wave", "PITCH", "7", "; mine\n[Wave]\nPitch=7\nSpeed=3\n"},
            {"[S]\r\nK=1\r\nL=2", "S", "L", "33", "[S]\r\nK=1\r\nL=33"},
            // A new key follows the section's last entry, with the file's line ends.
            {"[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3", "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
            {"[A]", "A", "z", "3", "[A]\nz=3\n"},
            {"[A]\r\nx=1", "A", "z", "3", "[A]\r\nx=1\r\nz=3\r\n"},
            // A new section comes last, after a blank line; unknown lines stay.
            {"", "Main", "Wave", "1", "[Main]\nWave=1\n"},
            {"garbage line\n[Other]\nk=v", "Main", "Wave", "1", "garbage line\n[Other]\nk=v\n\n[Main]\nWave=1\n"},
            // A last line ending in a bare CR gets only the LF it lacks, so
            // its value does not change.
            {"[S]\r\nK=v\r", "T", "x", "1", "[S]\r\nK=v\r\n\r\n[T]\r\nx=1\r\n"},
            {"[S]\nK=v\r", "S", "x", "1", "[S]\nK=v\r\nx=1\n"},
        };
    for (const auto& [before, section, key, value, after] : cases) {
        EXPECT_EQ(SetProfileValue(before, section, key, value), after) << before;
    }
    EXPECT_EQ(FindProfileValue("[S]\r\nK=v\r\n\r\n[T]\r\nx=1\r\n", "S", "K"), "v");
}

TEST(ProfileTextTest, StoredValuesReadBackAndEntriesThatWouldNotAreRefused)
{
    std::string text = "[Main]\nWave=1\n";
    for (std::string_view value : {"", " 12", "12 ", "a=b", "[x]", ";not a comment", "\t"}) {
        text = SetProfileValue(text, "Main", "Value", value).value_or("");
        EXPECT_EQ(FindProfileValue(text, "Main", "Value"), value);
        EXPECT_EQ(FindProfileValue(text, "Main", "Wave"), "1");
    }
    const std::tuple<std::string_view, std::string_view, std::string_view> refused[] = {
        {"Main", "Wave", "1\n2"}, {"Main", "Wave", "1\r"}, {"Ma]in", "Wave", "1"}, {"", "Wave", "1"},
        {"Main", "", "1"}, {"Main", "a=b", "1"}, {"Main", ";c", "1"}, {"Main", " Wave", "1"},
        {"Main", "Wave", std::string_view("a\0b", 3)},
    };
    for (const auto& [section, key, value] : refused) {
        EXPECT_EQ(SetProfileValue("", section, key, value), std::nullopt) << section << "/" << key;
    }
}

} // namespace
} // namespace nimbrel
