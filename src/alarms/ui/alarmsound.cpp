#include "alarms/ui/alarmsound.h"

#include "alarms/ui/soundeffect.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace {

// Files that failed to decode in this run, by path, size and time, so they are not tried again: a
// second effect with a source that failed before can stay stuck loading and would never fall back.
QSet<QString>& failedFiles()
{
    static QSet<QString> files;
    return files;
}

QString fileKey(const QFileInfo& file)
{
    return file.absoluteFilePath() + u'|' + QString::number(file.size()) + u'|' +
           QString::number(file.lastModified().toMSecsSinceEpoch());
}

bool looksLikeWave(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && (head.startsWith("RIFF") || head.startsWith("RIFX")) && head.endsWith("WAVE");
}

} // namespace

SoundEffect* createSoundEffect()
{
    static const CreateSoundEffect create = [] {
        // Beside the program; a program run from its build folder (tests, benchmarks) finds it there.
        for (const QString& path :
             {QString(QCoreApplication::applicationDirPath() + QStringLiteral("/" TARNWICK_SOUND_MODULE_NAME)),
              QStringLiteral(TARNWICK_SOUND_MODULE_PATH)}) {
            QLibrary module(path);
            if (const auto entry = reinterpret_cast<CreateSoundEffect>(module.resolve(CreateSoundEffectSymbol)))
                return entry;
        }
        qWarning("The sound module %s was not found: alarms stay silent.", TARNWICK_SOUND_MODULE_NAME);
        return CreateSoundEffect(nullptr);
    }();
    return create != nullptr ? create() : nullptr;
}

TAlarmSound::TAlarmSound(QObject* parent) : QObject(parent) {}

TAlarmSound::~TAlarmSound()
{
    stop();
}

QUrl TAlarmSound::defaultSource()
{
    return QUrl(u"qrc:/sound/alarm.wav"_s);
}

QUrl TAlarmSound::sourceFor(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || failedFiles().contains(fileKey(file)) || !looksLikeWave(path))
        return defaultSource();
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

void TAlarmSound::play(const QString& path, bool loop)
{
    stop();
    m_loop = loop;
    start(sourceFor(path));
}

void TAlarmSound::playFromSettings(const SettingsStore& settings)
{
    play(settings.readString(Settings::Alarms, Settings::SoundFile),
         settings.readBool(Settings::Alarms, Settings::Repeat, false));
}

void TAlarmSound::start(const QUrl& source)
{
    m_source = source;
    m_started = true;
    if (m_effect == nullptr) {
        m_effect.reset(createSoundEffect());
        if (m_effect == nullptr)
            return;
        m_effect->setStatusHandler([this] { fallBackToDefault(); });
    }
    if (m_effect->source() != source)
        m_effect->setSource(source);
    m_effect->setLooping(m_loop);
    // Playing starts once the sound is loaded; nothing here waits for it, and without an audio
    // device the effect simply stays silent.
    m_effect->play();
}

void TAlarmSound::fallBackToDefault()
{
    if (!m_effect->hasFailed() || m_effect->source() == defaultSource())
        return;
    failedFiles().insert(fileKey(QFileInfo(m_effect->source().toLocalFile())));
    if (m_started)
        start(defaultSource());
}

void TAlarmSound::stop()
{
    if (m_effect != nullptr)
        m_effect->stop();
    m_started = false;
}
