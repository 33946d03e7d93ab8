// The colour button driven as a user would: a click opens the palette, the mouse or the keys pick.
#include "controls/color_button.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/ui/ui_support.h"

namespace lumetra {
namespace {

using ui::RecordingParent;

constexpr int kButtonId = 1271;

class ColourButton : public ::testing::Test {
protected:
    void SetUp() override {
        for (UINT m = kColourSelChange; m <= kColourSelEndCancel; ++m) parent_.Watch(m);
        HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 60, 24,
                                      parent_.Handle(), reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
        ASSERT_TRUE(colour_.AttachButton(button));
        colour_.SetDefaultColor(0xF0FFFF);
    }
    void TearDown() override {
        // Whatever a test left open is closed before the next one.
        if (colour_.PopupWindow()) ui::Key(colour_.PopupWindow(), VK_ESCAPE);
    }
    // Clicks the button and returns the palette window.
    HWND Open() {
        RECT r;
        GetClientRect(colour_.Handle(), &r);
        ui::Click(colour_.Handle(), ui::Centre(r));
        EXPECT_TRUE(ui::PumpUntil(2000, [&] { return colour_.PopupWindow() != nullptr; })) << "palette did not open";
        return colour_.PopupWindow();
    }
    // A client point of the palette over a cell (index) or a box, laid out as the palette lays itself out:
    // with the system's message font.
    static POINT CellPoint(int index) {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE text{};
        GetTextExtentPoint32A(dc, "More Colors...", 14, &text);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
        PaletteLayout l = LayoutPalette(GetSystemMetrics(SM_CXEDGE), text.cy, 0, 0, true, true);
        GeoRect r = index == kPaletteDefault ? l.defaultBox : index == kPaletteCustom ? l.customBox : l.Cell(index);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::vector<uint32_t> Colours(UINT msg) const {
        std::vector<uint32_t> found;
        for (const auto& m : parent_.Of(msg)) found.push_back(static_cast<uint32_t>(m.wp));
        return found;
    }
    std::vector<UINT> Order() const {
        std::vector<UINT> order;
        for (const auto& m : parent_.messages) order.push_back(m.msg);
        return order;
    }

    RecordingParent parent_;
    CColorButton colour_;
};

TEST_F(ColourButton, PickingACellWithTheMouseSetsTheColourAndTellsTheParent) {
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(colour_.PopupOpen());
    EXPECT_EQ(Colours(kColourDropDown).size(), 1u);
    SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(CellPoint(3).x, CellPoint(3).y));
    EXPECT_EQ(Colours(kColourSelChange), (std::vector<uint32_t>{0xE4FFDF}));
    SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(CellPoint(3).x, CellPoint(3).y));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(colour_.PopupOpen());
    EXPECT_EQ(colour_.GetColor(), 0xE4FFDFu);
    // Close-up, accepted, and the change itself, each with the new colour and the button's ID.
    EXPECT_EQ(Colours(kColourSelEndOk), (std::vector<uint32_t>{0xE4FFDF}));
    EXPECT_EQ(Colours(kColourSelChange), (std::vector<uint32_t>{0xE4FFDF, 0xE4FFDF}));
    EXPECT_EQ(parent_.Of(kColourSelEndOk)[0].lp, kButtonId);
    const std::vector<UINT> order = Order();
    ASSERT_GE(order.size(), 3u);
    const std::vector<UINT> tail(order.end() - 3, order.end());
    EXPECT_EQ(tail, (std::vector<UINT>{kColourCloseUp, kColourSelEndOk, kColourSelChange}));
}

TEST_F(ColourButton, EscapeAfterHoveringKeepsTheColour) {
    colour_.SetColor(0x123456);
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    for (int cell : {0, 1, 2}) SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(CellPoint(cell).x, CellPoint(cell).y));
    EXPECT_EQ(Colours(kColourSelChange).size(), 3u);
    parent_.Clear();
    ui::Key(popup, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(colour_.GetColor(), 0x123456u);
    EXPECT_EQ(Order(), (std::vector<UINT>{kColourCloseUp, kColourSelEndCancel}));
    EXPECT_EQ(Colours(kColourSelEndCancel), (std::vector<uint32_t>{0x123456}));
}

TEST_F(ColourButton, ReleasingOutsideThePaletteCancels) {
    colour_.SetColor(0xFFFFFF);
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(CellPoint(5).x, CellPoint(5).y));
    SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(-20, -20));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(colour_.GetColor(), 0xFFFFFFu);
    EXPECT_EQ(Colours(kColourSelEndCancel).size(), 1u);
    EXPECT_TRUE(Colours(kColourSelEndOk).empty());
}

