#include "dialog/dialog.h"
#include "dialog/maker.h"
#include "dialog/script.h"
#include "files.h"
#include "fixtures.h"
#include "keys.h"
#include "modalanswerer.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextDocument>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

const QString notCreated = QStringLiteral("Script Not Create .Please Do Procress again");


template <class T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

QCheckBox *bufferBox(QWidget *window, int buffer)
{
    return window->findChild<QCheckBox *>(QStringLiteral("check%1").arg(buffer));
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

// The window a switch shows, the one visible.
QWidget *shownWindow()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible())
            return top;
    }
    return nullptr;
}

// Picks `path` through the file button, as a user does.
void pick(Dialog &window, const QString &path)
{
    ModalAnswerer answerer;
    answerer.pickFile(path);
    click(&window, "pushButton");
}

// Qt's settings store, which every Qt program of the user shares: a registry key on Windows, a file
// elsewhere. Its entries, by key; none when there is no store, which an empty store is not.
const QString storeKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\QtProject");

std::optional<QVariantMap> qtSettings()
{
#ifdef Q_OS_WIN
    if (!QSettings("HKEY_CURRENT_USER\\Software", QSettings::NativeFormat).childGroups().contains("QtProject"))
        return std::nullopt;
    QSettings store(storeKey, QSettings::NativeFormat);
#else
    if (!QFileInfo::exists(QSettings(QSettings::UserScope, "QtProject").fileName()))
        return std::nullopt;
    QSettings store(QSettings::UserScope, "QtProject");
#endif
    store.setFallbacksEnabled(false); // the user's own
    QVariantMap entries;
    for (const QString &key : store.allKeys())
        entries.insert(key, store.value(key));
    return entries;
}

// Writes `entries` into the store as another Qt program does.
void writeQtSettings(const QVariantMap &entries)
{
#ifdef Q_OS_WIN
    QSettings store(storeKey, QSettings::NativeFormat);
#else
    QSettings store(QSettings::UserScope, "QtProject");
#endif
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
        store.setValue(entry.key(), entry.value());
}

// Makes the store hold just `entries`, or removes it.
void setQtSettings(const std::optional<QVariantMap> &entries)
{
#ifdef Q_OS_WIN
    QSettings("HKEY_CURRENT_USER\\Software", QSettings::NativeFormat).remove("QtProject");
    if (entries) {
        QSettings store(storeKey, QSettings::NativeFormat);
        store.setValue("made", true); // the key, even for no entry
        store.remove("made");
    }
#else
    const QString file = QSettings(QSettings::UserScope, "QtProject").fileName();
    QFile::remove(file);
    if (entries)
        writeFile(file, QByteArray());
#endif
    if (entries)
        writeQtSettings(*entries);
}

} // namespace

class tst_Dialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void startState();
    void shiftField_data();
    void shiftField();
    void pick_data();
    void pick();
    void pickThenCancel();
    void typedNameIsNoPick();
    void refusedPress_data();
    void refusedPress();
    void createWritesScript_data();
    void createWritesScript();
    void failedWriteKeepsOldFile();
#ifdef Q_OS_WIN
    void nameBeyondCodePageWrittenInUtf16(); // only Windows asks the system's code page
#endif
    void refusedBeforeSaveDialog_data();
    void refusedBeforeSaveDialog();
    void pickKeptInNewWindow();
    void saveDialogFolder_data();
    void saveDialogFolder();
    void qtSettingsKept_data();
    void qtSettingsKept();
    void keyboardAlone();
    void keyPressesButton_data();
    void keyPressesButton();
    void accessibleName_data();
    void accessibleName();

private:
    QTemporaryDir m_dir;
    std::optional<QVariantMap> m_userStore; // the user's own, put back after the rows, whatever they did
};

