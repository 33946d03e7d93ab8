#include "simdev/picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

namespace simdev {
namespace {

SceneSettings Composite(int w = 320, int h = 240) {
    SceneSettings s;
    s.width = w;
    s.height = h;
    return s;
}

std::function<int(int, int)> LumaOf(const Picture& p) {
    return [&p](int x, int y) { return static_cast<int>(p.Y(x, y)); };
}

double MeanLuma(const Picture& p, Rect r) {
    double sum = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) sum += p.Y(x, y);
    return sum / (static_cast<double>(r.Width()) * r.Height());
}

int DifferingPixels(const Picture& a, const Picture& b, Rect* bounds = nullptr) {
    int count = 0;
    Rect box{a.width, a.height, 0, 0};
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.Y(x, y) != b.Y(x, y) || a.U(x, y) != b.U(x, y) || a.V(x, y) != b.V(x, y)) {
                ++count;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    if (bounds) *bounds = box;
    return count;
}

TEST(Scene, SameFrameRendersIdentically) {
    Picture a, b;
    RenderScene(Composite(), 42, a);
    RenderScene(Composite(), 42, b);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.u, b.u);
    EXPECT_EQ(a.v, b.v);
}

TEST(Scene, FrameCodeCarriesTheFrameNumberAtEverySize) {
    const int sizes[][2] = {{160, 120}, {176, 144}, {320, 240}, {352, 240}, {352, 288}, {640, 480}, {720, 480}};
    for (auto& size : sizes) {
        Picture p;
        RenderScene(Composite(size[0], size[1]), 123456, p);
        uint32_t code = 0;
        ASSERT_TRUE(ReadFrameCode(LumaOf(p), p.width, code)) << size[0] << "x" << size[1];
        EXPECT_EQ(code, 123456u) << size[0] << "x" << size[1];
    }
}

TEST(Scene, MovingSceneChangesBetweenFrames) {
    Picture a, b;
    RenderScene(Composite(), 10, a);
    RenderScene(Composite(), 11, b);
    EXPECT_GT(DifferingPixels(a, b), 100);
}

TEST(Scene, StillSceneDoesNotChange) {
    SceneSettings s = Composite();
    s.mode = SceneMode::Still;
    Picture a, b;
    RenderScene(s, 10, a);
    RenderScene(s, 500, b);
    EXPECT_EQ(DifferingPixels(a, b), 0);
    uint32_t code;
    EXPECT_FALSE(ReadFrameCode(LumaOf(a), a.width, code) && code == 10u);
}

TEST(Scene, MotionInRectangleStaysInsideIt) {
    SceneSettings s = Composite();
    s.mode = SceneMode::MotionInRect;
    s.motion = Rect{200, 120, 300, 220};
    Picture first, later;
    RenderScene(s, 0, first);
    int changedFrames = 0;
    for (uint64_t f = 1; f < 40; ++f) {
        RenderScene(s, f, later);
        Rect box;
        if (DifferingPixels(first, later, &box) == 0) continue;
        ++changedFrames;
        EXPECT_GE(box.left, s.motion.left);
        EXPECT_GE(box.top, s.motion.top);
        EXPECT_LE(box.right, s.motion.right);
        EXPECT_LE(box.bottom, s.motion.bottom);
    }
    EXPECT_GT(changedFrames, 30);
}

TEST(Scene, InputsLookDifferentAndAreLabelled) {
    SceneSettings composite = Composite(), svideo = Composite(), tuner = Composite();
    svideo.look = InputLook::SVideo;
    svideo.inputLabel = "S-VIDEO";
    tuner.look = InputLook::Tuner;
    tuner.channel = 3;
    tuner.inputLabel = "TUNER CH 3";
    Picture a, b, c;
    RenderScene(composite, 0, a);
    RenderScene(svideo, 0, b);
    RenderScene(tuner, 0, c);
    // The lower band tells the inputs apart: composite ramps up left to right, S-Video down.
    const int y = 220;
    EXPECT_LT(a.Y(20, y), a.Y(300, y));
    EXPECT_GT(b.Y(20, y), b.Y(300, y));
    // The label box differs as well.
    Picture la = a, lb = b;
    Rect label = LabelRect(320, 0);
    int differences = 0;
    for (int yy = label.top; yy < label.bottom; ++yy)
        for (int x = label.left; x < label.right; ++x) differences += la.Y(x, yy) != lb.Y(x, yy);
    EXPECT_GT(differences, 20);
    EXPECT_GT(DifferingPixels(a, c), 1000);
}

TEST(Scene, TunerChannelsRotateTheBars) {
    SceneSettings s = Composite();
    s.look = InputLook::Tuner;
    s.mode = SceneMode::Still;
    s.channel = 2;
    Picture ch2, ch3;
    RenderScene(s, 0, ch2);
    s.channel = 3;
    RenderScene(s, 0, ch3);
    // Middle of the second bar.
    EXPECT_NE(ch2.Y(3 * 320 / 16, 100), ch3.Y(3 * 320 / 16, 100));
}

TEST(Scene, NoSignalShowsSnow) {
    SceneSettings s = Composite();
    s.signal = false;
    Picture p, q;
    RenderScene(s, 5, p);
    RenderScene(s, 6, q);
    // Snow: neighbouring pixels differ a lot and the snow changes every frame.
    int jumps = 0;
    for (int x = 100; x < 300; ++x) jumps += std::abs(p.Y(x, 150) - p.Y(x + 1, 150)) > 30;
    EXPECT_GT(jumps, 100);
    EXPECT_GT(DifferingPixels(p, q), 10000);
    EXPECT_EQ(p.U(150, 150), 128);
}

