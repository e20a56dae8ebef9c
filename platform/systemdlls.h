#pragma once

// Windows looks for a DLL that is not one of its KnownDLLs in the program's own folder first, so a
// stranger's copy of one, left beside bufrex.exe in a Downloads folder, would run inside Bufrex.
namespace SystemDlls {

// From here on every DLL the process loads by name, Qt's and Windows' own loads included, comes from
// Windows' own folder. The program loads the DLLs that are not KnownDLLs on first use, so none has
// loaded before this. A Windows 7 without update KB2533623 cannot narrow the search: there it does nothing.
void narrowSearch();

} // namespace SystemDlls
