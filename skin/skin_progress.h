#pragma once
// A progress element: a fill over a piece of the skin, set by the program or dragged by the user.
#include <string>

#include "skin/hover_button.h"

namespace lumetra {

class SkinProgress : public HoverButton, public ElementPresence {
public:
    SkinProgress(SkinElementHost& host, int view) : host_(host), view_(view) {}

    void Configure(const std::string& name, bool horizontal);
    // The piece of the skin it covers and the fill drawn over it.
    void SetPictures(Bitmap background, Bitmap fill);
    // A value from the program: ignored while the user drags or when unchanged; above 100 shows full.
    void SetValue(int value);

    const std::string& Name() const { return name_; }
    int View() const { return view_; }
    int Value() const { return value_; }

    void Draw(const DRAWITEMSTRUCT& item) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int ValueAt(LPARAM lp) const;

    SkinElementHost& host_;
    int view_;
    std::string name_;
    bool horizontal_ = true;
    int value_ = 0;
    bool dragging_ = false;
    Bitmap background_;
    Bitmap fill_;
};

}  // namespace lumetra
