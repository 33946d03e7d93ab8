#pragma once
// Plain rectangles and points for the controls' layout and hit testing, free of the platform.
namespace lumetra {

struct GeoPoint {
    int x = 0, y = 0;
    bool operator==(const GeoPoint& o) const { return x == o.x && y == o.y; }
};

// Right and bottom are exclusive, as in the platform's rectangles.
struct GeoRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(GeoPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
    GeoRect Inflated(int dx, int dy) const { return GeoRect{left - dx, top - dy, right + dx, bottom + dy}; }
    GeoRect Offset(int dx, int dy) const { return GeoRect{left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const GeoRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

}  // namespace lumetra
