#pragma once

#include <QStatusBar>

class FilterLamp;
class QLabel;
class QToolButton;

// The main window's status bar: the bottom panel's show/hide button, the filter lamp, the hint,
// the task count and the project and assignee filter texts.
class TMainStatusBar final : public QStatusBar {
    Q_OBJECT
public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    void showCount(int tasks, bool filtered);
    // One line: a hint of several lines (a calendar day's) is joined.
    void showHint(const QString& hint);
    void setProjectText(const QString& text);
    void setAssigneeText(const QString& text);
    void setPanelShown(bool shown);

Q_SIGNALS:
    void panelToggleRequested();

private:
    QToolButton* btnStatusHide = nullptr;
    FilterLamp* m_lamp = nullptr;
    QLabel* m_hintPanel = nullptr;
    QLabel* m_countPanel = nullptr;
    QLabel* m_projectPanel = nullptr;
    QLabel* m_assigneePanel = nullptr;
};
