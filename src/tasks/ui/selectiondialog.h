#pragma once

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;
class SettingsStore;

// "Filter": all three view filters at once. Any set of projects and assignees can be ticked,
// by hand or by a wildcard; "Don't care" switches a name filter off; the deadline rule is one of
// the deadline menu's. The "Don't care" boxes, the deadline choice and the position come back
// from the form settings; the ticks never do.
class TfmSelection final : public QDialog {
    Q_OBJECT
public:
    TfmSelection(SettingsStore& settings, const QStringList& projects, const QStringList& assignees,
                 QWidget* parent = nullptr);

    // The result, valid after the dialog was accepted.
    // Empty when "Don't care"; otherwise the ticked names in list order, or the single empty
    // name when none is ticked (only tasks without a name pass).
    QStringList projectFilter() const { return m_projectFilter; }
    QStringList assigneeFilter() const { return m_assigneeFilter; }
    bool projectDontCare() const { return m_projectDontCare; }
    bool assigneeDontCare() const { return m_assigneeDontCare; }
    // The deadline rule 0..7 (DeadlineRule of tasks/taskview.h).
    int deadlineRule() const { return m_deadlineRule; }
    // "Projects: All" / "Projects: Custom" and "Assignee: All" / "Assignee: Custom".
    QString projectStatusText() const;
    QString assigneeStatusText() const;

    void accept() override;
    void done(int result) override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyMask(QListWidget* list, const QLineEdit* mask);
    void applyDontCare(const QCheckBox* dontCare, QListWidget* list, QLineEdit* mask, QToolButton* maskButton);
    void resetFilter();
    static QStringList chosenNames(const QCheckBox* dontCare, const QListWidget* list);

    SettingsStore& m_settings;
    QButtonGroup* rgDate = nullptr;
    QListWidget* clProjects = nullptr;
    QListWidget* clAssignees = nullptr;
    QCheckBox* cbProject = nullptr;
    QCheckBox* cbAssignee = nullptr;
    QLineEdit* edMaskProject = nullptr;
    QLineEdit* edMaskAssignee = nullptr;
    QToolButton* btnMaskProject = nullptr;
    QToolButton* btnMaskAssignee = nullptr;

    QStringList m_projectFilter;
    QStringList m_assigneeFilter;
    bool m_projectDontCare = false;
    bool m_assigneeDontCare = false;
    int m_deadlineRule = 0;
};
