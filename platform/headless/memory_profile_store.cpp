// In-memory profile files, parsed and rewritten like the portable file store.
#include "platform/headless/memory_profile_store.h"

#include "settings/profile_text.h"

namespace nimbrel {

std::string MemoryProfileStore::ReadString(std::string_view fileName, std::string_view section,
                                           std::string_view key, std::string_view defaultText)
{
    auto file = files_.find(fileName);
    if (file == files_.end()) return std::string(defaultText);
    std::optional<std::string> value = FindProfileValue(file->second, section, key);
    if (!value) return std::string(defaultText);
    if (value->size() > 1023) value->resize(1023);
    return *value;
}

bool MemoryProfileStore::WriteString(std::string_view fileName, std::string_view section,
                                     std::string_view key, std::string_view value)
{
    if (writesLeft_) {
        if (*writesLeft_ <= 0) return false;
        --*writesLeft_;
    }
    auto file = files_.find(fileName);
    std::string_view text = file == files_.end() ? std::string_view() : file->second;
    std::optional<std::string> updated = SetProfileValue(text, section, key, value);
    if (!updated) return false;
    files_[std::string(fileName)] = std::move(*updated);
    ++writeCount_;
    return true;
}

std::optional<std::string> MemoryProfileStore::FileText(std::string_view fileName) const
{
    auto file = files_.find(fileName);
    if (file == files_.end()) return std::nullopt;
    return file->second;
}

void MemoryProfileStore::SetFileText(std::string_view fileName, std::string text)
{
    files_[std::string(fileName)] = std::move(text);
}

} // namespace nimbrel
