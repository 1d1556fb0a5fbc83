#pragma once

#include <QUrl>

#include <functional>

// A wave file player. The sound module provides it and is loaded only when the first alarm sounds:
// the audio libraries behind it add a megabyte and a half to the program and to its start-up
// time, which most sessions never use.
class SoundEffect {
public:
    virtual ~SoundEffect() = default;
    virtual QUrl source() const = 0;
    virtual void setSource(const QUrl& source) = 0;
    virtual void setLooping(bool loop) = 0;
    // Playing starts once the sound is loaded; without an audio device it stays silent.
    virtual void play() = 0;
    virtual void stop() = 0;
    // The source could not be loaded or decoded.
    virtual bool hasFailed() const = 0;
    // Called from the event loop, after the change, whenever loading moves on or fails.
    virtual void setStatusHandler(std::function<void()> handler) = 0;
};

// The module's one entry point; the caller owns the effect.
extern "C" {
using CreateSoundEffect = SoundEffect* (*)();
}
inline constexpr char CreateSoundEffectSymbol[] = "tarnwickCreateSoundEffect";

// A new effect from the sound module, loaded on the first call; null when the module is missing.
SoundEffect* createSoundEffect();
