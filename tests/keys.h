#pragma once

#include <QtTest>

// Types `text` into `widget` one key at a time, as a keyboard would: '\b' is Backspace, and characters
// QTest has no key for (Thai digits, say) arrive as key events that carry only their text.
inline void typeKeys(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(widget, Qt::Key_Backspace);
        else if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
