// The portable profile format: lookups, and rewrites that keep every other line.
#include "settings/profile_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace nimbrel {
namespace {

TEST(ProfileTextTest, FindsTheFirstEntryOfTheFirstMatchingSection)
{
    // Names compare without regard to case; a value is everything after the
    // first "=", blanks included; only the first [Main] is searched and its
    // first key wins, as the Windows functions do; comments and keys before
    // any section are not entries.
    const std::string_view text = "K=0\n[main]\nWAVE=1\n  ;Pitch=2\n  Key  = a=b \r\nEmpty=\nWave=3\n"
                                  "[Wave]\npitch=7\n[Main]\nLater=4\n";
    const std::tuple<std::string_view, std::string_view, std::optional<std::string>> lookups[] = {
        {"Main", "Wave", "1"}, {"WAVE", "Pitch", "7"}, {"Wave", "Wave", std::nullopt}, {"Main", "Key", " a=b "},
        {"Main", "Empty", ""}, {"Main", "Later", std::nullopt}, {"Main", "Pitch", std::nullopt},
        {"", "K", std::nullopt},
    };
    for (const auto& [section, key, expected] : lookups) {
        EXPECT_EQ(FindProfileValue(text, section, key), expected) << section << "/" << key;
    }
}

TEST(ProfileTextTest, StoresInPlaceOrAtTheEndOfTheSectionOrInANewOne)
{
    // Text before, section, key, value, text after (nothing: refused).
    using Text = std::optional<std::string_view>;
    const std::tuple<std::string_view, std::string_view, std::string_view, std::string_view, Text> cases[] = {
        {"; mine\n[Wave]\nPitch=4\nSpeed=3\n", "wave", "PITCH", "7", "; mine\n[Wave]\nPitch=7\nSpeed=3\n"},
        {"[S]\r\nK=1\r\nL=2", "S", "L", "33", "[S]\r\nK=1\r\nL=33"},
        // A new key follows the section's last entry, with the file's line ends.
        {"[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3", "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
        {"[A]", "A", "z", "3", "[A]\nz=3\n"}, {"[A]\r\nx=1", "A", "z", "3", "[A]\r\nx=1\r\nz=3\r\n"},
        // A new section comes last, after a blank line; unknown lines stay.
        {"", "Main", "Wave", "1", "[Main]\nWave=1\n"},
        {"garbage line\n[Other]\nk=v", "Main", "Wave", "1", "garbage line\n[Other]\nk=v\n\n[Main]\nWave=1\n"},
        // A last line ending in a bare CR gets only the LF it lacks, so
        // its value does not change.
        {"[S]\r\nK=v\r", "T", "x", "1", "[S]\r\nK=v\r\n\r\n[T]\r\nx=1\r\n"},
        {"[S]\nK=v\r", "S", "x", "1", "[S]\nK=v\r\nx=1\n"},
        // Entries that would not read back as they were stored.
        {"", "Main", "Wave", "1\n2", {}}, {"", "Main", "Wave", "1\r", {}}, {"", "Ma]in", "Wave", "1", {}},
        {"", "", "Wave", "1", {}}, {"", "Main", "", "1", {}}, {"", "Main", "a=b", "1", {}},
        {"", "Main", ";c", "1", {}}, {"", "Main", " Wave", "1", {}}, {"", "Main", "Wave", {"a\0b", 3}, {}},
    };
    for (const auto& [before, section, key, value, after] : cases) {
        EXPECT_EQ(SetProfileValue(before, section, key, value), after) << before;
    }
    EXPECT_EQ(FindProfileValue("[S]\r\nK=v\r\n\r\n[T]\r\nx=1\r\n", "S", "K"), "v");
}

} // namespace
} // namespace nimbrel
