#pragma once

#include <QByteArray>
#include <QString>

// The files under tests/data that more than one test reads, built into each test program that links
// this, so that every platform reads them alike (under Wine, a path of the build machine is no path).
namespace Fixture {

// The worked example: the script for buffers 0 and 2 of "ZigZag" at shift 1, as its file must hold it.
QByteArray workedExample();

// What Ctrl+C copies of the terminal's box on Windows: its title, the values of buffers 0, 2 and 3, and
// its OK button, between lines of dashes, with CR LF line ends. The fuzz target starts from it too.
QString windowsBoxCopy();

} // namespace Fixture
