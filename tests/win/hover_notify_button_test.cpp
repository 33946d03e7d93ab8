// The dialogs' hover button: enter and leave notices, check-box mode, default flag, tooltip, disabling.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/window.h"
#include "skin/hover_notify_button.h"

namespace lumetra {
namespace {

// A parent that records the hover notices it gets.
class NoticeParent : public Window {
public:
    std::vector<std::pair<HWND, LPARAM>> notices;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == HoverButtonMessage()) {
            notices.emplace_back(reinterpret_cast<HWND>(wp), lp);
            return 0;
        }
        return Window::WndProc(msg, wp, lp);
    }
};

class HoverNotify : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent_.Create(0, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr));
        SetActiveWindow(parent_.Handle());
        button_ = CreateWindowExA(0, "BUTTON", "Add  Item  ", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 10, 10, 100,
                                  24, parent_.Handle(), reinterpret_cast<HMENU>(1252), nullptr, nullptr);
        ASSERT_TRUE(hover_.AttachButton(button_));
    }

    NoticeParent parent_;
    HWND button_ = nullptr;
    HoverNotifyButton hover_;
};

TEST_F(HoverNotify, MessageIsRegisteredUnderItsName) {
    EXPECT_EQ(HoverButtonMessage(), RegisterWindowMessageA("WM_HOVERBUTTON"));
    EXPECT_GE(HoverButtonMessage(), 0xC000u);
}

TEST_F(HoverNotify, EnteringAndLeavingNotifyTheParentOnce) {
    SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    EXPECT_TRUE(hover_.Hovered());
    SendMessageA(button_, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(hover_.Hovered());
    ASSERT_EQ(parent_.notices.size(), 2u);
    EXPECT_EQ(parent_.notices[0], std::make_pair(button_, LPARAM{1}));
    EXPECT_EQ(parent_.notices[1], std::make_pair(button_, LPARAM{0}));
}

TEST_F(HoverNotify, DisablingOrLosingFocusClearsTheHover) {
    SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(hover_.Hovered());
    EnableWindow(button_, FALSE);
    EXPECT_FALSE(hover_.Hovered());
    EnableWindow(button_, TRUE);
    SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(button_, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(hover_.Hovered());
}

TEST_F(HoverNotify, CheckBoxModeTogglesOnClickAndTakesBothCheckValues) {
    hover_.SetCheckBoxMode(true);
    SendMessageA(button_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(SendMessageA(button_, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GetFocus(), button_);
    SendMessageA(button_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));  // released outside: no toggle
    EXPECT_EQ(SendMessageA(button_, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(button_, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(hover_.Checked());
    SendMessageA(button_, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_TRUE(hover_.Checked());
}

TEST_F(HoverNotify, KeepsTheDefaultButtonFlagAndDrawsItself) {
    EXPECT_TRUE(SendMessageA(button_, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(button_, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

// The tooltip controls of this thread that have the button as a tool.
std::vector<HWND> TooltipsOf(HWND button) {
    struct Search {
        HWND button;
        std::vector<HWND> found;
    } search{button, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char cls[64] = {};
            GetClassNameA(w, cls, sizeof cls);
            if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
            TOOLINFOA tool{sizeof tool};
            tool.hwnd = s->button;
            tool.uId = reinterpret_cast<UINT_PTR>(s->button);
            if (SendMessageA(w, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TooltipText(HWND tooltip, HWND button) {
    char text[256] = {};
    TOOLINFOA tool{sizeof tool};
    tool.hwnd = button;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(HoverNotify, TooltipIsCreatedOnceForTheWholeButtonThenOnlyItsTextChanges) {
    EXPECT_TRUE(TooltipsOf(button_).empty()) << "a tooltip before the first text";
    hover_.SetTooltipText("Add a new entry");
    std::vector<HWND> tips = TooltipsOf(button_);
    ASSERT_EQ(tips.size(), 1u);
    HWND tip = tips[0];
    EXPECT_EQ(TooltipText(tip, button_), "Add a new entry");
    EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
    TOOLINFOA tool{sizeof tool};
    tool.hwnd = button_;
    tool.uId = reinterpret_cast<UINT_PTR>(button_);
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(tool.uFlags & TTF_IDISHWND) << "the tool is not the whole button";

    hover_.SetTooltipText("Add another entry");
    EXPECT_EQ(TooltipsOf(button_), tips) << "a second tooltip control was made";
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(TooltipText(tip, button_), "Add another entry");
}

}  // namespace
}  // namespace lumetra
