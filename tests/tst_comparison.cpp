#include "analyze/comparison.h"
#include "dialog/maker.h"

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

QTEST_APPLESS_MAIN(tst_Comparison)
#include "tst_comparison.moc"
