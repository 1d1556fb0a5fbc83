#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;
class SettingsStore;

// The alarm's wave file, played once or looping. Without a file, with a missing or unreadable
// file, or without an audio device it stays silent: no error, no wait.
class TAlarmSound final : public QObject {
    Q_OBJECT
public:
    explicit TAlarmSound(QObject* parent = nullptr);
    ~TAlarmSound() override;

    // Starts the file; false when there is nothing to play (the sound then stays silent).
    bool play(const QString& path, bool loop);
    // The file of "Alarms"/"SoundFile" (default none), looping when "Alarms"/"Repeat" (default off).
    bool playFromSettings(const SettingsStore& settings);
    void stop();
    // Whether a sound was started and not stopped since.
    bool isStarted() const { return m_started; }

private:
    QSoundEffect* m_effect = nullptr; // made only when there is a file to play
    bool m_started = false;
};
