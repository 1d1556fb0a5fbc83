#include "core/ui/ask.h"

#include <QApplication>
#include <QDialog>

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

QString title()
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

} // namespace

namespace Ask {

bool takeNextAnswer(const QString& text, QMessageBox::StandardButton* answer)
{
    State& s = state();
    if (!s.answers.isEmpty()) {
        s.asked.append(text);
        *answer = s.answers.takeFirst();
        return true;
    }
    if (s.unattended) {
        s.asked.append(QStringLiteral("UNANSWERED: ") + text);
        *answer = QMessageBox::NoButton;
        return true;
    }
    return false;
}

QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (takeNextAnswer(text, &answer))
        return answer == QMessageBox::NoButton ? escapeButton(buttons) : answer;
    QMessageBox box(icon, title(), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    return pressed == QMessageBox::NoButton ? escapeButton(buttons) : pressed;
}

void information(QWidget* parent, const QString& text)
{
    message(parent, QMessageBox::Information, text);
}

void warning(QWidget* parent, const QString& text)
{
    message(parent, QMessageBox::Warning, text);
}

void critical(QWidget* parent, const QString& text)
{
    message(parent, QMessageBox::Critical, text);
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
    if (s.unattended) {
        s.asked.append(QStringLiteral("UNANSWERED: ") + dialog.windowTitle());
        return QDialog::Rejected;
    }
    return dialog.exec();
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
