#!/usr/bin/env bash
# Builds Qt for Windows once, from Debian's own source of the Qt the Linux build uses, and prints
# where it is. The result is cached outside the clone, keyed by version and options, so later
# builds and CI on this machine reuse it; a build that did not finish is never used.
set -euo pipefail

version=$(dpkg-query -W -f='${Version}' qtbase5-dev)
# Qt is linked into the program, so it carries the same protections as Bufrex's own code (libssp
# then comes with every program linked against it). The prefix a program records is a fixed one, not
# the cache's (see -extprefix below), so that a rebuild by anyone, anywhere, gives the same program.
hardening='-fstack-protector-strong -D_FORTIFY_SOURCE=2'
options=(-opensource -confirm-license -release -static -static-runtime -prefix "/usr/local/Qt-${version%%+*}"
  "QMAKE_CFLAGS+=$hardening" "QMAKE_CXXFLAGS+=$hardening" QMAKE_LFLAGS+=-fstack-protector-strong
  -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu
  -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz
  # Only the modules Bufrex and its tests link: Core, Gui, Widgets and Test.
  -no-feature-network -no-feature-sql -no-feature-xml -no-feature-concurrent -no-feature-printer
  # Debian's source leaves out the Wintab headers and SQLite.
  -no-feature-tabletevent -no-sql-sqlite
  # Nor what nothing of them uses. Formats: no JPEG or GIF picture is read, and FreeType renders only
  # where asked for (-platform windows:fontengine=freetype), for the offscreen platform, which Windows
  # never uses. The Direct2D platform, which nothing asks for. Subsystems: state machines, shared
  # memory, processes, tray icons, sessions, PDF, ODF, Markdown, animated pictures, gestures.
  -no-freetype -no-libjpeg -no-gif -no-feature-direct2d -no-feature-vulkan
  -no-feature-statemachine -no-feature-sharedmemory -no-feature-systemsemaphore -no-feature-process
  -no-feature-itemmodeltester -no-feature-pdf -no-feature-textodfwriter -no-feature-textmarkdownreader
  -no-feature-textmarkdownwriter -no-feature-movie -no-feature-sessionmanager -no-feature-systemtrayicon
  -no-feature-scroller -no-feature-gestures
  # Widgets: only the dialogs, buttons, fields, labels, menus and views that the two windows, the file
  # dialog and the message box are made of stay.
  # (The Windows style draws toolbars and includes QInputDialog unconditionally: both stay.)
  -no-feature-graphicsview -no-feature-graphicseffect -no-feature-mdiarea -no-feature-dockwidget
  -no-feature-statusbar -no-feature-calendarwidget
  -no-feature-datetimeedit -no-feature-colordialog -no-feature-fontdialog -no-feature-fontcombobox
  -no-feature-errormessage -no-feature-progressdialog -no-feature-wizard
  -no-feature-columnview -no-feature-listwidget -no-feature-tablewidget -no-feature-treewidget
  -no-feature-textbrowser -no-feature-keysequenceedit -no-feature-lcdnumber -no-feature-dial
  -no-feature-splashscreen -no-feature-toolbox -no-feature-commandlinkbutton -no-feature-datawidgetmapper
  -no-feature-syntaxhighlighter -no-feature-undocommand -no-feature-undostack -no-feature-undogroup
  -no-feature-undoview)
key=$(printf '%s\n' "$version" "${options[@]}" | sha256sum | cut -c1-12)
cache=${BUFREX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/bufrex}
prefix=$cache/qt-${version//[^A-Za-z0-9.]/_}-win64-$key
mkdir -p "$cache"

# One build at a time: a second caller waits, then finds the finished one.
exec 9>"$cache/qt.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

echo "Building Qt $version for Windows into $prefix (once; about 22 minutes on two idle cores)" >&2
rm -rf "$prefix" "$cache/work-$key"
mkdir -p "$cache/work-$key"
# Run on its own, not as the left side of ||: there bash would ignore set -e, and a step that failed
# would let the build be marked complete.
set +e
(
  set -e
  cd "$cache/work-$key"
  apt-get source -q qtbase-opensource-src="$version" >&2
  source=$(find . -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n 1)
  mkdir build && cd build
  # Qt writes the names of a few of its source files into programs: they name the work folder as "."
  work=$(cd .. && pwd -P)
  # MAKEFLAGS: configure builds qmake first, on every core too.
  MAKEFLAGS=-j"$(nproc)" "../$source/configure" -extprefix "$prefix" "${options[@]}" "QMAKE_CFLAGS+=-ffile-prefix-map=$work=." \
    "QMAKE_CXXFLAGS+=-ffile-prefix-map=$work=." >&2
  make -j"$(nproc)" >&2
  make install >&2
  # The licence texts and the name of the source go with every program linked against it.
  mkdir -p "$prefix/licenses"
  cp "../$source"/LICENSE.* "$prefix/licenses/"
  cp "../$source/debian/copyright" "$prefix/licenses/debian-copyright"
  printf 'Qt %s, built from Debian source package qtbase-opensource-src %s\nConfigured with: %s\n' \
    "${version%%+*}" "$version" "${options[*]} QMAKE_CFLAGS+=-ffile-prefix-map=WORK-FOLDER=. QMAKE_CXXFLAGS+=-ffile-prefix-map=WORK-FOLDER=." \
    > "$prefix/licenses/QT-SOURCE.txt"
)
built=$?
set -e
if [ "$built" != 0 ]; then
  echo "windows-qt.sh: building Qt failed (exit code $built); its work folder is $cache/work-$key" >&2
  rm -rf "$prefix"
  exit 1
fi
rm -rf "$cache/work-$key"
touch "$prefix/.complete"
echo "$prefix"
