// Loading the skin: the master file, each view file, its images and its elements.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/startup_trace.h"
#include "skin/mask_region.h"
#include "skin/skin_dialog.h"
#include "skin/skin_format.h"

namespace lumetra {
namespace {

const char kMasterFile[] = "./skins.ini";

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProfileValue(const char* section, const std::string& key, const std::string& file) {
    std::vector<char> value(kSkinValueBytes, '\0');
    DWORD n = GetPrivateProfileStringA(section, key.c_str(), "", value.data(), static_cast<DWORD>(value.size()),
                                       file.c_str());
    return LimitEntry(std::string(value.data(), n));
}

std::vector<std::string> ProfileKeys(const char* section, const std::string& file) {
    std::vector<char> list(kSkinKeyListBytes, '\0');
    DWORD n = GetPrivateProfileStringA(section, nullptr, "", list.data(), static_cast<DWORD>(list.size()),
                                       file.c_str());
    return SplitKeyList(list.data(), n);
}

// The values of keys "1".."K" of a section, K being its key count; a missing or empty key is skipped.
// Each value comes with its key number.
std::vector<std::pair<int, std::string>> NumberedEntries(const char* section, const std::string& file) {
    std::vector<std::pair<int, std::string>> entries;
    size_t count = ProfileKeys(section, file).size();
    for (size_t k = 1; k <= count; ++k) {
        std::string value = ProfileValue(section, std::to_string(k), file);
        if (!value.empty()) entries.emplace_back(static_cast<int>(k), value);
    }
    return entries;
}

// The profile calls read a file named without a full path from the Windows folder, so every skin
// file is named to them in full.
std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
}

RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The picture set of a button: its rectangle cut out of each state image; a state image that could
// not be loaded gives the main image's piece instead.
HoverButton::Pictures CutButtonPictures(const RECT& at, const SkinImage& main, const SkinImage& over,
                                        const SkinImage& on, const SkinImage& blink, const SkinImage& down,
                                        const SkinImage& disabled) {
    auto cut = [&](const SkinImage& image) { return CutPiece(image.Valid() ? image : main, at); };
    HoverButton::Pictures p;
    p[static_cast<size_t>(ButtonPicture::Normal)] = cut(main);
    p[static_cast<size_t>(ButtonPicture::Over)] = cut(over);
    p[static_cast<size_t>(ButtonPicture::On)] = cut(on);
    p[static_cast<size_t>(ButtonPicture::Blink)] = cut(blink);
    p[static_cast<size_t>(ButtonPicture::Down)] = cut(down);
    p[static_cast<size_t>(ButtonPicture::Disabled)] = cut(disabled);
    return p;
}

}  // namespace

void SkinDialog::LoadSkin() {
    views_.clear();
    failedImages_.clear();
    if (!FileExists(kMasterFile)) {
        SkinMessage(std::string(kMasterFile) + " not found", "Error");
        return;
    }
    const std::string master = FullPath(kMasterFile);
    std::vector<std::string> keys = ProfileKeys("VIEWS", master);
    if (keys.empty()) {
        SkinMessage("Could not find [VIEWS] section (see Skins.ini)", "Error");
        return;
    }
    std::string folder = ProfileValue("VIEWS", "FOLDER", master);
    views_.resize(keys.size() - 1);
    for (size_t n = 1; n <= views_.size(); ++n) {
        std::string value = ProfileValue("VIEWS", std::to_string(n), master);
        if (value.empty()) continue;
        ViewEntry entry = ParseViewEntry(folder, value);
        views_[n - 1].file = entry.file;
        views_[n - 1].title = entry.title;
    }
    for (int i = 0; i < ViewCount(); ++i) {
        if (!LoadView(i)) {
            // The views after a missing one are not loaded: the program only offers those it has.
            views_.resize(static_cast<size_t>(i));
            break;
        }
    }
    if (!failedImages_.empty()) {
        std::string text = "These skin images could not be loaded; their parts show the main image instead:";
        for (const auto& f : failedImages_) text += "\n" + f;
        SkinMessage(text, "Warning");
    }
}

