#include "analyze/analyze.h"

#include "analyze/comparison.h"
#include "app/dialogfont.h"
#include "app/reportbox.h"
#include "app/windowswitch.h"
#include "dialog/dialog.h"
#include "ui_analyze.h"

#include <QRegExpValidator>

namespace {

// The sixteen value fields in holder order: the first event's buffers 0 to 7, then the second's.
std::array<QLineEdit *, 16> valueFields(const Ui_Analyze &ui)
{
    return {ui.B1B0, ui.B1B0_2, ui.B1B0_3, ui.B1B0_4, ui.B1B0_5, ui.B1B0_6, ui.B1B0_7, ui.B1B0_8,
            ui.B2B0, ui.B2B0_2, ui.B2B0_3, ui.B2B0_4, ui.B2B0_5, ui.B2B0_6, ui.B2B0_7, ui.B2B0_8};
}

} // namespace

Analyze::Analyze(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui_Analyze>())
{
    ui->setupUi(this);
    DialogFont::fitCaptions(this);
    auto *value = new QRegExpValidator(QRegExp(QStringLiteral("\\d*\\.\\d+")), this);
    for (QLineEdit *field : valueFields(*ui)) {
        field->setText(QStringLiteral("0"));
        field->setValidator(value);
    }
    // Enter in a field runs the comparison ("Analyze" is the default button) rather than "Back",
    // which would throw the typed values away. QDialog would then also move the first focus from
    // "Back", the first widget, to the default button; it stays where the chain starts.
    ui->Back->setFocus();
}

Analyze::~Analyze() = default;

void Analyze::on_Back_clicked()
{
    WindowSwitch::to<Dialog>(this);
}

void Analyze::on_Banalyze_clicked()
{
    const auto fields = valueFields(*ui);
    EventValues first;
    EventValues second;
    for (size_t buffer = 0; buffer < first.size(); ++buffer) {
        first[buffer] = fields[buffer]->text();
        second[buffer] = fields[buffer + first.size()]->text();
    }
    showReport(compareEvents(ui->name1->text(), ui->name2->text(), first, second));
}
