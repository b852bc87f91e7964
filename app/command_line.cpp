// Command-line splitting. The rule is byte-wise: it only ever looks at
// blanks, control characters and the double quote, none of which can be part
// of a multi-byte character in the encodings the command line may come in.
#include "app/command_line.h"

#include <algorithm>

namespace nimbrel {
namespace {

bool IsSeparator(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view line)
{
    line = line.substr(0, line.find('\0'));
    std::vector<std::string> words;
    std::size_t at = 0;
    for (;;) {
        for (;;) {
            while (at < line.size() && IsSeparator(line[at])) ++at;
            if (line.substr(at, 2) != "\"\"") break;
            at += 2;
        }
        std::string word;
        while (at < line.size() && !IsSeparator(line[at])) {
            if (line[at] == '"') {
                const std::size_t close = std::min(line.find('"', at + 1), line.size());
                word.append(line.substr(at + 1, close - at - 1));
                at = std::min(close + 1, line.size());
            } else {
                word += line[at++];
            }
        }
        // A word can only come out empty at the end of the line (nothing
        // left, or a lone quote that opens nothing), so that ends the list.
        if (word.empty()) break;
        words.push_back(std::move(word));
    }
    return words;
}

CommandLine::CommandLine(std::string_view line) : words_(SplitCommandLine(line)) {}

std::string_view CommandLine::Argument(std::size_t index) const
{
    return index < words_.size() ? std::string_view(words_[index]) : std::string_view();
}

} // namespace nimbrel
