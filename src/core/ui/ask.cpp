#include "core/ui/ask.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QUrl>

#include <utility>

namespace {

struct State {
    QList<QMessageBox::StandardButton> answers;
    QList<std::function<void(QDialog&)>> handlers;
    QStringList asked;
    bool unattended = false;
};

State& state()
{
    static State s;
    return s;
}

QString programTitle()
{
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Tarnwick PRO") : name;
}

QMessageBox::StandardButton escapeButton(QMessageBox::StandardButtons buttons)
{
    for (const QMessageBox::StandardButton b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok}) {
        if (buttons.testFlag(b))
            return b;
    }
    return QMessageBox::NoButton;
}

// The answer a test gave in advance; a box no answer waits for is left unanswered while the test
// has anything else queued, so that it never waits for a click.
bool takeAnswer(const QString& text, QMessageBox::StandardButton* answer)
{
    State& s = state();
    if (!s.answers.isEmpty()) {
        s.asked.append(text);
        *answer = s.answers.takeFirst();
        return true;
    }
    if (s.unattended || !s.handlers.isEmpty()) {
        s.asked.append(QStringLiteral("UNANSWERED: ") + text);
        *answer = QMessageBox::NoButton;
        return true;
    }
    return false;
}

// The default button of the usual message boxes: the first accepting one, in the order of the flags.
QPushButton* firstAcceptButton(QMessageBox& box)
{
    for (uint flag = QMessageBox::FirstButton; flag <= QMessageBox::LastButton; flag <<= 1) {
        auto* button = qobject_cast<QPushButton*>(box.button(QMessageBox::StandardButton(flag)));
        if (button != nullptr && box.buttonRole(button) == QMessageBox::AcceptRole)
            return button;
    }
    return nullptr;
}

QString chooseFile(QWidget* parent, const QString& caption, const QString& start, QFileDialog::FileMode mode,
                   QFileDialog::Options options)
{
    // Set up as the static QFileDialog functions do, so that the chooser looks and behaves the same.
    QFileDialog dialog(parent, caption, start);
    dialog.setFileMode(mode);
    dialog.setOptions(options);
    const QFileInfo startInfo(start);
    dialog.selectFile(!start.isEmpty() && !startInfo.isDir() ? startInfo.fileName() : QString());
    dialog.setSupportedSchemes({QStringLiteral("file")});
    if (Ask::exec(dialog) != QDialog::Accepted)
        return {};
    const QUrl chosen = dialog.selectedUrls().value(0);
    return chosen.isLocalFile() || chosen.isEmpty() ? chosen.toLocalFile() : chosen.toString();
}

} // namespace

namespace Ask {

bool takeNextAnswer(const QString& text, QMessageBox::StandardButton* answer)
{
    // A dialog handler waiting takes the box as a dialog.
    if (state().answers.isEmpty() && !state().handlers.isEmpty())
        return false;
    return takeAnswer(text, answer);
}

QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                    const QString& title, Qt::WindowFlags flags)
{
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (takeAnswer(text, &answer))
        return answer == QMessageBox::NoButton ? escapeButton(buttons) : answer;
    QMessageBox box(icon, title.isEmpty() ? programTitle() : title, text, buttons, parent);
    if (flags != Qt::WindowFlags())
        box.setWindowFlags(box.windowFlags() | flags);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    else if (QPushButton* accept = firstAcceptButton(box))
        box.setDefaultButton(accept);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    return pressed == QMessageBox::NoButton ? escapeButton(buttons) : pressed;
}

void information(QWidget* parent, const QString& text)
{
    message(parent, QMessageBox::Information, text);
}

void warning(QWidget* parent, const QString& text, const QString& title)
{
    message(parent, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::NoButton, title);
}

void critical(QWidget* parent, const QString& text, const QString& title)
{
    message(parent, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::NoButton, title);
}

QMessageBox::StandardButton question(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton)
{
    return message(parent, QMessageBox::Question, text, buttons, defaultButton);
}

int exec(QDialog& dialog)
{
    State& s = state();
    if (!s.handlers.isEmpty()) {
        s.asked.append(dialog.windowTitle());
        const auto handler = s.handlers.takeFirst();
        dialog.setResult(QDialog::Rejected);
        handler(dialog);
        return dialog.result();
    }
    if (s.unattended || !s.answers.isEmpty()) {
        s.asked.append(QStringLiteral("UNANSWERED: ") + dialog.windowTitle());
        return QDialog::Rejected;
    }
    return dialog.exec();
}

QString existingDirectory(QWidget* parent, const QString& caption, const QString& start)
{
    return chooseFile(parent, caption, start, QFileDialog::Directory, QFileDialog::ShowDirsOnly);
}

QString openFileName(QWidget* parent, const QString& caption, const QString& start)
{
    return chooseFile(parent, caption, start, QFileDialog::ExistingFile, {});
}

void setNextAnswers(const QList<QMessageBox::StandardButton>& answers)
{
    state().answers = answers;
}

void setNextDialogHandlers(const QList<std::function<void(QDialog&)>>& handlers)
{
    state().handlers = handlers;
}

void setUnattended(bool unattended)
{
    state().unattended = unattended;
}

QStringList takeAsked()
{
    return std::exchange(state().asked, {});
}

bool pending()
{
    return !state().answers.isEmpty() || !state().handlers.isEmpty();
}

} // namespace Ask