TEST_F(ColourButton, TheDefaultBoxGivesTheDefaultColour) {
    colour_.SetColor(0xFFFFFF);
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    SendMessageA(popup, WM_MOUSEMOVE, 0, MAKELPARAM(CellPoint(kPaletteDefault).x, CellPoint(kPaletteDefault).y));
    EXPECT_EQ(Colours(kColourSelChange), (std::vector<uint32_t>{kDefaultColour}));
    SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(CellPoint(kPaletteDefault).x, CellPoint(kPaletteDefault).y));
    EXPECT_EQ(colour_.RawColor(), kDefaultColour);
    EXPECT_EQ(colour_.GetColor(), 0xF0FFFFu);  // the default colour stands in
}

TEST_F(ColourButton, KeysStartFromTheChosenCell) {
    colour_.SetColor(0xFAE6E6);  // Lavender, cell 8
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    ui::Key(popup, VK_RIGHT);
    EXPECT_EQ(Colours(kColourSelChange), (std::vector<uint32_t>{0xFFF6F6}));  // cell 9
    ui::Key(popup, VK_UP);
    ui::Key(popup, VK_UP);
    ui::Key(popup, VK_LEFT);
    EXPECT_EQ(Colours(kColourSelChange).back(), 0xE1E4FFu);  // 9, 7, 5, then left to 4
    ui::Key(popup, VK_RETURN);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(colour_.GetColor(), 0xE1E4FFu);
}

TEST_F(ColourButton, MoreColorsOpensTheSystemColourDialog) {
    colour_.SetColor(0xFFFFFF);
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    // Up from cell 0 is Default, Up again More Colors.
    ui::Key(popup, VK_UP);
    ui::Key(popup, VK_UP);
    EXPECT_EQ(Colours(kColourSelChange).back(), 0xFFFFFFu);  // More Colors stands for the initial colour
    // The colour dialog is modal: a helper answers it with pure red.
    std::atomic<bool> answered{false};
    std::thread answer([&] {
        for (int i = 0; i < 250 && !answered; ++i) {
            HWND dialog = FindWindowExA(nullptr, nullptr, "#32770", nullptr);
            while (dialog && GetWindow(dialog, GW_OWNER) != popup) dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr);
            if (dialog && IsWindowVisible(dialog) && GetDlgItem(dialog, 706)) {
                SendMessageA(GetDlgItem(dialog, 706), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("255"));
                SendMessageA(GetDlgItem(dialog, 707), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
                SendMessageA(GetDlgItem(dialog, 708), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
                PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                answered = true;
            }
            Sleep(20);
        }
    });
    ui::Key(popup, VK_RETURN);  // returns once the dialog is answered
    answer.join();
    ASSERT_TRUE(answered) << "no colour dialog";
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(colour_.GetColor(), 0x0000FFu);
    EXPECT_EQ(Colours(kColourSelEndOk), (std::vector<uint32_t>{0x0000FF}));
}

TEST_F(ColourButton, NearTheBottomOfTheScreenThePaletteOpensAbove) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(parent_.Handle(), nullptr, 100, work.bottom - 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    RECT button, palette;
    GetWindowRect(colour_.Handle(), &button);
    GetWindowRect(popup, &palette);
    EXPECT_LE(palette.bottom, button.top);
    EXPECT_EQ(palette.left, button.left);
}

}  // namespace
}  // namespace lumetra
