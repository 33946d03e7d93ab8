#pragma once
// The skinned window: a borderless dialog shaped by the skin's mask, painted with its main image,
// holding the skin's elements. Elements are addressed by element name; their events reach the
// virtual hooks below, which a derived window overrides.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "skin/element_host.h"
#include "skin/hover_button.h"
#include "skin/skin_image.h"
#include "skin/skin_progress.h"
#include "skin/skin_text.h"
#include "skin/skin_trackbar.h"

namespace lumetra {

class SkinDialog : public Dialog, public SkinElementHost {
public:
    explicit SkinDialog(int templateId);
    ~SkinDialog() override;

    int ViewCount() const { return static_cast<int>(views_.size()); }
    int CurrentView() const { return currentView_; }
    const std::string& ViewFile(int view) const { return views_[static_cast<size_t>(view)].file; }
    const std::string& ViewTitle(int view) const { return views_[static_cast<size_t>(view)].title; }
    // The video screen rectangle of the current view, in client coordinates.
    RECT ScreenRect() const;

    // Element operations by element name (compared exactly). Values (positions, texts, on states,
    // tooltips) go to every element of that name in every view, so views stay in step; enable and show
    // change what the program wants of the element, and the current view's elements follow at once.
    void SetTrackbarPosition(const std::string& name, int position);
    void SetTrackbarRange(const std::string& name, int maximum);
    void SetProgressValue(const std::string& name, int value);
    void SetText(const std::string& name, const std::string& text);
    void EnableElement(const std::string& name, bool enable);
    void ShowElement(const std::string& name, bool show);
    void SetButtonOn(const std::string& name, bool on);
    void SetTooltip(const std::string& name, const std::string& text);
    std::string GetTooltip(const std::string& name) const;
    bool GetElementScreenRect(const std::string& name, RECT& rect) const;
    void ShowAll(bool show);

    // Shows the elements of one view and takes its size and shape; with copyStates the view's elements
    // first take the states of their namesakes in the view shown so far.
    void SelectView(int view, bool copyStates);

protected:
    // Hooks, empty here; the derived window gives them meaning.
    virtual bool ButtonHook(const std::string& name, int onState, bool pressed) { return true; }
    virtual void WheelHook(const std::string& name, int delta) {}
    bool ButtonRelay(int buttonIndex, bool pressed) override;
    virtual void TrackbarHook(const std::string& name, int code, int position) {}
    void TrackbarRelay(int trackbarIndex, int code, int position) override;
    virtual void TextHook(const std::string& name) {}
    void TextRelay(int textIndex) override;
    void HoverHook(const std::string& name, POINT point, UINT keys) override {}
    void ProgressPositionHook(const std::string& name, int position) override {}
    void ProgressReleaseHook(const std::string& name) override {}
    virtual void LoadSkin();
    void ApplyRadioRule(int group, int selectedOrdinal) override;
    // A press on the background, before the window starts to move.
    virtual void OnBackgroundPress() {}

    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Discards all elements and loads the skin; failures show their messages.
    BOOL OnInitDialog() override;

    // Shows a message box of the skin engine, owned by this window, without icon.
    void SkinMessage(const std::string& text, const char* caption);

private:
    // The images a view file names, by key, in the order the skin format lists them.
    enum ImageKey {
        kMain, kMask, kOver, kOn, kBlink, kDown, kDisabled,
        kVolume, kMute, kBrightness, kContrast, kSaturation, kSlider, kSliderOver, kImageKeyCount
    };
    struct ViewImages {
        std::array<SkinImage, kImageKeyCount> image;
        SIZE area{};    // the window's client size with this view: screen and elements are clipped to it
        RECT screen{};
    };
    struct View {
        std::string file;
        std::string title;
        std::string path;    // the view file in full
        std::string folder;  // its folder, where its images are
        ViewImages images;
        bool loaded = false;
    };
    void ClearElements();
    void LoadView(int index);
    const SkinImage& Image(int view, ImageKey key) const {
        return views_[static_cast<size_t>(view)].images.image[key];
    }
    // A button's picture for a state: its rectangle cut out of that state's image, or out of the main
    // image when that one could not be loaded; the property buttons draw from their property's image.
    Bitmap ButtonPictureOf(int view, const std::string& name, ButtonPicture which, const RECT& at);
    // Cuts a piece with the loader's device contexts while the skin loads, with its own afterwards.
    Bitmap Cut(const SkinImage& image, const RECT& at);
    void GiveTrackbarPictures(SkinTrackbar& trackbar, int view, const RECT& at);
    void GiveProgressPictures(SkinProgress& progress, int view, const RECT& at);
    void CreateElements(int index);
    void CreateButtons(int index, const std::string& viewFile, const std::string& folder);
    void CreateTexts(int index, const std::string& viewFile);
    void CreateTrackbars(int index, const std::string& viewFile);
    void CreateProgress(int index, const std::string& viewFile);
    void LoadViewImage(const std::string& folder, const std::string& name, SkinImage& image);
    // The one tooltip control of all elements, created with the first of them.
    HWND ElementTooltip();
    void ApplyWindowShape();
    void ApplyViewVisibility();
    void DropHiddenViewPictures();
    void CopyStatesFromView(int from, int to);
    void Paint();
    void OnWheel(WPARAM wp, LPARAM lp);
    HWND ElementWindow(const std::string& name, bool currentViewOnly) const;

    std::vector<View> views_;
    int currentView_ = 0;
    std::vector<std::string> failedImages_;
    SkinImageCache imageCache_;            // while the skin loads
    std::unique_ptr<PieceCutter> cutter_;  // while the skin loads
    HWND tooltip_ = nullptr;     // owned by this window

    std::vector<std::unique_ptr<SkinButton>> buttons_;
    std::vector<std::unique_ptr<SkinTrackbar>> trackbars_;
    std::vector<std::unique_ptr<SkinProgress>> progress_;
    std::vector<std::unique_ptr<SkinText>> texts_;
};

}  // namespace lumetra
