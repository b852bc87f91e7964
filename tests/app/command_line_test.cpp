// Command-line splitting and the run-mode switches.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/run_mode.h"

namespace nimbrel {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLineTest, CharactersOneToThirtyTwoSeparateWords)
{
    EXPECT_EQ(SplitCommandLine("  prog\t\r\n/p\x01\x1f 12  "), (Words{"prog", "/p", "12"}));
    // DEL and bytes above 127 belong to words, so multi-byte text stays whole.
    EXPECT_EQ(SplitCommandLine("a\x7f \xe8\xa8\xad\xe5\xae\x9a"),
              (Words{"a\x7f", "\xe8\xa8\xad\xe5\xae\x9a"}));
    EXPECT_EQ(SplitCommandLine(std::string_view("p /s\0/c", 7)), (Words{"p", "/s"}));
    EXPECT_EQ(SplitCommandLine(" \t "), Words{});
}

TEST(CommandLineTest, QuotedStretchesBelongToTheirWord)
{
    EXPECT_EQ(SplitCommandLine("\"C:\\My Saver\\n.scr\" /\"s\" a\"b c\"d"),
              (Words{"C:\\My Saver\\n.scr", "/s", "ab cd"}));
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(SplitCommandLine("p \"a b"), (Words{"p", "a b"}));
}

TEST(CommandLineTest, EmptyQuotePairsBetweenWordsAreSkipped)
{
    EXPECT_EQ(SplitCommandLine("p \"\" /s \"\"\"\" 5 \"\""), (Words{"p", "/s", "5"}));
    EXPECT_EQ(SplitCommandLine("p a\"\"b \"\"c \" \""), (Words{"p", "ab", "c", " "}));
    // A quote left alone at the end opens nothing.
    EXPECT_EQ(SplitCommandLine("p /s \""), (Words{"p", "/s"}));
}

TEST(CommandLineTest, ArgumentsCountFromTheWordAfterTheProgramPath)
{
    const CommandLine line("\"C:\\My Saver\\n.scr\" /p 1234");
    EXPECT_EQ(line.Argument(0), "C:\\My Saver\\n.scr");
    EXPECT_EQ(line.Argument(1), "/p");
    EXPECT_EQ(line.Argument(2), "1234");
    EXPECT_EQ(line.Argument(3), "");
    EXPECT_EQ(CommandLine("").Argument(1), "");
}

TEST(RunModeTest, SwitchesMatchWholeAndByteForByte)
{
    for (const char* s : {"/c", "-c", "/C", "-C"}) EXPECT_EQ(SelectRunMode(s), RunMode::Configure) << s;
    for (const char* s : {"/s", "-s", "/S", "-S"}) EXPECT_EQ(SelectRunMode(s), RunMode::Saver) << s;
    for (const char* s : {"/p", "-p", "/P", "-P"}) EXPECT_EQ(SelectRunMode(s), RunMode::Preview) << s;
    for (const char* s : {"-a", "/a", "-A", "/A"}) EXPECT_EQ(SelectRunMode(s), RunMode::ChangePassword) << s;
    for (const char* s : {"", "/c:1234", "/s2", "/a ", " /p", "s", "/x", "／ｓ"}) {
        EXPECT_EQ(SelectRunMode(s), RunMode::Configure) << s;
    }
}

} // namespace
} // namespace nimbrel
