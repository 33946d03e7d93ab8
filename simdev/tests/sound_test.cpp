#include "simdev/sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace simdev {
namespace {

int ZeroCrossings(const std::vector<int16_t>& s, int channels) {
    int n = 0;
    for (size_t i = static_cast<size_t>(channels); i < s.size(); i += static_cast<size_t>(channels))
        n += (s[i - static_cast<size_t>(channels)] < 0) != (s[i] < 0);
    return n;
}

int Peak(const std::vector<int16_t>& s) {
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

TEST(Sound, LineToneHasItsFrequencyAndLevel) {
    SoundGenerator g;
    std::vector<int16_t> buffer(48000 * 2);
    g.Fill(SoundFor(SoundInput::Line, 0, true, 1.0), 48000, 2, buffer.data(), 48000);
    EXPECT_NEAR(ZeroCrossings(buffer, 2), 880, 4);  // 440 Hz: two crossings a cycle
    EXPECT_NEAR(Peak(buffer), 16384, 200);          // half of full scale
    for (size_t i = 0; i < buffer.size(); i += 2) ASSERT_EQ(buffer[i], buffer[i + 1]);
}

TEST(Sound, PhaseContinuesAcrossBuffers) {
    SoundGenerator whole, parts;
    SoundSettings s = SoundFor(SoundInput::Microphone, 0, true, 1.0);
    std::vector<int16_t> a(1000), b(1000);
    whole.Fill(s, 8000, 1, a.data(), 1000);
    parts.Fill(s, 8000, 1, b.data(), 400);
    parts.Fill(s, 8000, 1, b.data() + 400, 600);
    for (size_t i = 0; i < a.size(); ++i) ASSERT_NEAR(a[i], b[i], 1) << i;
}

TEST(Sound, TunerChannelsSoundDifferentAndNoSignalHisses) {
    SoundGenerator g;
    std::vector<int16_t> ch2(44100), ch10(44100), none(44100);
    g.Fill(SoundFor(SoundInput::Tuner, 2, true, 1.0), 44100, 1, ch2.data(), ch2.size());
    g.Reset();
    g.Fill(SoundFor(SoundInput::Tuner, 10, true, 1.0), 44100, 1, ch10.data(), ch10.size());
    g.Reset();
    g.Fill(SoundFor(SoundInput::Tuner, 3, false, 1.0), 44100, 1, none.data(), none.size());
    EXPECT_NEAR(ZeroCrossings(ch2, 1), 2 * 350, 10);
    EXPECT_NEAR(ZeroCrossings(ch10, 1), 2 * 550, 10);
    // Hiss crosses zero far more often than any tone, and quietly.
    EXPECT_GT(ZeroCrossings(none, 1), 10000);
    EXPECT_LT(Peak(none), 5000);
}

TEST(Sound, MixLevelScalesAndSilenceIsSilent) {
    SoundGenerator g;
    std::vector<int16_t> quiet(4800), silent(4800, 7);
    g.Fill(SoundFor(SoundInput::Line, 0, true, 0.25), 48000, 1, quiet.data(), quiet.size());
    EXPECT_NEAR(Peak(quiet), 4096, 100);
    SoundSettings s;
    s.kind = SoundKind::Silence;
    g.Fill(s, 48000, 1, silent.data(), silent.size());
    EXPECT_EQ(Peak(silent), 0);
}

}  // namespace
}  // namespace simdev
