// Windows' DLLs that are no KnownDLLs are loaded on first use (cmake/systemdlls.cmake): a call's
// first use goes through MinGW-w64's delay-load helper, which writes the function's address into the
// program's import address table. Newer GNU linkers make that table read-only, as Windows' own
// linker does, and MinGW's helper, unlike Windows' own, writes it as it stands. So every call to it
// passes through here, where the page is made writable for that one write and protected again after.
#include <windows.h>

#include <delayimp.h>

extern "C" {

FARPROC WINAPI __real___delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC *entry);

FARPROC WINAPI __wrap___delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC *entry)
{
    // One at a time: two threads lifting and restoring the same page's protection would leave it
    // read-only under the other's write.
    static SRWLOCK lock = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&lock);
    DWORD protection = 0;
    const bool lifted = VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
    const FARPROC function = __real___delayLoadHelper2(descriptor, entry);
    if (lifted)
        VirtualProtect(entry, sizeof *entry, protection, &protection);
    ReleaseSRWLockExclusive(&lock);
    return function;
}

} // extern "C"
