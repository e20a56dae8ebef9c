#include "dialog/dialog.h"

#include "analyze/analyze.h"
#include "app/dialogfont.h"
#include "app/reportbox.h"
#include "app/windowswitch.h"
#include "dialog/script.h"
#include "platform/qtsettingsguard.h"
#include "ui_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegExpValidator>
#include <QTextCodec>

#include <array>
#include <optional>

QString indicatorName;
QString indicatorScriptsFolder;

namespace {

std::array<QCheckBox *, 8> bufferBoxes(const Ui_Dialog &ui)
{
    return {ui.check0, ui.check1, ui.check2, ui.check3, ui.check4, ui.check5, ui.check6, ui.check7};
}

// The code page the terminal reads a script in: on Windows the system's, as the terminal runs on the
// Windows the script is written on. On Linux the terminal runs under a Wine whose code page may be any.
QTextCodec *terminalCodePage()
{
#ifdef Q_OS_WIN
    return QTextCodec::codecForLocale();
#else
    return nullptr;
#endif
}

Report notCreated()
{
    return {QStringLiteral("Script Not Create .Please Do Procress again"), ReportIcon::Critical};
}

// The file the save dialog answered, as it asked about it. Qt 5 adds the default suffix to a native
// dialog's answer only after the dialog has closed, and only where the whole path holds no point: GTK's
// chooser, which adds none itself, has then asked about "reader" and not about "reader.mq4". Qt's own
// dialog, whose widgets exist only when no native one is in use, adds it before it asks.
QString answerOf(QFileDialog &dialog)
{
    if (!dialog.findChild<QWidget *>(QStringLiteral("fileNameEdit")))
        dialog.setDefaultSuffix(QString());
    return dialog.selectedFiles().value(0);
}

// Qt's own question before a file is replaced, No the default, for a file no dialog asked about.
bool replaceConfirmed(QWidget *window, const QString &title, const QString &path)
{
    return QMessageBox::warning(window, title,
                                Dialog::tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName()),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

BufferSet tickedBuffers(const Ui_Dialog &ui)
{
    BufferSet buffers;
    const auto boxes = bufferBoxes(ui);
    for (size_t n = 0; n < boxes.size(); ++n)
        buffers[n] = boxes[n]->isChecked();
    return buffers;
}

// What the trader asked for, checked in the order the window shows it: the pick, the buffers, then a
// name and a shift no script can hold. Checked before asking for a file, so that a refusal costs no choice.
std::optional<Report> refusalOf(const Ui_Dialog &ui, const BufferSet &buffers)
{
    if (indicatorName.isEmpty())
        return Report{QStringLiteral("Please Select Indicator First"), ReportIcon::Critical};
    if (buffers.none())
        return Report{QStringLiteral("Please Select Buffer .At less one Buffer"), ReportIcon::Critical};
    if (!fitsMql4String(indicatorName) || !fitsMql4Shift(ui.inputshift->text()))
        return notCreated();
    return std::nullopt;
}

// Where the script goes, as the trader answers the save dialog: the path with the script suffix, or
// empty when the dialog is cancelled or names no file.
QString scriptPathChosen(QWidget *window)
{
    // Where the dialog opens: a folder, or a file whose name it proposes. A folder removed since the
    // pick would be taken for a file name to propose.
    QString start = QFileInfo(indicatorScriptsFolder).isDir() ? indicatorScriptsFolder : QString();
    const QtSettingsGuard settings;
    for (;;) {
        QFileDialog dialog(window, Dialog::tr("Save Script"), start, Dialog::tr("MQ4(*.mq4)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // Windows' own dialog adds the filter's suffix to a name typed without one, and the terminal
        // lists only .mq4 files: Qt's own dialog and KDE's add it too.
        dialog.setDefaultSuffix(QStringLiteral("mq4"));
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        const QString asked = answerOf(dialog);
        const QString path = withScriptSuffix(asked);
        // The dialog asked before replacing only the file it answered. A "No" here goes back to the
        // dialog, in the same folder with the same name, as the dialogs that ask themselves do.
        if (path.isEmpty() || path == asked || !QFileInfo::exists(path)
            || replaceConfirmed(window, dialog.windowTitle(), path))
            return path;
        start = path;
    }
}

Report saved(const QString &path, const QByteArray &bytes)
{
    return saveScript(path, bytes) ? Report{QStringLiteral("Script Has Been Create"), ReportIcon::Information}
                                   : notCreated();
}

Report writeScript(QWidget *window, const Ui_Dialog &ui)
{
    const BufferSet buffers = tickedBuffers(ui);
    if (const auto refusal = refusalOf(ui, buffers))
        return *refusal;
    const QByteArray bytes = scriptFile(composeScript(indicatorName, ui.inputshift->text(), buffers),
                                        terminalCodePage());
    const QString path = scriptPathChosen(window);
    return path.isEmpty() ? notCreated() : saved(path, bytes);
}

} // namespace

Dialog::Dialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui_Dialog>())
{
    ui->setupUi(this);
    DialogFont::fitCaptions(this);
    ui->inputshift->setText(QStringLiteral("0"));
    ui->inputshift->setValidator(new QRegExpValidator(QRegExp(QStringLiteral("\\d{1,10}")), this));
    setFixedSize(322, 325);
}

Dialog::~Dialog() = default;

void Dialog::on_pushButton_clicked()
{
    const QtSettingsGuard settings;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Indicator"), QString(),
                                                      tr("EX4 (*.ex4);; MQ4(*.mq4)"));
    // A cancel clears the pick.
    const QString name = indicatorNameOf(path);
    ui->lineEdit->setText(name);
    indicatorName = name;
    indicatorScriptsFolder = scriptsFolderOf(path);
}

void Dialog::on_create_clicked()
{
    showReport(writeScript(this, *ui));

    // Every press, refused or not, starts the next script from a clean window and a fresh pick.
    for (QCheckBox *box : bufferBoxes(*ui))
        box->setChecked(false);
    ui->lineEdit->setText(QString());
    ui->inputshift->setText(QStringLiteral("0"));
    indicatorName.clear();
    indicatorScriptsFolder.clear();
}

void Dialog::on_analyze_clicked()
{
    WindowSwitch::to<Analyze>(this);
}
