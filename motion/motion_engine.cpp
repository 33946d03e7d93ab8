#include "motion/motion_engine.h"

#include <algorithm>
#include <cstring>

#include "still/color_convert.h"

namespace lumetra {
namespace {

// The most cells a frame that fits the frame buffer can have: one byte per pixel at the least,
// sixteen pixels per cell at the least.
constexpr size_t kMaxCells = kMotionFrameBytes / 16;

constexpr uint8_t kBlue[3] = {255, 0, 0};  // blue, green, red
constexpr uint8_t kRed[3] = {0, 0, 255};

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Keeps one side of the area inside the picture and at least one cell long.
void FitSide(int& pos, int& size, int frame, int cell) {
    int minSize = frame > 0 ? (cell * kAreaUnits + frame - 1) / frame : 1;
    minSize = Clamp(minSize, 1, kAreaUnits);
    size = Clamp(size, minSize, kAreaUnits);
    pos = Clamp(pos, 0, kAreaUnits - size);
}

uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The luma bytes of eight YUY2 bytes (Y0 U Y1 V Y2 U Y3 V, x86 byte order) are the low bytes of its
// four 16-bit lanes. A cell of up to 16 x 16 pixels adds at most 64 lanes' worth per lane
// (16 x 4 x 255 = 16320), and the four lanes together stay below 65536, so the whole cell is summed
// in the lanes and folded into the top lane by one multiply.
constexpr uint64_t kLumaLanes = 0x00FF00FF00FF00FFull;
uint32_t FoldLanes(uint64_t lanes) { return static_cast<uint32_t>((lanes * 0x0001000100010001ull) >> 48); }

}  // namespace

size_t FrameBytesNeeded(int width, int height, PixelFormat layout) {
    const bool luma = layout == PixelFormat::Yuy2 || layout == PixelFormat::I420 || layout == PixelFormat::Yv12;
    return luma ? FrameBytes(FrameShape{layout, width, height}) : 0;
}

void ClampToRanges(MotionSettings& s) {
    s.granularity = Clamp(s.granularity, 1, 4);
    s.sensitivity = Clamp(s.sensitivity, 1, 10);
    s.areaPercent = Clamp(s.areaPercent, 1, 90);
    s.areaPosX = Clamp(s.areaPosX, 0, kAreaUnits);
    s.areaPosY = Clamp(s.areaPosY, 0, kAreaUnits);
    s.areaSizeX = Clamp(s.areaSizeX, 0, kAreaUnits);
    s.areaSizeY = Clamp(s.areaSizeY, 0, kAreaUnits);
}

void KeepAreaInside(MotionSettings& s, int width, int height) {
    ClampToRanges(s);
    const int cell = 4 * s.granularity;
    FitSide(s.areaPosX, s.areaSizeX, width, cell);
    FitSide(s.areaPosY, s.areaSizeY, height, cell);
}

MotionGrid ComputeGrid(const MotionSettings& s, int width, int height) {
    MotionGrid g;
    g.cell = 4 * s.granularity;
    g.threshold = (11 - s.sensitivity) * g.cell * g.cell;
    g.ax = s.areaPosX * width / kAreaUnits;
    g.ay = s.areaPosY * height / kAreaUnits;
    g.aw = s.areaSizeX * width / kAreaUnits;
    g.ah = s.areaSizeY * height / kAreaUnits;
    // Only whole cells that lie inside the frame count.
    auto whole = [&](int pos, int size, int frame) {
        if (pos < 0 || pos >= frame || size <= 0) return 0;
        return std::min(size, frame - pos) / g.cell;
    };
    g.across = whole(g.ax, g.aw, width);
    g.down = whole(g.ay, g.ah, height);
    g.cells = g.across * g.down;
    g.minChanged = g.cells * s.areaPercent / 100;
    g.maxChanged = g.cells * 95 / 100;
    return g;
}

DisplayGeometry ComputeDisplayGeometry(const MotionGrid& g, int width, int height) {
    DisplayGeometry d;
    d.scale = width >= 640 ? 2 : 1;
    d.zoom = width < 320 ? 2 : 1;
    d.dw = width / d.scale;
    d.dh = height / d.scale;
    d.stride = (d.dw * 3 + 3) & ~3;
    d.dx = g.ax / d.scale;
    d.dy = g.ay / d.scale;
    d.dwa = g.aw / d.scale;
    d.dha = g.ah / d.scale;
    d.dc = g.cell / d.scale;
    d.handle = width > 176 ? 4 : 2;
    return d;
}

MotionEngine::MotionEngine()
    : frame_(kMotionFrameBytes), display_(kMotionDisplayBytes), cellsA_(kMaxCells), cellsB_(kMaxCells) {
    Recompute();
}

void MotionEngine::SetSettings(const MotionSettings& settings) {
    settings_ = settings;
    Recompute();
}

void MotionEngine::Recompute() {
    if (frameValid_) KeepAreaInside(settings_, format_.width, format_.height);
    else ClampToRanges(settings_);
    const int width = frameValid_ ? format_.width : 0, height = frameValid_ ? format_.height : 0;
    MotionGrid grid = ComputeGrid(settings_, width, height);
    // A different grid makes the stored sums meaningless: the next frame only refreshes them.
    if (grid.ax != grid_.ax || grid.ay != grid_.ay || grid.cell != grid_.cell || grid.across != grid_.across ||
        grid.down != grid_.down)
        skipNextFrame_ = true;
    grid_ = grid;
    geometry_ = ComputeDisplayGeometry(grid_, width, height);
    bandSums_.resize(static_cast<size_t>(grid_.across) * static_cast<size_t>(grid_.cell / 4));
}

bool MotionEngine::AcceptFormat(const FrameFormat& format) {
    if (frameValid_ && format.width == format_.width && format.height == format_.height &&
        format.layout == format_.layout && format.bytes >= FrameBytesNeeded(format.width, format.height, format.layout))
        return true;
    const size_t needed = FrameBytesNeeded(format.width, format.height, format.layout);
    bool readable = needed != 0 && needed <= format.bytes && needed <= kMotionFrameBytes;
    if (readable) {
        DisplayGeometry d = ComputeDisplayGeometry(MotionGrid{}, format.width, format.height);
        readable = static_cast<size_t>(d.stride) * static_cast<size_t>(d.dh) <= kMotionDisplayBytes;
    }
    frameValid_ = readable;
    if (readable) format_ = format;
    skipNextFrame_ = true;
    Recompute();
    return readable;
}

void MotionEngine::Arm() {
    armed_ = true;
    skipNextFrame_ = true;
}

void MotionEngine::FetchFrame() {
    FrameFormat format;
    if (source_ && source_->CopyFrame(frame_.data(), frame_.size(), format)) AcceptFormat(format);
}

MotionStep MotionEngine::Step(bool dialogVisible) {
    MotionStep step;
    if (!dialogVisible && !armed_) return step;
    if (!source_) return step;
    // A failed copy leaves the previous frame in the buffer.
    FrameFormat format;
    if (source_->CopyFrame(frame_.data(), frame_.size(), format)) AcceptFormat(format);
    if (!frameValid_) return step;
    currentIsA_ = !currentIsA_;
    SumCells();
    if (skipNextFrame_) {
        skipNextFrame_ = false;
        return step;
    }
    changedCount_ = CountChangedCells();
    step.motion = IsMotion(changedCount_, grid_);
    if (liveView_) {
        DrawPicture(step.motion);
        step.drawn = true;
    }
    if (step.motion && armed_) {
        armed_ = false;
        step.trigger = true;
    }
    return step;
}

void MotionEngine::SumCells() {
    int32_t* sums = currentIsA_ ? cellsA_.data() : cellsB_.data();
    if (grid_.cells == 0) return;
    if (format_.layout == PixelFormat::Yuy2) SumCellsYuy2(sums);
    else SumCellsPlanar(sums);
}

void MotionEngine::SumCellsYuy2(int32_t* sums) {
    // A band of c frame rows at a time: the rows are added word by word into the lanes of one
    // running sum per 8-byte word of the band (a straight pass the compiler vectorises), then each
    // cell folds the words it covers.
    const int c = grid_.cell, words = c / 4, bandWords = grid_.across * words;
    const size_t rowBytes = static_cast<size_t>(format_.width) * 2;
    uint64_t* band = bandSums_.data();
    for (int row = 0; row < grid_.down; ++row) {
        std::fill(band, band + bandWords, 0);
        const uint8_t* line = frame_.data() + static_cast<size_t>(grid_.ay + row * c) * rowBytes +
                              static_cast<size_t>(grid_.ax) * 2;
        for (int y = 0; y < c; ++y, line += rowBytes)
            for (int k = 0; k < bandWords; ++k) band[k] += Load64(line + 8 * k) & kLumaLanes;
        int32_t* out = sums + row * grid_.across;
        for (int col = 0; col < grid_.across; ++col) {
            uint64_t lanes = 0;
            for (int w = 0; w < words; ++w) lanes += band[col * words + w];
            out[col] = static_cast<int32_t>(FoldLanes(lanes));
        }
    }
}

void MotionEngine::SumCellsPlanar(int32_t* sums) {
    const int c = grid_.cell;
    const size_t rowBytes = static_cast<size_t>(format_.width);
    for (int row = 0; row < grid_.down; ++row) {
        int32_t* out = sums + row * grid_.across;
        std::fill(out, out + grid_.across, 0);
        const uint8_t* line =
            frame_.data() + static_cast<size_t>(grid_.ay + row * c) * rowBytes + static_cast<size_t>(grid_.ax);
        for (int y = 0; y < c; ++y, line += rowBytes) {
            const uint8_t* p = line;
            for (int col = 0; col < grid_.across; ++col) {
                int32_t sum = 0;
                for (int x = 0; x < c; ++x) sum += p[x];
                p += c;
                out[col] += sum;
            }
        }
    }
}

bool MotionEngine::CellChanged(int i) const {
    int32_t difference = cellsA_[static_cast<size_t>(i)] - cellsB_[static_cast<size_t>(i)];
    return (difference < 0 ? -difference : difference) > grid_.threshold;
}

int MotionEngine::CountChangedCells() const {
    const int32_t* a = cellsA_.data();
    const int32_t* b = cellsB_.data();
    const int32_t threshold = grid_.threshold;
    int count = 0;
    for (int i = 0; i < grid_.cells; ++i) {
        int32_t difference = a[i] - b[i];
        count += (difference < 0 ? -difference : difference) > threshold;
    }
    return count;
}

void MotionEngine::FillPicture(int left, int top, int right, int bottom, const uint8_t bgr[3]) {
    // Inclusive bounds; whatever lies outside the picture is not drawn.
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, geometry_.dw - 1);
    bottom = std::min(bottom, geometry_.dh - 1);
    for (int y = top; y <= bottom; ++y) {
        uint8_t* p = display_.data() + static_cast<size_t>(geometry_.dh - 1 - y) * geometry_.stride +
                     static_cast<size_t>(left) * 3;
        for (int x = left; x <= right; ++x, p += 3) std::memcpy(p, bgr, 3);
    }
}

