// The end-to-end driver's own judgement: what it takes for a message box. Every scenario fails on
// boxes nobody expected and answers the boxes it expects, so a dialog taken for a box (or a box
// missed) would make those checks say the wrong thing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace lumetra::e2e {
namespace {

// A classic (not extended) dialog template in memory, as resource compilers write DIALOG: statics
// without an identifier get 0xFFFF there, the identifier of a message box's text.
class ClassicTemplate {
public:
    ClassicTemplate(const char* caption, int width, int height) {
        Align(4);
        DLGTEMPLATE t{};
        t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        t.cx = static_cast<short>(width);
        t.cy = static_cast<short>(height);
        Append(&t, sizeof t);
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(caption);
    }
    void Item(WORD id, WORD classAtom, DWORD style, const char* text, short x, short y, short cx, short cy) {
        Align(4);
        DLGITEMTEMPLATE item{};
        item.style = WS_CHILD | WS_VISIBLE | style;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Append(&item, sizeof item);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
        ++reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    void Append(const void* data, size_t size) {
        const auto* p = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    void Word(WORD w) { Append(&w, sizeof w); }
    void Text(const char* text) {
        for (const char* c = text; *c; ++c) Word(static_cast<WORD>(static_cast<unsigned char>(*c)));
        Word(0);
    }
    void Align(size_t to) {
        while (bytes_.size() % to) bytes_.push_back(0);
    }
    std::vector<BYTE> bytes_;
};

constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST(Driver, AMessageBoxIsToldFromADialogWithUnnamedStatics) {
    // A dialog like many settings dialogs: labels without an identifier, an edit, OK and Cancel.
    ClassicTemplate dialogTemplate("Settings", 200, 80);
    dialogTemplate.Item(0xFFFF, kStaticAtom, SS_LEFT, "Name :", 7, 9, 40, 8);
    dialogTemplate.Item(100, kEditAtom, WS_BORDER | ES_AUTOHSCROLL, "", 50, 7, 140, 12);
    dialogTemplate.Item(0xFFFF, kStaticAtom, SS_LEFT, "The name of the thing.", 7, 25, 180, 8);
    dialogTemplate.Item(IDOK, kButtonAtom, BS_DEFPUSHBUTTON, "OK", 90, 60, 50, 14);
    dialogTemplate.Item(IDCANCEL, kButtonAtom, BS_PUSHBUTTON, "Cancel", 143, 60, 50, 14);
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Get(), nullptr, &PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(GetDlgItem(dialog, 0xFFFF), nullptr) << "the template gave its labels another identifier";
    EXPECT_FALSE(IsMessageBox(dialog));
    // The same with its labels alone and a single button, but a static text that keeps its prefix.
    ClassicTemplate notice("Notice", 200, 60);
    notice.Item(0xFFFF, kStaticAtom, SS_LEFT, "Something && more", 7, 9, 180, 8);
    notice.Item(IDOK, kButtonAtom, BS_DEFPUSHBUTTON, "OK", 75, 40, 50, 14);
    HWND plain = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), notice.Get(), nullptr, &PlainDialog, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(IsMessageBox(plain));

    // A message box of this process, up in a thread of its own.
    DWORD threadId = 0;
    HANDLE shower = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD { return MessageBoxA(nullptr, "Is this a box?", "Driver check", MB_YESNO | MB_ICONQUESTION); },
        nullptr, 0, &threadId);
    ASSERT_NE(shower, nullptr);
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor(10000, [&] { return (box = FindWindowA("#32770", "Driver check")) != nullptr; }));
    if (box) {
        EXPECT_TRUE(IsMessageBox(box));
        PostMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    } else {
        PostThreadMessageA(threadId, WM_QUIT, 0, 0);  // a box's loop ends on it
    }
    EXPECT_EQ(WaitForSingleObject(shower, 10000), WAIT_OBJECT_0);
    CloseHandle(shower);
    DestroyWindow(plain);
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace lumetra::e2e
