#include "app/dialogfont.h"
#include "dialog/dialog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    DialogFont::scaleWithScreen();
    QApplication application(argc, argv);
    DialogFont::use();
    Dialog window;
    window.show();
    return application.exec();
}
