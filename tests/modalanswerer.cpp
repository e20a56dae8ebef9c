#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

ModalAnswerer::ModalAnswerer()
{
    // A platform's own file dialog (Windows has one) is no widget that could be found and answered:
    // the answerer answers Qt's. Real windows are driven through the native ones.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer()
{
    // A test that failed already says more than what it then left queued.
    if (QTest::currentTestFailed())
        return;
    QStringList unused;
    for (const QString &path : qAsConst(m_files))
        unused << (path.isEmpty() ? QStringLiteral("a cancel") : QStringLiteral("the pick of %1").arg(path));
    if (m_declines > 0)
        unused << QStringLiteral("%1 replace question(s) to decline").arg(m_declines);
    if (!unused.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("no window came for %1").arg(unused.join(QStringLiteral(", ")))), __FILE__,
                     __LINE__);
}

// Whether `modal` is the window answered last and still open: a key a busy machine lost, or an answer
// the window refused. Enter, which chooses nothing else, is sent again; after ten seconds the window
// fails the test and is closed.
bool ModalAnswerer::stillOpen(QWidget *modal)
{
    if (modal != m_open || !modal->isVisible())
        return false;
    if (m_openFor.elapsed() > 10000) {
        QTest::qFail(qPrintable(QStringLiteral("\"%1\" (%2) stayed open after its answer")
                                    .arg(modal->windowTitle(), QString::fromLatin1(modal->metaObject()->className()))),
                     __FILE__, __LINE__);
        m_open = nullptr;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->done(QDialog::Rejected);
        return true;
    }
    if (m_enterSent.isValid() && m_enterSent.elapsed() > 250) {
        QTest::keyClick(modal, Qt::Key_Return);
        m_enterSent.start();
    }
    return true;
}

void ModalAnswerer::answer()
{
    QWidget *modal = QApplication::activeModalWidget();
    // The windows' own modal runs (a switch to the other window) are the test's to drive.
    if ((!qobject_cast<QFileDialog *>(modal) && !qobject_cast<QMessageBox *>(modal)) || stillOpen(modal))
        return;
    m_open = modal;
    m_openFor.start();
    m_enterSent.invalidate();
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        if (!dialog->isVisible() || dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        if (inDialog)
            inDialog();
        dialogCaptions << dialog->windowTitle();
        dialogFilters << dialog->nameFilters().join(QStringLiteral(";;"));
        dialogFolders << dialog->directory().absolutePath();
        auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        dialogProposals << (nameField ? nameField->text() : QString());
        const QString path = m_files.isEmpty() ? QString() : m_files.takeFirst();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Qt's own dialog leaves its name field as it is while that has the focus, which the window
        // system may hand it only now (Wine does): the dialog would then take the folder, and stay.
        if (nameField)
            nameField->clearFocus();
        dialog->selectFile(path);
        // Queued, because accepting may ask whether to replace a file, and this timer does not fire
        // again until this call has returned.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (box->standardButtons() & QMessageBox::Yes) {
            overwriteQuestions << box->text();
            if (m_declines > 0) {
                --m_declines;
                // Qt's own dialog asks itself and stays open after No: it is answered again.
                if (auto *dialog = qobject_cast<QFileDialog *>(box->parentWidget()))
                    dialog->setProperty("answered", false);
                if (m_declineBy == Decline::Enter) {
                    QTest::keyClick(box, Qt::Key_Return);
                    m_enterSent.start();
                } else
                    box->button(QMessageBox::No)->click();
            } else {
                box->button(QMessageBox::Yes)->click();
            }
            return;
        }
        boxes << Box{box->text(), box->icon()};
        box->accept();
    }
}
