// A stand-in for the system's MPR.DLL: records one password-change request
// in nimbrel-mpr-record.txt of the temporary directory.
#include <windows.h>

#include <cstdio>
#include <string>

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR name, HWND owner,
                                                                 DWORD reserved1, DWORD reserved2)
{
    char directory[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, directory);
    const std::string path = std::string(directory, length) + "nimbrel-mpr-record.txt";
    if (FILE* record = std::fopen(path.c_str(), "w")) {
        std::fprintf(record, "%s %lu %lu %lu", name ? name : "(null)",
                     static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)),
                     static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
        std::fclose(record);
    }
    return 0;
}
