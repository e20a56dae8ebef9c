#include "analyze/analyze.h"
#include "app/dialogfont.h"
#include "dialog/dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<QWidget> makeWindow(const QString &kind)
{
    if (kind == QLatin1String("Dialog"))
        return std::make_unique<Dialog>();
    return std::make_unique<Analyze>();
}

struct Fit
{
    qreal neededWidth;
    qreal neededHeight;
    qreal lineHeight;
    QRect box;
};

// A label's text as QLabel lays it out: its own font, width and wrapping, document margin 0.
Fit labelFit(const QLabel &label)
{
    QTextDocument document;
    document.setDefaultFont(label.font());
    document.setDocumentMargin(0);
    // As QLabel wraps: at word boundaries only, so that a word wider than the box runs past it.
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(label.wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
    document.setDefaultTextOption(option);
    if (Qt::mightBeRichText(label.text()))
        document.setHtml(label.text());
    else
        document.setPlainText(label.text());
    const QRect box = label.contentsRect();
    document.setTextWidth(label.wordWrap() ? box.width() : -1);
    const qreal height = document.size().height(); // lays the text out
    int lines = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return {document.idealWidth(), height, height / std::max(lines, 1), box};
}

// A button's caption in the room its style leaves beside the frame or the check mark.
Fit buttonFit(const QAbstractButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const bool check = qobject_cast<const QCheckBox *>(&button);
    const QRect box = button.style()->subElementRect(check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                                                     &option, &button);
    const QFontMetrics metrics(button.font());
    const qreal width = metrics.horizontalAdvance(QString(button.text()).remove(QLatin1Char('&')));
    // A check box's caption starts a few pixels after the mark, as the style draws it.
    const qreal spacing = check ? button.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, &button) : 0;
    return {width + spacing, qreal(metrics.height()), qreal(metrics.height()), box};
}

} // namespace

// Every caption of both windows shows whole with the fonts and the scaling the program really sets up.
// CTest runs it at each display scaling from 100 % to 200 %: on Linux by Qt's factor, on Windows by
// the system's dpi. The layout's pixels were drawn for Windows' fonts.
class tst_Captions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void captionShownWhole_data();
    void captionShownWhole();
    void thaiBreaks_data();
    void thaiBreaks();
};

void tst_Captions::initTestCase()
{
    DialogFont::use();
    // The windows are really drawn at the scale CTest set up, not rounded to a whole one.
    const QByteArray scale = qgetenv("BUFREX_EXPECTED_SCALE");
    Dialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.devicePixelRatioF(), scale.isEmpty() ? 1.0 : scale.toDouble());
}

void tst_Captions::captionShownWhole_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");

    for (const QString &kind : {QStringLiteral("Dialog"), QStringLiteral("Analyze")}) {
        const auto window = makeWindow(kind);
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget)) {
                const QByteArray row = (kind + QLatin1Char(' ') + widget->objectName()).toUtf8();
                QTest::newRow(row.constData()) << kind << widget->objectName();
            }
        }
    }
}

void tst_Captions::captionShownWhole()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);

    const auto window = makeWindow(kind);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->repaint(); // captions are fitted as they are first painted
    QWidget *widget = window->findChild<QWidget *>(name);
    QVERIFY(widget);
    if (widget->property("text").toString().isEmpty())
        return; // nothing to cut

    const auto *label = qobject_cast<QLabel *>(widget);
    const Fit fit = label ? labelFit(*label) : buttonFit(*qobject_cast<QAbstractButton *>(widget));
    const QString measured = QStringLiteral("needs %1 x %2 (lines of %3), has %4 x %5")
                                 .arg(fit.neededWidth).arg(fit.neededHeight).arg(fit.lineHeight)
                                 .arg(fit.box.width()).arg(fit.box.height());
    QVERIFY2(fit.neededWidth <= fit.box.width() + 0.5, qPrintable(QStringLiteral("too wide: ") + measured));
    QVERIFY2(fit.neededHeight - fit.box.height() < fit.lineHeight / 2, qPrintable(QStringLiteral("cut: ") + measured));
}

// Where Qt has no Thai dictionary, a Thai run too long for its box gets breaks where Thai spelling
// allows them. '|' marks a zero width space in the expected texts.
void tst_Captions::thaiBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("broken");

    QTest::newRow("between two consonants") << "ระบบ" << "ระ|บ|บ";
    QTest::newRow("not before sara aa or sara am") << "ราคา คำ" << "รา|คา คำ";
    QTest::newRow("not before a tone mark or an upper vowel") << "ที่นี่" << "ที่|นี่";
    QTest::newRow("not after a leading vowel") << "เลือก" << "เลื|อ|ก";
    QTest::newRow("not before mai yamok") << "ดีๆ" << "ดีๆ";
    QTest::newRow("Latin, digits and markup untouched") << "<b>Buffer 0</b> 80 %" << "<b>Buffer 0</b> 80 %";
    QTest::newRow("not between Thai and Latin") << "ค่า shift" << "ค่า shift";
}

void tst_Captions::thaiBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, broken);
    QCOMPARE(DialogFont::withThaiBreaks(text), broken.replace(QLatin1Char('|'), QChar(0x200b)));
}

int main(int argc, char *argv[])
{
    DialogFont::scaleWithScreen();
    QApplication application(argc, argv);
    tst_Captions test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_captions.moc"
