#include "dialog/dialog.h"

#include <QApplication>
#include <QFont>

namespace {

// The windows are laid out in fixed pixels for Windows' dialog font, "MS Shell Dlg 2" (Tahoma) at
// 8 points, which the rich-text labels also name. Where that font does not exist, its nearest match
// keeps every caption inside its widget; where it exists, Qt uses it and this changes nothing.
void useDialogFont()
{
#ifndef Q_OS_WIN
    QFont::insertSubstitutions(QStringLiteral("MS Shell Dlg 2"), {QStringLiteral("Tahoma"), QStringLiteral("Loma")});
    QApplication::setFont(QFont(QStringLiteral("MS Shell Dlg 2"), 8));
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // The windows are laid out in fixed pixels; scaling keeps their proportions on 150 % and 200 % screens.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication application(argc, argv);
    useDialogFont();
    Dialog window;
    window.show();
    return application.exec();
}
