#pragma once

#include "app/report.h"

#include <QMessageBox>

static_assert(int(ReportIcon::Information) == QMessageBox::Information
                      && int(ReportIcon::Critical) == QMessageBox::Critical,
              "ReportIcon mirrors QMessageBox::Icon");

// Shows a report as the one parentless, untitled message box of a press and waits until it is closed.
inline void showReport(const Report &report)
{
    QMessageBox box;
    box.setText(report.text);
    box.setIcon(QMessageBox::Icon(report.icon));
    box.exec();
}
