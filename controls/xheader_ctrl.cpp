#include "controls/xheader_ctrl.h"

#include <vector>

#include "controls/list_geometry.h"
#include "framework/handles.h"

namespace lumetra {
namespace {

constexpr int kBoxSize = 13;
constexpr COLORREF kHeaderText = 0xFF0000;  // blue

// A bitmap of the three box images side by side: none, clear, checked.
Bitmap DrawBoxImages(COLORREF background) {
    WindowDC screen(nullptr);
    MemoryDC memory(screen.Get());
    Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), 3 * kBoxSize, kBoxSize));
    if (!memory || !bitmap) return bitmap;
    SelectedObject select(memory.Get(), bitmap.Get());
    RECT all{0, 0, 3 * kBoxSize, kBoxSize};
    Brush back(CreateSolidBrush(background));
    FillRect(memory.Get(), &all, back.Get());
    for (int i = 1; i <= 2; ++i) {
        RECT box{i * kBoxSize, 0, (i + 1) * kBoxSize, kBoxSize};
        DrawFrameControl(memory.Get(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (i == 2 ? DFCS_CHECKED : 0));
    }
    return bitmap;
}

}  // namespace

CXHeaderCtrl::~CXHeaderCtrl() {
    Destroy();
    if (boxImages_) ImageList_Destroy(boxImages_);
}

bool CXHeaderCtrl::AttachHeader(HWND header) {
    if (!Attach(header)) return false;
    RefreshColours();
    ReadImageSize();
    return true;
}

void CXHeaderCtrl::RefreshColours() {
    face_ = GetSysColor(COLOR_BTNFACE);
    highlight_ = GetSysColor(COLOR_BTNHIGHLIGHT);
    shadow_ = GetSysColor(COLOR_BTNSHADOW);
    text_ = GetSysColor(COLOR_BTNTEXT);
}

void CXHeaderCtrl::ReadImageSize() {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), HDM_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    if (images && ImageList_GetIconSize(images, &cx, &cy)) imageSize_ = SIZE{cx, cy};
}

void CXHeaderCtrl::EnsureBoxImages() {
    if (boxImages_) return;
    boxImages_ = ImageList_Create(kBoxSize, kBoxSize, ILC_COLOR24, 3, 0);
    if (!boxImages_) return;
    Bitmap strip = DrawBoxImages(face_);
    ImageList_Add(boxImages_, strip.Get(), nullptr);
    SendMessageA(Handle(), HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(boxImages_));
}

int CXHeaderCtrl::GetItemImage(int item) const {
    HDITEMA hd{};
    hd.mask = HDI_IMAGE | HDI_FORMAT;
    if (!SendMessageA(Handle(), HDM_GETITEMA, item, reinterpret_cast<LPARAM>(&hd))) return 0;
    return (hd.fmt & HDF_IMAGE) ? hd.iImage : 0;
}

bool CXHeaderCtrl::SetItemImage(int item, int image) {
    if (item < 0 || item >= static_cast<int>(SendMessageA(Handle(), HDM_GETITEMCOUNT, 0, 0))) return false;
    if (image != 0) EnsureBoxImages();
    HDITEMA hd{};
    hd.mask = HDI_FORMAT;
    SendMessageA(Handle(), HDM_GETITEMA, item, reinterpret_cast<LPARAM>(&hd));
    hd.mask = HDI_IMAGE | HDI_FORMAT;
    hd.iImage = image;
    hd.fmt = image != 0 ? (hd.fmt | HDF_IMAGE) : (hd.fmt & ~HDF_IMAGE);
    bool done = SendMessageA(Handle(), HDM_SETITEMA, item, reinterpret_cast<LPARAM>(&hd)) != FALSE;
    InvalidateRect(Handle(), nullptr, FALSE);
    return done;
}

