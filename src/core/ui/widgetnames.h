#pragma once

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QString>
#include <QWidget>

// Windows name their controls and commands so that settings, tests and help can find them.

template <typename T> T* named(T* object, const QString& name)
{
    object->setObjectName(name);
    return object;
}

// A named command with an optional shortcut and status-bar text.
inline QAction* makeAction(QObject* parent, const QString& objectName, const QString& text,
                           const QKeySequence& key = {}, const QString& statusTip = {})
{
    auto* action = named(new QAction(text, parent), objectName);
    if (!key.isEmpty())
        action->setShortcut(key);
    if (!statusTip.isEmpty())
        action->setStatusTip(statusTip);
    return action;
}

// Whether the program has a help window to open topics in. Until it has, help buttons stay out of
// sight rather than offer a click that does nothing.
inline bool helpWindowAvailable()
{
    return false;
}

// A dialog's help button: built and connected to its topic, shown once a help window exists.
inline void offerHelpButton(QWidget* button)
{
    button->setVisible(helpWindowAvailable());
}

// A dialog's bottom row: OK (the default, accepts), Cancel (rejects) and Help, at the right. The
// dialog connects Help to its own topic.
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
    QHBoxLayout* row = nullptr;
};
inline DialogButtons okCancelHelpRow(QDialog* dialog, const QString& okText = QStringLiteral("OK"),
                                     const QString& cancelText = QStringLiteral("Cancel"),
                                     const QString& helpText = QStringLiteral("Help"))
{
    DialogButtons buttons;
    buttons.ok = named(new QPushButton(okText, dialog), QStringLiteral("btnOK"));
    buttons.ok->setDefault(true);
    buttons.cancel = named(new QPushButton(cancelText, dialog), QStringLiteral("btnCancel"));
    buttons.help = named(new QPushButton(helpText, dialog), QStringLiteral("btnHelp"));
    offerHelpButton(buttons.help);
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    buttons.row->addWidget(buttons.help);
    QObject::connect(buttons.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}
