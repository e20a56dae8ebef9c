#!/usr/bin/env bash
# The Windows installer in a fresh Wine prefix, as IT departments deploy programs: silently.
#   windows-installer.sh SETUP.exe NSI-SCRIPT DIST-FOLDER PART
# PART default:
# - /S installs dist/'s bufrex.exe, LICENSE and Qt's licences into %LOCALAPPDATA%\Programs\Bufrex,
#   a Start-menu shortcut "Bufrex 2" and one entry in the installed programs, with its values;
# - the installed program shows its window;
# - installed again, over itself and over an older version, there is one entry and one copy, and only
#   this version's files (an older one's own file goes);
# - the entry's QuietUninstallString leaves nothing: no files, folder, shortcut or entry;
# - beside a running Bufrex, a silent update and a silent uninstall fail (exit code 3) and change nothing;
# - it declares itself DPI-aware, and speaks Thai on a Thai Windows and English on another.
# PART folders:
# - /S /D=C:\Tools, a folder of the user's with a LICENSE and licenses\mine.txt of its own: Bufrex goes
#   into C:\Tools\Bufrex, and installing, installing again and uninstalling leave the user's files be;
#   installed into another folder again, the copy in C:\Tools\Bufrex goes;
# - installed again into the same folder spelled otherwise (letter case, a trailing backslash, slashes,
#   its 8.3 name): one copy and one entry, nothing deleted.
# PART updates:
# - where no folder's identity can be read (a test build), installed again as those spellings: the
#   same, nothing deleted, the uninstaller included;
# - a file recorded as left over that this version writes again is kept and recorded as its own;
# - an older version's file that an update cannot delete, held open, stays recorded, and the next
#   update, or the uninstaller, removes it.
# Each part is a test of its own, in a prefix of its own, so that they run side by side.
source "$(dirname "$0")/harness.sh"
setup=$(realpath -m "$1") nsi=$(realpath -m "$2") dist=$(realpath -m "$3") part=$4
case "$part" in
  default | folders | updates) ;;
  *) fail "PART is default, folders or updates, not '$part'" ;;
esac
for tool in wine makensis wrestool Xvfb xdotool x86_64-w64-mingw32-gcc; do
  command -v "$tool" >/dev/null || fail "$tool is missing (the test set-up installs it)"
done
[ -f "$setup" ] || fail "$setup is missing: scripts/windows.sh makes it"

