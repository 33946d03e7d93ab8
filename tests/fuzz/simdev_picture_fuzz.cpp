// The simulator's picture renderer with scene settings from outside (its registry control values,
// the capture format and the picture controls a program sets), packed into every delivered format
// and read back; and the parsers of its registry control values and its register protocol.
#include "simdev/control_values.h"
#include "simdev/picture.h"
#include "simdev/pixel_formats.h"
#include "tests/fuzz/fuzz_input.h"

using namespace lumetra;
using namespace simdev;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    SceneSettings s;
    s.width = in.Range(-4, 800);
    s.height = in.Range(-4, 640);
    s.activeLines = in.Take<int32_t>();
    s.look = static_cast<InputLook>(in.Range(0, 3));
    s.channel = in.Take<int32_t>();
    s.signal = in.Flag();
    s.mode = static_cast<SceneMode>(in.Range(0, 2));
    s.brightness = in.Take<int32_t>();
    s.contrast = in.Take<int32_t>();
    s.saturation = in.Take<int32_t>();
    const uint64_t frame = in.Take<uint64_t>();
    const PixelFormat format = static_cast<PixelFormat>(in.Range(0, 3));
    const std::string rect = in.Text(40);
    if (!ParseRect(rect, s.motion)) s.motion = Rect{in.Take<int32_t>(), in.Take<int32_t>(), in.Take<int32_t>(), in.Take<int32_t>()};
    s.inputLabel = in.Text(40);
    s.standardLabel = in.Text(40);
    const std::string channels = in.Text(60);
    const std::string profile = in.Text(20);

    Picture pic;
    RenderScene(s, frame, pic);
    if (pic.width > 0 && pic.height > 0) {
        std::vector<uint8_t> frameBytes(FrameBytes(format, pic.width, pic.height));
        WriteFrame(format, pic, frameBytes.data());
        auto luma = [&](int x, int y) {
            if (x < 0 || y < 0 || x >= pic.width || y >= pic.height) return 0;
            return LumaAt(format, frameBytes.data(), pic.width, pic.height, x, y);
        };
        uint32_t code = 0;
        // The frame code is readable on pictures of the capture sizes (at least 160 x 120; small widths
        // round its cells below what reading needs, and short pictures cut it off).
        if (s.mode == SceneMode::Moving && s.width >= 320 && s.height >= 120) {
            FUZZ_CHECK(ReadFrameCode(luma, pic.width, code));
            FUZZ_CHECK(code == (frame & 0xFFFFFF));
        }
        CountRulerTicks(luma, pic.width, pic.height);
    }

    std::vector<int> list = ParseChannelList(channels);
    for (size_t i = 1; i < list.size(); ++i) FUZZ_CHECK(list[i - 1] < list[i]);
    ContainsChannel(list, s.channel);
    ParseProfile(profile);

    RegisterFile registers;
    for (int i = 0; i < 32 && in.Left() >= 4; ++i) {
        uint8_t bytes[256] = {};
        registers.Select(in.Take<uint32_t>());
        if (in.Flag()) registers.Read(bytes);
        else registers.Write(bytes);
        registers.SetButton(in.Flag());
    }
    return 0;
}
