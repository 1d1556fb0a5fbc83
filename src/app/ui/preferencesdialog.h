#pragma once

#include "app/preferences.h"
#include "core/tablefiles.h"

#include <QDialog>
#include <QHash>

class DataSet;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class SettingsStore;
class TAlarmSound;
class TOrderedCheckList;

// "Options": every preference on nine tabs, written to the settings on "&OK". The project and
// assignee lists are edited here too; renaming or deleting a name changes the task table at once,
// and the changed lists are saved whenever the dialog closes.
class TfmPreferences final : public QDialog {
    Q_OBJECT
public:
    enum Page {
        GeneralPage,
        ColorsPage,
        DisplayPage,
        EditingPage,
        CalendarPage,
        ToolbarPage,
        ProjectsPage,
        ConfirmationsPage,
        AlarmsPage,
    };

    TfmPreferences(SettingsStore& settings, DataSet& data, QWidget* parent = nullptr);
    ~TfmPreferences() override;

    void setPage(Page page);
    // The window whose position and size OK writes along with the preferences.
    void setMainWindow(const QWidget* window) { m_mainWindow = window; }

    // The toolbar page: the buttons' key texts in toolbar order with their ticks, and the layout
    // "Reset toolbar" brings back.
    struct ToolbarEntry {
        QString key;
        bool shown = true;
        bool operator==(const ToolbarEntry&) const = default;
    };
    void setToolbarList(const QList<ToolbarEntry>& list, const QList<ToolbarEntry>& defaults);
    QList<ToolbarEntry> toolbarList() const;

    // The controls' values as OK would write them, and the other way round.
    PreferenceValues values() const;
    void setValues(const PreferenceValues& values);

    // Set by the user's edits; cleared when the dialog is made.
    bool ToolbarChanged = false;
    bool ColumnsChanged = false;
    bool ProjectsChanged = false;
    bool AssigneesChanged = false;
    // Whether a rename or a delete changed the task table.
    bool tasksChanged() const { return m_tasksChanged; }
    // The name a project or assignee has now after the renames made here ("" when deleted).
    QString currentProjectName(const QString& name) const { return m_projects.currentName(name); }
    QString currentAssigneeName(const QString& name) const { return m_assignees.currentName(name); }

    void accept() override;
    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

private:
    // One of the two name lists with its buttons.
    struct NamePage {
        QString kind;   // "Project" or "Assignee"
        int column = 0; // its task-table column
        bool* changed = nullptr;
        NameList names;
        QHash<QString, QString> renamed; // a name as it was -> as it is ("" deleted)
        QListWidget* list = nullptr;
        QCheckBox* noDefault = nullptr;
        bool filling = false;

        QString currentName(const QString& name) const { return renamed.value(name, name); }
        QString selectedName() const;
        int tickedIndex() const;
        void fill(const QString& select, const QString& ticked);
    };

    QWidget* createGeneralPage();
    QWidget* createColorsPage();
    QWidget* createDisplayPage();
    QWidget* createEditingPage();
    QWidget* createCalendarPage();
    QWidget* createToolbarPage();
    QWidget* createProjectsPage();
    QWidget* createConfirmationsPage();
    QWidget* createAlarmsPage();
    QWidget* createNameBox(NamePage& page, const QString& title, const QString& prefix, const QString& noDefaultText);
    QPushButton* colorPanel(const QString& name);

    void showColor(QPushButton* panel, int color);
    void panelClick(QPushButton* panel);
    void showFont();
    void btnFontClick();
    void CheckBox4Click();
    void btnPasswordClick();
    void chkAlarmsClick();
    void btnPlayClick();
    void browseSound();
    void BitBtn1Click();
    void btnToolbarResetClick();
    void fillToolbarList(const QList<ToolbarEntry>& list);
    void newName(NamePage& page);
    void renameName(NamePage& page);
    void deleteName(NamePage& page);
    void saveChangedLists();

    SettingsStore& m_settings;
    DataSet& m_data;
    const QWidget* m_mainWindow = nullptr;
    NamePage m_projects;
    NamePage m_assignees;
    FontChoice m_font;
    QList<ToolbarEntry> m_defaultToolbar;
    bool m_tasksChanged = false;
    TAlarmSound* m_sound = nullptr;

    QTabWidget* m_tabs = nullptr;
    // General
    QRadioButton* rbIconOriginal = nullptr;
    QRadioButton* rbIconDate = nullptr;
    QCheckBox* cbShowStar = nullptr;
    QCheckBox* checkRunMin = nullptr;
    QCheckBox* chkStart = nullptr;
    QCheckBox* cbAutoLog = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QPushButton* btnPassword = nullptr;
    QWidget* rgPrompt = nullptr;
    QRadioButton* rbPromptStart = nullptr;
    QRadioButton* rbPromptActivate = nullptr;
    QCheckBox* cbCalendar = nullptr;
    // Colors
    QPushButton* panelLow = nullptr;
    QPushButton* panelMedium = nullptr;
    QPushButton* panelHigh = nullptr;
    QPushButton* panelAdvanced = nullptr;
    QPushButton* panelNo = nullptr;
    QPushButton* panelCursor = nullptr;
    QCheckBox* cbColor = nullptr;
    QCheckBox* cbCursor = nullptr;
    // Display
    QCheckBox* cbNotes = nullptr;
    QCheckBox* chkAutosize = nullptr;
    QCheckBox* cbDisplaySortMarks = nullptr;
    QCheckBox* chkHoriz = nullptr;
    QCheckBox* chkVertical = nullptr;
    QLabel* Panel1 = nullptr;
    QPushButton* btnFont = nullptr;
    TOrderedCheckList* ColList = nullptr;
    QPushButton* btnUp = nullptr;
    QPushButton* btnDown = nullptr;
    // Editing
    QComboBox* cbPriority = nullptr;
    QCheckBox* cbMoveToTop = nullptr;
    QRadioButton* rbToday = nullptr;
    QRadioButton* rbDatePlus = nullptr;
    QRadioButton* rbNoDate = nullptr;
    QSpinBox* edDatePlus = nullptr;
    // Calendar
    QComboBox* cbWeek = nullptr;
    QComboBox* cbClick = nullptr;
    // Toolbar
    TOrderedCheckList* List = nullptr;
    QPushButton* btnMoveUp = nullptr;
    QPushButton* btnMoveDown = nullptr;
    QPushButton* btnToolbarReset = nullptr;
    QCheckBox* cbToolbarWrap = nullptr;
    QCheckBox* cbToolbarFlat = nullptr;
    QCheckBox* cbToolbarCaptions = nullptr;
    QCheckBox* cbSmallFont = nullptr;
    // Confirmations
    QCheckBox* cbAskExit = nullptr;
    QCheckBox* cbAskTaskDeletion = nullptr;
    QCheckBox* cbAskDataCleanup = nullptr;
    QCheckBox* cbAskSpecialDeletion = nullptr;
    QCheckBox* cbAskSpecialChange = nullptr;
    QCheckBox* cbAskTaskCompletion = nullptr;
    // Alarms
    QCheckBox* chkAlarms = nullptr;
    QLineEdit* feSound = nullptr;
    QPushButton* btnSoundBrowse = nullptr;
    QPushButton* btnPlay = nullptr;
    QCheckBox* cbContinueSound = nullptr;
};
