#!/usr/bin/env bash
# The Windows program is one self-contained GUI program: Windows GUI subsystem, nothing imported but
# Windows' KnownDLLs, Qt's plugins are linked in, and its resources hold the icon IDI_ICON1 and exactly
# one manifest.
# Its version information names Bufrex, its makers, its copyright and the project's version.
#   windows-program.sh bufrex.exe VERSION
source "$(dirname "$0")/harness.sh"
exe=$1
for tool in x86_64-w64-mingw32-objdump wrestool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q '^Subsystem[[:space:]].*(Windows GUI)' <<<"$headers" || fail "not a GUI-subsystem program"

# Windows' protections: ASLR with high entropy (0x20, 0x40) and a .reloc section to move by, and DEP
# (0x100); and the checks of MinGW-w64's libssp, linked in: its own messages are in the program.
flags=$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")
(( (0x$flags & 0x160) == 0x160 )) || fail "DllCharacteristics $flags lack ASLR with high entropy or DEP (0x160)"
x86_64-w64-mingw32-objdump -h "$exe" | grep -q ' \.reloc ' || fail "no .reloc section"
for message in 'stack smashing detected' 'buffer overflow detected'; do
  grep -qaF "$message" "$exe" || fail "libssp is not linked in: no '$message'"
done

# Everything else, Qt and the C++ runtime included, is linked in. What the loader brings in at start
# is Windows' KnownDLLs alone, which it takes from Windows' own folder wherever the program lies; the
# other Windows DLLs are loaded on first use, after the search has been narrowed to that folder by
# SetDefaultDllDirectories, looked up at run time so that a Windows 7 without it still starts.
known_dlls='^(advapi32|comdlg32|gdi32|imm32|kernel32|msvcrt|ole32|oleaut32|shell32|user32|ws2_32)\.dll$'
while read -r dll; do
  grep -qiE "$known_dlls" <<<"$dll" || fail "imports $dll, which is no KnownDLL: Windows would look for it beside the program"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
grep -q 'SetDefaultDllDirectories' <<<"$headers" && fail "imports SetDefaultDllDirectories, which a Windows 7 without KB2533623 lacks"
grep -qaF SetDefaultDllDirectories "$exe" || fail "does not narrow the DLL search: no SetDefaultDllDirectories"

# Qt's plugins are linked in: its Windows platform, without which the program would not start, the
# Windows Vista style, without which it would not look like a Windows program, and the icon reader.
for plugin in QWindowsIntegrationPlugin QWindowsVistaStylePlugin QICOPlugin; do
  grep -qaF "$plugin" "$exe" || fail "Qt's $plugin is not linked in"
done

resources=$(wrestool -l "$exe")
grep -q "^--type=14 --name='IDI_ICON1' " <<<"$resources" || fail "no icon group IDI_ICON1"
[ "$(grep -c '^--type=24 ' <<<"$resources")" = 1 ] || fail "not exactly one manifest: $resources"
manifest=$(wrestool -x --raw --type=24 "$exe")
grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$manifest" || fail "the manifest does not ask for asInvoker"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" || fail "the manifest asks for no Common-Controls 6"

# The version information Explorer and Task Manager show, as the resource compiler reads it back.
version=$(x86_64-w64-mingw32-windres -i "$exe" -O rc | tr -d '\0')
for value in '"ProductName", "Bufrex"' '"CompanyName", "The Bufrex developers"' \
  '"OriginalFilename", "bufrex.exe"' '"LegalCopyright", "Copyright (c) 2026 The Bufrex developers"' \
  "\"FileVersion\", \"$2\"" "\"ProductVersion\", \"$2\"" '"FileDescription", "Bufrex'; do
  grep -qF "$value" <<<"$version" || fail "the version information lacks $value"
done
echo "windows-program: GUI subsystem, ASLR, DEP, libssp, KnownDLLs alone imported, Qt's three plugins, IDI_ICON1, one manifest, version information $2"
