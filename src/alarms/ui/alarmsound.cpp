#include "alarms/ui/alarmsound.h"

#include "core/settingsnames.h"
#include "core/settingsstore.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

TAlarmSound::TAlarmSound(QObject* parent) : QObject(parent) {}

TAlarmSound::~TAlarmSound()
{
    stop();
}

bool TAlarmSound::play(const QString& path, bool loop)
{
    stop();
    // A source that fails to load can leave the next effect with the same file stuck loading,
    // so only files that can be read are handed over at all.
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isReadable() || file.size() == 0)
        return false;
    if (m_effect == nullptr)
        m_effect = new QSoundEffect(this);
    const QUrl source = QUrl::fromLocalFile(file.absoluteFilePath());
    if (m_effect->source() != source)
        m_effect->setSource(source);
    m_effect->setLoopCount(loop ? int(QSoundEffect::Infinite) : 1);
    // Playing starts once the file is loaded; nothing here waits for it, and without an audio
    // device the effect simply stays silent.
    m_effect->play();
    m_started = true;
    return true;
}

bool TAlarmSound::playFromSettings(const SettingsStore& settings)
{
    return play(settings.readString(Settings::Alarms, Settings::SoundFile),
                settings.readBool(Settings::Alarms, Settings::Repeat, false));
}

void TAlarmSound::stop()
{
    if (m_effect != nullptr)
        m_effect->stop();
    m_started = false;
}
