#pragma once

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;
class QMenuBar;
class QWidget;

// Hints are "tooltip|status text"; a hint without "|" is both.
QString hintTip(const QString& hint);
QString hintStatus(const QString& hint);

// One command of a window, as its menus, its toolbar and the window's translation read it.
struct Command {
    QString name;    // the action's object name
    QString caption; // menu text with its "&" accelerator
    QList<QKeySequence> shortcuts = {}; // the first is the one the menu shows
    QString hint = {};
    QIcon icon = {};
    std::function<void()> handler = {};
    std::function<bool()> enabled = {}; // asked before a menu that holds the command opens
    bool checkable = false;
};

// The commands of a window, made once from a table; menus are built from lists of their names.
class CommandRegistry final {
public:
    explicit CommandRegistry(QWidget* owner) : m_owner(owner) {}

    QAction* add(Command command);
    void add(std::initializer_list<Command> commands);
    // The action of that name; a missing name is a programming error.
    QAction* action(QStringView name) const;
    const Command& command(QStringView name) const;
    QList<QAction*> actions() const;

    // Adds the named commands to the menu, "-" adding a separator.
    void fill(QMenu* menu, const QStringList& names) const;
    QMenu* addMenu(QMenuBar* bar, const QString& objectName, const QString& caption, const QStringList& names) const;
    // Applies every enabled rule.
    void updateEnabled() const;

private:
    struct Entry {
        Command command;
        QAction* action;
    };
    int indexOf(QStringView name) const;

    QWidget* m_owner;
    std::vector<Entry> m_entries;
};
