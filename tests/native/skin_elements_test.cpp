#include "skin/element_logic.h"
#include "skin/region_runs.h"

#include <gtest/gtest.h>

#include <climits>

#include <random>
#include <set>
#include <utility>

namespace lumetra {
namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Cover(const std::vector<RegionRect>& rects) {
    PixelSet covered;
    for (const auto& r : rects)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) covered.insert({x, y});
    return covered;
}

std::vector<RegionRect> Collect(const std::vector<uint32_t>& pixels, int w, int h, uint32_t flushCount,
                                int* flushes = nullptr) {
    std::vector<RegionRect> rects;
    int n = 0;
    BuildMaskRegion(pixels.data(), w, h,
                    [&](const RegionData& d) {
                        ++n;
                        RegionRect b = d.Bounds();
                        for (uint32_t i = 0; i < d.Count(); ++i) {
                            RegionRect r = d.At(i);
                            EXPECT_GE(r.left, b.left);
                            EXPECT_LE(r.right, b.right);
                            rects.push_back(r);
                        }
                    },
                    flushCount);
    if (flushes) *flushes = n;
    return rects;
}

TEST(MaskRegion, OnlyPureWhiteWithinToleranceIsOutside) {
    EXPECT_TRUE(IsTransparentPixel(kWhite));
    EXPECT_FALSE(IsTransparentPixel(0x00FEFFFF));  // (254,255,255) is inside the window
    EXPECT_FALSE(IsTransparentPixel(0x00FFFFFE));
    EXPECT_TRUE(IsTransparentPixel(0xFFFFFFFF));   // the alpha byte is ignored
    EXPECT_TRUE(IsTransparentPixel(0x00F0F0F0, 0xF0, 0x10));
    EXPECT_FALSE(IsTransparentPixel(0x00EFF0F0, 0xF0, 0x10));
}

TEST(MaskRegion, RunsPerRow) {
    // Row 0: .XX.X  Row 1: XXXXX  Row 2: all white
    std::vector<uint32_t> px = {kWhite, kBlack, kBlack, kWhite, kBlack,
                                kBlack, kBlack, kBlack, kBlack, kBlack,
                                kWhite, kWhite, kWhite, kWhite, kWhite};
    auto rects = Collect(px, 5, 3, kRegionFlushCount);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].left, 1); EXPECT_EQ(rects[0].right, 3); EXPECT_EQ(rects[0].top, 0); EXPECT_EQ(rects[0].bottom, 1);
    EXPECT_EQ(rects[1].left, 4); EXPECT_EQ(rects[1].right, 5);
    EXPECT_EQ(rects[2].left, 0); EXPECT_EQ(rects[2].right, 5); EXPECT_EQ(rects[2].top, 1);
}

TEST(MaskRegion, AllWhiteGivesEmptyRegionWithoutFlush) {
    std::vector<uint32_t> px(64 * 64, kWhite);
    int flushes = -1;
    EXPECT_TRUE(Collect(px, 64, 64, kRegionFlushCount, &flushes).empty());
    EXPECT_EQ(flushes, 0);
}

TEST(MaskRegion, FlushingGivesTheSameRegionAsOnePass) {
    // Alternating pixels give one rectangle per dark pixel: far more than 2000 for 160 x 120.
    const int w = 160, h = 120;
    std::vector<uint32_t> px(w * h);
    std::mt19937 random(7);
    for (int i = 0; i < w * h; ++i) px[i] = (i + i / w) % 2 ? kBlack : (random() % 5 ? kWhite : kBlack);
    int flushes = 0;
    auto flushed = Collect(px, w, h, kRegionFlushCount, &flushes);
    auto single = Collect(px, w, h, 1u << 30);
    EXPECT_GT(flushes, 3);
    EXPECT_GT(flushed.size(), 2u * kRegionFlushCount);
    EXPECT_EQ(Cover(flushed), Cover(single));
    PixelSet dark;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!IsTransparentPixel(px[y * w + x])) dark.insert({x, y});
    EXPECT_EQ(Cover(single), dark);
}

TEST(RegionData, HeaderGrowthAndBounds) {
    RegionData d;
    EXPECT_EQ(d.Capacity(), 100u);
    EXPECT_EQ(d.Size(), 32u);
    for (int i = 0; i < 100; ++i) d.Add({i, 3, i + 1, 4});
    EXPECT_EQ(d.Capacity(), 100u);
    d.Add({-5, 9, 0, 10});
    EXPECT_EQ(d.Capacity(), 200u);
    EXPECT_EQ(d.Count(), 101u);
    EXPECT_EQ(d.Size(), 32u + 101u * 16u);
    RegionRect b = d.Bounds();
    EXPECT_EQ(b.left, -5); EXPECT_EQ(b.top, 3); EXPECT_EQ(b.right, 100); EXPECT_EQ(b.bottom, 10);
    const uint8_t* bytes = d.Bytes();
    EXPECT_EQ(bytes[0], 32);  // dwSize
    EXPECT_EQ(bytes[4], 1);   // RDH_RECTANGLES
    d.Reset();
    EXPECT_EQ(d.Count(), 0u);
    EXPECT_EQ(d.Capacity(), 100u);
}

