// The sound module: the program loads it when it first plays a sound.
#include "alarms/ui/soundeffect.h"

#include <QSoundEffect>

namespace {

class QtSoundEffect final : public SoundEffect {
public:
    QtSoundEffect()
    {
        // Queued: the effect is still inside its own status change when it reports an error.
        QObject::connect(
            &m_effect, &QSoundEffect::statusChanged, &m_effect,
            [this] {
                if (m_handler)
                    m_handler();
            },
            Qt::QueuedConnection);
    }
    QUrl source() const override { return m_effect.source(); }
    void setSource(const QUrl& source) override { m_effect.setSource(source); }
    void setLooping(bool loop) override { m_effect.setLoopCount(loop ? int(QSoundEffect::Infinite) : 1); }
    void play() override { m_effect.play(); }
    void stop() override { m_effect.stop(); }
    bool hasFailed() const override { return m_effect.status() == QSoundEffect::Error; }
    void setStatusHandler(std::function<void()> handler) override { m_handler = std::move(handler); }

private:
    QSoundEffect m_effect;
    std::function<void()> m_handler;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundEffect* tarnwickCreateSoundEffect()
{
    return new QtSoundEffect();
}
