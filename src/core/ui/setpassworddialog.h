#pragma once

#include <QDialog>

class QLineEdit;
class QShowEvent;
class SettingsStore;

// "Password setup": a new password of at least 5 characters, typed twice; while a password is
// stored, the old one must be typed first.
class TfmSetPassword final : public QDialog {
    Q_OBJECT
public:
    // `stored` is Other/Item0 as it stands: a digest, an old scrambled password or "" (no password,
    // so no old password is asked).
    explicit TfmSetPassword(const QString& stored, QWidget* parent = nullptr);

    QString newPassword() const;
    void accept() override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString m_stored;
    QLineEdit* editOld = nullptr;
    QLineEdit* editNew = nullptr;
    QLineEdit* editConfirm = nullptr;
};

// Shows the setup window and, on OK, writes the new password's stored form (a salted digest) to
// Other/Item0 at once. True when the new password was stored; a failed write is shown to the user
// and gives false.
bool runSetPassword(SettingsStore& settings, QWidget* parent);
