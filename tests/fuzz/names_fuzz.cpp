// Texts from outside the program: registry strings as stored (any bytes, any length), capture file
// names and their extensions, program paths, device names and menu texts.
#include "app/format.h"
#include "mainwnd/menu_items.h"
#include "media/capture_settings_rules.h"
#include "media/device_names.h"
#include "skin/skin_format.h"
#include "tests/fuzz/fuzz_input.h"

using namespace lumetra;

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const size_t capacity = in.Take<uint16_t>() % 600;
    const int compType = in.Take<int8_t>();
    const std::string other = in.Text(200);
    const std::string text = in.RestText();

    // A registry value read back: never longer than its buffer, never past its first zero.
    std::vector<char> stored(text.begin(), text.end());  // exact length for the sanitizers
    std::string kept = StoredText(stored.data(), stored.size(), capacity);
    FUZZ_CHECK(capacity == 0 ? kept.empty() : kept.size() <= capacity - 1);
    FUZZ_CHECK(kept.find('\0') == std::string::npos);

    // The capture file's extension follows its compression.
    std::string fixed = FixCaptureExtension(text, compType);
    FUZZ_CHECK(EndsWith(fixed, compType != 0 ? ".mpg" : ".avi"));
    if (HasDriveLetter(text)) FUZZ_CHECK(DriveOf(text).size() == 2);

    std::string folder = ProgramFolderOf(text);
    FUZZ_CHECK(folder.size() <= text.size());
    FUZZ_CHECK(FolderOf(text).size() <= text.size());

    FriendlyNameMatches(text, other);
    const char* const list[] = {other.c_str(), "USB Vexa40 Video", nullptr};
    FUZZ_CHECK(NamesToTry(text, list).front() == text);

    // Menu texts: separators and titles among plain items.
    std::vector<std::string> texts;
    for (size_t at = 0; at < text.size() && texts.size() < 64;) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        texts.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    std::vector<MenuItem> items = BuildMenuItems(texts, compType);
    FUZZ_CHECK(items.size() == texts.size());
    FindString(texts, other);
    return 0;
}
