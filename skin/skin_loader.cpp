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
    cutter_ = std::make_unique<PieceCutter>();
    for (int i = 0; i < ViewCount(); ++i) {
        const View& view = views_[static_cast<size_t>(i)];
        if (view.file.empty() || !FileExists(view.file)) {
            SkinMessage(view.file + " : skin not found (see Skins.ini)", "Error");
            // The views after a missing one are not loaded: the program only offers those it has.
            views_.resize(static_cast<size_t>(i));
            break;
        }
        LoadView(i);
    }
    // The decoded pictures stay with the views; what only loading needs goes.
    imageCache_.Clear();
    cutter_.reset();
    if (!failedImages_.empty()) {
        std::string text = "These skin images could not be loaded; their parts show the main image instead:";
        for (const auto& f : failedImages_) text += "\n" + f;
        SkinMessage(text, "Warning");
    }
}

void SkinDialog::LoadViewImage(const std::string& folder, const std::string& name, SkinImage& image) {
    if (name.empty()) return;
    std::string path = folder + name;
    const int decodes = imageCache_.Decodes();
    if (!imageCache_.Load(path, image)) failedImages_.push_back(path);
    if (StartupTraceOn())
        TraceStartupStep("skin image " + name + (imageCache_.Decodes() > decodes ? " decoded" : " shared"));
}

HWND SkinDialog::ElementTooltip() {
    if (!tooltip_) tooltip_ = CreateSkinTooltip(Handle());
    return tooltip_;
}

void SkinDialog::LoadView(int index) {
    static const char* const kKeyNames[kImageKeyCount] = {"Main", "Mask", "Over", "On", "Blink", "Down",
                                                          "Disabled", "Volume", "Mute", "Brightness",
                                                          "Contrast", "Saturation", "Slider", "SliderOver"};
    View& view = views_[static_cast<size_t>(index)];
    view.path = FullPath(view.file);
    view.folder = FolderOf(view.path);
    ViewImages& images = view.images;
    auto load = [&](ImageKey key) {
        LoadViewImage(view.folder, ProfileValue("IMAGES", kKeyNames[key], view.path), images.image[key]);
    };
    load(kMain);
    load(kMask);
    const SkinImage& main = images.image[kMain];
    if (main.Valid())
        SetWindowPos(Handle(), nullptr, 0, 0, main.width, main.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    // The window's area holds the live picture and the elements: nothing of the skin reaches past it.
    RECT client{};
    GetClientRect(Handle(), &client);
    images.area = main.Valid() ? SIZE{main.width, main.height} : SIZE{client.right, client.bottom};
    std::string screen = ProfileValue("SCREENINFO", "Screen", view.path);
    images.screen = ToRect(ClipToArea(ReadRect(screen), images.area.cx, images.area.cy));
    for (int key = kOver; key < kImageKeyCount; ++key) load(static_cast<ImageKey>(key));

    CreateElements(index);
    if (StartupTraceOn()) TraceStartupStep("skin view " + std::to_string(index + 1) + " elements created");
    view.loaded = true;
}

Bitmap SkinDialog::ButtonPictureOf(int view, const std::string& name, ButtonPicture which, const RECT& at) {
    auto valid = [&](ImageKey key) -> const SkinImage* {
        const SkinImage& image = Image(view, key);
        return image.Valid() ? &image : nullptr;
    };
    const SkinImage* base = nullptr;
    const SkinImage* picture = nullptr;
    // The property buttons draw every state from the picture of their property (the volume button's
    // on state from Mute).
    if (name == "BUTTON_PROP_VOLUME") {
        base = valid(kVolume);
        if (which == ButtonPicture::On) picture = valid(kMute);
    } else if (name == "BUTTON_PROP_BRIGHTNESS") {
        base = valid(kBrightness);
    } else if (name == "BUTTON_PROP_CONTRAST") {
        base = valid(kContrast);
    } else if (name == "BUTTON_PROP_SATURATION") {
        base = valid(kSaturation);
    } else {
        static const ImageKey kStateImage[] = {kMain, kOver, kOn, kBlink, kDown, kDisabled};
        picture = valid(kStateImage[static_cast<size_t>(which)]);
    }
    if (!base) base = &Image(view, kMain);
    return Cut(picture ? *picture : *base, at);
}

Bitmap SkinDialog::Cut(const SkinImage& image, const RECT& at) {
    return cutter_ ? cutter_->Cut(image, at) : CutPiece(image, at);
}

void SkinDialog::GiveTrackbarPictures(SkinTrackbar& trackbar, int view, const RECT& at) {
    const SkinImage& slider = Image(view, kSlider);
    trackbar.SetPictures(Cut(Image(view, kMain), at), slider.Handle(), Image(view, kSliderOver).Handle(),
                         slider.width, slider.height);
}

void SkinDialog::GiveProgressPictures(SkinProgress& progress, int view, const RECT& at) {
    const SkinImage& main = Image(view, kMain);
    const SkinImage& on = Image(view, kOn);
    progress.SetPictures(Cut(main, at), Cut(on.Valid() ? on : main, at));
}

void SkinDialog::CreateElements(int index) {
    const View& view = views_[static_cast<size_t>(index)];
    CreateButtons(index, view.path, view.folder);
    CreateTexts(index, view.path);
    CreateTrackbars(index, view.path);
    CreateProgress(index, view.path);
}

void SkinDialog::CreateButtons(int index, const std::string& viewFile, const std::string& folder) {
    const ViewImages& im = views_[static_cast<size_t>(index)].images;
    for (const auto& [key, value] : NumberedEntries("BUTTONINFO", viewFile)) {
        ButtonEntry entry = ParseButtonEntry(value);
        RECT at = ToRect(ClipToArea(entry.rect, im.area.cx, im.area.cy));
        auto button = std::make_unique<SkinButton>(*this, static_cast<int>(buttons_.size()), index, key - 1);
        if (!button->CreateButton(Handle(), at, entry.name)) continue;
        button->Configure(entry.name, entry.type, entry.radioGroup);
        // Each picture is cut when the button first draws it: most states are never shown at start-up.
        button->SetPictureSource([this, index, name = entry.name, at](ButtonPicture which) {
            return ButtonPictureOf(index, name, which, at);
        });
        if (!entry.shapeFile.empty()) {
            SkinImage shape;
            bool loaded = imageCache_.Load(folder + entry.shapeFile, shape);
            if (StartupTraceOn()) TraceStartupStep("skin button shape " + entry.shapeFile);
            HRGN region = loaded ? RegionFromMask(shape) : nullptr;
            // The shape is drawn from the entry's corner; a clipped button starts further in.
            if (region) OffsetRgn(region, entry.rect.left - at.left, entry.rect.top - at.top);
            if (!region || !button->SetShape(region)) SkinMessage("Cannot Set Button region", "Error");
        }
        button->UseTooltip(ElementTooltip());
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
        text->Configure(entry.name, Cut(im.image[kMain], at), font, entry.color);
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
        GiveTrackbarPictures(*trackbar, index, at);
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
        progress->Configure(entry.name, entry.horizontal);
        GiveProgressPictures(*progress, index, at);
        progress->UseTooltip(ElementTooltip());
        progress->SetTooltipTexts(entry.tooltip, entry.tooltip);
        progress_.push_back(std::move(progress));
    }
}

}  // namespace lumetra
