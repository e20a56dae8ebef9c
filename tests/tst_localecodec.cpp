#include "dialog/dialog.h"
#include "files.h"
#include "fixtures.h"
#include "modalanswerer.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <windows.h>

namespace {

// The worked example for buffer 0 alone of "ราคา" at shift 0, as code page 874 spells the name.
QByteArray thaiScript()
{
    QByteArray bytes = Fixture::workedExample();
    const int buffer2 = bytes.indexOf("double b2=");
    bytes.remove(buffer2, bytes.indexOf("int error=") - buffer2);
    return bytes.replace("ZigZag", "\xC3\xD2\xA4\xD2").replace(",1);", ",0);");
}

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
        QCOMPARE(readFile(out.filePath(QStringLiteral("thai.mq4"))), thaiScript());
    } else {
        // Code page 1252 has no Thai: the same text in UTF-16 LE after its byte-order mark.
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("Script Has Been Create"));
        const QString text = QTextCodec::codecForName("TIS-620")->toUnicode(thaiScript());
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char *>(text.utf16()), 2 * text.size()); // x86 is little-endian
        QCOMPARE(readFile(out.filePath(QStringLiteral("thai.mq4"))), utf16);
    }
}

QTEST_MAIN(tst_LocaleCodec)
#include "tst_localecodec.moc"
