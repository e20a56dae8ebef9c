#pragma once

#include <QDialog>

#include <memory>

class Ui_Analyze;

// The analysis window: the eight buffer values at two chart events, and which buffers carry which event.
class Analyze : public QDialog
{
    Q_OBJECT

public:
    explicit Analyze(QWidget *parent = nullptr);
    ~Analyze() override;

private slots:
    void on_Back_clicked();
    void on_Banalyze_clicked();

private:
    std::unique_ptr<Ui_Analyze> ui;
};
