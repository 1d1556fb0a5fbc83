#pragma once

#include <QAction>
#include <QKeySequence>
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
