#include "analyze/analyze.h"

#include "analyze/comparison.h"
#include "analyze/pastedbox.h"
#include "app/dialogfont.h"
#include "app/reportbox.h"
#include "app/windowswitch.h"
#include "dialog/dialog.h"
#include "ui_analyze.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QRegExpValidator>

namespace {

using EventFields = std::array<QLineEdit *, 8>;

// The value fields of the first event's buffers 0 to 7, then those of the second's.
std::array<EventFields, 2> valueFields(const Ui_Analyze &ui)
{
    return {EventFields{ui.B1B0, ui.B1B0_2, ui.B1B0_3, ui.B1B0_4, ui.B1B0_5, ui.B1B0_6, ui.B1B0_7, ui.B1B0_8},
            EventFields{ui.B2B0, ui.B2B0_2, ui.B2B0_3, ui.B2B0_4, ui.B2B0_5, ui.B2B0_6, ui.B2B0_7, ui.B2B0_8}};
}

// Lets every value field of one event take the terminal's message box as copied: a paste of its text
// fills the event's fields for the buffers it lists, where the field alone would refuse it. Any other
// text pastes as it always did, through the field's validator. Ctrl+V, Shift+Insert and the context
// menu's Paste all come here.
class BoxPaste : public QObject
{
public:
    BoxPaste(const EventFields &fields, QObject *parent) : QObject(parent), m_fields(fields)
    {
        for (QLineEdit *field : m_fields)
            field->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste))
            return pasteBox();
        // A field being destroyed is no QLineEdit any more, and gets events still.
        auto *field = qobject_cast<QLineEdit *>(watched);
        if (field && event->type() == QEvent::ContextMenu) {
            // The field's own menu, with its Paste led here instead of to the field. Queued: a box that
            // reports must not run its loop while the menu that is closing, and deleting itself, emits.
            QMenu *menu = field->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            for (QAction *action : menu->actions()) {
                if (disconnect(action, SIGNAL(triggered()), field, SLOT(paste())))
                    connect(
                        action, &QAction::triggered, field,
                        [this, field] {
                            if (!pasteBox())
                                field->paste();
                        },
                        Qt::QueuedConnection);
            }
            menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        return false;
    }

private:
    // Whether the clipboard held a box, which then filled the fields or was refused with a word why.
    bool pasteBox()
    {
        const PastedBox box = readPastedBox(QApplication::clipboard()->text());
        if (box.kind == PastedBox::Kind::NotABox)
            return false;
        if (box.kind == PastedBox::Kind::TerminalError) {
            showReport({QStringLiteral("The terminal could not read the indicator, so the values in this box are not "
                                       "its own. Nothing was filled in."),
                        ReportIcon::Critical});
            return true;
        }
        if (box.kind == PastedBox::Kind::Unreadable) {
            // Long enough for any value an indicator shows; a paste of anything may be longer.
            QString line = box.line;
            if (line.size() > 60) {
                line.truncate(line.at(58).isHighSurrogate() ? 58 : 59);
                line += QChar(0x2026);
            }
            showReport({QStringLiteral("The line \"%1\" of this box holds no number that can be read. Nothing was "
                                       "filled in.")
                            .arg(line),
                        ReportIcon::Critical});
            return true;
        }
        // As typing does, so that Ctrl+Z in a field brings back what it held before a paste into the
        // wrong event (setText would clear its undo history). No pasted value is one the validator refuses.
        for (size_t buffer = 0; buffer < m_fields.size(); ++buffer) {
            if (box.fields[buffer]) {
                m_fields[buffer]->selectAll();
                m_fields[buffer]->insert(*box.fields[buffer]);
            }
        }
        return true;
    }

    EventFields m_fields;
};

} // namespace

Analyze::Analyze(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui_Analyze>())
{
    ui->setupUi(this);
    DialogFont::fitCaptions(this);
    auto *value = new QRegExpValidator(QRegExp(QStringLiteral("\\d*\\.\\d+")), this);
    for (const EventFields &event : valueFields(*ui)) {
        for (QLineEdit *field : event) {
            field->setText(QStringLiteral("0"));
            field->setValidator(value);
        }
        new BoxPaste(event, this);
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
        first[buffer] = fields[0][buffer]->text();
        second[buffer] = fields[1][buffer]->text();
    }
    showReport(compareEvents(ui->name1->text(), ui->name2->text(), first, second));
}
