// A password library that shows no dialog: it answers what the test driver
// stored under HKEY_CURRENT_USER\Software\NimbrelTest\PasswordCpl and counts
// the calls, so the driver can tell that it was asked.
//
//   Answer (REG_DWORD, in)   the whole 32-bit result; missing means 0
//   Calls  (REG_DWORD, out)  one more on every call
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    constexpr char kKey[] = "Software\\NimbrelTest\\PasswordCpl";
    DWORD calls = 0, answer = 0, size = sizeof calls;
    RegGetValueA(HKEY_CURRENT_USER, kKey, "Calls", RRF_RT_REG_DWORD, nullptr, &calls, &size);
    ++calls;
    RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Calls", REG_DWORD, &calls, sizeof calls);
    RegGetValueA(HKEY_CURRENT_USER, kKey, "Answer", RRF_RT_REG_DWORD, nullptr, &answer, &size);
    return static_cast<BOOL>(answer);
}
