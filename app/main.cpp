#include "app/dialogfont.h"
#include "dialog/dialog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The windows are laid out in fixed pixels; scaling keeps their proportions on 150 % and 200 % screens.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication application(argc, argv);
    DialogFont::use();
    Dialog window;
    window.show();
    return application.exec();
}
