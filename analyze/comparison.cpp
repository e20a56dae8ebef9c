#include "analyze/comparison.h"

#include "dialog/maker.h"

namespace {

// Only the field's untouched start text means "no value": a cleared field or 0.0 is something the
// user typed, so the test is on the text, not on the number.
bool present(const QString &value)
{
    return value != QLatin1String("0");
}

Report critical(const char *text)
{
    return {QString::fromLatin1(text), ReportIcon::Critical};
}

} // namespace

Report compareEvents(const QString &firstName, const QString &secondName, const EventValues &first,
                     const EventValues &second)
{
    if (firstName.isEmpty() || secondName.isEmpty())
        return critical("Please input all variable name ");

    QString firstLine = firstName + QLatin1String(" is ");
    QString secondLine = secondName + QLatin1String(" is ");
    // A buffer weighs its index plus one, so which buffers differ shows in the score, not only how many.
    int firstScore = 0;
    int secondScore = 0;
    for (int buffer = 0; buffer < int(first.size()); ++buffer) {
        const bool inFirst = present(first[size_t(buffer)]);
        const bool inSecond = present(second[size_t(buffer)]);
        const int weight = buffer + 1;
        if (inFirst && inSecond) {
            ++firstScore;
            ++secondScore;
        } else if (inFirst) {
            firstScore += weight;
            // The first line's last possible piece carries no blank before the line feed.
            firstLine += buffer == 7 ? QStringLiteral("Buffer 7") : QStringLiteral("Buffer %1 ").arg(buffer);
        } else if (inSecond) {
            secondScore += weight;
            secondLine += QStringLiteral("Buffer %1 ").arg(buffer);
        }
    }

    if (firstScore == 0 && secondScore == 0)
        return critical("Please input data to analyze");
    if (firstScore == 0)
        return critical("Please input data for first event");
    if (secondScore == 0)
        return critical("Please input data for second event");
    if (firstScore == secondScore)
        return {QLatin1String("Can't Analyze This Custom Indicator.Post This case on ") + makerHost(),
                ReportIcon::Information};
    return {firstLine + QLatin1Char('\n') + secondLine, ReportIcon::Information};
}
