// A stand-in for the system's MPR.DLL: records how PwdChangePasswordA was
// called as the text HKEY_CURRENT_USER\Software\NimbrelTest\Mpr\Request.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR name, HWND owner,
                                                                 DWORD reserved1, DWORD reserved2)
{
    const std::string request = std::string(name ? name : "(null)") + " " +
                                std::to_string(reinterpret_cast<UINT_PTR>(owner)) + " " +
                                std::to_string(reserved1) + " " + std::to_string(reserved2);
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\NimbrelTest\\Mpr", "Request", REG_SZ, request.c_str(),
                    static_cast<DWORD>(request.size() + 1));
    return 0;
}
