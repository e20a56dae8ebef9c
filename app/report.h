#pragma once

#include <QString>

// The icon of a report box. The values are QMessageBox's, so that logic without widgets can choose one.
enum class ReportIcon { Information = 1, Critical = 3 };

// What one button press tells the user: one text, one icon.
struct Report
{
    QString text;
    ReportIcon icon;
};
