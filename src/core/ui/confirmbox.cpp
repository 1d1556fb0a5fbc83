#include "core/ui/confirmbox.h"

#include "core/settingsstore.h"
#include "core/ui/ask.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TfmConfirm::TfmConfirm(SettingsStore& settings, const QString& message, QLatin1String section, QLatin1String value,
                       QWidget* parent)
    : QDialog(parent), m_settings(settings), m_section(section), m_value(value)
{
    setObjectName(QStringLiteral("TfmConfirm"));
    setWindowTitle(QApplication::applicationDisplayName().isEmpty() ? QStringLiteral("Tarnwick PRO")
                                                                    : QApplication::applicationDisplayName());
    setModal(true);

    m_message = new QLabel(message, this);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->move(16, 16);
    m_message->adjustSize();

    m_ask = new QCheckBox(QStringLiteral("Don't ask this question again"), this);
    m_ask->setObjectName(QStringLiteral("cbAsk"));
    m_ask->adjustSize();

    m_yes = new QPushButton(QStringLiteral("&Yes"), this);
    m_yes->setObjectName(QStringLiteral("btnYes"));
    m_no = new QPushButton(QStringLiteral("&No"), this);
    m_no->setObjectName(QStringLiteral("btnNo"));
    m_no->setDefault(true);
    m_no->setFocus();

    const int width = std::max(300, m_message->x() + m_message->width() + 8);
    const int buttonTop = m_message->y() + m_message->height() + 16;
    m_yes->setGeometry((width - 130) / 2, buttonTop, 60, 25);
    m_no->setGeometry((width - 130) / 2 + 70, buttonTop, 60, 25);
    m_ask->move(16, buttonTop + 25 + 12);
    setFixedSize(width, m_ask->y() + m_ask->height() + 12);

    connect(m_yes, &QPushButton::clicked, this, [this] {
        m_answer = Answer::Yes;
        accept();
    });
    connect(m_no, &QPushButton::clicked, this, [this] {
        m_answer = Answer::No;
        reject();
    });
}

void TfmConfirm::done(int result)
{
    // Escape and the close button leave the answer at None: the question stays on.
    if (m_ask->isChecked())
        m_settings.writeBool(m_section, m_value, m_answer == Answer::None);
    QDialog::done(result);
}

void TfmConfirm::keyPressEvent(QKeyEvent* event)
{
    // No is the cancel button: Escape answers No; only closing the window leaves no answer.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_no->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfmConfirm::ask(QWidget* parent, SettingsStore& settings, const QString& message, QLatin1String section,
                     QLatin1String value)
{
    if (!settings.readBool(section, value, true))
        return true;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (Ask::takeNextAnswer(message, &answer)) {
        // YesToAll and NoToAll stand for the answer with "Don't ask this question again" ticked.
        if (answer == QMessageBox::YesToAll || answer == QMessageBox::NoToAll)
            settings.writeBool(section, value, false);
        return answer == QMessageBox::Yes || answer == QMessageBox::YesToAll;
    }
    TfmConfirm box(settings, message, section, value, parent);
    Ask::exec(box);
    return box.answer() == Answer::Yes;
}
