// The settings file on Windows: the system's own profile functions, which
// resolve a bare file name in the Windows directory.
#pragma once

#include "settings/profile_store.h"

namespace nimbrel {

class Win32ProfileStore final : public ProfileStore {
public:
    std::string ReadString(std::string_view fileName, std::string_view section,
                           std::string_view key, std::string_view defaultText) override;
    bool WriteString(std::string_view fileName, std::string_view section,
                     std::string_view key, std::string_view value) override;
};

} // namespace nimbrel