TEST(Scene, LineRulerShowsTheStandardsLineCount) {
    SceneSettings s = Composite(640, 480);
    Picture ntsc, pal;
    s.activeLines = 480;
    RenderScene(s, 0, ntsc);
    s.activeLines = 576;
    RenderScene(s, 0, pal);
    EXPECT_EQ(CountRulerTicks(LumaOf(ntsc), 640, 480), 10);
    EXPECT_EQ(CountRulerTicks(LumaOf(pal), 640, 480), 12);
}

TEST(PictureControls, BrightnessRaisesLuma) {
    SceneSettings s = Composite();
    s.mode = SceneMode::Still;
    Picture normal, bright;
    RenderScene(s, 0, normal);
    s.brightness = 200;
    RenderScene(s, 0, bright);
    Rect bars{40, 60, 300, 150};
    EXPECT_GT(MeanLuma(bright, bars), MeanLuma(normal, bars) + 40);
}

TEST(PictureControls, ContrastSpreadsLuma) {
    SceneSettings s = Composite();
    s.mode = SceneMode::Still;
    Picture flat, strong;
    s.contrast = 20;
    RenderScene(s, 0, flat);
    s.contrast = 180;
    RenderScene(s, 0, strong);
    // White bar against black bar.
    int flatSpread = flat.Y(20, 100) - flat.Y(310, 100);
    int strongSpread = strong.Y(20, 100) - strong.Y(310, 100);
    EXPECT_GT(strongSpread, flatSpread * 3);
}

TEST(PictureControls, SettingsFarOutsideTheirRangesSaturate) {
    SceneSettings s = Composite();
    s.mode = SceneMode::Still;
    s.contrast = 100663396;  // the products overflow 32 bits
    s.saturation = INT_MIN;
    s.brightness = INT_MAX;
    Picture p;
    RenderScene(s, 0, p);
    EXPECT_EQ(p.Y(20, 100), 255);  // the white bar at full strength
}

TEST(Scene, SizeWithoutPixelsGivesAnEmptyPicture) {
    for (auto size : {std::pair{-4, 240}, std::pair{320, -1}, std::pair{0, 0}, std::pair{INT_MIN, INT_MIN}}) {
        Picture p;
        RenderScene(Composite(size.first, size.second), 5, p);
        EXPECT_EQ(p.width, 0);
        EXPECT_EQ(p.height, 0);
        EXPECT_TRUE(p.y.empty());
    }
}

TEST(PictureControls, ZeroSaturationRemovesColour) {
    SceneSettings s = Composite();
    s.mode = SceneMode::Still;
    s.saturation = 0;
    Picture p;
    RenderScene(s, 0, p);
    // The yellow and blue bars become grey.
    EXPECT_EQ(p.U(60, 100), 128);
    EXPECT_EQ(p.V(60, 100), 128);
    EXPECT_EQ(p.U(260, 100), 128);
}

TEST(PictureControls, ExposureScalesTheLight) {
    SceneSettings s = Composite();
    s.mode = SceneMode::Still;
    s.look = InputLook::Camera;
    Picture normal, dark, bright;
    RenderScene(s, 0, normal);
    s.exposure = 50;
    RenderScene(s, 0, dark);
    s.exposure = 150;
    RenderScene(s, 0, bright);
    Rect bars{40, 60, 300, 150};
    EXPECT_LT(MeanLuma(dark, bars), MeanLuma(normal, bars) - 30);
    EXPECT_GT(MeanLuma(bright, bars), MeanLuma(normal, bars) + 20);
}

TEST(PictureControls, LabelsStayReadable) {
    SceneSettings s = Composite();
    s.contrast = 0;
    s.brightness = 0;
    Picture p;
    RenderScene(s, 77, p);
    uint32_t code = 0;
    ASSERT_TRUE(ReadFrameCode(LumaOf(p), p.width, code));
    EXPECT_EQ(code, 77u);
}

TEST(Colour, RoundTripIsClose) {
    const Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {191, 191, 0}, {128, 128, 128}};
    for (Rgb c : colours) {
        Rgb back = ToRgb(ToYuv(c));
        EXPECT_NEAR(back.r, c.r, 3);
        EXPECT_NEAR(back.g, c.g, 3);
        EXPECT_NEAR(back.b, c.b, 3);
    }
    EXPECT_EQ(ToYuv(Rgb{0, 0, 0}).y, 16);
    EXPECT_EQ(ToYuv(Rgb{255, 255, 255}).y, 235);
}

TEST(Font, TextWidthAndUnknownCharacters) {
    Picture p;
    p.Resize(100, 20);
    EXPECT_EQ(DrawText(p, 0, 0, "AB", 1, Yuv{235, 128, 128}), 12);
    EXPECT_EQ(TextWidth("ABC", 2), 36);
    // Lower case prints as upper case; unknown characters as blanks.
    Picture upper, lower;
    upper.Resize(40, 10);
    lower.Resize(40, 10);
    DrawText(upper, 0, 0, "AB", 1, Yuv{235, 128, 128});
    DrawText(lower, 0, 0, "ab", 1, Yuv{235, 128, 128});
    EXPECT_EQ(upper.y, lower.y);
}

}  // namespace
}  // namespace simdev