void tst_Dialog::initTestCase()
{
    // Qt's file dialog records its history in the user's settings: in a test, never the developer's own.
    QStandardPaths::setTestModeEnabled(true);
#ifdef Q_OS_WIN
    m_userStore = qtSettings();
#endif
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("MQL4/Indicators/Market")));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("MQL4/Scripts")));
    for (const char *name : {"Super.Trend.ex4", "ZigZag.ex4", "ZigZag.mq4", "MACD", ".hidden.ex4", ".ex4",
                             "MQL4/Indicators/Market/ZigZag.ex4"})
        QVERIFY(writeFile(m_dir.filePath(QLatin1String(name)), "indicator"));
}

// Windows' registry has no test mode: the store the rows change is the user's own.
void tst_Dialog::cleanupTestCase()
{
#ifdef Q_OS_WIN
    setQtSettings(m_userStore);
    QCOMPARE(qtSettings(), m_userStore);
#endif
}

void tst_Dialog::cleanup()
{
    indicatorName.clear();
    indicatorScriptsFolder.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Dialog::startState()
{
    Dialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Bufrex 2 "));
    QCOMPARE(window.size(), QSize(322, 325));
    window.resize(500, 400);
    QCOMPARE(window.size(), QSize(322, 325));
    QCOMPARE(window.minimumSize(), window.maximumSize());

    // Created in table order, which is also the focus order.
    QStringList created;
    for (QObject *object : window.children())
        if (object->isWidgetType())
            created << object->objectName();
    QCOMPARE(created, (QStringList{"pushButton", "lineEdit", "check0", "check1", "check2", "check3", "check4",
                                   "check5", "check6", "check7", "create", "inputshift", "label", "label_2",
                                   "label_3", "label_4", "analyze"}));
    QCOMPARE(child<QLineEdit>(&window, "inputshift")->text(), QStringLiteral("0"));
    QVERIFY(child<QLineEdit>(&window, "lineEdit")->text().isEmpty());
    for (int buffer = 0; buffer < 8; ++buffer) {
        QVERIFY(!bufferBox(&window, buffer)->isChecked());
        QCOMPARE(bufferBox(&window, buffer)->text(), QStringLiteral("Buffer %1").arg(buffer));
    }

    // The Thai texts arrive decoded, and the bottom label shows the one maker address.
    QCOMPARE(child<QPushButton>(&window, "pushButton")->text(), QString::fromUtf8("เลือก Indicator"));
    QTextDocument label4;
    label4.setHtml(child<QLabel>(&window, "label_4")->text());
    QCOMPARE(label4.toPlainText(), makerAddress());
    QVERIFY(makerAddress().endsWith(QLatin1String(".example")));
}

void tst_Dialog::shiftField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");

    // Typed after the start text "0".
    QTest::newRow("digits appended") << "12" << "012";
    QTest::newRow("letter refused") << "a" << "0";
    QTest::newRow("minus sign refused") << "-" << "0";
    QTest::newRow("plus sign refused") << "+" << "0";
    QTest::newRow("point refused") << "." << "0";
    QTest::newRow("blank refused") << " " << "0";
    QTest::newRow("eleventh digit refused") << "1234567890" << "0123456789";
    QTest::newRow("Thai digits accepted") << QString::fromUtf8("๑๒") << QString::fromUtf8("0๑๒");
    QTest::newRow("field may be emptied") << "\b" << "";
}

void tst_Dialog::shiftField()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);

    Dialog window;
    QLineEdit *shift = child<QLineEdit>(&window, "inputshift");
    shift->setFocus();
    shift->end(false);
    typeKeys(shift, typed);
    QCOMPARE(shift->text(), text);
}

void tst_Dialog::pick_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");

    QTest::newRow("dots in file name kept") << "Super.Trend.ex4" << "Super.Trend";
    QTest::newRow("compiled indicator") << "ZigZag.ex4" << "ZigZag";
    QTest::newRow("source gives the same name as its twin") << "ZigZag.mq4" << "ZigZag";
    QTest::newRow("no point gives the whole name") << "MACD" << "MACD";
    QTest::newRow("leading point kept") << ".hidden.ex4" << ".hidden";
    QTest::newRow("file named just .ex4 gives no name") << ".ex4" << "";
}

