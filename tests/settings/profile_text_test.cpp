// The portable profile format: lookups, and rewrites that keep every other line.
#include "settings/profile_text.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

std::string Set(std::string_view text, std::string_view section, std::string_view key,
                std::string_view value)
{
    auto result = SetProfileValue(text, section, key, value);
    EXPECT_TRUE(result.has_value());
    return result.value_or("");
}

TEST(ProfileTextTest, FindsKeysWithoutRegardToCase)
{
    const char* text = "[main]\nWAVE=1\n[Wave]\npitch=7\n";
    EXPECT_EQ(FindProfileValue(text, "Main", "Wave"), "1");
    EXPECT_EQ(FindProfileValue(text, "WAVE", "Pitch"), "7");
    EXPECT_EQ(FindProfileValue(text, "Wave", "Wave"), std::nullopt);
    EXPECT_EQ(FindProfileValue(text, "Melt", "Speed"), std::nullopt);
}

TEST(ProfileTextTest, ValueIsTheTextAfterTheFirstEqualsSign)
{
    const char* text = "[S]\n  Key  = a=b \r\nEmpty=\n";
    EXPECT_EQ(FindProfileValue(text, "S", "Key"), " a=b ");
    EXPECT_EQ(FindProfileValue(text, "S", "Empty"), "");
}

TEST(ProfileTextTest, FirstSectionAndFirstKeyWin)
{
    const char* text = "[S]\nK=1\nK=2\n[T]\nK=3\n[S]\nK=4\nL=5\n";
    EXPECT_EQ(FindProfileValue(text, "S", "K"), "1");
    // Only the first [S] is searched, as the Windows functions do.
    EXPECT_EQ(FindProfileValue(text, "S", "L"), std::nullopt);
}

TEST(ProfileTextTest, CommentsAndKeysOutsideSectionsAreNotEntries)
{
    const char* text = "K=0\n[S]\n;K=1\n  ; K=2\nK=3\n";
    EXPECT_EQ(FindProfileValue(text, "S", "K"), "3");
    EXPECT_EQ(FindProfileValue(text, "", "K"), std::nullopt);
}

TEST(ProfileTextTest, ReplacesAValueInPlace)
{
    EXPECT_EQ(Set("; mine\n[Wave]\nPitch=4\nSpeed=3\n", "wave", "PITCH", "7"),
              "; mine\n[Wave]\nPitch=7\nSpeed=3\n");
    EXPECT_EQ(Set("[S]\r\nK=1\r\nL=2", "S", "L", "33"), "[S]\r\nK=1\r\nL=33");
}

TEST(ProfileTextTest, AddsAKeyAfterTheLastEntryOfItsSection)
{
    EXPECT_EQ(Set("[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3"), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
    EXPECT_EQ(Set("[A]", "A", "z", "3"), "[A]\nz=3\n");
    EXPECT_EQ(Set("[A]\r\nx=1", "A", "z", "3"), "[A]\r\nx=1\r\nz=3\r\n");
}

TEST(ProfileTextTest, AppendsANewSectionAndKeepsUnknownLines)
{
    EXPECT_EQ(Set("", "Main", "Wave", "1"), "[Main]\nWave=1\n");
    EXPECT_EQ(Set("garbage line\n[Other]\nk=v", "Main", "Wave", "1"),
              "garbage line\n[Other]\nk=v\n\n[Main]\nWave=1\n");
}

TEST(ProfileTextTest, AnUnfinishedLastLineKeepsItsValue)
{
    // The last line ends in a bare CR: completing it must not add to its value.
    std::string text = Set("[S]\r\nK=v\r", "T", "x", "1");
    EXPECT_EQ(text, "[S]\r\nK=v\r\n\r\n[T]\r\nx=1\r\n");
    EXPECT_EQ(FindProfileValue(text, "S", "K"), "v");
    EXPECT_EQ(Set("[S]\nK=v\r", "S", "x", "1"), "[S]\nK=v\r\nx=1\n");
}

TEST(ProfileTextTest, RefusesEntriesThatWouldNotReadBack)
{
    EXPECT_FALSE(SetProfileValue("", "Main", "Wave", "1\n2"));
    EXPECT_FALSE(SetProfileValue("", "Main", "Wave", "1\r"));
    EXPECT_FALSE(SetProfileValue("", "Ma]in", "Wave", "1"));
    EXPECT_FALSE(SetProfileValue("", "", "Wave", "1"));
    EXPECT_FALSE(SetProfileValue("", "Main", "", "1"));
    EXPECT_FALSE(SetProfileValue("", "Main", "a=b", "1"));
    EXPECT_FALSE(SetProfileValue("", "Main", ";c", "1"));
    EXPECT_FALSE(SetProfileValue("", "Main", " Wave", "1"));
    EXPECT_FALSE(SetProfileValue("", "Main", "Wave", std::string_view("a\0b", 3)));
}

TEST(ProfileTextTest, StoredValuesReadBackUnchanged)
{
    std::string text = "[Main]\nWave=1\n";
    for (std::string_view value : {"", " 12", "12 ", "a=b", "[x]", ";not a comment", "\t"}) {
        text = Set(text, "Main", "Value", value);
        EXPECT_EQ(FindProfileValue(text, "Main", "Value"), value);
        EXPECT_EQ(FindProfileValue(text, "Main", "Wave"), "1");
    }
}

} // namespace
} // namespace nimbrel
