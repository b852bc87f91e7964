// The nimbrel-render command: its arguments, and one run from arguments to
// files, so that tests can drive the whole command in-process.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string_view>

#include "tools/render/render_run.h"

namespace nimbrel::render {

// A command line that cannot be carried out as given; the message is one
// line that names the offending argument.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CommandOptions {
    std::filesystem::path Input;
    std::filesystem::path OutDir;
    std::optional<std::filesystem::path> Ini;
    std::optional<std::filesystem::path> Gif;
    // Everything but the settings text, which is read from Ini when the
    // command runs.
    RenderOptions Run;
    bool Help = false;
};

// Parses the arguments after the program's name. Throws UsageError.
CommandOptions ParseCommandLine(std::span<const std::string_view> args);

// Parses, renders and writes the files. Prints the chosen effect's name on
// `out`; on bad input prints one line on `err` and returns a non-zero code
// (2 for a bad command line, 1 for a file that cannot be read or written).
int RunRenderCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace nimbrel::render
