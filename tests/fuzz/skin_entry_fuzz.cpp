// Skin files as a user's skin may hold them: entry values of every element kind, view entries, key
// lists, field splitting and the rectangles of elements and the screen clipped to the window.
#include "skin/skin_format.h"
#include "tests/fuzz/fuzz_input.h"

using namespace lumetra;

namespace {

void CheckClipped(const SkinRect& r, int width, int height) {
    SkinRect c = ClipToArea(r, width, height);
    FUZZ_CHECK(c.left >= 0 && c.top >= 0 && c.left <= c.right && c.top <= c.bottom);
    FUZZ_CHECK(c.right <= (width > 0 ? width : 0) && c.bottom <= (height > 0 ? height : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int selector = in.Take<uint8_t>() % 6;
    const int width = in.Take<int32_t>(), height = in.Take<int32_t>();
    std::string value = in.RestText();
    switch (selector) {
    case 0: {
        ButtonEntry e = ParseButtonEntry(value);
        FUZZ_CHECK(e.name.size() <= kSkinEntryMaxChars);
        CheckClipped(e.rect, width, height);
        break;
    }
    case 1: CheckClipped(ParseProgressEntry(value).rect, width, height); break;
    case 2: CheckClipped(ParseTrackbarEntry(value).rect, width, height); break;
    case 3: {
        TextEntry e = ParseTextEntry(value);
        CheckClipped(e.rect, width, height);
        break;
    }
    case 4: {
        ViewEntry v = ParseViewEntry(value.substr(0, value.size() / 2), value.substr(value.size() / 2));
        std::string folder = FolderOf(v.file);
        FUZZ_CHECK(folder.size() <= v.file.size());
        break;
    }
    default: {
        // A key list as the profile reader returns it, then every field of the value.
        for (const std::string& key : SplitKeyList(value.data(), value.size())) FUZZ_CHECK(!key.empty());
        std::string rest = LimitEntry(value);
        for (int i = 0; i < 300 && !rest.empty(); ++i) {
            size_t before = rest.size();
            std::string field = NextField(rest);
            ParseInt(field);
            FUZZ_CHECK(rest.size() <= before);
            if (rest.size() == before) break;  // the last field stays in place
        }
        break;
    }
    }
    return 0;
}
