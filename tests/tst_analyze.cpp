#include "analyze/analyze.h"
#include "keys.h"
#include "modalanswerer.h"

#include <QClipboard>
#include <QLineEdit>
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
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");

    QTest::newRow("decimal comma inserts nothing") << "1,5" << "";
    QTest::newRow("minus sign inserts nothing") << "-2" << "";
    QTest::newRow("decimal point pasted") << "1.5" << "1.5";
}

void tst_Analyze::paste()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, text);

    Analyze window;
    QLineEdit *value = field(&window, "B1B0_3");
    value->clear();
    QApplication::clipboard()->setText(clipboard);
    value->paste();
    QCOMPARE(value->text(), text);
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

    QTest::newRow("click on Analyze") << QString();
    QTest::newRow("Enter in a value field") << "B1B0_8";
    QTest::newRow("Enter in a name field") << "name2";
}

// Typed into the real window: the second worked example's box, and the window and its fields as they were.
void tst_Analyze::analyzeShowsReport()
{
    QFETCH(QString, enterIn);

    Analyze window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClicks(field(&window, "name1"), "Up");
    QTest::keyClicks(field(&window, "name2"), "Down");
    const QHash<QString, QString> typed{{"B1B0_4", ".5"}, {"B1B0_8", ".5"}, {"B1B0_6", ".0"}, {"B2B0_6", ".0"},
                                        {"B2B0_7", "1.1"}};
    for (auto it = typed.begin(); it != typed.end(); ++it) {
        field(&window, it.key())->clear();
        QTest::keyClicks(field(&window, it.key()), it.value());
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