source "$(dirname "$0")/wineprefix.sh"
source "$(dirname "$0")/xsession.sh"
start_wine_session
touch "$work/started"

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bufrex'
profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
folder=$profile/AppData/Local/Programs/Bufrex
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Bufrex 2.lnk"
# A silent NSIS installer ends with 1 when a step of its own failed (a file it could not write, say),
# and with 2 or 3 where the script says so: Wine's errors, which the prefix otherwise keeps quiet, then
# tell which step.
install() { # setup [/D=folder, which NSIS takes last]
  WINEDEBUG=err+all step "installing by $(basename "$1") ${*:2}" wine "$1" /S "${@:2}"
  wineserver -w
}
# reg query, asked once more should it fail: under load a Wine started just as the last one's server
# ends can fail once (a count of entries read then said 0, and 1 right after).
reg_query() { wine reg query "$@" 2>/dev/null || { wineserver -w; wine reg query "$@" 2>/dev/null; }; }
value() { # name: the entry's value, as reg prints it
  reg_query "$key" /v "$1" | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
copies() { find "$WINEPREFIX/drive_c" -iname bufrex.exe | grep -c . || true; }
# An installer made from the same script for one test, packed by zlib, which takes a sixth of the time
# of the release's LZMA: the release installer itself is what unpacks with LZMA here.
test_installer() { makensis -V1 '-XSetCompressor /FINAL zlib' "$@" "$nsi"; } # -DNAME=VALUE...
entries() { reg_query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | grep -c 'DisplayName.*Bufrex' || true; }

windows_folder='C:\users\'$(basename "$profile")'\AppData\Local\Programs\Bufrex'
(cd "$dist" && find . -type f | sort) >"$work/dist.list"
installed_as_dist() {
  (cd "$folder" && find . -type f ! -name uninstall.exe | sort) >"$work/installed.list"
  diff "$work/dist.list" "$work/installed.list" >&2 || fail "installed files differ from dist/'s"
}

# The folder every user has: installing, the running program, versions and uninstalling; and the
# installer's own window.
default_folder() {
  install "$setup"
  cmp -s "$folder/bufrex.exe" "$dist/bufrex.exe" || fail "the installed bufrex.exe is not dist/'s"
  installed_as_dist
  [ -f "$shortcut" ] || fail "no Start-menu shortcut 'Bufrex 2'"
  strings -el "$shortcut" | grep -qi 'Programs\\Bufrex\\bufrex.exe' || fail "the shortcut does not start the installed bufrex.exe"
  # Wine's menu builder, which would give the shortcut an entry and icons in the desktop of whoever
  # runs the tests, is off: a test leaves the user's own folders as they were.
  mine=$(find "$HOME/.local/share/applications" "$HOME/.local/share/icons" "$HOME/.config/menus" \
    -newer "$work/started" -iname '*bufrex*' 2>/dev/null || true)
  [ -z "$mine" ] || fail "installing wrote into the desktop of the user running the tests: $mine"

  version=$(sed -n 's/^ *!define VERSION "\(.*\)"$/\1/p' "$nsi")
  declare -A expected=(
    [DisplayName]="Bufrex 2" [DisplayVersion]="$version" [Publisher]="The Bufrex developers"
    [DisplayIcon]="$windows_folder\\bufrex.exe,0" [UninstallString]="\"$windows_folder\\uninstall.exe\""
    [QuietUninstallString]="\"$windows_folder\\uninstall.exe\" /S" [NoModify]=0x1 [NoRepair]=0x1)
  for name in "${!expected[@]}"; do
    [ "$(value "$name")" = "${expected[$name]}" ] || fail "$name is '$(value "$name")', not '${expected[$name]}'"
  done
  size=$(( $(value EstimatedSize) ))
  actual=$(( $(du -sk "$folder" | cut -f1) ))
  (( size > actual * 9 / 10 && size < actual * 11 / 10 )) || fail "EstimatedSize is $size KiB, the folder $actual KiB"
  echo "windows-installer: installed, $(du -sb "$folder" | cut -f1) bytes; shortcut and entry as expected"

  # Beside a running Bufrex a silent update and a silent uninstall each fail with exit code 3 and leave
  # the files and the entry as they were. The uninstaller runs in place (_?=), as a deployment tool that
  # wants its exit code runs it: otherwise it hands over to a copy of itself and ends at once.
  wine "$folder/bufrex.exe" &
  pid=$!
  main=$(window 'Bufrex 2 ')
  installation() {
    (cd "$folder" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
    wine reg query "$key" /s 2>/dev/null | tr -d '\r'
  }
  installation >"$work/installed.state"
  for run in update uninstall; do
    code=0
    if [ "$run" = update ]; then wine "$setup" /S || code=$?; else wine "$folder/uninstall.exe" /S "_?=$windows_folder" || code=$?; fi
    [ "$code" = 3 ] || fail "the silent $run beside a running Bufrex ended with exit code $code, not 3"
    installation | diff "$work/installed.state" - >&2 || fail "the silent $run beside a running Bufrex changed the installation"
    echo "windows-installer: silent $run beside a running Bufrex: exit code 3; left: $(entries) entry, $(find "$folder" -type f | grep -c .) files as they were"
  done
  escape_ends_program "$main" "$pid"
  pid=

  # Over itself, and over an older version made from the same script.
  install "$setup"
  test_installer -DVERSION=1.9 -DOUTFILE="$work/older-setup.exe"
  install "$work/older-setup.exe"
  [ "$(value DisplayVersion)" = 1.9 ] || fail "the older version did not install"
  # As if the older version carried a file this one does not.
  echo older >"$folder/licenses/Qt/OLDER.txt"
  step "recording the older version's file" wine reg add "$key\Files" /v 'licenses\Qt\OLDER.txt' /f
  install "$setup"
  installed_as_dist
  [ "$(entries)" = 1 ] || fail "$(entries) entries in the installed programs, not one"
  [ "$(copies)" = 1 ] || fail "$(copies) copies of bufrex.exe, not one"
  [ "$(value DisplayVersion)" = "$version" ] || fail "the entry says version $(value DisplayVersion), not $version"

  # QuietUninstallString, as deployment tools run it: the quoted program, then its arguments.
  quiet=$(value QuietUninstallString)
  uninstaller=${quiet#\"} uninstaller=${uninstaller%%\"*}
  read -ra arguments <<<"${quiet##*\"}"
  wine "$uninstaller" "${arguments[@]}"
  wineserver -w
  [ ! -e "$folder" ] || fail "the folder is left: $(ls -A "$folder")"
  [ ! -e "$shortcut" ] || fail "the shortcut is left"
  [ "$(entries)" = 0 ] || fail "the entry is left"
  [ "$(copies)" = 0 ] || fail "a bufrex.exe is left"
  echo "windows-installer: silent install, the program runs, reinstalls keep one entry, one copy and this version's files, silent uninstall leaves nothing"

  wrestool -x --raw -t 24 "$setup" | grep -q '<dpiAware[^>]*>true</dpiAware>' || fail "the manifest does not declare DPI awareness"
  # Wine takes Windows' UI language from the locale. NSIS ends its window titles in a blank.
  title_under() { # locale title
    LC_ALL=$1 wine "$setup" &
    pid=$!
    window "$2" >/dev/null
    kill "$pid"; wineserver -k; pid=
  }
  title_under th_TH.UTF-8 'Bufrex 2 ติดตั้ง '
  title_under en_US.UTF-8 'Bufrex 2 Setup '
  echo "windows-installer: DPI-aware; titled in Thai under a Thai locale, in English under an English one"
}

# Folders the user names.
users_folders() {
  # A folder of the user's: Bufrex goes into a folder of its own inside it, and touches nothing else.
  tools=$WINEPREFIX/drive_c/Tools
  mkdir -p "$tools/licenses"
  echo "the user's own" >"$tools/licenses/mine.txt"
  echo "the user's own licence" >"$tools/LICENSE"
  (cd "$tools" && sha256sum LICENSE licenses/mine.txt) >"$work/users.sums"
  users_files_kept() { # after what
    (cd "$tools" && sha256sum --quiet -c "$work/users.sums") >&2 || fail "$1 changed or removed the user's files in C:\\Tools"
  }
  folder=$tools/Bufrex
  install "$setup" '/D=C:\Tools'
  users_files_kept "installing"
  installed_as_dist
  install "$setup" '/D=C:\Tools'
  users_files_kept "installing again"
  installed_as_dist
  [ "$(copies)" = 1 ] || fail "$(copies) copies of bufrex.exe, not one"
  quiet=$(value QuietUninstallString)
  [ "$quiet" = '"C:\Tools\Bufrex\uninstall.exe" /S' ] || fail "QuietUninstallString is $quiet"
  # Installed into another folder: the copy in C:\Tools\Bufrex goes, and its entry is the new one's.
  folder=$profile/AppData/Local/Programs/Bufrex
  install "$setup" "/D=$windows_folder"
  users_files_kept "installing elsewhere"
  installed_as_dist
  [ ! -e "$tools/Bufrex" ] || fail "the copy in C:\\Tools\\Bufrex is left: $(ls -A "$tools/Bufrex")"
  [ "$(copies)" = 1 ] && [ "$(entries)" = 1 ] || fail "$(copies) copies and $(entries) entries, not one each"
  [ "$(value InstallLocation)" = "$windows_folder" ] || fail "the entry names $(value InstallLocation)"
  wine "$folder/uninstall.exe" /S
  wineserver -w
  users_files_kept "uninstalling"
  [ ! -e "$folder" ] || fail "the folder is left: $(ls -A "$folder")"
  [ "$(ls -A "$tools" | tr '\n' ' ')" = "LICENSE licenses " ] || fail "C:\\Tools holds $(ls -A "$tools")"
  echo "windows-installer: into C:\\Tools\\Bufrex beside the user's own files, which installing, installing again, moving and uninstalling keep"

  # The folder installed into, spelled otherwise, is the same folder and no move: another letter case, a
  # trailing backslash, slashes and its 8.3 name each keep the one copy and the one entry.
  folder=$WINEPREFIX/drive_c/TradingTools
  install "$setup" '/D=C:\TradingTools'
  installed_as_dist
  short=$(wine winepath -s 'C:\TradingTools' | tr -d '\r')
  [ "$short" != 'C:\TradingTools' ] || fail "Wine gives C:\\TradingTools no 8.3 name"
  for spelling in 'c:\tradingtools' 'C:\TradingTools\' 'C:/TradingTools' "$short"; do
    install "$setup" "/D=$spelling"
    installed_as_dist
    [ "$(copies)" = 1 ] && [ "$(entries)" = 1 ] || fail "installed again as $spelling: $(copies) copies and $(entries) entries, not one each"
  done
  echo "windows-installer: installed again as c:\\tradingtools, C:\\TradingTools\\, C:/TradingTools and $short: one copy, one entry, nothing deleted"
}

# Updates into a folder that cannot be told, or over files that cannot be deleted.
updates_in_place() {
  folder=$WINEPREFIX/drive_c/TradingTools
  install "$setup" '/D=C:\TradingTools'
  short=$(wine winepath -s 'C:\TradingTools' | tr -d '\r')

  # Where neither folder's identity can be read (some network shares and third-party file systems open
  # no folder to ask), the folder is told by its full path, and where even that differs nobody can tell:
  # either way nothing just written is deleted, the uninstaller included, and there is one entry. The
  # test build reads no identity.
  test_installer -DBUFREX_TEST_NO_FOLDER_IDENTITY -DOUTFILE="$work/no-identity-setup.exe"
  for spelling in 'C:\TradingTools' 'c:\tradingtools\' 'C:/TradingTools' "$short"; do
    install "$work/no-identity-setup.exe" "/D=$spelling"
    installed_as_dist
    [ -f "$folder/uninstall.exe" ] || fail "installed again as $spelling with no identity to read: uninstall.exe is gone"
    [ "$(copies)" = 1 ] && [ "$(entries)" = 1 ] || fail "installed again as $spelling with no identity to read: $(copies) copies and $(entries) entries, not one each"
  done
  echo "windows-installer: with no folder identity to read, installed again as four spellings: one copy, one entry, nothing deleted"

  # A file recorded as left over that this version writes again (the licence files come and go with
  # Qt's build) is this version's file after the update: there, and recorded as its own, not as left over.
  step "recording LICENSE as left over" wine reg add "$key\\Leftovers" /v 'C:\TradingTools\LICENSE' /d 'C:\TradingTools' /f
  install "$setup"
  installed_as_dist
  cmp -s "$folder/LICENSE" "$dist/LICENSE" || fail "the update deleted or changed the LICENSE it writes again"
  wine reg query "$key\\Files" /v LICENSE >/dev/null 2>&1 || fail "LICENSE is not recorded as this version's file"
  ! wine reg query "$key\\Leftovers" >/dev/null 2>&1 || fail "LICENSE is still recorded as left over"
  echo "windows-installer: a leftover that this version writes again is kept, and recorded as this version's"

  # A file of an older version that an update cannot delete, as another program holds it open (sharing
  # read and write, not delete), stays recorded: the next update removes it, and so does the uninstaller.
  step "building the program that holds a file" x86_64-w64-mingw32-gcc -o "$work/hold.exe" "$(dirname "$0")/holdfile.c"
  older_file_held_in_update() {
    echo older >"$folder/OLDER.txt"
    step "recording the older version's file" wine reg add "$key\\Files" /v OLDER.txt /f
    rm -f "$work/hold.in" "$work/hold.out"
    mkfifo "$work/hold.in"
    wine "$work/hold.exe" 'C:\TradingTools\OLDER.txt' <"$work/hold.in" >"$work/hold.out" &
    holder=$!
    exec 7>"$work/hold.in"
    for _ in $(seq 200); do grep -q held "$work/hold.out" 2>/dev/null && break; sleep 0.1; done
    grep -q held "$work/hold.out" || fail "OLDER.txt could not be held open"
    wine "$setup" /S # without wineserver -w, which would wait for the holder too
    [ -f "$folder/OLDER.txt" ] || fail "the held OLDER.txt is gone: it was not held"
    wine reg query "$key\\Leftovers" 2>/dev/null | grep -q 'OLDER.txt' ||
      fail "the update did not record the OLDER.txt it could not delete"
    exec 7>&-
    wait "$holder" || fail "the program holding OLDER.txt failed"
  }
  older_file_held_in_update
  install "$setup"
  [ ! -e "$folder/OLDER.txt" ] || fail "the next update left the OLDER.txt it could not delete before"
  installed_as_dist
  ! wine reg query "$key\\Leftovers" >/dev/null 2>&1 || fail "a file is still recorded as left over"
  older_file_held_in_update
  wine "$folder/uninstall.exe" /S '_?=C:\TradingTools'
  wineserver -w
  [ "$(ls -A "$folder")" = uninstall.exe ] || fail "the uninstaller left $(ls -A "$folder" | tr '\n' ' ')"
  [ "$(entries)" = 0 ] || fail "the entry is left"
  echo "windows-installer: a file held open during an update stays recorded, and the next update or the uninstaller removes it"
}

case "$part" in
  default) default_folder ;;
  folders) users_folders ;;
  updates) updates_in_place ;;
esac
