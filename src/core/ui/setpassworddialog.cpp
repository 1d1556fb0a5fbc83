#include "core/ui/setpassworddialog.h"

#include "core/applanguage.h"
#include "core/password.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/ask.h"
#include "core/ui/widgetnames.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfmSetPassword::TfmSetPassword(const QString& stored, QWidget* parent) : QDialog(parent), m_stored(stored)
{
    setObjectName(QStringLiteral("TfmSetPassword"));
    setWindowTitle(QStringLiteral("Password setup"));

    const auto field = [this](const char* name) {
        auto* edit = named(new QLineEdit(this), QString::fromLatin1(name));
        edit->setEchoMode(QLineEdit::Password);
        edit->setMinimumWidth(180);
        return edit;
    };
    editOld = field("editOld");
    editNew = field("editNew");
    editConfirm = field("editConfirm");
    // Without a stored password there is no old one to type: the field looks like the dialog's face.
    const bool hasPassword = !stored.isEmpty();
    editOld->setEnabled(hasPassword);
    if (!hasPassword) {
        QPalette face = editOld->palette();
        face.setColor(QPalette::Disabled, QPalette::Base, face.color(QPalette::Active, QPalette::Button));
        editOld->setPalette(face);
    }

    const DialogButtons buttons = okCancelHelpRow(this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Old password:"), editOld);
    fields->addRow(QStringLiteral("New password:"), editNew);
    fields->addRow(QStringLiteral("Confirm new password:"), editConfirm);
    auto* note = named(new QLabel(QStringLiteral("The password is asked before the program's window opens. "
                                                 "It does not encrypt your task files: anyone who can read "
                                                 "your files can still read your tasks."),
                                  this),
                       QStringLiteral("lblNote"));
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please enter the new password"), this));
    layout->addLayout(fields);
    layout->addWidget(note);
    layout->addLayout(buttons.row);
    setFixedWidth(sizeHint().width());

    connect(buttons.help, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("setpassword")); });
}

QString TfmSetPassword::newPassword() const
{
    return editNew->text();
}

void TfmSetPassword::accept()
{
    const auto refuse = [this](int message, QLineEdit* field) {
        Ask::critical(this, LanguageString(message), windowTitle());
        field->selectAll();
        field->setFocus();
    };
    if (editOld->isEnabled() && !passwordMatches(m_stored, editOld->text()))
        return refuse(783, editOld);
    if (editNew->text().size() < 5)
        return refuse(784, editNew);
    if (editNew->text() != editConfirm->text())
        return refuse(785, editConfirm);
    QDialog::accept();
}

void TfmSetPassword::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    (editOld->isEnabled() ? editOld : editNew)->setFocus();
}

bool runSetPassword(SettingsStore& settings, QWidget* parent)
{
    TfmSetPassword dialog(settings.readString(Settings::Other, Settings::Item0), parent);
    if (Ask::exec(dialog) != QDialog::Accepted)
        return false;
    if (!settings.writeString(Settings::Other, Settings::Item0, passwordStoredForm(dialog.newPassword()))) {
        Ask::critical(parent, settings.lastError());
        return false;
    }
    return true;
}
