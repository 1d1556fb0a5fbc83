#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class SettingsStore;
class SoundEffect;

// The alarm's sound, played once or looping: the chosen wave file, or the built-in chime when no
// file is set or the file cannot be played. Without an audio device it stays silent: no error, no wait.
class TAlarmSound final : public QObject {
    Q_OBJECT
public:
    explicit TAlarmSound(QObject* parent = nullptr);
    ~TAlarmSound() override;

    // The built-in chime.
    static QUrl defaultSource();
    // What a sound file setting plays: the file when it is a readable wave file that has not failed
    // to play before, the built-in chime otherwise.
    static QUrl sourceFor(const QString& path);

    void play(const QString& path, bool loop);
    // The file of "Alarms"/"SoundFile" (default none), looping when "Alarms"/"Repeat" (default off).
    void playFromSettings(const SettingsStore& settings);
    void stop();
    // Whether a sound was started and not stopped since.
    bool isStarted() const { return m_started; }
    // What the last start plays (it moves to the built-in chime when the file turns out unplayable).
    QUrl source() const { return m_source; }
    bool isLooping() const { return m_loop; }

private:
    void start(const QUrl& source);
    void fallBackToDefault();

    std::unique_ptr<SoundEffect> m_effect;
    QUrl m_source;
    bool m_started = false;
    bool m_loop = false;
};
