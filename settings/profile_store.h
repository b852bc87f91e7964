// The seam between SettingsFile and wherever the settings file really lives.
#pragma once

#include <string>
#include <string_view>

namespace nimbrel {

// Reads and writes one value of a profile file ("[section]" lines and
// "key=value" lines). Section and key names match without regard to ASCII
// case. Implementations: the Windows profile functions, a portable file
// store, and an in-memory store for tests.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The value text of the key, at most 1023 characters, or defaultText when
    // the file, the section or the key is missing.
    virtual std::string ReadString(std::string_view fileName, std::string_view section,
                                   std::string_view key, std::string_view defaultText) = 0;

    // Writes the value at once, creating the file, section and key as needed.
    // Returns false when the write failed; the file is then left as it was.
    virtual bool WriteString(std::string_view fileName, std::string_view section,
                             std::string_view key, std::string_view value) = 0;
};

// The store that the platform layer provides: the Windows profile functions
// in the Windows build, the portable file store elsewhere. Defined by the
// platform library that the program links.
ProfileStore& DefaultProfileStore();

// The store of this process: DefaultProfileStore() unless a test or tool has
// installed another. Installing nullptr goes back to the default.
ProfileStore& CurrentProfileStore();
void SetCurrentProfileStore(ProfileStore* store);

} // namespace nimbrel
