#include "analyze/pastedbox.h"

#include "dialog/script.h"

#include <QRegularExpression>

namespace {

// MQL4's EMPTY_VALUE, which DoubleToStr shows as 2147483647.00000.
constexpr double emptyValue = 2147483647.0;

} // namespace

PastedBox readPastedBox(const QString &text)
{
    // The script's own line, "Buffer N = " and DoubleToStr's digits; blanks around it are the copy's.
    static const QRegularExpression bufferLine(QStringLiteral("^Buffer\\s+([0-9]+)\\s*=\\s*(\\S*)$"));
    static const QRegularExpression number(QStringLiteral("^-?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));

    PastedBox box;
    bool terminalError = false;
    bool anyBuffer = false;
    QString unreadable;
    for (const QString &rawLine : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1String(scriptLoadFailureLine))
            || line.startsWith(QLatin1String(scriptReadErrorLine))) {
            terminalError = true;
            continue;
        }
        const auto match = bufferLine.match(line);
        if (!match.hasMatch())
            continue; // the box's title, its dashes, its OK button
        // A line that names no buffer of the eight is not the script's: nothing is guessed. (A number
        // too large for its type reads as 0, which would be buffer 0.)
        bool named = false;
        const uint buffer = match.captured(1).toUInt(&named);
        if (!named || buffer > 7)
            return {};
        const QString value = match.captured(2);
        // The script's line with what a broken indicator leaves in a buffer (nan, inf, 1.#QNAN0): no value
        // to count, and a box with a gap would tell a wrong story.
        if (!number.match(value).hasMatch()) {
            if (unreadable.isEmpty())
                unreadable = line;
            continue;
        }
        const double read = value.toDouble();
        const QString field = read == 0 || read == emptyValue
                                  ? QStringLiteral("0")
                                  : (value.startsWith(QLatin1Char('-')) ? value.mid(1) : value);
        auto &slot = box.fields[size_t(buffer)];
        if (slot && *slot != field)
            return {}; // two values for one buffer: two boxes in one paste, which event is which is unknown
        slot = field;
        anyBuffer = true;
    }
    if (terminalError)
        return {PastedBox::Kind::TerminalError, {}, {}};
    if (!unreadable.isEmpty())
        return {PastedBox::Kind::Unreadable, {}, unreadable};
    if (anyBuffer)
        box.kind = PastedBox::Kind::Values;
    return box;
}
