// GetPrivateProfileStringA and WritePrivateProfileStringA behind ProfileStore.
#include "platform/win32/profile_store.h"

#include <windows.h>

#include <string>

namespace nimbrel {

std::string Win32ProfileStore::ReadString(std::string_view fileName, std::string_view section,
                                          std::string_view key, std::string_view defaultText)
{
    // The functions take NUL-terminated texts, so copy the views once.
    const std::string file(fileName), sec(section), k(key), dflt(defaultText);
    char buffer[1024];
    DWORD copied = GetPrivateProfileStringA(sec.c_str(), k.c_str(), dflt.c_str(), buffer,
                                            sizeof buffer, file.c_str());
    return std::string(buffer, copied < sizeof buffer ? copied : sizeof buffer - 1);
}

bool Win32ProfileStore::WriteString(std::string_view fileName, std::string_view section,
                                    std::string_view key, std::string_view value)
{
    const std::string file(fileName), sec(section), k(key), v(value);
    return WritePrivateProfileStringA(sec.c_str(), k.c_str(), v.c_str(), file.c_str()) != 0;
}

ProfileStore& DefaultProfileStore()
{
    static Win32ProfileStore store;
    return store;
}

} // namespace nimbrel
