#include "platform/systemdlls.h"

#include <windows.h>

void SystemDlls::narrowSearch()
{
    // Looked up rather than imported: a Windows 7 without the update lacks it, and would not start a
    // program that imports it.
    using SetDefaultDllDirectories = BOOL(WINAPI *)(DWORD);
    const auto narrow = reinterpret_cast<SetDefaultDllDirectories>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (narrow)
        narrow(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
