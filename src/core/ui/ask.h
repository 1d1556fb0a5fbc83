#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

// Every message box, question and modal dialog of the program goes through here, so that tests
// answer them in advance instead of waiting for a window to appear.
namespace Ask {

// A message box titled with the program's title (or `title` when given); returns the button pressed
// (the Escape button when it was closed). Without a default button the first accepting one is the
// default, as in the usual message boxes. `flags` are added to the box's window flags.
QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                    const QString& title = QString(), Qt::WindowFlags flags = {});
void information(QWidget* parent, const QString& text);
void warning(QWidget* parent, const QString& text, const QString& title = QString());
void critical(QWidget* parent, const QString& text, const QString& title = QString());
QMessageBox::StandardButton question(QWidget* parent, const QString& text,
                                     QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Runs a modal dialog (exec) and returns its result.
int exec(QDialog& dialog);

// The file choosers, run through exec: an existing folder, or an existing file to open; empty
// when cancelled. `start` is the folder shown first (a file in it is selected).
QString existingDirectory(QWidget* parent, const QString& caption, const QString& start);
QString openFileName(QWidget* parent, const QString& caption, const QString& start);

// For tests. Each message box takes the next answer (the program's confirmation box reads Yes,
// No, and YesToAll / NoToAll for the answer with "Don't ask this question again" ticked); each
// dialog is handed to the next handler, which fills it in and closes it (accept, reject or a
// button's click) before the result is read. The confirmation box without an answer waiting goes
// to the next handler as a dialog. Nothing is shown while answers or handlers wait. Without one,
// a prompt in a test that called setUnattended(true) is answered with its Escape button (a dialog
// is rejected) and noted as unanswered.
void setNextAnswers(const QList<QMessageBox::StandardButton>& answers);
void setNextDialogHandlers(const QList<std::function<void(QDialog&)>>& handlers);
void setUnattended(bool unattended);
// The texts of the message boxes asked since the last call (dialogs give their window title),
// unanswered ones marked "UNANSWERED: ".
QStringList takeAsked();
// Whether answers or handlers are still waiting.
bool pending();

// The confirmation box's side of the answers: the next answer, if a test gave one (or left the
// prompt unanswered). False when the box is to be shown, through exec.
bool takeNextAnswer(const QString& text, QMessageBox::StandardButton* answer);

} // namespace Ask