void tst_Dialog::pick()
{
    QFETCH(QString, file);
    QFETCH(QString, name);

    Dialog window;
    window.show();
    ModalAnswerer answerer;
    answerer.pickFile(m_dir.filePath(file));
    click(&window, "pushButton");

    QCOMPARE(answerer.dialogCaptions, QStringList{"Open Indicator"});
    QCOMPARE(answerer.dialogFilters, QStringList{"EX4 (*.ex4);;MQ4(*.mq4)"}); // Qt trims each filter
    QCOMPARE(child<QLineEdit>(&window, "lineEdit")->text(), name);
    QCOMPARE(indicatorName, name);
}

void tst_Dialog::pickThenCancel()
{
    Dialog window;
    window.show();
    ::pick(window, m_dir.filePath("MQL4/Indicators/Market/ZigZag.ex4"));
    QCOMPARE(indicatorName, QStringLiteral("Market\\ZigZag"));
    QCOMPARE(indicatorScriptsFolder, m_dir.filePath("MQL4/Scripts"));

    ::pick(window, QString());
    QVERIFY(child<QLineEdit>(&window, "lineEdit")->text().isEmpty());
    QVERIFY(indicatorName.isEmpty());
    QVERIFY(indicatorScriptsFolder.isEmpty());
}

void tst_Dialog::typedNameIsNoPick()
{
    Dialog window;
    window.show();
    QTest::keyClicks(child<QLineEdit>(&window, "lineEdit"), "ZigZag");
    bufferBox(&window, 0)->setChecked(true);
    QVERIFY(indicatorName.isEmpty());

    ModalAnswerer answerer;
    click(&window, "create");
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Please Select Indicator First"));
}

void tst_Dialog::refusedPress_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("message");

    QTest::newRow("no indicator") << "" << true << "Please Select Indicator First";
    QTest::newRow("file named just .ex4 is no indicator") << ".ex4" << true << "Please Select Indicator First";
    QTest::newRow("no buffer") << "ZigZag.ex4" << false << "Please Select Buffer .At less one Buffer";
    QTest::newRow("save dialog cancelled") << "ZigZag.ex4" << true << notCreated;
}

// A refused press shows one critical box, touches no file and still resets the whole window.
void tst_Dialog::refusedPress()
{
    QFETCH(QString, file);
    QFETCH(bool, tick);
    QFETCH(QString, message);

    Dialog window;
    window.show();
    if (!file.isEmpty())
        ::pick(window, m_dir.filePath(file));
    if (tick)
        bufferBox(&window, 3)->setChecked(true);
    child<QLineEdit>(&window, "inputshift")->setText("7");
    const QStringList filesBefore = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);

    ModalAnswerer answerer; // no file queued: a save dialog, if any, is cancelled
    click(&window, "create");

    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, message);
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(answerer.dialogCaptions.size(), message == notCreated ? 1 : 0);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    QVERIFY(!bufferBox(&window, 3)->isChecked());
    QVERIFY(child<QLineEdit>(&window, "lineEdit")->text().isEmpty());
    QCOMPARE(child<QLineEdit>(&window, "inputshift")->text(), QStringLiteral("0"));
    QVERIFY(indicatorName.isEmpty());
}

void tst_Dialog::createWritesScript_data()
{
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QString>("name");    // as the indicator field shows it
    QTest::addColumn<QByteArray>("spelt"); // as the script's strings spell it
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("shift");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("oldContent");
    QTest::addColumn<int>("size");

    QTest::newRow("buffers 2 then 0")
        << "ZigZag.ex4" << "ZigZag" << QByteArray("ZigZag") << QList<int>{2, 0} << "1" << "reader.mq4" << QByteArray() << 566;
    QTest::newRow("all eight replace a longer file whole")
        << "ZigZag.ex4" << "ZigZag" << QByteArray("ZigZag") << QList<int>{7, 6, 5, 4, 3, 2, 1, 0} << "1"
        << "old.mq4" << QByteArray(4000, 'x') << 1124;
    QTest::newRow("Market indicator named with its folder")
        << "MQL4/Indicators/Market/ZigZag.ex4" << "Market\\ZigZag" << QByteArray("Market\\\\ZigZag")
        << QList<int>{2, 0} << "1" << "market.mq4" << QByteArray() << 598;
    QTest::newRow("largest shift an MQL4 int holds")
        << "ZigZag.ex4" << "ZigZag" << QByteArray("ZigZag") << QList<int>{2, 0} << "2147483647" << "far.mq4"
        << QByteArray() << 584;
}

