// A password library that shows no dialog: it answers what the test driver
// stored under HKEY_CURRENT_USER\Software\NimbrelTest\PasswordCpl and counts
// the calls, so the driver can tell that it was asked.
//
//   Answer (REG_DWORD, in)   the whole 32-bit result; missing means 0
//   Calls  (REG_DWORD, out)  one more on every call
#include <windows.h>

namespace {

constexpr char kKeyPath[] = "Software\\NimbrelTest\\PasswordCpl";

DWORD ReadDword(HKEY key, const char* name)
{
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return 0;
    }
    return value;
}

} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return FALSE;
    }
    const DWORD calls = ReadDword(key, "Calls") + 1;
    RegSetValueExA(key, "Calls", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&calls), sizeof calls);
    const DWORD answer = ReadDword(key, "Answer");
    RegCloseKey(key);
    return static_cast<BOOL>(answer);
}
