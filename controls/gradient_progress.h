#pragma once
// A progress bar painted as a shaded bar in a colour of the caller's choice. It is attached to an
// existing progress control of a dialog, so range and position keep their standard messages;
// only the painting is replaced.
#include <windows.h>

#include "controls/gradient_shades.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace lumetra {

class GradientProgress : public Window {
public:
    GradientProgress();

    // Recolours the bar and repaints it at once.
    void SetBarColour(COLORREF colour);
    COLORREF BarColour() const { return shades_.base; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    using Pen = GdiObject<HPEN>;
    void CreatePens();
    void OnPaint();
    void PaintBar(HDC dc, const RECT& client);

    GradientShades shades_;
    COLORREF darkShadow_, buttonShadow_, frameMid_;  // the frame strokes use the midpoint and the button shadow
    Pen base_, light1_, light2_, dark1_, dark2_, framePen_, buttonShadowPen_;
};

}  // namespace lumetra
