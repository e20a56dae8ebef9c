#include "dialog/dialog.h"

#include "analyze/analyze.h"
#include "app/dialogfont.h"
#include "app/qtsettingsguard.h"
#include "app/reportbox.h"
#include "app/windowswitch.h"
#include "dialog/script.h"
#include "ui_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegExpValidator>
#include <QTextCodec>

#include <array>

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

Report writeScript(QWidget *window, const Ui_Dialog &ui)
{
    if (indicatorName.isEmpty())
        return {QStringLiteral("Please Select Indicator First"), ReportIcon::Critical};

    BufferSet buffers;
    const auto boxes = bufferBoxes(ui);
    for (size_t n = 0; n < boxes.size(); ++n)
        buffers[n] = boxes[n]->isChecked();
    if (buffers.none())
        return {QStringLiteral("Please Select Buffer .At less one Buffer"), ReportIcon::Critical};

    // Checked before asking for a file, so that a name or shift no script can hold costs no choice.
    if (!fitsMql4String(indicatorName) || !fitsMql4Shift(ui.inputshift->text()))
        return notCreated();
    const QByteArray bytes = scriptFile(composeScript(indicatorName, ui.inputshift->text(), buffers),
                                        terminalCodePage());

    // A folder removed since the pick would be taken for a file name to propose.
    const QString folder = QFileInfo(indicatorScriptsFolder).isDir() ? indicatorScriptsFolder : QString();
    const QtSettingsGuard settings;
    QFileDialog dialog(window, Dialog::tr("Save Script"), folder, Dialog::tr("MQ4(*.mq4)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Windows' own dialog adds the filter's suffix to a name typed without one, and the terminal lists
    // only .mq4 files: Qt's own dialog adds it too.
    dialog.setDefaultSuffix(QStringLiteral("mq4"));
    if (dialog.exec() != QDialog::Accepted)
        return notCreated();
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty() || !saveScript(path, bytes))
        return notCreated();
    return {QStringLiteral("Script Has Been Create"), ReportIcon::Information};
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
