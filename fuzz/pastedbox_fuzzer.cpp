// Feeds the box reader whatever a paste may hold: a line it fills a buffer from must name that buffer,
// 0 to 7, and what it fills must be a value the analysis can count. Any other outcome fills nothing.
#include "analyze/pastedbox.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The buffers the text's lines name as "Buffer N", read here without the reader's pattern: blanks,
// then ASCII digits whose value, leading zeros aside, is one of 0 to 7.
std::bitset<8> namedBuffers(const QStringList &lines)
{
    std::bitset<8> named;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (!line.startsWith(QLatin1String("Buffer")))
            continue;
        int at = 6;
        while (at < line.size() && line.at(at).isSpace())
            ++at;
        QString digits;
        while (at < line.size() && line.at(at) >= QLatin1Char('0') && line.at(at) <= QLatin1Char('9'))
            digits += line.at(at++);
        while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
            digits.remove(0, 1);
        if (digits.size() == 1 && digits.at(0) <= QLatin1Char('7'))
            named.set(size_t(digits.at(0).unicode() - '0'));
    }
    return named;
}

// "0", or a value as DoubleToStr shows it without its sign: digits with one point at most.
bool countable(const QString &field)
{
    static const QRegularExpression value(QStringLiteral("^([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    return value.match(field).hasMatch();
}

void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    const PastedBox box = readPastedBox(text);

    const std::bitset<8> named = namedBuffers(lines);
    bool anyFilled = false;
    for (size_t buffer = 0; buffer < box.fields.size(); ++buffer) {
        if (!box.fields[buffer])
            continue;
        anyFilled = true;
        require(box.kind == PastedBox::Kind::Values);
        require(named.test(buffer));
        require(countable(*box.fields[buffer]));
    }
    require(anyFilled == (box.kind == PastedBox::Kind::Values));
    if (box.kind == PastedBox::Kind::Unreadable) {
        // The line named is one the trader pasted, as it stands but for blanks around it.
        bool pasted = false;
        for (const QString &line : lines)
            pasted = pasted || line.trimmed() == box.line;
        require(pasted && box.line.startsWith(QLatin1String("Buffer")));
    } else {
        require(box.line.isEmpty());
    }
    return 0;
}
