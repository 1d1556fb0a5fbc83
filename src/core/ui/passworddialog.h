#pragma once

#include <QDialog>

class QLineEdit;
class QShowEvent;
class SettingsStore;

// The password prompt: OK closes only when the typed text is the stored password; a wrong one
// says so and lets the user try again, as often as needed.
class TfmPassword final : public QDialog {
    Q_OBJECT
public:
    // `stored` is Other/Item0 as it stands: a digest, an old scrambled password or "".
    explicit TfmPassword(const QString& stored, QWidget* parent = nullptr);

    QString password() const;
    void accept() override;

Q_SIGNALS:
    void helpRequested(const QString& topic);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString m_stored;
    QLineEdit* editPassword = nullptr;
};

// Asks the password when protection is on (Other/MoreInfo) and returns whether the window may
// open; true at once when protection is off. An old scrambled password is replaced by its digest
// once the right password has been typed.
bool runPasswordPrompt(SettingsStore& settings, QWidget* parent);
