#include "app/dialogfont.h"
#include "dialog/dialog.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include "platform/runningmark.h"
#include "platform/systemdlls.h"
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    SystemDlls::narrowSearch(); // before anything can load a DLL
    RunningMark::hold();
#endif
    DialogFont::scaleWithScreen();
    QApplication application(argc, argv);
    // The menu entry's name, which docks match the running window with: on X11 through its class,
    // the program's name, which the entry gives as StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral(BUFREX_APP_ID));
    DialogFont::use();
    Dialog window;
    window.show();
    return application.exec();
}
