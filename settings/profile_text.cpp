// Reading and rewriting profile text one line at a time.
#include "settings/profile_text.h"

#include <algorithm>

namespace nimbrel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

enum class LineKind { Other, Section, Key };

// One line of the text, without its line end.
struct Line {
    std::size_t begin = 0;   // offset of the first character
    std::size_t end = 0;     // offset just past the last character, before "\r\n" or "\n"
    std::size_t next = 0;    // offset of the next line
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name
    std::size_t valueBegin = 0;
};

Line ReadLine(std::string_view text, std::size_t at)
{
    Line line;
    line.begin = at;
    std::size_t newline = text.find('\n', at);
    line.next = newline == std::string_view::npos ? text.size() : newline + 1;
    line.end = newline == std::string_view::npos ? text.size() : newline;
    if (line.end > at && text[line.end - 1] == '\r') --line.end;

    std::string_view content = text.substr(at, line.end - at);
    std::string_view stripped = Trim(content);
    if (stripped.empty() || stripped.front() == ';') return line;
    if (stripped.front() == '[') {
        std::size_t close = stripped.find(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = Trim(stripped.substr(1, close - 1));
        }
        return line;
    }
    std::size_t equals = content.find('=');
    if (equals != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = Trim(content.substr(0, equals));
        line.valueBegin = at + equals + 1;
    }
    return line;
}

// Where a section's lines are, and where its key is when it has it.
struct Lookup {
    bool sectionFound = false;
    std::size_t sectionEnd = 0;   // just past the section's last key line
    std::optional<Line> key;
};

Lookup Find(std::string_view text, std::string_view section, std::string_view key)
{
    Lookup found;
    bool inSection = false;
    for (std::size_t at = 0; at < text.size();) {
        Line line = ReadLine(text, at);
        if (line.kind == LineKind::Section) {
            if (inSection) break;  // the first matching section ends here
            inSection = SameName(line.name, section);
            if (inSection) {
                found.sectionFound = true;
                found.sectionEnd = line.next;
            }
        } else if (inSection && line.kind == LineKind::Key) {
            found.sectionEnd = line.next;
            if (SameName(line.name, key)) {
                found.key = line;
                return found;
            }
        }
        at = line.next;
    }
    return found;
}

// What ends an unfinished last line. A line that ends in a bare "\r" only
// needs the "\n": another "\r" would become part of its value.
std::string_view LineEndFor(std::string_view text, std::string_view eol)
{
    return (!text.empty() && text.back() == '\r') ? std::string_view("\n") : eol;
}

bool HasNoLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool IsPlainName(std::string_view s)
{
    return !s.empty() && HasNoLineBreakOrNul(s) && Trim(s).size() == s.size();
}

} // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key)
{
    Lookup found = Find(text, section, key);
    if (!found.key) return std::nullopt;
    return std::string(text.substr(found.key->valueBegin, found.key->end - found.key->valueBegin));
}

bool IsStorableProfileEntry(std::string_view section, std::string_view key,
                            std::string_view value)
{
    return IsPlainName(section) && section.find_first_of("[]") == std::string_view::npos &&
           IsPlainName(key) && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '[' && HasNoLineBreakOrNul(value);
}

std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section,
                                           std::string_view key, std::string_view value)
{
    if (!IsStorableProfileEntry(section, key, value)) return std::nullopt;

    // New lines follow the file's own line ends.
    std::size_t firstNewline = text.find('\n');
    std::string_view eol =
        (firstNewline != std::string_view::npos && firstNewline > 0 && text[firstNewline - 1] == '\r')
            ? "\r\n" : "\n";

    Lookup found = Find(text, section, key);
    std::string result;
    result.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (found.key) {
        result.append(text.substr(0, found.key->valueBegin));
        result.append(value);
        result.append(text.substr(found.key->end));
        return result;
    }

    std::string entry;
    entry.append(key).append("=").append(value).append(eol);

    if (found.sectionFound) {
        // A section's last line may lack its line end when it ends the file.
        std::size_t at = found.sectionEnd;
        result.append(text.substr(0, at));
        if (at > 0 && text[at - 1] != '\n') result.append(LineEndFor(text.substr(0, at), eol));
        result.append(entry);
        result.append(text.substr(at));
        return result;
    }

    result.append(text);
    if (!result.empty()) {
        if (result.back() != '\n') result.append(LineEndFor(result, eol));
        result.append(eol);
    }
    result.append("[").append(section).append("]").append(eol).append(entry);
    return result;
}

} // namespace nimbrel
