#pragma once
// A text element: its text over a piece of the skin, scrolling in a loop when wider than the element.
#include <string>

#include "skin/hover_button.h"

namespace lumetra {

class SkinText : public HoverButton, public ElementPresence {
public:
    SkinText(SkinElementHost& host, int index, int view) : host_(host), index_(index), view_(view) {}

    // Element name, the background piece, the font (taken over) and the colour (0x00BBGGRR).
    void Configure(const std::string& name, Bitmap background, HFONT font, COLORREF color);
    void SetText(const std::string& text);

    const std::string& Name() const { return name_; }
    const std::string& Text() const { return text_; }
    int View() const { return view_; }

    void Draw(const DRAWITEMSTRUCT& item) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static constexpr UINT_PTR kScrollTimer = 1;
    static constexpr UINT kScrollMs = 100;
    int MeasureWidth(const std::string& text) const;

    SkinElementHost& host_;
    int index_;
    int view_;
    std::string name_;
    std::string text_;
    std::string display_;
    Bitmap background_;
    Font font_;
    COLORREF color_ = 0;
    TextScroll scroll_;
};

}  // namespace lumetra
