#include "simdev/sound.h"

#include <cmath>

namespace simdev {

SoundSettings SoundFor(SoundInput input, int channel, bool signal, double mixLevel) {
    SoundSettings s;
    s.level = 0.5 * (mixLevel < 0 ? 0 : (mixLevel > 1 ? 1 : mixLevel));
    switch (input) {
    case SoundInput::Line: s.kind = SoundKind::Tone; s.frequency = 440.0; break;
    case SoundInput::Microphone: s.kind = SoundKind::Tone; s.frequency = 1000.0; break;
    case SoundInput::Tuner:
        if (signal) {
            s.kind = SoundKind::Programme;
            s.frequency = 300.0 + 25.0 * channel;
        } else {
            s.kind = SoundKind::Hiss;
            s.level *= 0.25;
        }
        break;
    }
    return s;
}

void SoundGenerator::Fill(const SoundSettings& s, int sampleRate, int channels, int16_t* out, size_t frames) {
    const double kTwoPi = 6.283185307179586;
    const double step = sampleRate > 0 ? s.frequency / sampleRate : 0;
    const double dt = sampleRate > 0 ? 1.0 / sampleRate : 0;
    for (size_t i = 0; i < frames; ++i) {
        double value = 0;
        switch (s.kind) {
        case SoundKind::Silence: break;
        case SoundKind::Tone: value = std::sin(kTwoPi * phase_); break;
        case SoundKind::Programme:
            // A tone whose loudness swells three times a second, like speech over a carrier.
            value = std::sin(kTwoPi * phase_) * (0.6 + 0.4 * std::sin(kTwoPi * 3.0 * time_));
            break;
        case SoundKind::Hiss:
            noise_ ^= noise_ << 13;
            noise_ ^= noise_ >> 17;
            noise_ ^= noise_ << 5;
            value = (static_cast<double>(noise_ % 65536) / 32768.0) - 1.0;
            break;
        }
        phase_ += step;
        phase_ -= std::floor(phase_);
        time_ += dt;
        const int16_t sample = static_cast<int16_t>(std::lround(value * s.level * 32767.0));
        for (int c = 0; c < channels; ++c) *out++ = sample;
    }
}

}  // namespace simdev
