#pragma once
// The simulated audio device's sound: 16-bit PCM from a tone, a channel-dependent "programme"
// tone for a tuned TV channel, or hiss for a channel without signal. No Windows headers.
#include <cstddef>
#include <cstdint>

namespace simdev {

enum class SoundKind { Silence, Tone, Programme, Hiss };

struct SoundSettings {
    SoundKind kind = SoundKind::Tone;
    double frequency = 440.0;  // Hz, for Tone and Programme
    double level = 0.5;        // 0..1 of full scale
};

// What an input produces: line 440 Hz, microphone 1 kHz, tuner a tone per channel or hiss.
enum class SoundInput { Line, Microphone, Tuner };
SoundSettings SoundFor(SoundInput input, int channel, bool signal, double mixLevel);

class SoundGenerator {
public:
    // Fills `frames` interleaved frames of `channels` channels; the phase carries on between calls.
    void Fill(const SoundSettings& s, int sampleRate, int channels, int16_t* out, size_t frames);
    void Reset() { phase_ = 0; time_ = 0; noise_ = 0x12345678u; }

private:
    double phase_ = 0;   // 0..1 of a cycle
    double time_ = 0;    // seconds since Reset, for the programme's warble
    uint32_t noise_ = 0x12345678u;
};

}  // namespace simdev
