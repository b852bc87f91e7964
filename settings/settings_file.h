// SettingsFile: the short-lived object through which every reader and writer
// reaches the settings file. There is no cache: every load asks the store and
// every store reaches the file before it returns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/profile_store.h"

namespace nimbrel {

// The settings file's bare name; the store resolves where it lives.
inline constexpr std::string_view kSettingsFileName = "Rendaxo.ini";

// The longest value text that a load returns.
inline constexpr std::size_t kMaxValueLength = 1023;

class SettingsFile {
public:
    // Binds to the name (and to the process's current store); touches nothing.
    explicit SettingsFile(std::string_view fileName = kSettingsFileName);
    SettingsFile(std::string_view fileName, ProfileStore& store);

    std::string LoadText(std::string_view section, std::string_view key,
                         std::string_view defaultText) const;
    // Throws Error "<file> に書き込めません" when the store reports a failure.
    void StoreText(std::string_view section, std::string_view key, std::string_view value);

    // Never throws: a missing key or a text that does not convert gives the
    // default. "0x"/"0X" before a longer text is read as "$".
    std::int32_t LoadInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const;
    void StoreInt(std::string_view section, std::string_view key, std::int32_t value);

    bool LoadFlag(std::string_view section, std::string_view key, bool defaultValue) const;
    void StoreFlag(std::string_view section, std::string_view key, bool value);

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    ProfileStore* store_;
};

// The reading rule of LoadInt on a value text already fetched.
std::int32_t ReadIntValue(std::string_view text, std::int32_t defaultValue);

} // namespace nimbrel