void tst_Dialog::createWritesScript()
{
    QFETCH(QString, indicator);
    QFETCH(QString, name);
    QFETCH(QByteArray, spelt);
    QFETCH(QList<int>, ticked);
    QFETCH(QString, shift);
    QFETCH(QString, file);
    QFETCH(QByteArray, oldContent);
    QFETCH(int, size);

    QTemporaryDir out;
    const QString path = out.filePath(file);
    if (!oldContent.isEmpty())
        QVERIFY(writeFile(path, oldContent));

    Dialog window;
    window.show();
    ::pick(window, m_dir.filePath(indicator));
    QCOMPARE(child<QLineEdit>(&window, "lineEdit")->text(), name);
    for (int buffer : ticked)
        bufferBox(&window, buffer)->setChecked(true);
    QLineEdit *shiftField = child<QLineEdit>(&window, "inputshift");
    shiftField->selectAll();
    QTest::keyClicks(shiftField, shift);

    ModalAnswerer answerer;
    answerer.pickFile(path);
    click(&window, "create");

    QCOMPARE(answerer.dialogCaptions, QStringList{"Save Script"});
    QCOMPARE(answerer.dialogFilters, QStringList{"MQ4(*.mq4)"});
    QCOMPARE(answerer.overwriteQuestions.size(), oldContent.isEmpty() ? 0 : 1);
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{file});
    const QByteArray written = readFile(path);
    QCOMPARE(written.size(), size);
    if (ticked.size() == 2)
        QCOMPARE(written, Fixture::workedExample().replace("ZigZag", spelt).replace(",1);", "," + shift.toLatin1() + ");"));
    QVERIFY(written.startsWith("#include <WinUser32.mqh> \r\n") && written.endsWith("\r\n } "));

    QVERIFY(indicatorName.isEmpty());
    for (int buffer : ticked)
        QVERIFY(!bufferBox(&window, buffer)->isChecked());
    QCOMPARE(shiftField->text(), QStringLiteral("0"));
}

// A write that fails part-way (a full disk) must say so and leave the user's file as it was.
void tst_Dialog::failedWriteKeepsOldFile()
{
    QVERIFY2(DiskFull::available(), "no small volume to fill was lent to this run (the harness mounts one as root)");
    ScratchDir out;
    const QString path = out.filePath("old.mq4");
    const QByteArray oldContent("// the trader's own script\r\n");
    QVERIFY(writeFile(path, oldContent));

    Dialog window;
    window.show();
    ::pick(window, m_dir.filePath("ZigZag.ex4"));
    for (int buffer = 0; buffer < 8; ++buffer)
        bufferBox(&window, buffer)->setChecked(true);
    ModalAnswerer answerer;
    answerer.pickFile(path);

    {
        DiskFull diskFull(out.path(), 100);
        QVERIFY(diskFull.isFull());
        click(&window, "create");
    }

    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, notCreated);
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(readFile(path), oldContent);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"old.mq4"});
}

#ifdef Q_OS_WIN
// A name the code page cannot hold still gets its script, in UTF-16 after its byte-order mark.
void tst_Dialog::nameBeyondCodePageWrittenInUtf16()
{
    QTextCodec *systemCodec = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    const auto restore = qScopeGuard([systemCodec] { QTextCodec::setCodecForLocale(systemCodec); });
    QTemporaryDir out;
    {
        Dialog window;
        window.show();
        indicatorName = QString::fromUtf8("ราคา");
        bufferBox(&window, 0)->setChecked(true);
        ModalAnswerer answerer;
        answerer.pickFile(out.filePath("thai.mq4"));
        click(&window, "create");

        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));
        const QByteArray written = readFile(out.filePath("thai.mq4"));
        QVERIFY(written.startsWith("\xFF\xFE"));
        QCOMPARE(QTextCodec::codecForName("UTF-16LE")->toUnicode(written.mid(2)),
                 composeScript(QString::fromUtf8("ราคา"), "0", BufferSet(1)).replace("\n", "\r\n"));
    }
}
#endif

