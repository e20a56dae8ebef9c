#include "app/dialogfont.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

void DialogFont::scaleWithScreen()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

void DialogFont::use()
{
#ifndef Q_OS_WIN
    // The layout was drawn for "MS Shell Dlg 2", Windows' Tahoma at 8 points, which the rich-text
    // captions also name. Of the Thai fonts Debian has, Sawasdee is the one whose wrapped captions fit
    // their boxes at the least tightened spacing; Loma is the Thai font most systems have.
    QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg 2"),
                               {QStringLiteral("Tahoma"), QStringLiteral("Sawasdee"), QStringLiteral("Loma")});
    QApplication::setFont(QFont(QStringLiteral("MS Shell Dlg 2"), 8));
#endif
}

QString DialogFont::withThaiBreaks(const QString &text)
{
    const auto isThai = [](QChar c) { return c.unicode() >= 0x0e01 && c.unicode() <= 0x0e5b; };
    const auto isLeadingVowel = [](QChar c) { return c.unicode() >= 0x0e40 && c.unicode() <= 0x0e44; };
    // Sara a, sara aa, sara am, lakkhangyao, mai yamok and paiyannoi stay with the letter before them.
    const auto clingsToPrevious = [](QChar c) {
        return c.category() == QChar::Mark_NonSpacing || QStringView(u"\u0e30\u0e32\u0e33\u0e45\u0e46\u0e2f").contains(c);
    };
    QString broken;
    broken.reserve(text.size() * 2);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i > 0 && isThai(text.at(i - 1)) && isThai(c) && !isLeadingVowel(text.at(i - 1)) && !clingsToPrevious(c))
            broken += QChar(0x200b); // zero width space: a line may break here
        broken += c;
    }
    return broken;
}

namespace {

// The lines of `layout` that run past its width: each is one run the line breaker found no break in.
QStringList unbreakableRuns(const QTextDocument &layout)
{
    QStringList runs;
    for (QTextBlock block = layout.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            if (line.naturalTextWidth() > layout.textWidth() + 0.5)
                runs << block.text().mid(line.textStart(), line.textLength()).trimmed();
        }
    }
    return runs;
}

// Sets `label`'s caption no more tightly than it needs to fit its box, and breaks its Thai where Qt
// alone would run a line past the box's edge.
void fitCaption(QLabel *label)
{
    // Tighter than this the Thai marks above and below the letters of neighbouring lines would touch.
    constexpr int tightestLineHeight = 75;
    // The label's text control keeps the document it paints; asking for the height lays it out at
    // the label's width, as the paint about to come would.
    const int frame = label->height() - label->contentsRect().height();
    const int box = label->height() - frame;
    int needed = label->heightForWidth(label->width()) - frame;
    const auto *layout = label->findChild<QTextDocument *>();
    if (layout && layout->idealWidth() > layout->textWidth() + 0.5) {
        // A line runs past the box: a run of Thai that Qt could not break, which happens where it
        // has no Thai dictionary (on Windows). Only such runs get breaks, so that every other line
        // breaks where it was drawn to.
        QString text = label->text();
        for (const QString &run : unbreakableRuns(*layout))
            text.replace(run, DialogFont::withThaiBreaks(run));
        label->setText(text);
        needed = label->heightForWidth(label->width()) - frame;
    }
    if (needed <= box)
        return;
    const int lineHeight = std::max(tightestLineHeight, 100 * box / needed);
    label->setText(label->text().replace(QStringLiteral("<p style=\""),
                                         QStringLiteral("<p style=\"line-height:%1%;").arg(lineHeight)));
}

// Fits each caption it watches just before its first paint, which lays the text out anyway: a
// caption that fits costs nothing, and none of it delays the window's appearing.
class FitBeforeFirstPaint : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            fitCaption(static_cast<QLabel *>(watched));
        }
        return false;
    }
};

} // namespace

void DialogFont::fitCaptions(QWidget *window)
{
    auto *fitter = new FitBeforeFirstPaint(window);
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->wordWrap() && Qt::mightBeRichText(label->text()))
            label->installEventFilter(fitter);
    }
}
