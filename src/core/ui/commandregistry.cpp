#include "core/ui/commandregistry.h"

#include <QMenu>
#include <QMenuBar>
#include <QWidget>

QString hintTip(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString hintStatus(const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QAction* CommandRegistry::add(Command command)
{
    Q_ASSERT(indexOf(command.name) < 0);
    auto* action = new QAction(command.icon, command.caption, m_owner);
    action->setObjectName(command.name);
    action->setShortcuts(command.shortcuts);
    if (!command.hint.isEmpty()) {
        action->setToolTip(hintTip(command.hint));
        action->setStatusTip(hintStatus(command.hint));
    }
    action->setCheckable(command.checkable);
    if (command.handler)
        QObject::connect(action, &QAction::triggered, m_owner, command.handler);
    m_entries.push_back({std::move(command), action});
    return action;
}

void CommandRegistry::add(std::initializer_list<Command> commands)
{
    for (const Command& command : commands)
        add(command);
}

int CommandRegistry::indexOf(QStringView name) const
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].command.name == name)
            return int(i);
    }
    return -1;
}

QAction* CommandRegistry::action(QStringView name) const
{
    const int index = indexOf(name);
    if (index < 0)
        qFatal("no command %s", qPrintable(name.toString()));
    return m_entries[size_t(index)].action;
}

const Command& CommandRegistry::command(QStringView name) const
{
    const int index = indexOf(name);
    if (index < 0)
        qFatal("no command %s", qPrintable(name.toString()));
    return m_entries[size_t(index)].command;
}

QList<QAction*> CommandRegistry::actions() const
{
    QList<QAction*> all;
    for (const Entry& e : m_entries)
        all.append(e.action);
    return all;
}

void CommandRegistry::fill(QMenu* menu, const QStringList& names) const
{
    for (const QString& name : names) {
        if (name == u"-")
            menu->addSeparator();
        else
            menu->addAction(action(name));
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { updateEnabled(); });
}

QMenu* CommandRegistry::addMenu(QMenuBar* bar, const QString& objectName, const QString& caption,
                                const QStringList& names) const
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(objectName);
    fill(menu, names);
    return menu;
}

void CommandRegistry::updateEnabled() const
{
    for (const Entry& e : m_entries) {
        if (e.command.enabled)
            e.action->setEnabled(e.command.enabled());
    }
}
