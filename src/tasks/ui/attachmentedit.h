#pragma once

#include <QLineEdit>

class QDragEnterEvent;
class QDropEvent;

// A file name box that takes the path of a file dropped on it (the first local file of the drop).
class TAttachmentEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit TAttachmentEdit(QWidget* parent = nullptr);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
