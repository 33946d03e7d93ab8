#include "motion/motion_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace lumetra {
namespace {

// A frame source that hands out the frame the test put in it.
class TestSource : public MotionFrameSource {
public:
    std::vector<uint8_t> bytes;
    FrameFormat format;
    int copies = 0;
    bool CopyFrame(uint8_t* buffer, size_t capacity, FrameFormat& out) override {
        ++copies;
        if (bytes.empty() || bytes.size() > capacity) return false;
        std::memcpy(buffer, bytes.data(), bytes.size());
        out = format;
        return true;
    }
    // A YUY2 frame whose luma comes from lumaAt(x, y); chroma is fixed.
    void Yuy2(int width, int height, const std::function<int(int, int)>& lumaAt, int chroma = 128) {
        bytes.assign(static_cast<size_t>(width) * height * 2, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                bytes[(static_cast<size_t>(y) * width + x) * 2] = static_cast<uint8_t>(lumaAt(x, y));
                bytes[(static_cast<size_t>(y) * width + x) * 2 + 1] = static_cast<uint8_t>(chroma);
            }
        format = {width, height, PixelFormat::Yuy2, bytes.size()};
    }
    // A planar 4:2:0 frame: the Y plane from lumaAt, then both chroma planes at chroma.
    void Planar(int width, int height, const std::function<int(int, int)>& lumaAt, int chroma) {
        size_t pixels = static_cast<size_t>(width) * height;
        bytes.assign(pixels + pixels / 2, static_cast<uint8_t>(chroma));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bytes[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(lumaAt(x, y));
        format = {width, height, PixelFormat::I420, bytes.size()};
    }
};

// Luma 100 everywhere except the cells (of edge c) listed, which get 200.
std::function<int(int, int)> CellsLit(int c, int across, int count) {
    return [=](int x, int y) { return (y / c) * across + (x / c) < count ? 200 : 100; };
}

MotionSettings WholeFrame(int percent = 5) {
    MotionSettings s;
    s.areaPosX = s.areaPosY = 0;
    s.areaSizeX = s.areaSizeY = kAreaUnits;
    s.areaPercent = percent;
    return s;
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override { engine.SetFrameSource(&source); }
    // Feeds a still frame, then one with the first `lit` cells brighter; whether that was motion.
    bool MotionWhenLit(int width, int height, int lit) {
        source.Yuy2(width, height, CellsLit(4, width / 4, 0));
        engine.Step(true);
        engine.Step(true);
        source.Yuy2(width, height, CellsLit(4, width / 4, lit));
        return engine.Step(true).motion;
    }
    TestSource source;
    MotionEngine engine;
};

TEST_F(Engine, FirstFrameAfterArmingOnlyRefreshesTheSums) {
    engine.SetSettings(WholeFrame());
    source.Yuy2(40, 40, CellsLit(4, 10, 0));
    engine.Step(true);
    engine.Step(true);
    engine.Arm();
    // Half the cells differ from the frame seen before arming: still no trigger.
    source.Yuy2(40, 40, CellsLit(4, 10, 50));
    EXPECT_FALSE(engine.Step(false).trigger);
    EXPECT_TRUE(engine.Armed());
    source.Yuy2(40, 40, CellsLit(4, 10, 0));
    MotionStep step = engine.Step(false);
    EXPECT_TRUE(step.trigger);
    EXPECT_FALSE(engine.Armed());
    // Reported once per arming.
    source.Yuy2(40, 40, CellsLit(4, 10, 50));
    EXPECT_TRUE(engine.Step(true).motion);
    EXPECT_FALSE(engine.Step(true).trigger);
}

TEST_F(Engine, StrictBoundsWithOneHundredCells) {
    engine.SetSettings(WholeFrame(5));
    source.Yuy2(40, 40, CellsLit(4, 10, 0));
    engine.Step(true);
    ASSERT_EQ(engine.Grid().cells, 100);
    EXPECT_EQ(engine.Grid().minChanged, 5);
    EXPECT_EQ(engine.Grid().maxChanged, 95);
    EXPECT_FALSE(MotionWhenLit(40, 40, 5));
    EXPECT_TRUE(MotionWhenLit(40, 40, 6));
    EXPECT_TRUE(MotionWhenLit(40, 40, 94));
    EXPECT_FALSE(MotionWhenLit(40, 40, 95));
}

TEST_F(Engine, StrictBoundsWithTenCells) {
    engine.SetSettings(WholeFrame(5));
    source.Yuy2(40, 4, CellsLit(4, 10, 0));
    engine.Step(true);
    ASSERT_EQ(engine.Grid().cells, 10);
    EXPECT_EQ(engine.Grid().minChanged, 0);
    EXPECT_EQ(engine.Grid().maxChanged, 9);
    EXPECT_FALSE(MotionWhenLit(40, 4, 0));
    EXPECT_TRUE(MotionWhenLit(40, 4, 1));
    EXPECT_TRUE(MotionWhenLit(40, 4, 8));
    EXPECT_FALSE(MotionWhenLit(40, 4, 9));
}

TEST(MotionGridRules, NoCellsNeverMotion) {
    MotionSettings s = WholeFrame(5);
    s.areaSizeX = 5;  // 5 x 640 / 640 = 5 pixels: no whole cell of 8
    s.granularity = 2;
    MotionGrid g = ComputeGrid(s, 640, 480);
    EXPECT_EQ(g.cells, 0);
    for (int changed : {0, 1, 5, 100}) EXPECT_FALSE(IsMotion(changed, g));
    // A negative size (the dragged corner crossed the other) gives no cells either.
    s.areaSizeX = -40;
    EXPECT_EQ(ComputeGrid(s, 640, 480).cells, 0);
}

TEST_F(Engine, FrameSmallerThanACellNeverReportsMotion) {
    engine.SetSettings(WholeFrame(1));
    source.Yuy2(2, 2, [](int, int) { return 10; });
    engine.Step(true);
    engine.Step(true);
    EXPECT_EQ(engine.Grid().cells, 0);
    source.Yuy2(2, 2, [](int, int) { return 250; });
    EXPECT_FALSE(engine.Step(true).motion);
}

TEST_F(Engine, ACellChangesOnlyBeyondTheThreshold) {
    MotionSettings s = WholeFrame(1);
    s.sensitivity = 10;  // T = 16 at granularity 1
    engine.SetSettings(s);
    source.Yuy2(40, 40, [](int, int) { return 100; });
    engine.Step(true);
    ASSERT_EQ(engine.Grid().threshold, 16);
    engine.Step(true);
    // One pixel of cell 0 moves by 16 grey levels: the sum moves by exactly T.
    source.Yuy2(40, 40, [](int x, int y) { return x == 0 && y == 0 ? 116 : 100; });
    engine.Step(true);
    EXPECT_EQ(engine.ChangedCount(), 0);
    source.Yuy2(40, 40, [](int, int) { return 100; });
    engine.Step(true);
    // Spread over its 16 samples: 17 levels in all.
    source.Yuy2(40, 40, [](int x, int y) { return x < 4 && y < 4 ? (x == 0 && y == 0 ? 102 : 101) : 100; });
    engine.Step(true);
    EXPECT_EQ(engine.ChangedCount(), 1);
}

TEST_F(Engine, ThresholdFollowsSensitivityAndGranularity) {
    MotionSettings s;
    s.sensitivity = 1;
    s.granularity = 4;
    engine.SetSettings(s);
    EXPECT_EQ(engine.Grid().cell, 16);
    EXPECT_EQ(engine.Grid().threshold, 10 * 16 * 16);
}

TEST(MotionDisplay, GeometryByFrameWidth) {
    MotionSettings s;
    DisplayGeometry d = ComputeDisplayGeometry(ComputeGrid(s, 640, 480), 640, 480);
    EXPECT_EQ(d.scale, 2);
    EXPECT_EQ(d.zoom, 1);
    EXPECT_EQ(d.dw, 320);
    EXPECT_EQ(d.dh, 240);
    EXPECT_EQ(d.dc, 2);
    EXPECT_EQ(d.dy, 37 / 2);  // AreaPosY 50 on 480 lines is line 37
    d = ComputeDisplayGeometry(ComputeGrid(s, 320, 240), 320, 240);
    EXPECT_EQ(d.scale, 1);
    EXPECT_EQ(d.zoom, 1);
    EXPECT_EQ(d.dw, 320);
    EXPECT_EQ(d.dh, 240);
    EXPECT_EQ(d.handle, 4);
    d = ComputeDisplayGeometry(ComputeGrid(s, 176, 144), 176, 144);
    EXPECT_EQ(d.scale, 1);
    EXPECT_EQ(d.zoom, 2);
    EXPECT_EQ(d.dw, 176);
    EXPECT_EQ(d.dh, 144);
    EXPECT_EQ(d.handle, 2);
    EXPECT_EQ(d.stride, 176 * 3);
}

// The colour of a pixel of the diagnostic picture (row 0 = top), as blue, green, red.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr& o) const { return b == o.b && g == o.g && r == o.r; }
};
Bgr PixelAt(const MotionEngine& e, int x, int y) {
    const DisplayGeometry& d = e.Geometry();
    const uint8_t* p = e.Picture() + static_cast<size_t>(d.dh - 1 - y) * d.stride + static_cast<size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}
const Bgr kBlue{255, 0, 0}, kRed{0, 0, 255};

TEST_F(Engine, DiagnosticPictureLayers) {
    MotionSettings s = WholeFrame(5);
    s.areaPosX = 64;   // 320 wide: x 32
    s.areaPosY = 64;   // 240 high: y 24
    s.areaSizeX = 320; // 160 wide
    s.areaSizeY = 320; // 120 high
    engine.SetSettings(s);
    engine.SetLiveView(true);
    source.Yuy2(320, 240, [](int x, int) { return x < 8 ? 30 : 90; });
    engine.Step(true);
    engine.Step(true);
    // Change two cells of the first area row: motion needs more than 5 % of 40 x 30 cells, so
    // these two count as changed but not as motion: blue.
    source.Yuy2(320, 240, [](int x, int y) { return (y >= 24 && y < 28 && x >= 32 && x < 40) ? 250 : (x < 8 ? 30 : 90); });
    MotionStep step = engine.Step(true);
    ASSERT_TRUE(step.drawn);
    EXPECT_FALSE(step.motion);
    EXPECT_EQ(engine.ChangedCount(), 2);
    EXPECT_EQ(PixelAt(engine, 0, 100), (Bgr{30, 30, 30}));      // grey frame
    EXPECT_EQ(PixelAt(engine, 300, 100), (Bgr{90, 90, 90}));
    EXPECT_EQ(PixelAt(engine, 100, 23), kBlue);                 // outline one row above the area
    EXPECT_EQ(PixelAt(engine, 100, 24 + 120 - 1), kBlue);        // bottom line on r0 + dha
    EXPECT_EQ(PixelAt(engine, 32 + 160 - 1, 60), kBlue);         // right edge
    EXPECT_EQ(PixelAt(engine, 33, 27), kRed);                    // top-left handle, below the cells
    EXPECT_EQ(PixelAt(engine, 36, 27), kRed);
    EXPECT_EQ(PixelAt(engine, 37, 27), (Bgr{250, 250, 250}));  // the bright frame below the cell row
    EXPECT_EQ(PixelAt(engine, 32 + 160 - 2, 24 + 120 - 2), kRed); // bottom-right handle
    EXPECT_EQ(PixelAt(engine, 38, 23), kBlue);                   // second changed cell, drawn from r0
    EXPECT_EQ(PixelAt(engine, 38, 26), kBlue);
    EXPECT_EQ(PixelAt(engine, 38, 27), (Bgr{250, 250, 250}));
    EXPECT_EQ(PixelAt(engine, 44, 30), (Bgr{90, 90, 90}));       // an unchanged cell keeps the frame
}

TEST_F(Engine, WholeSceneMovingIsNoMotionAndPaintsBlue) {
    engine.SetSettings(WholeFrame(5));
    engine.SetLiveView(true);
    source.Yuy2(160, 120, [](int, int) { return 40; });
    engine.Step(true);
    engine.Step(true);
    source.Yuy2(160, 120, [](int, int) { return 220; });
    MotionStep step = engine.Step(true);
    EXPECT_EQ(engine.ChangedCount(), engine.Grid().cells);
    EXPECT_FALSE(step.motion);
    EXPECT_EQ(PixelAt(engine, 80, 60), kBlue);
}

TEST_F(Engine, MotionPaintsChangedCellsRed) {
    engine.SetSettings(WholeFrame(1));
    engine.SetLiveView(true);
    source.Yuy2(160, 120, [](int, int) { return 40; });
    engine.Step(true);
    engine.Step(true);
    source.Yuy2(160, 120, [](int x, int y) { return x >= 80 && x < 100 && y >= 60 && y < 80 ? 220 : 40; });
    EXPECT_TRUE(engine.Step(true).motion);
    EXPECT_EQ(PixelAt(engine, 90, 70), kRed);
}

TEST_F(Engine, ClosedAndDisarmedCopiesNothing) {
    source.Yuy2(160, 120, [](int, int) { return 40; });
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(engine.Step(false).trigger);
    EXPECT_EQ(source.copies, 0);
    engine.Arm();
    engine.Step(false);
    EXPECT_EQ(source.copies, 1);
}

TEST_F(Engine, WithoutASourceNothingHappens) {
    engine.SetFrameSource(nullptr);
    engine.Arm();
    EXPECT_FALSE(engine.Step(true).trigger);
    EXPECT_FALSE(engine.HasFrame());
}

TEST_F(Engine, PlanarFramesAreReadFromTheLumaPlaneOnly) {
    engine.SetSettings(WholeFrame(1));
    engine.SetLiveView(true);
    source.Planar(160, 120, [](int, int) { return 60; }, 128);
    engine.Step(true);
    engine.Step(true);
    // Only the colour changes: no cell changes.
    source.Planar(160, 120, [](int, int) { return 60; }, 20);
    engine.Step(true);
    EXPECT_EQ(engine.ChangedCount(), 0);
    EXPECT_EQ(PixelAt(engine, 5, 5), (Bgr{60, 60, 60}));
    // A brighter object is motion.
    source.Planar(160, 120, [](int x, int y) { return x < 40 && y < 40 ? 200 : 60; }, 20);
    EXPECT_TRUE(engine.Step(true).motion);
}

TEST_F(Engine, ColourChangeOfTheSameBrightnessIsNoMotionInYuy2) {
    engine.SetSettings(WholeFrame(1));
    source.Yuy2(160, 120, [](int, int) { return 60; }, 128);
    engine.Step(true);
    engine.Step(true);
    source.Yuy2(160, 120, [](int, int) { return 60; }, 30);
    engine.Step(true);
    EXPECT_EQ(engine.ChangedCount(), 0);
}

TEST_F(Engine, UnreadableFramesAreRefused) {
    engine.Arm();
    // RGB frames are never read as luma.
    source.bytes.assign(160 * 120 * 3, 0);
    source.format = {160, 120, PixelFormat::Rgb24, source.bytes.size()};
    engine.Step(true);
    EXPECT_FALSE(engine.HasFrame());
    // A sample shorter than its size says.
    source.bytes.assign(1000, 0);
    source.format = {160, 120, PixelFormat::Yuy2, 1000};
    engine.Step(true);
    EXPECT_FALSE(engine.HasFrame());
    // Sizes the buffer cannot hold.
    EXPECT_FALSE(engine.AcceptFormat({800, 600, PixelFormat::Yuy2, 800 * 600 * 2}));
    EXPECT_FALSE(engine.AcceptFormat({161, 120, PixelFormat::Yuy2, 161 * 120 * 2}));
    EXPECT_FALSE(engine.AcceptFormat({0, 120, PixelFormat::Yuy2, 0}));
    EXPECT_TRUE(engine.AcceptFormat({720, 480, PixelFormat::Yuy2, 720 * 480 * 2}));
    EXPECT_TRUE(engine.Armed());
}

TEST_F(Engine, ANewFrameSizeStartsAfresh) {
    engine.SetSettings(WholeFrame(1));
    engine.Arm();
    source.Yuy2(160, 120, [](int, int) { return 40; });
    engine.Step(false);
    // Another size: the sums of the old grid are not compared with the new one.
    source.Yuy2(320, 240, [](int x, int) { return x < 100 ? 200 : 40; });
    EXPECT_FALSE(engine.Step(false).trigger);
    EXPECT_EQ(engine.Geometry().dw, 320);
}

// ---- The area ----

class AreaDrag : public Engine {
protected:
    void SetUp() override {
        Engine::SetUp();
        MotionSettings s;
        s.areaPosX = 160;   // x 80 of 320
        s.areaPosY = 160;   // y 60 of 240
        s.areaSizeX = 320;  // 160 wide
        s.areaSizeY = 320;  // 120 high
        engine.SetSettings(s);
        source.Yuy2(320, 240, [](int, int) { return 50; });
        engine.Step(true);
    }
};

TEST_F(AreaDrag, NearerTopLeftMovesTheTopLeftCorner) {
    // (240 lines: a row that is a multiple of 3 survives the normalised 640 units unchanged.)
    engine.DragAreaCorner(70, 51);
    const DisplayGeometry& d = engine.Geometry();
    EXPECT_EQ(d.dx, 70);
    EXPECT_EQ(d.dy, 51);
    EXPECT_EQ(d.dx + d.dwa, 240);  // the bottom-right corner stays
    EXPECT_EQ(d.dy + d.dha, 180);
}

TEST_F(AreaDrag, NearerBottomRightResizes) {
    engine.DragAreaCorner(250, 201);
    const DisplayGeometry& d = engine.Geometry();
    EXPECT_EQ(d.dx, 80);
    EXPECT_EQ(d.dy, 60);
    EXPECT_EQ(d.dwa, 170);
    EXPECT_EQ(d.dha, 141);
}

TEST_F(AreaDrag, HalfWayMovesTheBottomRightCorner) {
    engine.DragAreaCorner(160, 120);  // the centre of the area
    EXPECT_EQ(engine.Geometry().dx, 80);
    EXPECT_EQ(engine.Geometry().dwa, 80);
    EXPECT_EQ(engine.Geometry().dha, 60);
}

TEST_F(AreaDrag, StaysInsideThePictureWithAWholeCell) {
    // Dragged past the top-left corner: at least one cell remains.
    engine.DragAreaCorner(81, 61);
    engine.DragAreaCorner(20, 10);  // nearer the bottom-right corner now: it crosses the top-left
    EXPECT_GE(engine.Grid().across, 1);
    EXPECT_GE(engine.Grid().down, 1);
    const DisplayGeometry& d = engine.Geometry();
    EXPECT_GE(d.dx, 0);
    EXPECT_LE(d.dx + d.dwa, d.dw);
    EXPECT_LE(d.dy + d.dha, d.dh);
    // At granularity 4 on a 176-wide frame the smallest area is still one whole 16-pixel cell.
    MotionSettings s = engine.Settings();
    s.granularity = 4;
    s.areaSizeX = s.areaSizeY = 1;
    s.areaPosX = s.areaPosY = kAreaUnits;
    engine.SetSettings(s);
    source.Yuy2(176, 144, [](int, int) { return 50; });
    engine.Step(true);
    EXPECT_EQ(engine.Grid().across, 1);
    EXPECT_EQ(engine.Grid().down, 1);
    EXPECT_LE(engine.Grid().ax + engine.Grid().aw, 176);
    EXPECT_LE(engine.Grid().ay + engine.Grid().ah, 144);
}

TEST(MotionSettingsRanges, StoredValuesOutOfRangeAreBroughtIn) {
    MotionSettings s;
    s.granularity = 0;
    s.sensitivity = 99;
    s.areaPercent = -3;
    s.areaPosX = 5000;
    s.areaSizeY = -1;
    ClampToRanges(s);
    EXPECT_EQ(s.granularity, 1);
    EXPECT_EQ(s.sensitivity, 10);
    EXPECT_EQ(s.areaPercent, 1);
    EXPECT_EQ(s.areaPosX, kAreaUnits);
    EXPECT_EQ(s.areaSizeY, 0);
    KeepAreaInside(s, 640, 480);
    EXPECT_LE(s.areaPosX + s.areaSizeX, kAreaUnits);
    EXPECT_GE(ComputeGrid(s, 640, 480).cells, 1);
}

}  // namespace
}  // namespace lumetra