void tst_Dialog::refusedBeforeSaveDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shift");

    QTest::newRow("line feed") << "Zig\nZag" << "1";
    QTest::newRow("carriage return") << "Zig\rZag" << "1";
    QTest::newRow("tab") << "Zig\tZag" << "1";
    QTest::newRow("U+0001") << QString(QChar(0x01)) + "ZigZag" << "1";
    QTest::newRow("U+007F") << "ZigZag" + QString(QChar(0x7f)) << "1";
    QTest::newRow("shift one past an MQL4 int") << "ZigZag" << "2147483648";
    QTest::newRow("shift of ten Thai digits past an MQL4 int") << "ZigZag" << QString::fromUtf8("๔๒๙๔๙๖๗๒๙๖");
}

// A name with a control character would break the script's string, and a shift past an int would read
// another bar: refused before a file is asked for.
void tst_Dialog::refusedBeforeSaveDialog()
{
    QFETCH(QString, name);
    QFETCH(QString, shift);

    Dialog window;
    window.show();
    indicatorName = name;
    bufferBox(&window, 0)->setChecked(true);
    child<QLineEdit>(&window, "inputshift")->setText(shift);
    ModalAnswerer answerer; // no file queued: a save dialog, had one come, is counted and cancelled
    click(&window, "create");

    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, notCreated);
    QCOMPARE(answerer.boxes[0].icon, QMessageBox::Critical);
    QVERIFY(answerer.dialogCaptions.isEmpty());
    QVERIFY(indicatorName.isEmpty());
    QCOMPARE(child<QLineEdit>(&window, "inputshift")->text(), QStringLiteral("0"));
}

void tst_Dialog::pickKeptInNewWindow()
{
    {
        Dialog first;
        first.show();
        ::pick(first, m_dir.filePath("ZigZag.ex4"));
    }
    Dialog second;
    second.show();
    QVERIFY(child<QLineEdit>(&second, "lineEdit")->text().isEmpty());
    bufferBox(&second, 0)->setChecked(true);
    bufferBox(&second, 2)->setChecked(true);
    child<QLineEdit>(&second, "inputshift")->setText("1");

    QTemporaryDir out;
    ModalAnswerer answerer;
    answerer.pickFile(out.filePath("kept.mq4"));
    click(&second, "create");
    QCOMPARE(readFile(out.filePath("kept.mq4")), Fixture::workedExample());
}

