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

# What the build of such a Qt compiles and nothing uses, and what it compiles slowest. Each change says
# whether it took, so that another Debian's source cannot leave it undone unnoticed.
trim_source() { # source folder
  local src=$1/src
  edit() { # file sed-script: a script that changes nothing fails
    local before
    before=$(sha256sum <"$1")
    sed -i "$2" "$1"
    [ "$(sha256sum <"$1")" != "$before" ] || { echo "windows-qt.sh: $1 is not as expected ($2)" >&2; return 1; }
  }
  # Only Linux's framebuffer and KMS platforms use the EDID, device-discovery and framebuffer support,
  # and a program chooses the minimal platform by name, which Bufrex never does.
  edit "$src/platformsupport/platformsupport.pro" '/^    \(edid\|devicediscovery\|fbconvenience\) \\$/d'
  edit "$src/plugins/platforms/platforms.pro" '/^!wasm:!android: SUBDIRS += minimal$/d'
  # The Windows platform plugin is the one part of Qt linked into Bufrex that has no precompiled
  # header, and each of its files reads Windows' headers and Qt's anew: with one, it takes half the
  # computing. The Windows headers in it are declared as the file that asks most of them has them (the
  # pointer handler, Windows 8.1's); the version macros are then put back as the build sets them.
  printf '%s\n' '#undef WINVER' '#define WINVER 0x0603' '#include <QtCore/qt_windows.h>' '#undef WINVER' \
    '#define WINVER 0x0601' '#include <QtCore/qdebug.h>' '#include <QtCore/qloggingcategory.h>' \
    '#include <QtGui/qguiapplication.h>' '#include <QtGui/qwindow.h>' '#include <QtGui/qscreen.h>' \
    '#include <QtGui/qaccessible.h>' '#include <qpa/qwindowsysteminterface.h>' '#include "qwindowscontext.h"' \
    '#include "qwindowswindow.h"' >"$src/plugins/platforms/windows/qwindows_pch.h"
  echo 'PRECOMPILED_HEADER = qwindows_pch.h' >>"$src/plugins/platforms/windows/windows.pro"
  # The host tools, and the library of QtCore's files they are built on, are Debian's own (see
  # host_tools below). qlalr, which makes parsers anew from their grammars, is not needed at all.
  printf '%s\n' 'SUBDIRS -= src_tools_bootstrap src_tools_moc src_tools_rcc src_tools_tracegen src_tools_uic' \
    'SUBDIRS -= src_tools_qlalr src_tools_qvkgen' 'TOOLS =' 'src_corelib.depends -= src_tools_moc src_tools_tracegen' \
    'src_gui.depends -= src_tools_rcc src_tools_qvkgen' 'src_widgets.depends -= src_tools_uic' >>"$src/src.pro"
}

# Qt's host tools, which run on this machine while Qt and Bufrex are built, are the ones Debian built
# from this same source (qtbase5-dev-tools, of the same version as qtbase5-dev): building them again
# would take a tenth of Qt's build. Writes FOLDER/moc, rcc, uic, tracegen and qvkgen, each of which
# runs Debian's. Debian's rcc compresses with zstd unless told otherwise, which this Qt, built without
# zstd, could not read: it is told zlib, what Qt's own rcc would use here.
host_tools() { # folder
  local tool options
  mkdir -p "$1"
  for tool in moc rcc uic tracegen qvkgen; do
    options=
    [ "$tool" != rcc ] || options=' --compress-algo zlib'
    printf '#!/bin/sh\nexec /usr/lib/qt5/bin/%s%s "$@"\n' "$tool" "$options" >"$1/$tool"
    chmod +x "$1/$tool"
  done
}
tools_version=$(dpkg-query -W -f='${Version}' qtbase5-dev-tools)
if [ "$tools_version" != "$version" ]; then
  echo "windows-qt.sh: qtbase5-dev-tools is $tools_version, qtbase5-dev $version: Qt's tools must be of its version" >&2
  exit 1
fi
key=$(printf '%s\n' "$version" "${options[@]}" "$(declare -f trim_source host_tools)" | sha256sum | cut -c1-12)
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

echo "Building Qt $version for Windows into $prefix (once; about 20 minutes on two idle cores)" >&2
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
  trim_source "$source"
  mkdir build && cd build
  # Qt writes the names of a few of its source files into programs: they name the work folder as "."
  work=$(cd .. && pwd -P)
  # MAKEFLAGS: configure builds qmake first, on every core too.
  MAKEFLAGS=-j"$(nproc)" "../$source/configure" -extprefix "$prefix" "${options[@]}" "QMAKE_CFLAGS+=-ffile-prefix-map=$work=." \
    "QMAKE_CXXFLAGS+=-ffile-prefix-map=$work=." >&2
  # Qt's build finds a tool by the entry a module file of its own gives, as it finds syncqt.
  host_tools "$PWD/host-tools"
  mkdir -p mkspecs/modules
  for tool in moc rcc uic tracegen qvkgen; do
    echo "QT_TOOL.$tool.binary = $PWD/host-tools/$tool" >"mkspecs/modules/qt_tool_$tool.pri"
  done
  make -j"$(nproc)" >&2
  make install >&2
  # Where the CMake files of the installed Qt look for them.
  host_tools "$prefix/bin"
  rm "$prefix/bin/tracegen" "$prefix/bin/qvkgen"
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