TEST(ButtonPicture, DrawingRules) {
    ButtonVisualState s;
    EXPECT_EQ(ChooseButtonPicture(s), ButtonPicture::Normal);
    s.hover = true;
    EXPECT_EQ(ChooseButtonPicture(s), ButtonPicture::Over);
    s.onState = 2;
    EXPECT_EQ(ChooseButtonPicture(s), ButtonPicture::Blink);
    s.onState = 1;
    EXPECT_EQ(ChooseButtonPicture(s), ButtonPicture::On);
    s.pressed = true;
    EXPECT_EQ(ChooseButtonPicture(s), ButtonPicture::Down);
    s.enabled = false;
    EXPECT_EQ(ChooseButtonPicture(s), ButtonPicture::Disabled);

    ButtonVisualState radio;
    radio.radio = true;
    radio.onState = 2;  // any on state lights a radio button; radios do not blink
    EXPECT_EQ(ChooseButtonPicture(radio), ButtonPicture::On);
    radio.onState = 0;
    radio.hover = true;
    EXPECT_EQ(ChooseButtonPicture(radio), ButtonPicture::Over);
}

TEST(Progress, ValueFromPointAndFill) {
    EXPECT_EQ(ProgressValueFromPoint(true, 50, 0, 200, 10), 25);
    EXPECT_EQ(ProgressValueFromPoint(false, 0, 0, 10, 80), 100);   // top edge
    EXPECT_EQ(ProgressValueFromPoint(false, 0, 80, 10, 80), 0);    // bottom edge
    EXPECT_EQ(ProgressValueFromPoint(true, -20, 0, 200, 10), 0);   // dragged past the ends
    EXPECT_EQ(ProgressValueFromPoint(true, 500, 0, 200, 10), 100);
    EXPECT_EQ(ProgressValueFromPoint(true, 5, 0, 0, 10), 0);

    EXPECT_EQ(ProgressFillRect(true, 50, 200, 10), (SkinRect{0, 0, 100, 10}));
    EXPECT_EQ(ProgressFillRect(false, 25, 10, 80), (SkinRect{0, 60, 10, 80}));
    EXPECT_EQ(ProgressFillRect(true, 150, 200, 10), (SkinRect{0, 0, 200, 10}));  // above 100 shows full
    EXPECT_EQ(ClampProgressValue(150), 100);
    // Elements wider or taller than value x side fits in an int.
    EXPECT_EQ(ProgressFillRect(true, 100, 30000000, 10), (SkinRect{0, 0, 30000000, 10}));
    EXPECT_EQ(ProgressFillRect(true, 50, INT_MAX, 10).right, INT_MAX / 2);
    EXPECT_EQ(ProgressFillRect(false, 0, 10, 30000000), (SkinRect{0, 30000000, 10, 30000000}));
}

TEST(Trackbar, ThumbPictureCentredOnPlatformThumb) {
    EXPECT_EQ(ThumbPictureRect(true, {40, 2, 50, 20}, 12, 18), (SkinRect{39, 0, 51, 18}));
    EXPECT_EQ(ThumbPictureRect(false, {0, 30, 20, 40}, 16, 8), (SkinRect{0, 31, 16, 39}));
    EXPECT_EQ(ThumbPictureRect(false, {0, 0, 20, 4}, 16, 20), (SkinRect{0, 0, 16, 20}));  // never above 0
}

TEST(TextScroll, ExactWidthDoesNotScroll) {
    TextScroll s;
    s.SetText(100, 100);
    EXPECT_FALSE(s.Scrolling());
    EXPECT_FALSE(s.Tick());
    s.SetText(101, 100);
    EXPECT_TRUE(s.Scrolling());
}

TEST(TextScroll, PausesTwoSecondsEachPassAndOneAfterClick) {
    TextScroll s;
    s.SetText(150, 100);
    s.SetDisplayWidth(30);
    int ticksBeforeMove = 0;
    while (!s.Tick()) ++ticksBeforeMove;
    EXPECT_EQ(ticksBeforeMove, TextScroll::kStartPause);
    EXPECT_EQ(s.Offset(), 1);
    for (int i = 0; i < 30; ++i) s.Tick();
    EXPECT_EQ(s.Offset(), 31);
    s.BeforePaint();  // past the display width: the pass restarts with the start pause
    EXPECT_EQ(s.Offset(), 0);
    EXPECT_EQ(s.Pause(), TextScroll::kStartPause);

    for (int i = 0; i < 25; ++i) s.Tick();
    s.Click();
    EXPECT_EQ(s.Offset(), 0);
    ticksBeforeMove = 0;
    while (!s.Tick()) ++ticksBeforeMove;
    EXPECT_EQ(ticksBeforeMove, TextScroll::kClickPause);
}

}  // namespace
}  // namespace lumetra