void tst_Dialog::saveDialogFolder_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<bool>("switchWindows");
    QTest::addColumn<QString>("removed"); // a folder removed between the pick and "Create"
    QTest::addColumn<QString>("opensIn"); // where the save dialog opens, and the typed name lands
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("lands");
    // "": the question answered Yes; else No, then "cancel" or the name "again"; or "enter": Enter, which
    // must be No, then cancel.
    QTest::addColumn<QString>("afterNo");

    const QStringList terminal{"MQL4/Indicators/Market", "MQL4/Scripts"};
    QTest::newRow("below MQL4\\Indicators, name typed alone gets .mq4")
        << terminal << "MQL4/Indicators/ZigZag.ex4" << false << "" << "MQL4/Scripts" << "reader" << "reader.mq4" << "";
    QTest::newRow("below MQL4\\Indicators\\Market")
        << terminal << "MQL4/Indicators/Market/ZigZag.ex4" << false << "" << "MQL4/Scripts" << "reader.mq4"
        << "reader.mq4" << "";
    QTest::newRow("other letter case") << QStringList{"mql4/indicators", "mql4/scripts"} << "mql4/indicators/ZigZag.ex4"
                                       << false << "" << "mql4/scripts" << "reader" << "reader.mq4" << "";
    QTest::newRow("after a switch to the analysis window and back")
        << terminal << "MQL4/Indicators/Market/ZigZag.ex4" << true << "" << "MQL4/Scripts" << "reader.mq4"
        << "reader.mq4" << "";
    // Every name gets .mq4 unless it ends in it, whatever points it holds: the terminal lists no other.
    // Typed in the terminal's Scripts folder, where the dialog opens for an indicator picked in its Indicators.
    const auto typedInScripts = [&terminal](const char *row, const char *typed, const char *lands, const char *afterNo) {
        QTest::newRow(row) << terminal << "MQL4/Indicators/ZigZag.ex4" << false << "" << "MQL4/Scripts" << typed << lands
                           << afterNo;
    };
    typedInScripts("name typed with another suffix gets .mq4", "notes.txt", "notes.txt.mq4", "");
    typedInScripts("version with a point gets .mq4", "NonLagMA_v7.1", "NonLagMA_v7.1.mq4", "");
    typedInScripts("version with a point: No, then cancelled, nothing written", "NonLagMA_v7.1", "NonLagMA_v7.1.mq4",
                   "cancel");
    typedInScripts("version with a point: No, then the name again and Yes", "NonLagMA_v7.1", "NonLagMA_v7.1.mq4",
                   "again");
    typedInScripts("version with a point: Enter answers No, nothing written", "NonLagMA_v7.1", "NonLagMA_v7.1.mq4",
                   "enter");
    // Typed with its suffix, the name is asked about by the dialog itself, and Enter answers No there too.
    typedInScripts("name typed with .mq4: the dialog's own question, Enter answers No", "reader.mq4", "reader.mq4",
                   "enter");
    // As before: where Qt's dialog was last, the pick's folder.
    QTest::newRow("no Scripts folder, none made")
        << QStringList{"MQL4/Indicators"} << "MQL4/Indicators/ZigZag.ex4" << false << "" << "MQL4/Indicators"
        << "reader" << "reader.mq4" << "";
    QTest::newRow("Scripts folder removed after the pick: as if none, no name proposed")
        << terminal << "MQL4/Indicators/ZigZag.ex4" << false << "MQL4/Scripts" << "MQL4/Indicators" << "reader"
        << "reader.mq4" << "";
    QTest::newRow("outside any terminal folder, name typed alone gets .mq4")
        << QStringList{"x/Indicators"} << "x/Indicators/ZigZag.ex4" << false << "" << "x/Indicators" << "reader"
        << "reader.mq4" << "";
    // A point in a folder's name: Qt 5 adds no suffix to what a native dialog answers there, and Qt 5.15.8's
    // own dialog none to a name typed with such a folder, so that the dialog asked about "reader" alone.
    // (Qt 5.15.15's adds it and asks itself; either way one question, and No lets the user choose again.)
    const QStringList dotted{"MQL4/Indicators", "MQL4/Scripts/my.scripts"};
    QTest::newRow("folder with a point, name typed alone gets .mq4 and the question")
        << dotted << "MQL4/Indicators/ZigZag.ex4" << false << "" << "MQL4/Scripts" << "my.scripts/reader"
        << "my.scripts/reader.mq4" << "";
    QTest::newRow("No to the question: the dialog again, cancelled, nothing written")
        << dotted << "MQL4/Indicators/ZigZag.ex4" << false << "" << "MQL4/Scripts" << "my.scripts/reader"
        << "my.scripts/reader.mq4" << "cancel";
    QTest::newRow("No to the question, then the same name again and Yes")
        << dotted << "MQL4/Indicators/ZigZag.ex4" << false << "" << "MQL4/Scripts" << "my.scripts/reader"
        << "my.scripts/reader.mq4" << "again";
}

