#include "app/windowswitch.h"

#include <QApplication>
#include <QDialog>
#include <QPixmapCache>
#include <QPointer>

namespace {

// The window the last switch made. The first main window belongs to main() and is only ever hidden.
QPointer<QDialog> made;

} // namespace

void WindowSwitch::handOver(QDialog *from, QDialog *to)
{
    // The visible window is still alive when the user closes it and the event loop ends.
    static const QMetaObject::Connection releasedOnQuit =
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { delete made.data(); });

    from->hide();
    if (from == made)
        from->deleteLater(); // later: we are inside one of its own slots
    // Qt's pixmap cache keys what the style paints by palette, and each window's style sheet gives it
    // a palette of its own: nothing the hidden window left there can be drawn again, yet it would
    // pile up to the cache's 10 MiB.
    QPixmapCache::clear();
    made = to;
    to->show();
}
