#include "dialog/script.h"

#include <QSaveFile>
#include <QTextCodec>

namespace {

// A quote or backslash in a file name would end or bend the MQL4 string literal.
QString mql4StringBody(const QString &text)
{
    QString body;
    body.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            body += QLatin1Char('\\');
        body += c;
    }
    return body;
}

// The field's validator admits any Unicode decimal digit, but MQL4 reads ASCII digits only. An emptied
// field means the bar it starts at: without it iCustom would lack its shift argument.
QString mql4Shift(const QString &shiftText)
{
    if (shiftText.isEmpty())
        return QStringLiteral("0");
    QString shift = shiftText;
    for (QChar &c : shift) {
        if (c.isDigit())
            c = QLatin1Char(char('0' + c.digitValue()));
    }
    return shift;
}

} // namespace

QString composeScript(const QString &indicatorName, const QString &shiftText, BufferSet buffers)
{
    const QString name = mql4StringBody(indicatorName);
    const QString shift = mql4Shift(shiftText);

    // The blanks at the ends of the fixed lines are part of the format traders already have files in.
    QString script = QStringLiteral("#include <WinUser32.mqh> \n"
                                    " int start() \n"
                                    " { string show;  \n");
    for (int n = 0; n < int(buffers.size()); ++n) {
        if (!buffers.test(size_t(n)))
            continue;
        const QString digit = QString::number(n);
        script += QLatin1String("double b") + digit + QLatin1String("=iCustom(NULL,0,\"") + name
                + QLatin1String("\",") + digit + QLatin1Char(',') + shift + QLatin1String(");\n");
        script += QLatin1String("show=show+\"Buffer ") + digit + QLatin1String(" = \"+DoubleToStr(b") + digit
                + QLatin1String(", 5)+ \"\\n\" ;\n");
    }
    script += QLatin1String("MessageBox(show); \n"
                            "return (0); \n"
                            " } ");
    return script;
}

std::optional<QByteArray> encodeScript(const QString &script, QTextCodec *codec)
{
    QString text = script;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    QByteArray bytes = codec->fromUnicode(text.constData(), text.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0)
        return std::nullopt;
    return bytes;
}

bool saveScript(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Some folders let a user replace a file but not create the temporary one beside it; writing in
    // place there still reports every error.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Qt 5's commit() misses a write error that surfaces only when its buffer is flushed (a full disk),
    // and would put the cut file in place of the old one: flush first and check.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
