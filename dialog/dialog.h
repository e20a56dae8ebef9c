#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class Ui_Dialog;

// Name of the indicator picked last, as iCustom takes it. It belongs to the process, not to a window: a
// main window reached through the analysis window still writes the script for it, until "Create" uses it up.
extern QString indicatorName;

// Where the script for that indicator is saved first: its terminal's MQL4\Scripts, the one folder the
// terminal runs scripts from, or empty (the save dialog's own choice) for one picked elsewhere. It
// belongs to the pick: set, kept and cleared with indicatorName.
extern QString indicatorScriptsFolder;

// The main window: pick an indicator, tick buffers, give a bar shift and write the script that reads them.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

private slots:
    void on_pushButton_clicked();
    void on_create_clicked();
    void on_analyze_clicked();

private:
    std::unique_ptr<Ui_Dialog> ui;
};
