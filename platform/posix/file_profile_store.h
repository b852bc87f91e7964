// The settings file outside Windows: a profile file in a per-user folder,
// read with the portable profile parser and replaced atomically on write.
#pragma once

#include <filesystem>
#include <string_view>

#include "settings/profile_store.h"

namespace nimbrel {

// Resolves a bare file name in one folder. The folder is, in order of
// preference: $NIMBREL_CONFIG_DIR, $XDG_CONFIG_HOME/nimbrel, ~/.config/nimbrel.
class FileProfileStore final : public ProfileStore {
public:
    // Uses the folder named by the environment, looked up at each access.
    FileProfileStore() = default;
    // Uses this folder always.
    explicit FileProfileStore(std::filesystem::path folder);

    std::string ReadString(std::string_view fileName, std::string_view section,
                           std::string_view key, std::string_view defaultText) override;

    // Writes a temporary file beside the real one, flushes it to disk and
    // renames it over the real one, so that a crash or a full disk leaves the
    // old file whole. Returns false when any step fails.
    bool WriteString(std::string_view fileName, std::string_view section,
                     std::string_view key, std::string_view value) override;

    // Where a bare file name lives; empty when no folder can be found.
    std::filesystem::path PathOf(std::string_view fileName) const;

private:
    std::filesystem::path folder_;
};

// The folder that the environment names for the settings file.
std::filesystem::path SettingsFolderFromEnvironment();

} // namespace nimbrel
