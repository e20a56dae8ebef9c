#include "analyze/analyze.h"
#include "fixtures.h"
#include "keys.h"
#include "modalanswerer.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

namespace {

// Object names of the value fields: the first event's buffers 0 to 7, then the second's.
QStringList valueFieldNames()
{
    QStringList names;
    for (const char *event : {"B1B0", "B2B0"})
        for (int buffer = 0; buffer < 8; ++buffer)
            names << QLatin1String(event) + (buffer == 0 ? QString() : QStringLiteral("_%1").arg(buffer + 1));
    return names;
}

const QString couldNotRead = QStringLiteral(
    "The terminal could not read the indicator, so the values in this box are not its own. Nothing was filled in.");

QLineEdit *field(QWidget *window, const QString &name)
{
    return window->findChild<QLineEdit *>(name);
}

} // namespace

class tst_Analyze : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void startState();
    void resizingMovesNothing();
    void valueField_data();
    void valueField();
    void paste_data();
    void paste();
    void namesTakeAnyText();
    void analyzeShowsReport_data();
    void analyzeShowsReport();
    void keyPressesButton_data();
    void keyPressesButton();
    void accessibleName_data();
    void accessibleName();
};

// Qt's file dialog records its history in the user's settings: in a test, never the developer's own.
void tst_Analyze::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_Analyze::cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Analyze::startState()
{
    Analyze window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Analyze"));
    QCOMPARE(window.size(), QSize(317, 433));
    QVERIFY(field(&window, "name1")->text().isEmpty());
    QVERIFY(field(&window, "name2")->text().isEmpty());
    for (const QString &name : valueFieldNames()) {
        QVERIFY2(field(&window, name), qPrintable(name));
        QCOMPARE(field(&window, name)->text(), QStringLiteral("0"));
    }

    // Tab follows the order the widgets were made in, from "Back", which has the first focus.
    QStringList expected{"Back", "name1", "name2", "Banalyze"};
    expected << valueFieldNames();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(tabChain(&window), expected);
}

void tst_Analyze::resizingMovesNothing()
{
    Analyze window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QHash<QWidget *, QRect> before;
    for (QWidget *widget : window.findChildren<QWidget *>())
        before.insert(widget, widget->geometry());

    window.resize(600, 700);
    QTRY_COMPARE(window.size(), QSize(600, 700));
    for (QWidget *widget : window.findChildren<QWidget *>())
        QCOMPARE(widget->geometry(), before.value(widget));
}

void tst_Analyze::valueField_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");

    QTest::newRow("minus sign refused") << "0" << "-" << "0";
    QTest::newRow("plus sign refused") << "0" << "+" << "0";
    QTest::newRow("letter refused") << "0" << "a" << "0";
    QTest::newRow("exponent refused") << "1.5" << "e" << "1.5";
    QTest::newRow("comma refused") << "0" << "," << "0";
    QTest::newRow("blank refused") << "0" << " " << "0";
    QTest::newRow("digit after the start text") << "0" << "5" << "05";
    QTest::newRow("second point refused") << "3.5" << "." << "3.5";
    QTest::newRow("point then digits into an empty field") << "" << ".5" << ".5";
    QTest::newRow("digits around a point") << "" << "0.25" << "0.25";
    QTest::newRow("Thai digits accepted") << "" << QString::fromUtf8("๑.๕") << QString::fromUtf8("๑.๕");
    QTest::newRow("field may be emptied") << "0" << "\b" << "";
}

void tst_Analyze::valueField()
{
    QFETCH(QString, start);
    QFETCH(QString, typed);
    QFETCH(QString, text);

    Analyze window;
    for (const QString &name : {QStringLiteral("B1B0"), QStringLiteral("B2B0_8")}) {
        QLineEdit *value = field(&window, name);
        value->setText(start);
        value->end(false);
        typeKeys(value, typed);
        QCOMPARE(value->text(), text);
    }
}

