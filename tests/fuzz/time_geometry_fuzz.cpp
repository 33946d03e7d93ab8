// The program's arithmetic on values from outside: time values and spans, the recording time
// limit, disk space and preallocation sums, video sizes read from formats and scaled for the video
// windows, and the geometry of progress elements, trackbar thumbs and scrolling texts.
#include <algorithm>
#include <climits>

#include "app/format.h"
#include "media/capture_settings_rules.h"
#include "media/capture_sizes.h"
#include "skin/element_logic.h"
#include "tests/fuzz/fuzz_input.h"

using namespace lumetra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int32_t a = in.Take<int32_t>(), b = in.Take<int32_t>(), c = in.Take<int32_t>(), d = in.Take<int32_t>();
    const uint64_t big1 = in.Take<uint64_t>(), big2 = in.Take<uint64_t>();

    // Times and spans.
    FormatSpan(a);
    FormatTime12(a);
    FormatLongDate(b);
    FormatHourMinute(c);
    ClockTime t{a, b, c, d, a ^ b};
    FormatTime12(t);
    FormatLongDate(t);
    FormatHourMinute(t);
    uint64_t limit = TimeLimit100ns(a, b);
    if (a > 0) FUZZ_CHECK(limit >= uint64_t(a) * 10000000u);

    // Disk space.
    int available = AvailableMegabytes(big1, big2);
    FUZZ_CHECK(available >= 0);
    FUZZ_CHECK(uint64_t(available) >= std::min<uint64_t>(big1 / 1048576, INT_MAX));
    int allowed = PreallocationLimitMB(c);
    if (c >= 0) FUZZ_CHECK(allowed >= 0 && allowed <= c);
    FUZZ_CHECK(PreallocationBytes(d) < (1ull << 32));

    // Video sizes.
    VideoSize video;
    if (VideoSizeFromFormat(a, b, video)) {
        FUZZ_CHECK(video.width > 0 && video.height > 0 && video.width <= kMaxVideoSide && video.height <= kMaxVideoSide);
        for (int command = 0; command <= 5; ++command) {
            VideoSize scaled = ScaledVideoSize(video, command);
            FUZZ_CHECK(scaled.width >= 0 && scaled.height >= 0);
        }
    }
    ScaledVideoSize({a, b}, c);
    CaptureSizeIndex(a, b);
    CaptureSizeAt(c);

    // Skin element geometry.
    const bool horizontal = d & 1;
    int value = ProgressValueFromPoint(horizontal, a, b, c, d);
    FUZZ_CHECK(value >= 0 && value <= 100);
    if (c >= 0 && d >= 0) {
        SkinRect fill = ProgressFillRect(horizontal, a, c, d);
        FUZZ_CHECK(fill.left >= 0 && fill.right <= c && fill.top >= 0 && fill.bottom <= d && fill.top <= fill.bottom);
    }
    ThumbPictureRect(horizontal, SkinRect{a / 2, b / 2, c / 2, d / 2}, int(big1 % 5000), int(big2 % 5000));
    TextScroll scroll;
    scroll.SetText(a, b);
    for (int i = 0; i < 64; ++i) {
        scroll.Tick();
        scroll.BeforePaint();
    }
    return 0;
}
