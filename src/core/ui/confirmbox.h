#pragma once

#include <QDialog>
#include <QLatin1String>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class SettingsStore;

// The confirmation that the user can switch off: Yes, No (default and cancel) and "Don't ask
// this question again", which writes the controlling setting when the box closes.
class TfmConfirm final : public QDialog {
    Q_OBJECT
public:
    enum class Answer { None, Yes, No };

    TfmConfirm(SettingsStore& settings, const QString& message, QLatin1String section, QLatin1String value,
               QWidget* parent = nullptr);

    Answer answer() const { return m_answer; }

    // True when the question is switched off, else whether the user answered Yes.
    static bool ask(QWidget* parent, SettingsStore& settings, const QString& message, QLatin1String section,
                    QLatin1String value);

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    SettingsStore& m_settings;
    QLatin1String m_section;
    QLatin1String m_value;
    Answer m_answer = Answer::None;
    QLabel* m_message = nullptr;
    QCheckBox* m_ask = nullptr;
    QPushButton* m_yes = nullptr;
    QPushButton* m_no = nullptr;
};
