#include "analyze/comparison.h"
#include "analyze/pastedbox.h"
#include "dialog/maker.h"
#include "fixtures.h"

#include <QtTest>

namespace {

// Values of one event from "buffer=text" pairs; every other buffer keeps the field's start text "0".
EventValues values(std::initializer_list<std::pair<int, const char *>> typed)
{
    EventValues event;
    event.fill(QStringLiteral("0"));
    for (const auto &[buffer, text] : typed)
        event[size_t(buffer)] = QString::fromUtf8(text);
    return event;
}

EventValues cleared()
{
    EventValues event;
    event.fill(QString());
    return event;
}

// The eight field texts a pasted box gives, "-" for a buffer it does not list.
QStringList fieldsOf(const PastedBox &box)
{
    QStringList fields;
    for (const auto &field : box.fields)
        fields << field.value_or(QStringLiteral("-"));
    return fields;
}

const QString cannotAnalyse = QStringLiteral("Can't Analyze This Custom Indicator.Post This case on ");

} // namespace

Q_DECLARE_METATYPE(EventValues)
Q_DECLARE_METATYPE(ReportIcon)

class tst_Comparison : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void compare_data();
    void compare();
    void pastedBox_data();
    void pastedBox();
};

void tst_Comparison::initTestCase()
{
    // The message ends with the host of the address the main window shows, under the reserved domain.
    QVERIFY(makerHost().endsWith(QLatin1String(".example")));
    QVERIFY(makerAddress().contains(makerHost()));
}

void tst_Comparison::compare_data()
{
    QTest::addColumn<QString>("name1");
    QTest::addColumn<QString>("name2");
    QTest::addColumn<EventValues>("first");
    QTest::addColumn<EventValues>("second");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ReportIcon>("icon");

    const auto info = ReportIcon::Information;
    const auto critical = ReportIcon::Critical;
    const QString host = makerHost();

    // The five worked examples.
    QTest::newRow("one buffer each side") << "Up" << "Down" << values({{0, "1.2345"}}) << values({{1, "1.2290"}})
                                          << "Up is Buffer 0 \nDown is Buffer 1 " << info;
    QTest::newRow("buffer 7 first only has no blank before the line feed")
        << "Up" << "Down" << values({{3, "0.5"}, {7, "0.5"}, {5, "2.0"}}) << values({{5, "2.0"}, {6, "1.1"}})
        << "Up is Buffer 3 Buffer 7\nDown is Buffer 6 " << info;
    QTest::newRow("one-sided weights sum equally") << "Up" << "Down" << values({{2, "1.0"}})
                                                   << values({{0, "1.0"}, {1, "1.0"}}) << cannotAnalyse + host << info;
    QTest::newRow("buffer in both keeps an empty second line")
        << "Up" << "Down" << values({{0, "1.0"}, {1, "1.0"}}) << values({{1, "1.0"}}) << "Up is Buffer 0 \nDown is " << info;
    QTest::newRow("all fields at 0") << "Up" << "Down" << values({}) << values({}) << "Please input data to analyze" << critical;

    // The name gate comes first and ignores the values.
    QTest::newRow("second name empty, all fields at 0")
        << "Up" << "" << values({}) << values({}) << "Please input all variable name " << critical;
    QTest::newRow("first name empty, values a report would use")
        << "" << "Down" << values({{0, "1"}}) << values({{1, "1"}}) << "Please input all variable name " << critical;
    QTest::newRow("both names empty") << "" << "" << cleared() << values({{4, "3"}})
                                      << "Please input all variable name " << critical;
    QTest::newRow("blank name is a name") << " " << "Down" << values({{0, "1"}}) << values({{1, "1"}})
                                          << "  is Buffer 0 \nDown is Buffer 1 " << info;
    QTest::newRow("names kept as typed") << QString::fromUtf8(" ขึ้น ") << "Sell\tnow" << values({{1, "1"}})
                                         << values({{0, "1"}}) << QString::fromUtf8(" ขึ้น  is Buffer 1 \nSell\tnow is Buffer 0 ")
                                         << info;

    // Equal scores.
    QTest::newRow("every field cleared scores 8 and 8") << "Up" << "Down" << cleared() << cleared()
                                                         << cannotAnalyse + host << info;
    QTest::newRow("one buffer in both scores 1 and 1") << "Up" << "Down" << values({{6, "4"}}) << values({{6, "5"}})
                                                        << cannotAnalyse + host << info;
    QTest::newRow("buffers 0 and 3 against 4")
        << "Up" << "Down" << values({{0, "1"}, {3, "1"}}) << values({{4, "1"}}) << cannotAnalyse + host << info;

    // Presence is by text: only "0" is absent.
    QTest::newRow("0.0, .0 and 00 are present") << "Up" << "Down" << values({{0, "0.0"}, {1, ".0"}, {2, "00"}})
                                                << values({{7, "1"}}) << "Up is Buffer 0 Buffer 1 Buffer 2 \nDown is Buffer 7 " << info;
    QTest::newRow("cleared field is present") << "Up" << "Down" << values({{2, ""}}) << values({{0, ""}})
                                              << "Up is Buffer 2 \nDown is Buffer 0 " << info;

    // One side missing.
    QTest::newRow("first event only") << "Up" << "Down" << values({{0, "1"}}) << values({})
                                      << "Please input data for second event" << critical;
    QTest::newRow("second event only") << "Up" << "Down" << values({}) << values({{7, "1"}})
                                       << "Please input data for first event" << critical;

    // Buffer 7's pieces.
    QTest::newRow("buffer 7 second only ends in a blank") << "Up" << "Down" << values({{0, "1"}}) << values({{7, "1"}})
                                                          << "Up is Buffer 0 \nDown is Buffer 7 " << info;
    QTest::newRow("buffer 7 alone on the first line") << "Up" << "Down" << values({{7, "1"}}) << values({{0, "1"}})
                                                      << "Up is Buffer 7\nDown is Buffer 0 " << info;
}

