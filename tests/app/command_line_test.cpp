// Command-line splitting and the run-mode switches; which word is which
// argument is shown with the start-up.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/run_mode.h"

namespace nimbrel {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLineTest, SplitsAtCharactersOneToThirtyTwoOutsideQuotes)
{
    const std::pair<std::string_view, Words> cases[] = {
        {"  prog\t\r\n/p\x01\x1f 12  ", {"prog", "/p", "12"}},
        // DEL and bytes above 127 belong to words, so multi-byte text stays whole.
        {"a\x7f \xe8\xa8\xad\xe5\xae\x9a", {"a\x7f", "\xe8\xa8\xad\xe5\xae\x9a"}},
        {std::string_view("p /s\0/c", 7), {"p", "/s"}},
        {" \t ", {}},
        // Quoted stretches belong to their word; an unclosed quote runs to the end.
        {"\"C:\\My Saver\\n.scr\" /\"s\" a\"b c\"d", {"C:\\My Saver\\n.scr", "/s", "ab cd"}},
        {"p \"a b", {"p", "a b"}},
        // Empty quote pairs between words are skipped; a lone quote at the
        // end opens nothing.
        {"p \"\" /s \"\"\"\" 5 \"\"", {"p", "/s", "5"}},
        {"p a\"\"b \"\"c \" \"", {"p", "ab", "c", " "}},
        {"p /s \"", {"p", "/s"}},
    };
    for (const auto& [line, words] : cases) EXPECT_EQ(SplitCommandLine(line), words) << line;
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
