#!/usr/bin/env bash
# A stranger's DLL beside bufrex.exe never runs in it. The program is started from a folder that also
# holds planted dwmapi.dll and uxtheme.dll, each exporting all that Windows' own exports and each
# leaving a marker from its DllMain, with Wine told to look in the program's folder first for both, as
# Windows does for a DLL that is not a KnownDLL. The window must come up, and no marker may appear.
# The program runs with its import address table read-only, as newer linkers leave it.
#   planted-dlls.sh bufrex.exe DEF-FOLDER
# DEF-FOLDER holds the .def files the build made the program's delay-load libraries from.
source "$(dirname "$0")/harness.sh"
exe=$(realpath -m "$1") defs=$(realpath -m "$2")
for tool in wine Xvfb xdotool x86_64-w64-mingw32-gcc; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done

source "$(dirname "$0")/wineprefix.sh"
source "$(dirname "$0")/xsession.sh"
start_wine_session

# Every export is one function that does nothing; loading is what gives a planted DLL away.
cat > "$work/planted.c" <<'EOF'
#include <windows.h>

__declspec(dllexport) INT_PTR planted(void) { return 0; }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        WCHAR marker[MAX_PATH + 8];
        DWORD length = GetModuleFileNameW(self, marker, MAX_PATH);
        lstrcpyW(marker + length, L".ran");
        CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    }
    return TRUE;
}
EOF
downloads=$work/Downloads
mkdir "$downloads"
# The DLLs' functions are looked up on their first call and written into the import address table,
# which newer GNU linkers (binutils 2.44) make read-only. The copy run here has that table read-only
# whatever this linker did, so that a program which would fault built on a newer Debian fails here too.
step "making the import address table of bufrex.exe read-only" python3 - "$exe" "$downloads/bufrex.exe" <<'EOF'
import struct, sys
image = bytearray(open(sys.argv[1], 'rb').read())
header = struct.unpack_from('<I', image, 0x3c)[0]
count, optional = struct.unpack_from('<H', image, header + 6)[0], struct.unpack_from('<H', image, header + 20)[0]
first = header + 24 + optional
idata = [at for at in range(first, first + 40 * count, 40) if image[at:at + 8].rstrip(b'\0') == b'.idata']
if len(idata) != 1:
    sys.exit('no single .idata section')
flags = struct.unpack_from('<I', image, idata[0] + 36)[0]
struct.pack_into('<I', image, idata[0] + 36, flags & ~0x80000000)  # IMAGE_SCN_MEM_WRITE
open(sys.argv[2], 'wb').write(image)
EOF
for dll in dwmapi uxtheme; do
  [ -s "$defs/$dll.def" ] || fail "$defs/$dll.def is missing: the build makes it"
  sed '1,/^EXPORTS$/d; s/$/=planted/' "$defs/$dll.def" > "$work/$dll-exports"
  [ -s "$work/$dll-exports" ] || fail "$defs/$dll.def names no function"
  { echo "LIBRARY $dll.dll"; echo EXPORTS; cat "$work/$dll-exports"; } > "$work/$dll.def"
  step "building the planted $dll.dll" x86_64-w64-mingw32-gcc -shared -o "$downloads/$dll.dll" "$work/planted.c" "$work/$dll.def"
done

cd "$downloads"
WINEDLLOVERRIDES="dwmapi,uxtheme=n,b;$wine_overrides" wine "$downloads/bufrex.exe" &
pid=$!
main=$(window 'Bufrex 2 ')
# The window is painted with the theme and laid out with the desktop's settings: both DLLs in use.
click_on "$main" analyze
analyze=$(window 'Analyze')
ran=$(cd "$downloads" && ls -- *.ran 2>/dev/null | sed 's/\.ran$//' | paste -sd ' ' || true)
[ -z "$ran" ] || fail "planted DLLs ran inside Bufrex: $ran"
escape_ends_program "$analyze" "$pid"
pid=
echo "planted-dlls: the window came up, and neither planted dwmapi.dll nor uxtheme.dll ran"
