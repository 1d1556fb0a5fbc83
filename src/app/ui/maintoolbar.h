#pragma once

#include <QFrame>

class QAction;
class QToolButton;
class TToolbarFlowLayout;

// The main window's toolbar above the task list: buttons and 8-pixel separators, rebuilt from
// scratch whenever its layout or look changes.
class TMainToolbar final : public QFrame {
    Q_OBJECT
public:
    struct Look {
        bool flat = true;
        bool wrap = false;
        bool captions = true;
        bool smallFont = true;
    };

    explicit TMainToolbar(QWidget* parent = nullptr);

    // Removes every button and separator and takes the look for the ones added next.
    void reset(const Look& look);
    // A button showing the action (its caption, picture, tooltip and status text), named `name`.
    QToolButton* addButton(QAction* action, const QString& name);
    void addSeparator();

private:
    TToolbarFlowLayout* m_layout = nullptr;
    Look m_look;
};
