#pragma once
// The motion detector: a few times a second it takes the newest preview frame, reduces a chosen
// rectangle of it to a grid of square cells, sums the brightness of each cell and compares every
// cell with the same cell of the previous frame. Motion is a number of changed cells strictly
// between a user percentage of the cells and 95 % of them, so that flicker and whole-picture
// changes (a light switched on, the camera knocked) are both ignored. While the setup dialog shows
// its live picture the engine also draws a diagnostic picture of the frame, the area and the cells.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "still/pixel_format.h"

namespace lumetra {

// A frame as the source delivered it. The engine reads the luma of YUY2 and of the planar 4:2:0
// formats (Y plane first); RGB frames are refused, never read as luma.
struct FrameFormat {
    int width = 0;
    int height = 0;
    PixelFormat layout = PixelFormat::Unsupported;
    size_t bytes = 0;  // size of the sample as delivered
};

constexpr size_t kMotionFrameBytes = 691200;     // a 720 x 480 YUY2 frame
constexpr size_t kMotionDisplayBytes = 1382400;  // the 24-bit diagnostic picture
constexpr int kAreaUnits = 640;                  // the normalised space of the area, both ways

// Bytes a frame of this size and layout occupies; 0 when the engine cannot read it (RGB or
// unknown layout, or a size no frame of that layout has).
size_t FrameBytesNeeded(int width, int height, PixelFormat layout);

// The detection settings, all chosen in the setup dialog.
struct MotionSettings {
    int granularity = 1;   // 1..4: cell edge 4 x granularity pixels
    int sensitivity = 5;   // 1..10: higher counts smaller changes
    int areaPercent = 5;   // 1..90: fewest changed cells, in % of all cells
    int areaPosX = 100;    // area in the normalised 640 x 640 space
    int areaPosY = 50;
    int areaSizeX = 440;
    int areaSizeY = 380;
};

// Brings every setting into its range (stored values may be anything).
void ClampToRanges(MotionSettings& settings);
// Keeps the area inside a width x height picture with at least one whole cell across and down.
void KeepAreaInside(MotionSettings& settings, int width, int height);

// The grid of cells over the area of a frame.
struct MotionGrid {
    int cell = 4;          // cell edge in pixels
    int threshold = 0;     // a cell changes when its sum moves by more than this
    int ax = 0, ay = 0, aw = 0, ah = 0;  // area in frame pixels
    int across = 0, down = 0, cells = 0;
    int minChanged = 0, maxChanged = 0;
};
MotionGrid ComputeGrid(const MotionSettings& settings, int width, int height);
// Motion: more changed cells than the lower bound and fewer than the upper one (both strict).
inline bool IsMotion(int changedCells, const MotionGrid& grid) {
    return changedCells > grid.minChanged && changedCells < grid.maxChanged;
}

// Where the diagnostic picture draws: half size for frames 640 wide or more, shown at double size
// for frames narrower than 320.
struct DisplayGeometry {
    int scale = 1, zoom = 1;
    int dw = 0, dh = 0;    // picture size
    int stride = 0;        // bytes per picture row (rows are kept 4-byte aligned for the bitmap)
    int dx = 0, dy = 0, dwa = 0, dha = 0;  // area in picture pixels
    int dc = 0;            // cell edge in picture pixels
    int handle = 4;        // corner handle edge
};
DisplayGeometry ComputeDisplayGeometry(const MotionGrid& grid, int width, int height);

// Where the frames come from (the preview graph's sample grabber in the program).
class MotionFrameSource {
public:
    // Copies the newest frame into buffer and describes it; false when nothing was copied. A frame
    // larger than capacity is never copied.
    virtual bool CopyFrame(uint8_t* buffer, size_t capacity, FrameFormat& format) = 0;

protected:
    ~MotionFrameSource() = default;
};

struct MotionStep {
    bool trigger = false;  // motion while armed: the actions run
    bool motion = false;   // this frame counts as motion
    bool drawn = false;    // the diagnostic picture was drawn
};

class MotionEngine {
public:
    MotionEngine();

    const MotionSettings& Settings() const { return settings_; }
    // Takes new settings (brought into range), then recomputes the grid and the picture geometry.
    void SetSettings(const MotionSettings& settings);
    // Recomputes the grid and the picture geometry from the settings and the frame size.
    void Recompute();

    void SetFrameSource(MotionFrameSource* source) { source_ = source; }
    bool HasFrame() const { return frameValid_; }
    const FrameFormat& Format() const { return format_; }
    const MotionGrid& Grid() const { return grid_; }
    const DisplayGeometry& Geometry() const { return geometry_; }

    // Arms the detector; the next frame only refreshes the cell sums.
    void Arm();
    void Disarm() { armed_ = false; }
    bool Armed() const { return armed_; }
    void SetLiveView(bool on) { liveView_ = on; }
    bool LiveView() const { return liveView_; }

    // Copies the newest frame to learn its size, without a detection step.
    void FetchFrame();

    // One detection step. Nothing is copied or computed unless the setup dialog is visible or the
    // detector is armed.
    MotionStep Step(bool dialogVisible);
    int ChangedCount() const { return changedCount_; }

    // Moves the nearer corner of the area to a point of the diagnostic picture (the mouse), keeps
    // the area inside the picture and recomputes the grid.
    void DragAreaCorner(int px, int py);

    // The diagnostic picture: geometry.dh rows of geometry.stride bytes, bottom row first,
    // blue-green-red.
    const uint8_t* Picture() const { return display_.data(); }

    // The parts of a step, separately (the step and the benchmark use them).
    void SumCells();
    int CountChangedCells() const;
    void DrawPicture(bool motion);
    // The frame buffer a source copies into.
    uint8_t* FrameBuffer() { return frame_.data(); }
    // Takes the format of the frame in the buffer; false when the engine cannot read it.
    bool AcceptFormat(const FrameFormat& format);

private:
    void SumCellsYuy2(int32_t* sums);
    void SumCellsPlanar(int32_t* sums);
    void DrawGreyFrame();
    void FillPicture(int left, int top, int right, int bottom, const uint8_t bgr[3]);
    bool CellChanged(int i) const;

    MotionSettings settings_;
    FrameFormat format_;
    bool frameValid_ = false;
    MotionGrid grid_;
    DisplayGeometry geometry_;
    MotionFrameSource* source_ = nullptr;

    std::vector<uint8_t> frame_;
    std::vector<uint8_t> display_;
    std::vector<int32_t> cellsA_, cellsB_;
    std::vector<uint64_t> bandSums_;  // running luma sums of one band of cell rows, per 8-byte word
    bool currentIsA_ = false;

    bool armed_ = false;
    bool skipNextFrame_ = true;
    bool liveView_ = false;
    int changedCount_ = 0;
};

}  // namespace lumetra
