#include "skin/skin_format.h"

#include <climits>

namespace lumetra {

std::string NextField(std::string& rest) {
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string::npos) {
        rest.clear();
        return {};
    }
    rest.erase(0, start);
    size_t comma = rest.find(',');
    if (comma == std::string::npos) return rest;
    std::string field = rest.substr(0, comma);
    rest.erase(0, comma + 1);
    return field;
}

int ParseInt(const std::string& field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > INT_MAX) { value = INT_MAX; break; }  // a huge number saturates rather than wraps
    }
    return static_cast<int>(negative ? -value : value);
}

SkinRect ReadRect(std::string& rest) {
    SkinRect r;
    r.left = ParseInt(NextField(rest));
    r.top = ParseInt(NextField(rest));
    // Sizes are added in 64 bits and saturated, so a damaged entry cannot overflow.
    auto add = [](int a, int b) {
        long long s = static_cast<long long>(a) + b;
        return static_cast<int>(s > INT_MAX ? INT_MAX : s < INT_MIN ? INT_MIN : s);
    };
    r.right = add(r.left, ParseInt(NextField(rest)));
    r.bottom = add(r.top, ParseInt(NextField(rest)));
    return r;
}

bool IsTrueFlag(const std::string& field) { return !field.empty() && field[0] == 'T'; }
bool IsHorizontal(const std::string& field) { return !field.empty() && field[0] == 'H'; }

std::vector<std::string> SplitKeyList(const char* list, size_t bytes) {
    std::vector<std::string> keys;
    size_t i = 0;
    while (i < bytes && list[i] != '\0') {
        size_t start = i;
        while (i < bytes && list[i] != '\0') ++i;
        keys.emplace_back(list + start, i - start);
        ++i;
    }
    return keys;
}

std::string LimitEntry(const std::string& value) {
    return value.size() > kSkinEntryMaxChars ? value.substr(0, kSkinEntryMaxChars) : value;
}

ButtonEntry ParseButtonEntry(const std::string& value) {
    std::string rest = LimitEntry(value);
    ButtonEntry e;
    e.name = NextField(rest);
    e.rect = ReadRect(rest);
    std::string type = NextField(rest);
    if (type.compare(0, 4, "TYPE") != 0) {
        e.shapeFile = type;
        type = NextField(rest);
    }
    if (type == "TYPE_RADIO") {
        e.type = ButtonType::Radio;
        e.radioGroup = ParseInt(NextField(rest));
    } else if (type == "TYPE_ON_OFF") {
        e.type = ButtonType::OnOff;
    }
    e.tooltip = NextField(rest);
    if (!e.tooltip.empty()) e.onTooltip = NextField(rest);
    return e;
}

ProgressEntry ParseProgressEntry(const std::string& value) {
    std::string rest = LimitEntry(value);
    ProgressEntry e;
    e.name = NextField(rest);
    e.rect = ReadRect(rest);
    e.horizontal = IsHorizontal(NextField(rest));
    e.tooltip = NextField(rest);
    return e;
}

TrackbarEntry ParseTrackbarEntry(const std::string& value) {
    std::string rest = LimitEntry(value);
    TrackbarEntry e;
    e.name = NextField(rest);
    e.rect = ReadRect(rest);
    e.horizontal = IsHorizontal(NextField(rest));
    e.position = ParseInt(NextField(rest));
    NextField(rest);  // one further field, not used
    return e;
}

TextEntry ParseTextEntry(const std::string& value) {
    std::string rest = LimitEntry(value);
    TextEntry e;
    e.name = NextField(rest);
    e.face = NextField(rest);
    e.bold = IsTrueFlag(NextField(rest));
    e.italic = IsTrueFlag(NextField(rest));
    e.height = ParseInt(NextField(rest));
    e.color = static_cast<uint32_t>(ParseInt(NextField(rest)));
    e.rect = ReadRect(rest);
    e.text = NextField(rest);
    NextField(rest);  // one further field, not used
    return e;
}

ViewEntry ParseViewEntry(const std::string& folder, const std::string& value) {
    std::string rest = LimitEntry(value);
    ViewEntry v;
    v.file = folder + NextField(rest);
    v.title = NextField(rest);
    return v;
}

bool SkinPictureSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSkinSide && height <= kMaxSkinSide;
}

SkinRect ClipToArea(const SkinRect& r, int width, int height) {
    auto clamp = [](int v, int high) { return v < 0 ? 0 : v > high ? high : v; };
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
    SkinRect c{clamp(r.left, width), clamp(r.top, height), clamp(r.right, width), clamp(r.bottom, height)};
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace lumetra