// Saved once, then typed again: the question names the file that will be replaced.
void tst_Dialog::saveDialogFolder()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, indicator);
    QFETCH(bool, switchWindows);
    QFETCH(QString, removed);
    QFETCH(QString, opensIn);
    QFETCH(QString, typed);
    QFETCH(QString, lands);
    QFETCH(QString, afterNo);

    QTemporaryDir root;
    for (const QString &folder : folders)
        QVERIFY(QDir(root.path()).mkpath(folder));
    QVERIFY(writeFile(root.filePath(indicator), "indicator"));
    const auto allFolders = [&root] {
        QStringList found;
        for (QDirIterator it(root.path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();)
            found << it.next();
        return found;
    };

    for (const bool again : {false, true}) {
        Dialog window;
        window.show();
        ::pick(window, root.filePath(indicator));
        if (!removed.isEmpty())
            QDir(root.filePath(removed)).removeRecursively();
        const QStringList foldersBefore = allFolders();
        std::unique_ptr<QWidget> madeBySwitch;
        if (switchWindows) {
            click(&window, "analyze");
            click(shownWindow(), "Back");
            madeBySwitch.reset(shownWindow());
            QVERIFY(qobject_cast<Dialog *>(madeBySwitch.get()) && madeBySwitch.get() != &window);
        }
        QWidget *creating = switchWindows ? madeBySwitch.get() : &window;
        bufferBox(creating, 0)->setChecked(true);
        const QString landed = root.filePath(opensIn + "/" + lands);
        if (again)
            QVERIFY(writeFile(landed, "the script saved before"));

        const QFileInfo landedInfo(landed);
        const bool declined = again && !afterNo.isEmpty();
        ModalAnswerer answerer;
        answerer.pickFile(typed);
        const bool cancelled = afterNo == "cancel" || afterNo == "enter";
        if (declined) {
            answerer.declineReplacing(1, afterNo == "enter" ? ModalAnswerer::Decline::Enter : ModalAnswerer::Decline::No);
            answerer.pickFile(cancelled ? QString() : landedInfo.absolutePath() + "/" + landedInfo.completeBaseName());
        }
        click(creating, "create");

        const QString question = landedInfo.fileName() + " already exists.\nDo you want to replace it?";
        QStringList questions;
        if (again)
            questions << question;
        if (declined && !cancelled)
            questions << question;
        // After No, Bufrex opens the dialog again in the file's folder, on its name; a dialog that asked
        // itself stays open where it was.
        QCOMPARE(answerer.dialogFolders.size(), declined ? 2 : 1);
        QCOMPARE(answerer.dialogFolders[0], root.filePath(opensIn));
        QCOMPARE(answerer.dialogProposals[0], QString());
        if (declined && answerer.dialogFolders[1] != root.filePath(opensIn)) {
            QCOMPARE(answerer.dialogFolders[1], landedInfo.absolutePath());
            QCOMPARE(answerer.dialogProposals[1], landedInfo.fileName());
        }
        QCOMPARE(answerer.overwriteQuestions, questions);
        QCOMPARE(answerer.boxes.size(), 1);
        if (cancelled && again) {
            QCOMPARE(answerer.boxes[0].text, notCreated);
            QCOMPARE(readFile(landed), QByteArray("the script saved before"));
        } else {
            QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));
            QVERIFY(readFile(landed).startsWith("#include <WinUser32.mqh>"));
        }
        QStringList files = landedInfo.dir().entryList(QDir::Files);
        files.removeOne(QFileInfo(indicator).fileName());
        QCOMPARE(files, QStringList{landedInfo.fileName()});
        QCOMPARE(allFolders(), foldersBefore);
        QVERIFY(indicatorScriptsFolder.isEmpty()); // used up with the name
    }
}

