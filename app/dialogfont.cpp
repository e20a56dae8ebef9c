#include "app/dialogfont.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTextDocument>

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

void DialogFont::fitCaptions(QWidget *window)
{
    // Tighter than this the Thai marks above and below the letters of neighbouring lines would touch.
    constexpr int tightestLineHeight = 75;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->wordWrap() || !Qt::mightBeRichText(label->text()))
            continue;
        // The label lays its text out at this width to paint it anyway: asking for the height it needs
        // costs no layout of its own, so a caption that fits (Windows' Tahoma) costs nothing.
        const int frame = label->height() - label->contentsRect().height();
        const int needed = label->heightForWidth(label->width()) - frame;
        const int box = label->height() - frame;
        if (needed <= box)
            continue;
        const int lineHeight = std::max(tightestLineHeight, 100 * box / needed);
        label->setText(label->text().replace(QStringLiteral("<p style=\""),
                                             QStringLiteral("<p style=\"line-height:%1%;").arg(lineHeight)));
    }
}
