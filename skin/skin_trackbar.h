#pragma once
// A trackbar element: a platform trackbar painted with a piece of the skin and thumb pictures.
#include <string>

#include "framework/handles.h"
#include "framework/window.h"
#include "skin/element_host.h"

namespace lumetra {

class SkinTrackbar : public Window, public ElementPresence {
public:
    SkinTrackbar(SkinElementHost& host, int index, int view) : host_(host), index_(index), view_(view) {}

    bool CreateTrackbar(HWND parent, const RECT& rect, bool horizontal);
    // Background piece and thumb pictures (normal, pressed) with the thumb picture size.
    void SetPictures(Bitmap background, HBITMAP thumb, HBITMAP thumbOver, int thumbWidth, int thumbHeight);
    void SetName(const std::string& name) { name_ = name; }

    void SetPosition(int position);
    int Position() const;
    void SetRangeMax(int maximum);

    const std::string& Name() const { return name_; }
    int View() const { return view_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    RECT ThumbRect() const;
    void Paint();

    SkinElementHost& host_;
    int index_;
    int view_;
    std::string name_;
    bool horizontal_ = true;
    Bitmap background_;
    HBITMAP thumb_ = nullptr;      // owned by the skin's image set
    HBITMAP thumbOver_ = nullptr;  // owned by the skin's image set
    int thumbWidth_ = 0, thumbHeight_ = 0;
    bool thumbPressed_ = false;
    bool dragging_ = false;
};

}  // namespace lumetra