void MotionEngine::DrawGreyFrame() {
    // Every picture pixel takes the luma of the frame pixel it stands for.
    ConvertToGrey(frame_.data(), format_.bytes, FrameShape{format_.layout, format_.width, format_.height},
                  geometry_.scale, display_.data(), display_.size());
}

void MotionEngine::DrawPicture(bool motion) {
    const DisplayGeometry& d = geometry_;
    DrawGreyFrame();
    // Area outline: it runs one row above the area's first row.
    const int r0 = d.dy - 1;
    const int right = d.dx + d.dwa - 1;
    FillPicture(d.dx, r0, right, r0, kBlue);
    FillPicture(d.dx, r0 + d.dha, right, r0 + d.dha, kBlue);
    FillPicture(d.dx, r0, d.dx, r0 + d.dha - 1, kBlue);
    FillPicture(right, r0, right, r0 + d.dha - 1, kBlue);
    // Corner handles, one pixel inside the outline's corners.
    const int k = d.handle;
    FillPicture(d.dx + 1, d.dy, d.dx + k, d.dy + k - 1, kRed);
    FillPicture(right - k, d.dy + d.dha - 1 - k, right - 1, d.dy + d.dha - 2, kRed);
    // Changed cells, red when the frame counts as motion.
    const uint8_t* colour = motion ? kRed : kBlue;
    for (int row = 0; row < grid_.down; ++row)
        for (int col = 0; col < grid_.across; ++col)
            if (CellChanged(row * grid_.across + col))
                FillPicture(d.dx + col * d.dc, r0 + row * d.dc, d.dx + col * d.dc + d.dc - 1,
                            r0 + row * d.dc + d.dc - 1, colour);
}

void MotionEngine::DragAreaCorner(int px, int py) {
    const DisplayGeometry& d = geometry_;
    if (!frameValid_ || d.dw <= 0 || d.dh <= 0) return;
    int dx = d.dx, dy = d.dy, dwa = d.dwa, dha = d.dha;
    const long long toTopLeft = 1LL * (px - dx) * (px - dx) + 1LL * (py - dy) * (py - dy);
    const long long toBottomRight =
        1LL * (px - dx - dwa) * (px - dx - dwa) + 1LL * (py - dy - dha) * (py - dy - dha);
    if (toTopLeft < toBottomRight) {
        dwa += dx - px;
        dha += dy - py;
        dx = px;
        dy = py;
    } else {
        dwa = px - dx;
        dha = py - dy;
    }
    settings_.areaPosX = dx * kAreaUnits / d.dw;
    settings_.areaPosY = dy * kAreaUnits / d.dh;
    settings_.areaSizeX = dwa * kAreaUnits / d.dw;
    settings_.areaSizeY = dha * kAreaUnits / d.dh;
    Recompute();
}

}  // namespace lumetra
