// An in-memory profile store for tests and tools: files as texts, with a
// switch that makes writes fail from a chosen write on.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "settings/profile_store.h"

namespace nimbrel {

class MemoryProfileStore final : public ProfileStore {
public:
    std::string ReadString(std::string_view fileName, std::string_view section,
                           std::string_view key, std::string_view defaultText) override;
    bool WriteString(std::string_view fileName, std::string_view section,
                     std::string_view key, std::string_view value) override;

    // The file's whole text; nothing when it was never written.
    std::optional<std::string> FileText(std::string_view fileName) const;
    void SetFileText(std::string_view fileName, std::string text);

    // The first `count` writes from now on succeed and every later one fails.
    void FailWritesAfter(int count) { writesLeft_ = count; }
    void AllowAllWrites() { writesLeft_.reset(); }

    int WriteCount() const { return writeCount_; }

private:
    std::map<std::string, std::string, std::less<>> files_;
    std::optional<int> writesLeft_;
    int writeCount_ = 0;
};

} // namespace nimbrel
