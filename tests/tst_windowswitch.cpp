#include "analyze/analyze.h"
#include "dialog/dialog.h"
#include "modalanswerer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {

QList<QWidget *> visibleWindows()
{
    QList<QWidget *> visible;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            visible << widget;
    return visible;
}

// The one visible window, after checking that there is exactly one.
QWidget *onlyVisible()
{
    const QList<QWidget *> visible = visibleWindows();
    return visible.size() == 1 ? visible.first() : nullptr;
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class tst_WindowSwitch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void switchShowsFreshWindow();
    void manySwitchesStayBounded();
    void closingEndsProgram_data();
    void closingEndsProgram();
};

// Qt's file dialog records its history in the user's settings: in a test, never the developer's own.
void tst_WindowSwitch::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_WindowSwitch::cleanup()
{
    indicatorName.clear();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<Analyze *>(window) || qobject_cast<Dialog *>(window))
            delete window; // windows made by switches; the test's own are gone with its scope
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_WindowSwitch::switchShowsFreshWindow()
{
    auto *first = new Dialog;
    first->show();
    indicatorName = QStringLiteral("ZigZag");
    first->findChild<QLineEdit *>("lineEdit")->setText("ZigZag");
    first->findChild<QCheckBox *>("check4")->setChecked(true);

    click(first, "analyze");
    QPointer<QWidget> analysis = onlyVisible();
    QVERIFY(qobject_cast<Analyze *>(analysis));
    QVERIFY(first->isHidden());
    analysis->findChild<QLineEdit *>("B1B0")->setText("1.5");
    analysis->findChild<QLineEdit *>("name1")->setText("Up");

    click(analysis, "Back");
    QWidget *second = onlyVisible();
    QVERIFY(qobject_cast<Dialog *>(second));
    QVERIFY(second != first);
    QVERIFY(second->findChild<QLineEdit *>("lineEdit")->text().isEmpty());
    QVERIFY(!second->findChild<QCheckBox *>("check4")->isChecked());
    QCOMPARE(second->findChild<QLineEdit *>("inputshift")->text(), QStringLiteral("0"));
    QCOMPARE(indicatorName, QStringLiteral("ZigZag"));

    click(second, "analyze");
    QWidget *again = onlyVisible();
    QVERIFY(qobject_cast<Analyze *>(again));
    QCOMPARE(again->findChild<QLineEdit *>("B1B0")->text(), QStringLiteral("0"));
    QVERIFY(again->findChild<QLineEdit *>("name1")->text().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(analysis.isNull()); // an old window is gone, never to be shown again
    delete first;
}

// A window left behind by one switch would show at the third; 400 switches leave room for one left
// behind only now and then (each real window under Wine costs a sixth of a second).
void tst_WindowSwitch::manySwitchesStayBounded()
{
    Dialog first;
    first.show();
    QWidget *visible = &first;
    int mostWindows = 0;
    for (int i = 0; i < 400; ++i) {
        click(visible, i % 2 == 0 ? "analyze" : "Back");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        visible = onlyVisible();
        QVERIFY2(visible, qPrintable(QStringLiteral("switch %1").arg(i)));
        mostWindows = qMax(mostWindows, QApplication::topLevelWidgets().size());
    }
    QVERIFY(qobject_cast<Dialog *>(visible));
    QVERIFY(first.isHidden());
    QCOMPARE(mostWindows, 2); // the first main window, hidden, and the visible one
}

void tst_WindowSwitch::closingEndsProgram_data()
{
    QTest::addColumn<int>("switches");
    QTest::addColumn<bool>("escape");

    QTest::newRow("Esc in the first main window") << 0 << true;
    QTest::newRow("close button in the analysis window") << 1 << false;
    QTest::newRow("Esc in the analysis window") << 1 << true;
    QTest::newRow("Esc in a main window reached through Back") << 2 << true;
}

// The program ends, with exit code 0, when the visible window closes; a message box closing does not.
void tst_WindowSwitch::closingEndsProgram()
{
    QFETCH(int, switches);
    QFETCH(bool, escape);

    Dialog first;
    first.show();
    int lastClosedAfterBox = -1;
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    // Run inside the application's own event loop, as a user's clicks are: Qt ends only that loop.
    QTimer::singleShot(0, &first, [&] {
        QWidget *visible = &first;
        for (int i = 0; i < switches; ++i) {
            click(visible, i % 2 == 0 ? "analyze" : "Back");
            visible = onlyVisible();
        }
        {
            ModalAnswerer answerer;
            click(visible, qobject_cast<Dialog *>(visible) ? "create" : "Banalyze");
        }
        lastClosedAfterBox = lastClosed.count();
        if (escape)
            QTest::keyClick(visible, Qt::Key_Escape);
        else
            visible->close();
    });
    // A program that did not end; the window as context, so that it never fires in a later row.
    QTimer::singleShot(20000, &first, [] { QCoreApplication::exit(99); });

    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(lastClosedAfterBox, 0);
    QCOMPARE(lastClosed.count(), 1);
    QVERIFY(visibleWindows().isEmpty());
}

QTEST_MAIN(tst_WindowSwitch)
#include "tst_windowswitch.moc"
