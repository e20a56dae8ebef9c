#include "dialog/dialog.h"
#include "files.h"
#include "modalanswerer.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <windows.h>

namespace {

const QByteArray thaiScript = "#include <WinUser32.mqh> \r\n int start() \r\n { string show;  \r\n"
                              "double b0=iCustom(NULL,0,\"\xC3\xD2\xA4\xD2\",0,0);\r\n"
                              "show=show+\"Buffer 0 = \"+DoubleToStr(b0, 5)+ \"\\n\" ;\r\n"
                              "int error=GetLastError();\r\n"
                              "if(error==4072) show=show+\"The terminal could not load the indicator \\\"\xC3\xD2\xA4\xD2\\\" "
                              "from its MQL4\\\\Indicators folder (error 4072)\";\r\n"
                              "else if(error!=0) show=show+\"The terminal reported error \"+IntegerToString(error)+\" while reading the "
                              "indicator \\\"\xC3\xD2\xA4\xD2\\\"\";\r\n"
                              "MessageBox(show); \r\nreturn (0); \r\n } ";

bool thaiSystem()
{
    return qEnvironmentVariable("BUFREX_EXPECTED_ENCODING") == QLatin1String("thai");
}

} // namespace

// The script is written in the system locale's encoding, Windows' ANSI code page, where that holds it,
// and in UTF-16 where not. The harness runs this once under a Thai system (BUFREX_EXPECTED_ENCODING=thai)
// and once under a Western one.
class tst_LocaleCodec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void systemEncodingIsTheExpectedOne();
    void thaiIndicatorName();
};

// Qt's file dialog records its history in the user's settings: in a test, never the developer's own.
void tst_LocaleCodec::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

// Without this a wrongly set-up harness would test one encoding twice.
void tst_LocaleCodec::systemEncodingIsTheExpectedOne()
{
    const QString expected = qEnvironmentVariable("BUFREX_EXPECTED_ENCODING");
    QVERIFY2(expected == QLatin1String("thai") || expected == QLatin1String("western"),
             "BUFREX_EXPECTED_ENCODING must be thai or western");
    QCOMPARE(GetACP(), thaiSystem() ? 874u : 1252u);
}

void tst_LocaleCodec::thaiIndicatorName()
{
    QTemporaryDir out;
    Dialog window;
    window.show();
    indicatorName = QString::fromUtf8("ราคา");
    window.findChild<QCheckBox *>(QStringLiteral("check0"))->setChecked(true);
    ModalAnswerer answerer;
    answerer.pickFile(out.filePath(QStringLiteral("thai.mq4")));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("create")), Qt::LeftButton);

    QCOMPARE(answerer.boxes.size(), 1);
    if (thaiSystem()) {
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));
        QCOMPARE(readFile(out.filePath(QStringLiteral("thai.mq4"))), thaiScript);
    } else {
        // Code page 1252 has no Thai: the same text in UTF-16 LE after its byte-order mark.
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));
        const QString text = QTextCodec::codecForName("TIS-620")->toUnicode(thaiScript);
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char *>(text.utf16()), 2 * text.size()); // x86 is little-endian
        QCOMPARE(readFile(out.filePath(QStringLiteral("thai.mq4"))), utf16);
    }
}

QTEST_MAIN(tst_LocaleCodec)
#include "tst_localecodec.moc"
