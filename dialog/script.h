#pragma once

#include <QByteArray>
#include <QString>

#include <bitset>
#include <optional>

class QTextCodec;

// Which of an indicator's eight output buffers a script reads: bit N stands for buffer N.
using BufferSet = std::bitset<8>;

// The name by which the terminal's iCustom finds the indicator file at `path`: its file name without
// its last suffix (the terminal adds ".ex4" to it, so "Super.Trend.ex4" is "Super.Trend"), led by the
// folders between it and the nearest MQL4\Indicators above it (letter case ignored, as on Windows),
// joined by backslashes. Outside such a folder, the bare name. Empty when the file name gives none
// (no file, or a file named just ".ex4").
QString indicatorNameOf(const QString &path);

// The Scripts folder of the terminal whose MQL4\Indicators holds the indicator file at `path` (the
// same folder pair as indicatorNameOf's), the one folder the terminal runs a script from: a script
// saved among the indicators would run as an indicator, which may show no message box. Empty when the
// file lies in no such folder, or its MQL4 folder has no Scripts folder (letter case ignored).
QString scriptsFolderOf(const QString &path);

// Whether an MQL4 string literal can hold the indicator name as it is. A control character (a line
// feed, say) would break the script, and no Windows file name holds one.
bool fitsMql4String(const QString &name);

// Whether iCustom's shift, an MQL4 int, holds the bar `shiftText` names: a larger number would be cut
// to another bar. An empty text is bar 0.
bool fitsMql4Shift(const QString &shiftText);

// How the lines begin that the script adds below the values when the terminal fails to read the
// indicator: the values above such a line are the terminal's zeros, not the indicator's.
inline constexpr char scriptLoadFailureLine[] = "The terminal could not load the indicator ";
inline constexpr char scriptReadErrorLine[] = "The terminal reported error ";

// The MQL4 script that shows the ticked buffers of `indicatorName` at the bar `shiftText` in one
// terminal message box, followed by the reason should the terminal fail to read the indicator (as it
// does for one it cannot load, reading 0 for every buffer). Lines are joined by '\n'; the last line has no line end.
QString composeScript(const QString &indicatorName, const QString &shiftText, BufferSet buffers);

// The script as its file holds it: CR LF line ends on every platform, in `codec`, without byte-order
// mark. Empty when `codec` cannot represent every character, since a '?' in the name would read a
// different indicator.
std::optional<QByteArray> encodeScript(const QString &script, QTextCodec *codec);

// The script's file as the terminal reads it back whole. The terminal reads a file without byte-order
// mark in Windows' ANSI code page, `codePage`, and one that starts with FF FE as UTF-16 LE, whatever
// the code page. So a script that `codePage` holds exactly is written in it, as scripts always were;
// any other in UTF-16 LE after FF FE. A null `codePage` is one not known (the Wine a script written
// on Linux runs in may use any): then only an all-ASCII script goes without the mark.
QByteArray scriptFile(const QString &script, QTextCodec *codePage);

// The file a script chosen as `path` is saved in: one whose file name does not end in ".mq4", in any
// letter case, gets ".mq4", the only scripts the terminal lists, whatever points the name holds.
QString withScriptSuffix(const QString &path);

// Writes `bytes` to `path`. An existing file is replaced only once every byte has been written, or,
// in a folder that takes no new file or where another program holds it open, rewritten in place with
// its old bytes put back should a write fail. On failure the result is false and the file is as it
// was, unless, rewritten in place, even its old bytes could not be written back (the disk or share gone).
bool saveScript(const QString &path, const QByteArray &bytes);
