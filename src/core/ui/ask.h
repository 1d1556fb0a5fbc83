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

// A message box with the program's title; returns the button pressed (the Escape button when it
// was closed).
QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
void information(QWidget* parent, const QString& text);
void warning(QWidget* parent, const QString& text);
void critical(QWidget* parent, const QString& text);
QMessageBox::StandardButton question(QWidget* parent, const QString& text,
                                     QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Runs a modal dialog (exec) and returns its result.
int exec(QDialog& dialog);

// For tests. Each message box takes the next answer (the program's confirmation box reads Yes,
// No, and YesToAll / NoToAll for the answer with "Don't ask this question again" ticked); each dialog is handed to the next
// handler, which fills it in and closes it (accept, reject or a button's click) before the result
// is read. Nothing is shown while answers or handlers wait. Without one, a prompt in a test that
// called setUnattended(true) is answered with its Escape button (a dialog is rejected) and noted
// as unanswered.
void setNextAnswers(const QList<QMessageBox::StandardButton>& answers);
void setNextDialogHandlers(const QList<std::function<void(QDialog&)>>& handlers);
void setUnattended(bool unattended);
// The texts of the message boxes asked since the last call (dialogs give their window title),
// unanswered ones marked "UNANSWERED: ".
QStringList takeAsked();
// Whether answers or handlers are still waiting.
bool pending();

// The confirmation box's side of the answers: the next answer, if a test gave one.
bool takeNextAnswer(const QString& text, QMessageBox::StandardButton* answer);

} // namespace Ask