void tst_Analyze::paste_data()
{
    QTest::addColumn<QString>("into");      // the field pasted into, emptied first
    QTest::addColumn<QString>("way");       // Ctrl+V, Shift+Insert or the context menu's Paste
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("fields"); // all sixteen afterwards, "" for the one emptied
    QTest::addColumn<QString>("box");        // the message the paste shows, if any
    QTest::addColumn<QString>("typed");      // typed into the emptied field before the paste

    // What Ctrl+C copies of the terminal's box on Windows, and bare lines.
    const QString windowsCopy = Fixture::windowsBoxCopy();
    const QString bareLines = "Buffer 7 = 0.00000\nBuffer 4 = 12.50000";
    const QString errorLine = "The terminal could not load the indicator \"ZigZag\" from its MQL4\\Indicators folder (error 4072)";
    const auto fields = [](const QString &into, QHash<int, QString> changed) {
        QStringList texts;
        const QStringList names = valueFieldNames();
        for (int i = 0; i < names.size(); ++i)
            texts << changed.value(i, names[i] == into ? QString() : QStringLiteral("0"));
        return texts;
    };

    for (const char *way : {"Ctrl+V", "Shift+Insert", "menu"}) {
        QTest::addRow("decimal comma inserts nothing, %s", way) << "B1B0_3" << way << "1,5" << fields("B1B0_3", {}) << "" << QString();
        QTest::addRow("minus sign inserts nothing, %s", way) << "B1B0_3" << way << "-2" << fields("B1B0_3", {}) << "" << QString();
        QTest::addRow("decimal point pasted, %s", way)
            << "B1B0_3" << way << "1.5" << fields("B1B0_3", {{2, "1.5"}}) << "" << QString();
        QTest::addRow("Windows copy into the first event, %s", way)
            << "B1B0_6" << way << windowsCopy << fields("B1B0_6", {{0, "1.23450"}, {3, "0.00120"}}) << "" << QString();
        QTest::addRow("error line fills nothing, %s", way)
            << "B2B0" << way << windowsCopy + errorLine + "\r\n" << fields("B2B0", {}) << couldNotRead << QString();
    }
    QTest::newRow("Windows copy into the second event, buffers it lists only")
        << "B2B0_5" << "Ctrl+V" << windowsCopy << fields("B2B0_5", {{8, "1.23450"}, {11, "0.00120"}}) << "" << QString();
    QTest::newRow("bare lines into the second event, the emptied field among them")
        << "B2B0_5" << "Ctrl+V" << bareLines << fields("B2B0_5", {{12, "12.50000"}}) << "" << QString();
    QTest::newRow("bare lines into the first event")
        << "B1B0" << "menu" << bareLines << fields("B1B0", {{4, "12.50000"}}) << "" << QString();
    // Each way reaches the same reader and report as the error line's: one row each.
    QTest::newRow("value that is no number fills nothing and is named")
        << "B1B0_2" << "menu" << "Buffer 0 = 1.00000\r\nBuffer 1 = -nan(ind)\r\n" << fields("B1B0_2", {})
        << "The line \"Buffer 1 = -nan(ind)\" of this box holds no number that can be read. Nothing was filled in."
        << QString();
    QTest::newRow("typed value back with Ctrl+Z after a paste")
        << "B1B0" << "Ctrl+V" << windowsCopy << fields("B1B0", {{0, "1.23450"}, {3, "0.00120"}}) << "" << "1.5";
    QTest::newRow("value shown cut in its line")
        << "B1B0" << "Ctrl+V" << "Buffer 6 = " + QString(70, 'x') << fields("B1B0", {})
        << "The line \"Buffer 6 = " + QString(48, 'x') + QChar(0x2026)
               + "\" of this box holds no number that can be read. Nothing was filled in."
        << QString();
}

// Pasted as a user does: the window's names stay untouched, whatever the paste fills.
void tst_Analyze::paste()
{
    QFETCH(QString, into);
    QFETCH(QString, way);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, fields);
    QFETCH(QString, box);
    QFETCH(QString, typed);

    Analyze window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field(&window, "name1")->setText("Up");
    QLineEdit *value = field(&window, into);
    value->clear();
    value->setFocus();
    QTest::keyClicks(value, typed);
    const auto fieldTexts = [&window] {
        QStringList texts;
        for (const QString &name : valueFieldNames())
            texts << field(&window, name)->text();
        return texts;
    };
    const QStringList before = fieldTexts();
    QApplication::clipboard()->setText(clipboard);
    QTRY_COMPARE(QApplication::clipboard()->text(), clipboard);

    ModalAnswerer answerer;
    if (way == "Ctrl+V") {
        QTest::keyClick(value, Qt::Key_V, Qt::ControlModifier);
    } else if (way == "Shift+Insert") {
        QTest::keyClick(value, Qt::Key_Insert, Qt::ShiftModifier);
    } else {
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(2, 2), value->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(value, &menuEvent);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *paste = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(QLatin1String("&Paste")))
                paste = action;
        }
        QVERIFY(paste && paste->isEnabled());
        QTest::keyClick(menu, Qt::Key_P); // its accelerator: the menu closes, then pastes
        QCoreApplication::processEvents();
    }

    QCOMPARE(fieldTexts(), fields);
    QCOMPARE(answerer.boxes.size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        QCOMPARE(answerer.boxes[0].text, box);
        QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    }
    QCOMPARE(field(&window, "name1")->text(), QStringLiteral("Up"));
    QVERIFY(field(&window, "name2")->text().isEmpty());

    // A paste into the wrong event is taken back field by field, as typing is: Ctrl+Z in one field
    // leaves what the paste put in the others.
    const QStringList names = valueFieldNames();
    QStringList expected = fields;
    for (int i = 0; i < names.size(); ++i) {
        if (fields[i] == before[i])
            continue;
        QLineEdit *changed = field(&window, names[i]);
        changed->setFocus();
        QTest::keyClick(changed, Qt::Key_Z, Qt::ControlModifier);
        expected[i] = before[i];
        QCOMPARE(fieldTexts(), expected);
    }
}

