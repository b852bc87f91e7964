// The portable settings store: plain files, atomic replacement.
#include "platform/posix/file_profile_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>

#include "settings/profile_text.h"

namespace nimbrel {
namespace fs = std::filesystem;
namespace {

const char* NonEmptyEnv(const char* name)
{
    const char* value = std::getenv(name);
    return (value && *value) ? value : nullptr;
}

// The whole file, nothing when it does not exist, or an error.
enum class ReadResult { Read, Missing, Failed };

ReadResult ReadWholeFile(const fs::path& path, std::string& text)
{
    std::error_code ec;
    auto status = fs::status(path, ec);
    if (ec || status.type() == fs::file_type::not_found) {
        return (ec && ec != std::errc::no_such_file_or_directory) ? ReadResult::Failed
                                                                  : ReadResult::Missing;
    }
    if (status.type() != fs::file_type::regular) return ReadResult::Failed;
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReadResult::Failed;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return ReadResult::Failed;
    text = std::move(content).str();
    return ReadResult::Read;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes the text to a temporary file in the same folder and renames it over
// the target. The target keeps its old content unless every step succeeded.
bool ReplaceFileAtomically(const fs::path& path, std::string_view text)
{
    std::string temp = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    // Keep the old file's permissions where there is one.
    std::error_code ec;
    auto perms = fs::status(path, ec).permissions();
    ::fchmod(fd, ec ? 0644 : static_cast<mode_t>(perms));

    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace

fs::path SettingsFolderFromEnvironment()
{
    if (const char* dir = NonEmptyEnv("NIMBREL_CONFIG_DIR")) return fs::path(dir);
    if (const char* xdg = NonEmptyEnv("XDG_CONFIG_HOME")) return fs::path(xdg) / "nimbrel";
    if (const char* home = NonEmptyEnv("HOME")) return fs::path(home) / ".config" / "nimbrel";
    return {};
}

FileProfileStore::FileProfileStore(fs::path folder) : folder_(std::move(folder)) {}

fs::path FileProfileStore::PathOf(std::string_view fileName) const
{
    fs::path folder = folder_.empty() ? SettingsFolderFromEnvironment() : folder_;
    if (folder.empty()) return {};
    return folder / fs::path(std::string(fileName));
}

std::string FileProfileStore::ReadString(std::string_view fileName, std::string_view section,
                                         std::string_view key, std::string_view defaultText)
{
    try {
        fs::path path = PathOf(fileName);
        std::string text;
        if (path.empty() || ReadWholeFile(path, text) != ReadResult::Read) {
            return std::string(defaultText);
        }
        std::optional<std::string> value = FindProfileValue(text, section, key);
        return value ? std::move(*value) : std::string(defaultText);
    } catch (const std::exception&) {
        // A load never fails: whatever cannot be read reads as the default.
        return std::string(defaultText);
    }
}

bool FileProfileStore::WriteString(std::string_view fileName, std::string_view section,
                                   std::string_view key, std::string_view value)
{
    try {
        fs::path path = PathOf(fileName);
        if (path.empty()) return false;
        std::string text;
        ReadResult read = ReadWholeFile(path, text);
        // An unreadable file is never replaced: its content would be lost.
        if (read == ReadResult::Failed) return false;
        if (read == ReadResult::Read && ::access(path.c_str(), W_OK) != 0) return false;

        std::optional<std::string> updated = SetProfileValue(text, section, key, value);
        if (!updated) return false;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec) return false;
        return ReplaceFileAtomically(path, *updated);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace nimbrel
