#pragma once

#include <QDialog>

class QLineEdit;
class QShowEvent;

// "Project name": asks for the name of a new project or assignee. The caller sets the caption and
// decides what to do with the name; OK refuses an empty name.
class TfmProjName final : public QDialog {
    Q_OBJECT
public:
    explicit TfmProjName(QWidget* parent = nullptr);

    QString name() const;
    void setName(const QString& name);

    void accept() override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* editName = nullptr;
};
