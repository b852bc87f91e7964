// A stand-in for the system's MPR.DLL: records one password-change request.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR name, HWND owner,
                                                                 DWORD reserved1, DWORD reserved2)
{
    char path[MAX_PATH];
    if (GetEnvironmentVariableA("NIMBREL_MPR_RECORD", path, MAX_PATH) == 0) return 0;
    if (FILE* record = std::fopen(path, "w")) {
        std::fprintf(record, "%s %lu %lu %lu", name ? name : "(null)",
                     static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)),
                     static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
        std::fclose(record);
    }
    return 0;
}
