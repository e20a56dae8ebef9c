#pragma once

#include <QMessageBox>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal boxes and file dialogs that a test's button press opens, the way Qt's own tests do:
// a short timer finds QApplication::activeModalWidget() and answers it. Create it before the press.
// A window still open ten seconds after its answer fails the test and is closed, so that a lost answer
// fails its row instead of hanging the run; so does a file pick or decline still queued when the
// answerer goes, at the end of the press it served, as the window it was for never came.
class ModalAnswerer : public QObject
{
public:
    struct Box
    {
        QString text;
        QMessageBox::Icon icon;
    };

    ModalAnswerer();
    ~ModalAnswerer() override;

    // The next file dialog picks `path`; an empty path cancels it. Dialogs beyond the queue cancel.
    void pickFile(const QString &path) { m_files << path; }

    // How a question whether to replace a file is declined: its No button, or Enter, which must take
    // the default button, No.
    enum class Decline { No, Enter };

    // The next `count` questions whether to replace a file are declined; later ones answered Yes.
    void declineReplacing(int count, Decline how = Decline::No)
    {
        m_declines = count;
        m_declineBy = how;
    }

    std::function<void()> inDialog; // runs in every file dialog answered, while it is open

    QList<Box> boxes;           // every message box answered, in order
    QStringList dialogCaptions; // window title of every file dialog answered
    QStringList dialogFilters;  // name filters of every file dialog answered, joined by ";;"
    QStringList dialogFolders;  // the folder every file dialog answered opened in
    QStringList dialogProposals;    // the file name every file dialog answered proposed
    QStringList overwriteQuestions; // text of every "replace it?" question

private:
    void answer();
    bool stillOpen(QWidget *modal);

    QTimer m_timer;
    QPointer<QWidget> m_open; // the window answered last, while it stays open
    QElapsedTimer m_openFor;
    QElapsedTimer m_enterSent;
    QStringList m_files;
    int m_declines = 0;
    Decline m_declineBy = Decline::No;
};
