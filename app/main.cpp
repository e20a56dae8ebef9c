#include "app/dialogfont.h"
#include "dialog/dialog.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include "app/systemdlls.h"
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    SystemDlls::narrowSearch(); // before anything can load a DLL
#endif
    DialogFont::scaleWithScreen();
    QApplication application(argc, argv);
    DialogFont::use();
    Dialog window;
    window.show();
    return application.exec();
}