void tst_Comparison::compare()
{
    QFETCH(QString, name1);
    QFETCH(QString, name2);
    QFETCH(EventValues, first);
    QFETCH(EventValues, second);
    QFETCH(QString, text);
    QFETCH(ReportIcon, icon);

    const Report report = compareEvents(name1, name2, first, second);
    QCOMPARE(report.text, text);
    QCOMPARE(report.icon, icon);
}

void tst_Comparison::pastedBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("line"); // the line named as unreadable

    const int notABox = int(PastedBox::Kind::NotABox);
    const int values = int(PastedBox::Kind::Values);
    const int terminalError = int(PastedBox::Kind::TerminalError);
    const int unreadable = int(PastedBox::Kind::Unreadable);
    const QStringList none{"-", "-", "-", "-", "-", "-", "-", "-"};

    const QString windowsCopy = Fixture::windowsBoxCopy();
    QTest::newRow("Windows copy: title, dashes and OK passed over")
        << windowsCopy << values << QStringList{"1.23450", "-", "0", "0.00120", "-", "-", "-", "-"} << QString();
    QTest::newRow("bare lines with line feeds")
        << "Buffer 7 = 0.00120\nBuffer 1 = 12.50000" << values << QStringList{"-", "12.50000", "-", "-", "-", "-", "-", "0.00120"} << QString();
    QTest::newRow("blanks around a line and its sign")
        << "  Buffer 3 =  1.00000  \r\n" << values << QStringList{"-", "-", "-", "1.00000", "-", "-", "-", "-"} << QString();
    QTest::newRow("0.00000 and -0.00000 are no value")
        << "Buffer 0 = 0.00000\nBuffer 1 = -0.00000" << values << QStringList{"0", "0", "-", "-", "-", "-", "-", "-"} << QString();
    QTest::newRow("minus sign dropped")
        << "Buffer 4 = -0.00120" << values << QStringList{"-", "-", "-", "-", "0.00120", "-", "-", "-"} << QString();
    QTest::newRow("minus EMPTY_VALUE is a value")
        << "Buffer 5 = -2147483647.00000" << values << QStringList{"-", "-", "-", "-", "-", "2147483647.00000", "-", "-"} << QString();
    QTest::newRow("one buffer listed twice alike")
        << "Buffer 6 = 1.50000\nBuffer 6 = 1.50000" << values << QStringList{"-", "-", "-", "-", "-", "-", "1.50000", "-"} << QString();

    // The terminal's zeros after a failed read are no values of the indicator.
    QTest::newRow("error 4072 line fills nothing")
        << windowsCopy + "The terminal could not load the indicator \"ZigZag\" from its MQL4\\Indicators folder (error 4072)"
        << terminalError << none << QString();
    QTest::newRow("reported error line fills nothing")
        << "Buffer 0 = 0.00000\r\nThe terminal reported error 4051 while reading the indicator \"Market\\Foo\"\r\n"
        << terminalError << none << QString();

    // Anything else pastes as text would.
    QTest::newRow("lone negative number") << "-2" << notABox << none << QString();
    QTest::newRow("decimal comma") << "1,5" << notABox << none << QString();
    QTest::newRow("empty clipboard") << "" << notABox << none << QString();
    QTest::newRow("buffer 8 is none of the script's") << "Buffer 8 = 1.00000" << notABox << none << QString();
    // A buffer number too large for an int once read as 0, and filled buffer 0.
    QTest::newRow("buffer 2^32 is none of the script's") << "Buffer 4294967296 = 2.5" << notABox << none << QString();
    QTest::newRow("buffer number past every integer") << "Buffer 99999999999999999999 = 1.00000" << notABox << none
                                                      << QString();
    QTest::newRow("leading zeros name buffer 3") << "Buffer 0003 = 1.00000" << values
                                                 << QStringList{"-", "-", "-", "1.00000", "-", "-", "-", "-"} << QString();
    QTest::newRow("two boxes in one paste") << "Buffer 0 = 1.00000\nBuffer 0 = 2.00000" << notABox << none << QString();

    // What a broken indicator leaves in a buffer, as MQL4's DoubleToStr or Windows' C library spells it:
    // the box is the script's, but a value is missing, so nothing is filled and the line is named.
    for (const char *value : {"nan", "-nan(ind)", "inf", "-inf", "1.#QNAN0", "-1.#IND0", "1.#INF0"}) {
        const QString line = QStringLiteral("Buffer 2 = ") + QLatin1String(value);
        QTest::addRow("%s fills nothing", value)
            << QString("Buffer 0 = 1.00000\r\n  " + line + "  \r\nBuffer 3 = 2.00000\r\n") << unreadable << none << line;
    }
    QTest::newRow("value with a decimal comma") << "Buffer 0 = 1,50000" << unreadable << none << "Buffer 0 = 1,50000";
    QTest::newRow("value left out") << "Buffer 1 = \nBuffer 0 = 1.00000" << unreadable << none << "Buffer 1 =";
    QTest::newRow("first unreadable line named") << "Buffer 4 = inf\nBuffer 5 = nan" << unreadable << none
                                                 << "Buffer 4 = inf";
    QTest::newRow("failed read comes before an unreadable value")
        << "Buffer 0 = nan\nThe terminal reported error 4051 while reading the indicator \"X\"" << terminalError << none
        << QString();
    QTest::newRow("foreign buffer comes before an unreadable value") << "Buffer 0 = nan\nBuffer 9 = 1.00000" << notABox
                                                                     << none << QString();
}

void tst_Comparison::pastedBox()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QStringList, fields);
    QFETCH(QString, line);

    const PastedBox box = readPastedBox(text);
    QCOMPARE(int(box.kind), kind);
    QCOMPARE(fieldsOf(box), fields);
    QCOMPARE(box.line, line);
}

QTEST_APPLESS_MAIN(tst_Comparison)
#include "tst_comparison.moc"
