// SettingsFile: typed loads and stores over one profile store.
#include "settings/settings_file.h"

#include <string>

#include "settings/errors.h"
#include "settings/parse_integer.h"

namespace nimbrel {

SettingsFile::SettingsFile(std::string_view fileName)
    : fileName_(fileName), store_(&CurrentProfileStore())
{
}

SettingsFile::SettingsFile(std::string_view fileName, ProfileStore& store)
    : fileName_(fileName), store_(&store)
{
}

std::string SettingsFile::LoadText(std::string_view section, std::string_view key,
                                   std::string_view defaultText) const
{
    std::string text = store_->ReadString(fileName_, section, key, defaultText);
    if (text.size() > kMaxValueLength) text.resize(kMaxValueLength);
    return text;
}

void SettingsFile::StoreText(std::string_view section, std::string_view key,
                             std::string_view value)
{
    if (!store_->WriteString(fileName_, section, key, value)) {
        throw Error(FormatErrorMessage("%s に書き込めません", fileName_));
    }
}

std::int32_t ReadIntValue(std::string_view text, std::int32_t defaultValue)
{
    std::string adjusted(text);
    if (adjusted.size() > 2 && adjusted[0] == '0' && (adjusted[1] == 'x' || adjusted[1] == 'X')) {
        adjusted.replace(0, 2, "$");
    }
    try {
        return ParseInteger(adjusted);
    } catch (const EConvertError&) {
        return defaultValue;
    }
}

std::int32_t SettingsFile::LoadInt(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const
{
    return ReadIntValue(LoadText(section, key, ""), defaultValue);
}

void SettingsFile::StoreInt(std::string_view section, std::string_view key, std::int32_t value)
{
    StoreText(section, key, std::to_string(value));
}

bool SettingsFile::LoadFlag(std::string_view section, std::string_view key,
                            bool defaultValue) const
{
    return LoadInt(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::StoreFlag(std::string_view section, std::string_view key, bool value)
{
    StoreText(section, key, value ? "1" : "0");
}

} // namespace nimbrel
