#include "app/toolbarlayout.h"
#include "app/ui/mainstatusbar.h"
#include "app/ui/maintoolbar.h"
#include "app/ui/mainwindow.h"
#include "core/applanguage.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/programicons.h"

#include <QAction>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>

QAction* TfmMain::toolbarCommand(const QString& name) const
{
    // Most commands are the window's own; a few belong to a panel (the calendar's special days).
    for (QAction* action : m_commands.actions()) {
        if (action->objectName() == name)
            return action;
    }
    return findChild<QAction*>(name);
}

void TfmMain::showToolbarImagesInMenus()
{
    for (const ToolbarEntry& entry : toolbarTable()) {
        if (QAction* action = entry.isSeparator() ? nullptr : toolbarCommand(entry.command))
            action->setIcon(toolbarImage(entry.image));
    }
}

void TfmMain::BuildToolbar()
{
    const QScopedValueRollback building(m_buildingToolbar, true);
    m_toolbarBuildPending = false;
    const ToolbarButtonList list = loadToolbarList(programFolder(), m_settings);
    // The layout is rewritten so the file always lists every button; failing that only costs the
    // layout file, so the status bar says it rather than a message box at every start.
    const QString error = saveToolbarList(programFolder(), list, m_settings);
    if (!error.isEmpty())
        m_status->showHint(error);

    TMainToolbar::Look look;
    look.flat = m_settings.readBool(Settings::Toolbar, Settings::Flat, true);
    look.wrap = m_settings.readBool(Settings::Toolbar, Settings::Wrap, false);
    look.captions = m_settings.readBool(Settings::Toolbar, Settings::Captions, true);
    look.smallFont = m_settings.readBool(Settings::Toolbar, Settings::SmallFont, true);
    m_toolbar->reset(look);
    for (int i = 0; i < ToolbarEntryCount; ++i) {
        if (!list.shown[i])
            continue;
        if (list.keys[i] == toolbarSeparatorKey()) {
            m_toolbar->addSeparator();
            continue;
        }
        const ToolbarEntry* entry = toolbarEntryForKey(list.keys[i]);
        if (entry == nullptr)
            continue;
        auto* button = new QAction(toolbarImage(entry->image), entry->caption, m_toolbar);
        button->setToolTip(hintTip(entry->hint()));
        button->setStatusTip(hintStatus(entry->hint()));
        // A command whose window the program does not have yet keeps its place, greyed, with its hint.
        QAction* command = toolbarCommand(entry->command);
        button->setEnabled(command != nullptr && command->isEnabled());
        if (command != nullptr) {
            connect(command, &QAction::enabledChanged, button, &QAction::setEnabled);
            connect(button, &QAction::triggered, command, &QAction::trigger);
        }
        m_toolbar->addButton(button, entry->name);
    }
    updateToolbarShowChecked();
}

void TfmMain::updateToolbarShowChecked()
{
    if (m_toolbar == nullptr)
        return;
    const ToolbarEntry* entry = toolbarEntryForKey(QStringLiteral("View-Show completed"));
    const bool shown = m_view.ShowCompleted;
    const QString hint = shown ? entry->hint() : LanguageString(189);
    const QIcon image = toolbarImage(shown ? 17 : 23);
    command(u"miShowChecked")->setIcon(image);
    for (QToolButton* button : m_toolbar->findChildren<QToolButton*>(entry->name)) {
        QAction* action = button->defaultAction();
        action->setIcon(image);
        action->setToolTip(hintTip(hint));
        action->setStatusTip(hintStatus(hint));
    }
}

void TfmMain::toolbarSettingsChanged(const QString& section)
{
    if (m_buildingToolbar || m_toolbarBuildPending || !m_startUpDone)
        return;
    if (section.compare(Settings::Toolbar, Qt::CaseInsensitive) != 0 &&
        section.compare(Settings::ToolbarButtons, Qt::CaseInsensitive) != 0)
        return;
    // Several sections change together when the preferences are confirmed: one build for all.
    m_toolbarBuildPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_toolbarBuildPending)
            BuildToolbar();
    });
}
