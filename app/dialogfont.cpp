#include "app/dialogfont.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTextDocument>

#include <algorithm>

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
#ifdef Q_OS_WIN
    Q_UNUSED(window)
#else
    // Tighter than this the Thai marks above and below the letters of neighbouring lines would touch.
    constexpr int tightestLineHeight = 75;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->wordWrap() || !Qt::mightBeRichText(label->text()))
            continue;
        // As QLabel lays its text out: its font, its contents' width, no document margin.
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        document.setTextWidth(label->contentsRect().width());
        const qreal needed = document.size().height();
        const int available = label->contentsRect().height();
        if (needed <= available)
            continue;
        const int lineHeight = std::max(tightestLineHeight, int(100 * available / needed));
        QString text = label->text();
        text.replace(QStringLiteral("<p style=\""), QStringLiteral("<p style=\"line-height:%1%;").arg(lineHeight));
        label->setText(text);
    }
#endif
}
