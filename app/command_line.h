// The program's arguments: the words of its command line after its own path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// Splits a command line into words. Runs of characters 1 to 32 separate
// words; a stretch in double quotes belongs to the word it stands in, blanks
// included, and the quote characters are dropped (an unclosed quote runs to
// the end of the line); an empty pair of quotes between words is skipped.
// Bytes 127 to 255 are word characters, so UTF-8 and Shift-JIS text split
// alike. A character 0 ends the line.
std::vector<std::string> SplitCommandLine(std::string_view line);

// A split command line. The first word is the program's path as it was
// started; the words after it are the arguments.
class CommandLine {
public:
    explicit CommandLine(std::string_view line);

    // Argument 1 is the first word after the program's path; argument 0 is
    // that path. An argument that is not there is the empty text.
    std::string_view Argument(std::size_t index) const;

private:
    std::vector<std::string> words_;
};

} // namespace nimbrel
