// Finding grabDesktopImages in resource texts.
#include "platform/x11/grab_setting.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

namespace nimbrel::x11 {
namespace {

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::optional<bool> ResourceBoolean(std::string_view value)
{
    for (std::string_view yes : {"true", "yes", "on", "1"}) {
        if (EqualsIgnoringCase(value, yes)) return true;
    }
    for (std::string_view no : {"false", "no", "off", "0"}) {
        if (EqualsIgnoringCase(value, no)) return false;
    }
    return std::nullopt;
}

// How closely a resource name aims at this setting: nothing when it does
// not, 0 for the bare or loosely bound name, 1 when it names the program.
std::optional<int> Specificity(std::string_view name)
{
    std::string_view last = name;
    std::string_view prefix;
    if (const std::size_t binding = name.find_last_of(".*"); binding != std::string_view::npos) {
        last = name.substr(binding + 1);
        prefix = name.substr(0, binding);
    }
    if (last != "grabDesktopImages" && last != "GrabDesktopImages") return std::nullopt;
    while (!prefix.empty() && (prefix.back() == '*' || prefix.back() == '.')) prefix.remove_suffix(1);
    while (!prefix.empty() && prefix.front() == '*') prefix.remove_prefix(1);
    if (prefix.empty()) return 0;
    if (prefix == "xscreensaver" || prefix == "XScreenSaver") return 1;
    return std::nullopt;
}

} // namespace

std::optional<bool> FindGrabDesktopImages(std::string_view resourceText)
{
    std::optional<bool> found;
    int foundSpecificity = -1;
    std::string line;
    std::size_t start = 0;
    while (start < resourceText.size()) {
        std::size_t end = resourceText.find('\n', start);
        if (end == std::string_view::npos) end = resourceText.size();
        std::string_view piece = resourceText.substr(start, end - start);
        start = end + 1;
        // A backslash at the end joins the next line to this one.
        if (!piece.empty() && piece.back() == '\\') {
            line.append(piece.substr(0, piece.size() - 1));
            if (start < resourceText.size()) continue;
        } else {
            line.append(piece);
        }
        const std::string_view whole = Trim(line);
        const std::size_t colon = whole.find(':');
        if (!whole.empty() && whole.front() != '!' && whole.front() != '#' && colon != std::string_view::npos) {
            const std::optional<int> specificity = Specificity(Trim(whole.substr(0, colon)));
            const std::optional<bool> value = ResourceBoolean(Trim(whole.substr(colon + 1)));
            if (specificity && value && *specificity >= foundSpecificity) {
                found = value;
                foundSpecificity = *specificity;
            }
        }
        line.clear();
    }
    return found;
}

bool GrabDesktopImagesAllowed(const std::optional<std::string>& userFile,
                              const std::optional<std::string>& serverResources,
                              const std::optional<std::string>& appDefaults)
{
    for (const std::optional<std::string>* source : {&userFile, &serverResources, &appDefaults}) {
        if (!*source) continue;
        if (const std::optional<bool> allowed = FindGrabDesktopImages(**source)) return *allowed;
    }
    return false;
}

std::optional<std::string> ReadTextFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace nimbrel::x11
