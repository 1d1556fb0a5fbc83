#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The bottom panel's left side: the notes of the selected task, editable in place, and its
// attached file with the button that opens it.
class TNotesPane final : public QWidget {
    Q_OBJECT
public:
    explicit TNotesPane(QWidget* parent = nullptr);

    // Shows a notes cell; read-only while no task is shown.
    void showNotes(const QString& notesCell, bool readOnly);
    // The edited notes as a cell, when they were changed since shown; they then count as stored.
    bool takeEditedNotes(QString* notesCell);
    // fromSelection: the task was just selected (the hint says so).
    void showAttachment(const QString& path, bool fromSelection);
    QString attachment() const;
    // The hide button's arrow and hint follow whether the panel is shown.
    void setPanelShown(bool shown);
    QPlainTextEdit* notesMemo() const { return memoPreview; }

Q_SIGNALS:
    void notesLeft(); // the notes box lost the focus: the edit goes to the task
    void hideRequested();
    void runAttachmentRequested();
    void attachmentMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* memoPreview = nullptr;
    QLineEdit* edAttach = nullptr;
    QToolButton* btnHide = nullptr;
    QToolButton* btnRunAttachment = nullptr;
};
