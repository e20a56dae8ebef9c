#pragma once

#include <QString>

#include <array>
#include <optional>

// What a paste of the terminal's message box (or of its "Buffer N = V" lines from anywhere) holds for
// the analysis window: the text each listed buffer's value field takes.
struct PastedBox
{
    enum class Kind {
        NotABox,       // no buffer line, or one no script writes: the field pastes it as any text
        Values,        // the fields of the listed buffers take `fields`
        TerminalError, // the box says the terminal failed to read the indicator: its values are not the indicator's
        Unreadable,    // a buffer's value is no number (a broken indicator's nan, inf): `line` names the first
    };
    Kind kind = Kind::NotABox;
    std::array<std::optional<QString>, 8> fields; // buffer N's field text, for the buffers the box lists
    QString line;                                 // Unreadable: the line that could not be read, trimmed
};

// Reads `text` as copied from the box. A value with no meaning on its bar, EMPTY_VALUE (2147483647) or
// 0, becomes "0", the field's "no value"; any other keeps its digits as shown, without a minus sign,
// since only whether a buffer has a value counts. A line that names a buffer other than 0 to 7 is no
// script's: the paste is then no box at all.
PastedBox readPastedBox(const QString &text);