void SkinDialog::LoadViewImage(const std::string& folder, const std::string& name, SkinImage& image) {
    if (name.empty()) return;
    std::string path = folder + name;
    if (!LoadSkinImage(path, image)) failedImages_.push_back(path);
    if (StartupTraceOn()) TraceStartupStep("skin image " + name);
}

bool SkinDialog::LoadView(int index) {
    View& view = views_[static_cast<size_t>(index)];
    if (view.file.empty() || !FileExists(view.file)) {
        SkinMessage(view.file + " : skin not found (see Skins.ini)", "Error");
        return false;
    }
    const std::string file = FullPath(view.file);
    std::string folder = FolderOf(file);
    ViewImages& images = view.images;
    auto imageName = [&](const char* key) { return ProfileValue("IMAGES", key, file); };

    LoadViewImage(folder, imageName("Main"), images.main);
    LoadViewImage(folder, imageName("Mask"), images.mask);
    if (images.main.Valid())
        SetWindowPos(Handle(), nullptr, 0, 0, images.main.width, images.main.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    // The window's area holds the live picture and the elements: nothing of the skin reaches past it.
    RECT client{};
    GetClientRect(Handle(), &client);
    images.area = images.main.Valid() ? SIZE{images.main.width, images.main.height} : SIZE{client.right, client.bottom};
    std::string screen = ProfileValue("SCREENINFO", "Screen", file);
    images.screen = ToRect(ClipToArea(ReadRect(screen), images.area.cx, images.area.cy));
    LoadViewImage(folder, imageName("Over"), images.over);
    LoadViewImage(folder, imageName("On"), images.on);
    LoadViewImage(folder, imageName("Blink"), images.blink);
    LoadViewImage(folder, imageName("Down"), images.down);
    LoadViewImage(folder, imageName("Disabled"), images.disabled);
    LoadViewImage(folder, imageName("Volume"), images.volume);
    LoadViewImage(folder, imageName("Mute"), images.mute);
    LoadViewImage(folder, imageName("Brightness"), images.brightness);
    LoadViewImage(folder, imageName("Contrast"), images.contrast);
    LoadViewImage(folder, imageName("Saturation"), images.saturation);
    LoadViewImage(folder, imageName("Slider"), images.slider);
    LoadViewImage(folder, imageName("SliderOver"), images.sliderOver);

    CreateElements(index, file, folder);
    if (StartupTraceOn()) TraceStartupStep("skin view " + std::to_string(index + 1) + " elements created");
    view.loaded = true;
    return true;
}

void SkinDialog::CreateElements(int index, const std::string& viewFile, const std::string& folder) {
    CreateButtons(index, viewFile, folder);
    CreateTexts(index, viewFile);
    CreateTrackbars(index, viewFile);
    CreateProgress(index, viewFile);
}

void SkinDialog::CreateButtons(int index, const std::string& viewFile, const std::string& folder) {
    const ViewImages& im = views_[static_cast<size_t>(index)].images;
    for (const auto& [key, value] : NumberedEntries("BUTTONINFO", viewFile)) {
        ButtonEntry entry = ParseButtonEntry(value);
        RECT at = ToRect(ClipToArea(entry.rect, im.area.cx, im.area.cy));
        auto button = std::make_unique<SkinButton>(*this, static_cast<int>(buttons_.size()), index, key - 1);
        if (!button->CreateButton(Handle(), at, entry.name)) continue;
        button->Configure(entry.name, entry.type, entry.radioGroup);

        // The property buttons draw every state from the picture of their property.
        if (entry.name == "BUTTON_PROP_VOLUME") {
            const SkinImage& v = im.volume;
            button->SetPictures(CutButtonPictures(at, v.Valid() ? v : im.main, v, im.mute, v, v, v));
        } else if (entry.name == "BUTTON_PROP_BRIGHTNESS" || entry.name == "BUTTON_PROP_CONTRAST" ||
                   entry.name == "BUTTON_PROP_SATURATION") {
            const SkinImage& p = entry.name == "BUTTON_PROP_BRIGHTNESS" ? im.brightness
                                 : entry.name == "BUTTON_PROP_CONTRAST" ? im.contrast
                                                                        : im.saturation;
            button->SetPictures(CutButtonPictures(at, p.Valid() ? p : im.main, p, p, p, p, p));
        } else {
            button->SetPictures(CutButtonPictures(at, im.main, im.over, im.on, im.blink, im.down, im.disabled));
        }

        if (!entry.shapeFile.empty()) {
            SkinImage shape;
            bool loaded = LoadSkinImage(folder + entry.shapeFile, shape);
            if (StartupTraceOn()) TraceStartupStep("skin button shape " + entry.shapeFile);
            HRGN region = loaded ? RegionFromMask(shape) : nullptr;
            // The shape is drawn from the entry's corner; a clipped button starts further in.
            if (region) OffsetRgn(region, entry.rect.left - at.left, entry.rect.top - at.top);
            if (!region || !button->SetShape(region)) SkinMessage("Cannot Set Button region", "Error");
        }
        button->SetTooltipTexts(entry.tooltip, entry.onTooltip);
        buttons_.push_back(std::move(button));
    }
}

void SkinDialog::CreateTexts(int index, const std::string& viewFile) {
    const ViewImages& im = views_[static_cast<size_t>(index)].images;
    for (const auto& [key, value] : NumberedEntries("TEXTINFO", viewFile)) {
        TextEntry entry = ParseTextEntry(value);
        RECT at = ToRect(ClipToArea(entry.rect, im.area.cx, im.area.cy));
        auto text = std::make_unique<SkinText>(*this, static_cast<int>(texts_.size()), index);
        if (!text->CreateButton(Handle(), at, "")) continue;
        HFONT font = CreateFontA(entry.height, 0, 0, 0, entry.bold ? FW_BOLD : FW_NORMAL, entry.italic, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, entry.face.c_str());
        text->Configure(entry.name, CutPiece(im.main, at), font, entry.color);
        text->SetText(entry.text);
        texts_.push_back(std::move(text));
    }
}

void SkinDialog::CreateTrackbars(int index, const std::string& viewFile) {
    const ViewImages& im = views_[static_cast<size_t>(index)].images;
    for (const auto& [key, value] : NumberedEntries("TRACKBARINFO", viewFile)) {
        TrackbarEntry entry = ParseTrackbarEntry(value);
        RECT at = ToRect(ClipToArea(entry.rect, im.area.cx, im.area.cy));
        auto trackbar = std::make_unique<SkinTrackbar>(*this, static_cast<int>(trackbars_.size()), index);
        if (!trackbar->CreateTrackbar(Handle(), at, entry.horizontal)) continue;
        trackbar->SetName(entry.name);
        trackbar->SetPictures(CutPiece(im.main, at), im.slider.bitmap.Get(), im.sliderOver.bitmap.Get(),
                              im.slider.width, im.slider.height);
        trackbar->SetPosition(entry.position);
        trackbars_.push_back(std::move(trackbar));
    }
}

void SkinDialog::CreateProgress(int index, const std::string& viewFile) {
    const ViewImages& im = views_[static_cast<size_t>(index)].images;
    for (const auto& [key, value] : NumberedEntries("PROGRESSINFO", viewFile)) {
        ProgressEntry entry = ParseProgressEntry(value);
        RECT at = ToRect(ClipToArea(entry.rect, im.area.cx, im.area.cy));
        auto progress = std::make_unique<SkinProgress>(*this, index);
        if (!progress->CreateButton(Handle(), at, entry.name)) continue;
        progress->Configure(entry.name, entry.horizontal, CutPiece(im.main, at),
                            CutPiece(im.on.Valid() ? im.on : im.main, at));
        progress->SetTooltipTexts(entry.tooltip, entry.tooltip);
        progress_.push_back(std::move(progress));
    }
}

}  // namespace lumetra
