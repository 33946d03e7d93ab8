#pragma once
// The extended list's header: it paints itself (through an off-screen bitmap, so it does not
// flicker), shows each item's image, bitmap and text, and can show a check box in an item that stands
// for the whole column (image 1 a clear box, 2 a checked box, 0 none).
#include <windows.h>
#include <commctrl.h>

#include "framework/window.h"

namespace lumetra {

class CXHeaderCtrl : public Window {
public:
    CXHeaderCtrl() = default;
    ~CXHeaderCtrl() override;

    bool AttachHeader(HWND header);
    void SetDoubleBuffer(bool on) { doubleBuffer_ = on; }
    void SetSpacing(int pixels) { spacing_ = pixels; }

    // The check-box image of an item: 0 none, 1 clear, 2 checked (the header gets its box images
    // when the first box is set).
    int GetItemImage(int item) const;
    bool SetItemImage(int item, int image);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    void PaintItem(HDC dc, int index, const RECT& r);
    void RefreshColours();
    void EnsureBoxImages();
    void ReadImageSize();

    bool doubleBuffer_ = true;
    int spacing_ = 6;
    SIZE imageSize_{0, 0};
    HIMAGELIST boxImages_ = nullptr;  // owned: destroyed with this object
    COLORREF face_ = 0, highlight_ = 0, shadow_ = 0, text_ = 0;
};

}  // namespace lumetra
