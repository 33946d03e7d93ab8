#pragma once
// The simulated camera's picture: a deterministic test scene rendered into full-resolution
// Y, U and V planes (BT.601 studio range), before it is packed into a delivered video format.
// No Windows headers: this file is built and unit-tested natively as well.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace simdev {

// What moves in the scene.
enum class SceneMode {
    Moving = 0,        // bouncing square, frame counter and frame code change every frame
    Still = 1,         // nothing changes from frame to frame
    MotionInRect = 2,  // a small square moves inside `motion` only; everything else is still
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// The lower band of the scene, one per kind of input, so that routing shows in the picture.
enum class InputLook { Composite = 0, SVideo = 1, Tuner = 2, Camera = 3 };

struct SceneSettings {
    int width = 640;
    int height = 480;
    int activeLines = 480;        // lines of the analog standard (480, 576); 0 for a progressive camera
    InputLook look = InputLook::Composite;
    std::string inputLabel = "COMPOSITE";   // first label line
    std::string standardLabel = "NTSC_M";   // second label line, before the size; may be empty
    int channel = 0;              // tuner channel: rotates the colour bars and sizes the checkerboard
    bool signal = true;           // false: snow with a "NO SIGNAL" label
    SceneMode mode = SceneMode::Moving;
    Rect motion;                  // used by SceneMode::MotionInRect, in pixels of the picture
    // Picture controls: brightness 0..255 (128 neutral), contrast and saturation in percent (100 neutral).
    int brightness = 128;
    int contrast = 100;
    int saturation = 100;
    // The camera's exposure in percent (100 neutral): it scales the picture's light.
    int exposure = 100;
};

// A picture with three full-resolution planes.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> y, u, v;
    void Resize(int w, int h);
    uint8_t Y(int x, int yy) const { return y[static_cast<size_t>(yy) * width + x]; }
    uint8_t U(int x, int yy) const { return u[static_cast<size_t>(yy) * width + x]; }
    uint8_t V(int x, int yy) const { return v[static_cast<size_t>(yy) * width + x]; }
};

struct Yuv { uint8_t y, u, v; };
struct Rgb { uint8_t r, g, b; };
Yuv ToYuv(Rgb c);
Rgb ToRgb(Yuv c);

// Renders frame number `frame` of the scene.
void RenderScene(const SceneSettings& s, uint64_t frame, Picture& out);

// Geometry of the overlays, shared with the code that reads pictures back.
int TextScale(int width);                       // pixel size of one font dot
int FrameCodeCell(int width);                   // side of one frame-code cell
Rect FrameCodeRect(int width);                  // where the 24-bit frame code sits (top right)
Rect LabelRect(int width, int line);            // the black box behind label line 0, 1 or 2
Rect MovingSquareRect(const SceneSettings& s, uint64_t frame);  // empty in Still mode
constexpr int kFrameCodeBits = 24;

// Reads the frame code back from any luma source (for example a delivered YUY2 or I420 frame).
// Returns false when the cells are not clearly black or white.
bool ReadFrameCode(const std::function<int(int x, int y)>& luma, int width, uint32_t& value);

// Counts the tick marks of the line ruler at the left edge: one per 48 lines of the standard.
int CountRulerTicks(const std::function<int(int x, int y)>& luma, int width, int height);

// Draws text with the built-in 5x7 font (upper case, digits and a few signs); returns its width.
int DrawText(Picture& pic, int x, int y, const std::string& text, int scale, Yuv colour);
int TextWidth(const std::string& text, int scale);

}  // namespace simdev