void tst_Dialog::qtSettingsKept_data()
{
    QTest::addColumn<bool>("storeBefore");
    QTest::addColumn<QVariantMap>("before");
    QTest::addColumn<QVariantMap>("during"); // written by another program while the save dialog is open
    QTest::addColumn<bool>("systemStore");   // a system-wide store with the dialog's entries behind the user's

    const QVariantMap other{{"Other/view", "list"}};
    const QVariantMap designer{{"Designer/geometry", "wide"}};
    QTest::newRow("no store before, none after") << false << QVariantMap() << QVariantMap() << false;
    QTest::newRow("empty store before, empty after") << true << QVariantMap() << QVariantMap() << false;
    QTest::newRow("another program's entries kept") << true << other << QVariantMap() << false;
    QTest::newRow("file dialog's own entries as they were")
        << true << QVariantMap{{"Other/view", "list"}, {"FileDialog/lastVisited", "file:///elsewhere"}} << QVariantMap()
        << false;
    QTest::newRow("no store before, another program writes meanwhile: its store stays") << false << QVariantMap()
                                                                                        << designer << false;
    QTest::newRow("another program writes meanwhile beside its own entries") << true << other << designer << false;
#ifndef Q_OS_WIN // a system-wide store on Windows is HKLM's, which only an administrator may write
    QTest::newRow("system-wide store neither copied into the user's nor taken") << false << QVariantMap() << QVariantMap()
                                                                                << true;
#endif
}

// A pick and a save through Qt's file dialogs leave the store as it was, but for what other programs
// wrote meanwhile: Bufrex keeps no settings and takes none of theirs.
void tst_Dialog::qtSettingsKept()
{
    QFETCH(bool, storeBefore);
    QFETCH(QVariantMap, before);
    QFETCH(QVariantMap, during);
    QFETCH(bool, systemStore);

#ifndef Q_OS_WIN
    const QString systemFolder = m_dir.filePath("xdg");
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, systemFolder);
    const auto noSystemStore = qScopeGuard([&systemFolder] { QDir(systemFolder).removeRecursively(); });
    if (systemStore)
        QSettings(QSettings::SystemScope, "QtProject").setValue("FileDialog/lastVisited", "file:///system");
#else
    Q_UNUSED(systemStore) // no row has one here
#endif
    setQtSettings(storeBefore ? std::optional<QVariantMap>(before) : std::nullopt);
    QCOMPARE(qtSettings(), storeBefore ? std::optional<QVariantMap>(before) : std::nullopt);

    QTemporaryDir out;
    Dialog window;
    window.show();
    ::pick(window, m_dir.filePath("ZigZag.ex4"));
    bufferBox(&window, 0)->setChecked(true);
    ModalAnswerer answerer;
    answerer.pickFile(out.filePath("reader.mq4"));
    answerer.inDialog = [&during] { writeQtSettings(during); };
    click(&window, "create");
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));

    QVariantMap after = before;
    after.insert(during);
    QCOMPARE(qtSettings(), storeBefore || !during.isEmpty() ? std::optional<QVariantMap>(after) : std::nullopt);
}

// Tab follows the order the widgets were made in, from the file button, which has the first focus; the
// caption that takes focus is in the chain.
void tst_Dialog::keyboardAlone()
{
    Dialog window;
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(tabChain(&window), (QStringList{"pushButton", "lineEdit", "check0", "check1", "check2", "check3",
                                             "check4", "check5", "check6", "check7", "create", "inputshift",
                                             "label_2", "analyze"}));
}

void tst_Dialog::keyPressesButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");

    for (const char *button : {"pushButton", "create", "analyze"}) {
        QTest::addRow("Space on %s", button) << button << int(Qt::Key_Space);
        QTest::addRow("Enter on %s", button) << button << int(Qt::Key_Return);
    }
}

void tst_Dialog::keyPressesButton()
{
    QFETCH(QString, button);
    QFETCH(int, key);

    Dialog window;
    checkKeyPresses(&window, button, Qt::Key(key));
}

void tst_Dialog::accessibleName_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");

    QTest::newRow("indicator field: its caption") << "lineEdit" << QString::fromUtf8("เลือก Indicator ที่คุณต้องการหาค่า");
    QTest::newRow("shift field: the caption's name for it") << "inputshift" << QString::fromUtf8("ค่า shift");
}

void tst_Dialog::accessibleName()
{
    QFETCH(QString, field);
    QFETCH(QString, name);

    Dialog window;
    checkAccessibleName(&window, field, name);
}

QTEST_MAIN(tst_Dialog)
#include "tst_dialog.moc"
