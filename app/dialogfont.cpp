#include "app/dialogfont.h"

#include <QApplication>
#include <QFont>
#include <QHash>
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
    // Every window of a kind has the same captions in the same boxes: each is laid out once a run.
    static QHash<QString, QString> fitted;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->wordWrap() || !Qt::mightBeRichText(label->text()))
            continue;
        const QRect box = label->contentsRect();
        const QString key = QStringLiteral("%1|%2x%3|%4").arg(label->font().key()).arg(box.width()).arg(box.height()).arg(label->text());
        auto known = fitted.constFind(key);
        if (known == fitted.constEnd()) {
            // As QLabel lays its text out: its font, its contents' width, no document margin.
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setDocumentMargin(0);
            document.setHtml(label->text());
            document.setTextWidth(box.width());
            const qreal needed = document.size().height();
            QString text = label->text();
            if (needed > box.height()) {
                const int lineHeight = std::max(tightestLineHeight, int(100 * box.height() / needed));
                text.replace(QStringLiteral("<p style=\""), QStringLiteral("<p style=\"line-height:%1%;").arg(lineHeight));
            }
            known = fitted.insert(key, text);
        }
        if (*known != label->text())
            label->setText(*known);
    }
#endif
}
