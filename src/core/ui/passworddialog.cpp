#include "core/ui/passworddialog.h"

#include "core/applanguage.h"
#include "core/password.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QString programTitle()
{
    return QStringLiteral("Tarnwick PRO");
}

} // namespace

TfmPassword::TfmPassword(const QString& stored, QWidget* parent) : QDialog(parent), m_stored(stored)
{
    setObjectName(QStringLiteral("TfmPassword"));
    setWindowTitle(programTitle());

    editPassword = named(new QLineEdit(this), QStringLiteral("editPassword"));
    editPassword->setEchoMode(QLineEdit::Password);
    editPassword->setMinimumWidth(200);
    const DialogButtons buttons = okCancelHelpRow(this);

    auto* label = new QLabel(QStringLiteral("Password:"), this);
    label->setBuddy(editPassword);
    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(label);
    fieldRow->addWidget(editPassword, 1);
    // Said plainly so nobody mistakes the password for encryption of the task files.
    auto* note = named(new QLabel(QStringLiteral("The password guards this program's window only; "
                                                 "your task files are not encrypted."),
                                  this),
                       QStringLiteral("lblNote"));
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please enter the password"), this));
    layout->addLayout(fieldRow);
    layout->addWidget(note);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons.help, &QPushButton::clicked, this,
            [this] { Q_EMIT helpRequested(QStringLiteral("startuppassword")); });
    move(100, 100);
}

QString TfmPassword::password() const
{
    return editPassword->text();
}

void TfmPassword::accept()
{
    if (passwordMatches(m_stored, editPassword->text())) {
        QDialog::accept();
        return;
    }
    // On top, so it cannot hide behind the other windows while the program waits for the password.
    Ask::message(this, QMessageBox::Critical, LanguageString(792), QMessageBox::Ok, QMessageBox::NoButton,
                 programTitle(), Qt::WindowStaysOnTopHint);
    editPassword->selectAll();
    editPassword->setFocus();
}

void TfmPassword::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // At start-up nothing else of the program is on screen: the prompt must come to the front.
    raise();
    activateWindow();
    editPassword->setFocus();
}

bool runPasswordPrompt(SettingsStore& settings, QWidget* parent)
{
    if (!settings.readBool(Settings::Other, Settings::MoreInfo, false))
        return true;
    const QString stored = settings.readString(Settings::Other, Settings::Item0);
    TfmPassword prompt(stored, parent);
    restoreFormPlacement(&prompt, settings, Settings::Forms::PasswordForm);
    const bool passed = Ask::exec(prompt) == QDialog::Accepted;
    storeFormPlacement(&prompt, settings, Settings::Forms::PasswordForm);
    if (passed && !stored.isEmpty() && !isPasswordDigest(stored))
        settings.writeString(Settings::Other, Settings::Item0, passwordStoredForm(prompt.password()));
    return passed;
}