void tst_Analyze::namesTakeAnyText()
{
    Analyze window;
    const QString name = QString::fromUtf8("  ขาขึ้น -1,5e3 ");
    typeKeys(field(&window, "name1"), name);
    QCOMPARE(field(&window, "name1")->text(), name);
}

void tst_Analyze::analyzeShowsReport_data()
{
    QTest::addColumn<QString>("enterIn"); // the field Enter is pressed in; none: "Analyze" is clicked
    QTest::addColumn<bool>("pasted");     // the values pasted as two boxes of the terminal, not typed

    QTest::newRow("click on Analyze") << QString() << false;
    QTest::newRow("Enter in a value field") << "B1B0_8" << false;
    QTest::newRow("Enter in a name field") << "name2" << false;
    QTest::newRow("two boxes pasted, click on Analyze") << QString() << true;
}

// Typed into the real window: the second worked example's box, and the window and its fields as they were.
void tst_Analyze::analyzeShowsReport()
{
    QFETCH(QString, enterIn);
    QFETCH(bool, pasted);

    Analyze window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(field(&window, "name1"), "Up");
    QTest::keyClicks(field(&window, "name2"), "Down");
    QHash<QString, QString> typed{{"B1B0_4", ".5"}, {"B1B0_8", ".5"}, {"B1B0_6", ".0"}, {"B2B0_6", ".0"},
                                  {"B2B0_7", "1.1"}};
    if (pasted) {
        // Buffer 5 holds a value at both events; the rest show EMPTY_VALUE or 0, "no value".
        const QString boxes[] = {
            "Buffer 0 = 2147483647.00000\r\nBuffer 3 = 0.50000\r\nBuffer 5 = -1.00000\r\nBuffer 6 = 0.00000\r\n"
            "Buffer 7 = 0.50000\r\n",
            "Buffer 0 = 0.00000\r\nBuffer 3 = 2147483647.00000\r\nBuffer 5 = 1.00000\r\nBuffer 6 = -1.10000\r\n"
            "Buffer 7 = 0.00000\r\n"};
        for (const char *into : {"B1B0", "B2B0_6"}) {
            QApplication::clipboard()->setText(boxes[into[1] - '1']);
            QTRY_COMPARE(QApplication::clipboard()->text(), boxes[into[1] - '1']);
            QTest::keyClick(field(&window, into), Qt::Key_V, Qt::ControlModifier);
        }
        typed = {{"B1B0_4", "0.50000"}, {"B1B0_8", "0.50000"}, {"B1B0_6", "1.00000"}, {"B2B0_6", "1.00000"},
                 {"B2B0_7", "1.10000"}};
    } else {
        for (auto it = typed.begin(); it != typed.end(); ++it) {
            field(&window, it.key())->clear();
            QTest::keyClicks(field(&window, it.key()), it.value());
        }
    }

    for (int press = 0; press < 2; ++press) {
        ModalAnswerer answerer;
        if (enterIn.isEmpty()) {
            QTest::mouseClick(window.findChild<QPushButton *>("Banalyze"), Qt::LeftButton);
        } else {
            field(&window, enterIn)->setFocus();
            QTest::keyClick(field(&window, enterIn), Qt::Key_Return);
        }
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Up is Buffer 3 Buffer 7\nDown is Buffer 6 "));
        QCOMPARE(answerer.boxes[0].icon, QMessageBox::Information);
    }
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{&window});
    QVERIFY(window.isVisible());
    for (const QString &name : valueFieldNames())
        QCOMPARE(field(&window, name)->text(), typed.value(name, QStringLiteral("0")));
    QCOMPARE(field(&window, "name1")->text(), QStringLiteral("Up"));
    QCOMPARE(field(&window, "name2")->text(), QStringLiteral("Down"));
}

void tst_Analyze::keyPressesButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");

    for (const char *button : {"Banalyze", "Back"}) {
        QTest::addRow("Space on %s", button) << button << int(Qt::Key_Space);
        QTest::addRow("Enter on %s", button) << button << int(Qt::Key_Return);
    }
}

void tst_Analyze::keyPressesButton()
{
    QFETCH(QString, button);
    QFETCH(int, key);

    Analyze window;
    checkKeyPresses(&window, button, Qt::Key(key));
}

// Each value field names its event's column, by the caption of that event's name, and its buffer.
void tst_Analyze::accessibleName_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");

    QTest::newRow("first event's name") << "name1" << QString::fromUtf8("ชื่อข้อมูลที่1");
    QTest::newRow("second event's name") << "name2" << QString::fromUtf8("ชื่อข้อมูลที่2");
    const QStringList fields = valueFieldNames();
    for (int i = 0; i < fields.size(); ++i) {
        const QString name = QString::fromUtf8("ชื่อข้อมูลที่%1 Buffer %2").arg(i / 8 + 1).arg(i % 8);
        QTest::addRow("%s", qPrintable(name)) << fields.at(i) << name;
    }
}

void tst_Analyze::accessibleName()
{
    QFETCH(QString, field);
    QFETCH(QString, name);

    Analyze window;
    checkAccessibleName(&window, field, name);
}

QTEST_MAIN(tst_Analyze)
#include "tst_analyze.moc"
