#pragma once
// Owner-drawn push buttons of the skin: HoverButton draws one of six pictures and tracks the
// pointer; SkinButton adds the element name, the on state, on/off and radio behaviour, and a shape.
#include <array>
#include <functional>
#include <string>

#include "framework/handles.h"
#include "framework/window.h"
#include "skin/element_logic.h"
#include "skin/element_host.h"

namespace lumetra {

// A tooltip control for skin elements, owned by owner (destroyed with it).
HWND CreateSkinTooltip(HWND owner);

class HoverButton : public Window {
public:
    using Pictures = std::array<Bitmap, 6>;  // indexed by ButtonPicture
    using PictureSource = std::function<Bitmap(ButtonPicture)>;

    // Creates the owner-drawn button child (no border, no tab stop, no control identifier).
    bool CreateButton(HWND parent, const RECT& rect, const std::string& text, DWORD extraStyle = 0);
    // Where the pictures come from: each is made the first time the button draws it, so a picture
    // that is never shown costs nothing.
    void SetPictureSource(PictureSource source) { source_ = std::move(source); }
    // Lets the pictures go; the next draw makes again the ones it needs.
    void DropPictures() { pictures_ = Pictures{}; }
    // The tooltip control to show this element's texts in, shared with the other elements of its window;
    // without one the element creates its own on first use.
    void UseTooltip(HWND tooltip) { sharedTooltip_ = tooltip; }
    // The tooltip texts for the off and the on state.
    void SetTooltipTexts(const std::string& off, const std::string& on);
    void ShowTooltipFor(bool onState);
    const std::string& TooltipText() const { return offTip_; }
    bool Hovered() const { return hover_; }

    // Paints the control; called for the parent's owner-draw request.
    virtual void Draw(const DRAWITEMSTRUCT& item);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    virtual ButtonVisualState VisualState(const DRAWITEMSTRUCT& item) const;
    HBITMAP Picture(ButtonPicture which);
    void Repaint() { InvalidateRect(Handle(), nullptr, FALSE); }
    void TrackHover(WPARAM keys);
    void ClearHover();

private:
    void EnsureTooltip();
    void RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp);

    Pictures pictures_;
    PictureSource source_;
    bool hover_ = false;
    HWND tooltip_ = nullptr;        // holds this element's tool; its own is destroyed with it
    HWND sharedTooltip_ = nullptr;  // the window's tooltip, owned by the window
    std::string offTip_, onTip_;
};

class SkinButton : public HoverButton, public ElementPresence {
public:
    SkinButton(SkinElementHost& host, int index, int view, int ordinal)
        : host_(host), index_(index), view_(view), ordinal_(ordinal) {}

    void Configure(const std::string& name, ButtonType type, int radioGroup);
    // Applies a shape; false when the platform refuses it.
    bool SetShape(HRGN region);

    const std::string& Name() const { return name_; }
    int View() const { return view_; }
    int Ordinal() const { return ordinal_; }
    bool IsRadio() const { return type_ == ButtonType::Radio; }
    int RadioGroup() const { return radioGroup_; }
    int OnState() const { return onState_; }
    void SetOnState(int state);

    void Draw(const DRAWITEMSTRUCT& item) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    ButtonVisualState VisualState(const DRAWITEMSTRUCT& item) const override;

private:
    void OnRelease(POINT at);

    SkinElementHost& host_;
    int index_;
    int view_;
    int ordinal_;
    std::string name_;
    ButtonType type_ = ButtonType::Push;
    int radioGroup_ = 0;
    int onState_ = 0;
    bool pressed_ = false;
    Region shape_;  // a copy kept for clipped drawing; the window owns the one it was given
};

}  // namespace lumetra