void CXHeaderCtrl::PaintItem(HDC dc, int index, const RECT& r) {
    char text[256] = {};
    HDITEMA hd{};
    hd.mask = HDI_FORMAT | HDI_IMAGE | HDI_BITMAP | HDI_TEXT | HDI_LPARAM;
    hd.pszText = text;
    hd.cchTextMax = sizeof text;
    if (!SendMessageA(Handle(), HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&hd))) return;
    if (hd.fmt & HDF_OWNERDRAW) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_HEADER;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(Handle()));
        draw.itemID = static_cast<UINT>(index);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = Handle();
        draw.hDC = dc;
        draw.rcItem = r;
        draw.itemData = static_cast<ULONG_PTR>(hd.lParam);
        SendMessageA(GetParent(Handle()), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
        return;
    }
    RECT inner{r.left + spacing_, r.top, r.right - spacing_, r.bottom};
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), HDM_GETIMAGELIST, 0, 0));
    if ((hd.fmt & HDF_IMAGE) && images && hd.iImage >= 0 && inner.right > inner.left) {
        GeoRect place = HeaderImageRect(GeoRect{r.left, r.top, r.right, r.bottom}, spacing_, imageSize_.cx,
                                        imageSize_.cy);
        ImageList_DrawEx(images, hd.iImage, dc, place.left, place.top, place.Width(), place.Height(), CLR_NONE,
                         CLR_DEFAULT, ILD_NORMAL);
        inner.left = place.right + spacing_;
    }
    if ((hd.fmt & HDF_BITMAP) && hd.hbm && inner.right > inner.left) {
        BITMAP info{};
        GetObjectA(hd.hbm, sizeof info, &info);
        MemoryDC bitmapDc(dc);
        SelectedObject select(bitmapDc.Get(), hd.hbm);
        const int width = info.bmWidth < inner.right - inner.left ? info.bmWidth : inner.right - inner.left;
        const int top = r.top + (r.bottom - r.top - info.bmHeight) / 2;
        BitBlt(dc, inner.left, top, width, info.bmHeight, bitmapDc.Get(), 0, 0, SRCCOPY);
        inner.left += width + spacing_;
    }
    if (text[0] && inner.right > inner.left) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kHeaderText);
        DrawTextA(dc, text, -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

void CXHeaderCtrl::Paint() {
    PaintScope paint(Handle());
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    MemoryDC memory(paint.Get());
    Bitmap bitmap(doubleBuffer_ ? CreateCompatibleBitmap(paint.Get(), client.right, client.bottom) : nullptr);
    const bool offScreen = doubleBuffer_ && memory && bitmap;
    HDC dc = offScreen ? memory.Get() : paint.Get();
    HGDIOBJ oldBitmap = offScreen ? SelectObject(dc, bitmap.Get()) : nullptr;

    Brush face(CreateSolidBrush(face_));
    FillRect(dc, &client, face.Get());
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    SelectedObject selectFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));

    const int count = static_cast<int>(SendMessageA(Handle(), HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(count > 0 ? static_cast<size_t>(count) : 0);
    if (count > 0) SendMessageA(Handle(), HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
    Pen shadow(CreatePen(PS_SOLID, 1, shadow_)), light(CreatePen(PS_SOLID, 1, highlight_));
    int totalRight = 0;
    for (int index : order) {
        RECT r{};
        if (!SendMessageA(Handle(), HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) continue;
        if (r.right > totalRight) totalRight = r.right;
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &paint.Info().rcPaint)) continue;
        PaintItem(dc, index, r);
        // Between items: a shadow line and a highlight line.
        {
            SelectedObject selectPen(dc, shadow.Get());
            MoveToEx(dc, r.right - 1, r.top + 2, nullptr);
            LineTo(dc, r.right - 1, r.bottom - 2);
        }
        {
            SelectedObject selectPen(dc, light.Get());
            MoveToEx(dc, r.right, r.top + 2, nullptr);
            LineTo(dc, r.right, r.bottom - 2);
        }
    }
    // A raised edge round all items.
    RECT all{0, 0, totalRight, client.bottom};
    {
        SelectedObject selectPen(dc, light.Get());
        MoveToEx(dc, all.left, all.bottom - 1, nullptr);
        LineTo(dc, all.left, all.top);
        LineTo(dc, all.right, all.top);
    }
    {
        SelectedObject selectPen(dc, shadow.Get());
        MoveToEx(dc, all.right - 1, all.top, nullptr);
        LineTo(dc, all.right - 1, all.bottom - 1);
        LineTo(dc, all.left - 1, all.bottom - 1);
    }
    if (offScreen) {
        BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        SelectObject(dc, oldBitmap);
    }
}

LRESULT CXHeaderCtrl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOLORCHANGE:
        RefreshColours();
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case HDM_SETIMAGELIST: {
        LRESULT result = Window::WndProc(msg, wp, lp);
        ReadImageSize();
        return result;
    }
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace lumetra
