#pragma once
// The skin files' value syntax and entry layouts, free of the platform.
//
// A value is a comma-separated list of fields. Leading blanks of a field are dropped, blanks
// before a comma belong to the field, and the last field needs no comma. Reading past the last
// field yields the last field again, so an entry with fewer fields than its kind reads repeats
// its last present field for each missing one.
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

constexpr size_t kSkinEntryMaxChars = 255;
constexpr size_t kSkinKeyListBytes = 16384;
constexpr size_t kSkinValueBytes = 2048;

struct SkinRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const SkinRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Takes the next field off the front of rest. Without a further comma the field is the whole
// rest, which stays in place for the next call.
std::string NextField(std::string& rest);
// Decimal integer up to the first non-digit, with an optional sign; anything else reads as 0.
int ParseInt(const std::string& field);
// Four fields x, y, w, h as left, top, right = x + w, bottom = y + h.
SkinRect ReadRect(std::string& rest);
bool IsTrueFlag(const std::string& field);    // first character "T"
bool IsHorizontal(const std::string& field);  // first character "H" (a lower-case "h" is vertical)
// The names of a double-zero-terminated key list as the profile reader returns it.
std::vector<std::string> SplitKeyList(const char* list, size_t bytes);
// An entry value as the skin reads it: at most 255 characters.
std::string LimitEntry(const std::string& value);

enum class ButtonType { Push, OnOff, Radio };

struct ButtonEntry {
    std::string name;
    SkinRect rect;
    std::string shapeFile;  // empty when the entry has no shape-mask field
    ButtonType type = ButtonType::Push;
    int radioGroup = 0;
    std::string tooltip;
    std::string onTooltip;
};

struct ProgressEntry {
    std::string name;
    SkinRect rect;
    bool horizontal = false;
    std::string tooltip;
};

struct TrackbarEntry {
    std::string name;
    SkinRect rect;
    bool horizontal = false;
    int position = 0;
};

struct TextEntry {
    std::string name;
    std::string face;
    bool bold = false;
    bool italic = false;
    int height = 0;
    uint32_t color = 0;  // 0x00BBGGRR
    SkinRect rect;
    std::string text;
};

ButtonEntry ParseButtonEntry(const std::string& value);
ProgressEntry ParseProgressEntry(const std::string& value);
TrackbarEntry ParseTrackbarEntry(const std::string& value);
TextEntry ParseTextEntry(const std::string& value);

// A view of the master file: its view file path (FOLDER + field 1) and menu title (field 2).
struct ViewEntry {
    std::string file;
    std::string title;
};
ViewEntry ParseViewEntry(const std::string& folder, const std::string& value);

// Skin pictures and elements are held to what a screen can show: a larger picture counts as one
// that could not be loaded, and element and screen rectangles are clipped to the window.
constexpr int kMaxSkinSide = 4096;
bool SkinPictureSizeAllowed(int64_t width, int64_t height);
// The part of a rectangle inside (0, 0, width, height); a rectangle wholly outside becomes empty
// (zero width and height) at the nearest point of the area.
SkinRect ClipToArea(const SkinRect& r, int width, int height);

// The folder of a file path with its trailing backslash ("" when the path has no folder).
std::string FolderOf(const std::string& path);

}  // namespace lumetra
