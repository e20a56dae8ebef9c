#pragma once

#include "modalanswerer.h"

#include <QAccessible>
#include <QPushButton>
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

// The object names Tab reaches in the active `window`, from its first focus until the chain comes round.
inline QStringList tabChain(QWidget *window)
{
    QWidget *first = window->focusWidget();
    QStringList reached{first ? first->objectName() : QString()};
    for (int i = 0; first && i < 64; ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        if (window->focusWidget() == first)
            break;
        reached << window->focusWidget()->objectName();
    }
    return reached;
}

// The name a screen reader announces for `widget`, and that no other control of its window has it.
inline void checkAccessibleName(QWidget *window, const QString &objectName, const QString &expected)
{
    QWidget *widget = window->findChild<QWidget *>(objectName);
    QVERIFY(widget);
    QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(control);
    QCOMPARE(control->role(), QAccessible::EditableText);
    QCOMPARE(control->text(QAccessible::Name), expected);
    for (QWidget *other : window->findChildren<QWidget *>()) {
        if (other != widget && (other->focusPolicy() & Qt::TabFocus))
            QVERIFY2(QAccessible::queryAccessibleInterface(other)->text(QAccessible::Name) != expected,
                     qPrintable(other->objectName() + QStringLiteral(" has the same name")));
    }
}

// Space and Enter press the focused button of `window`, once, as a click does. The boxes and file
// dialogs the press opens are answered, and a window a switch makes is deleted.
inline void checkKeyPresses(QWidget *window, const QString &buttonName, Qt::Key key)
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *button = window->findChild<QPushButton *>(buttonName);
    QVERIFY(button);
    button->setFocus();
    QCOMPARE(window->focusWidget(), button);
    QSignalSpy clicked(button, &QPushButton::clicked);
    {
        ModalAnswerer answerer;
        QTest::keyClick(button, key);
    }
    QCOMPARE(clicked.count(), 1);
    for (QWidget *made : QApplication::topLevelWidgets())
        if (made != window)
            delete made;
}
