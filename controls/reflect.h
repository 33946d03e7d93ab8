#pragma once
// Control notifications go to a control's parent; a control that acts on its own notifications (the
// colour button opens its palette on a click, the extended list draws its cells) gets them back from
// the parent through these helpers.
#include <windows.h>

namespace lumetra {

class ReflectedControl {
public:
    virtual ~ReflectedControl() = default;
    // A WM_COMMAND notification code from this control; true when handled.
    virtual bool OnReflectedCommand(int code) { return false; }
    // A WM_NOTIFY from this control; true when handled, with the result to return.
    virtual bool OnReflectedNotify(NMHDR* header, LRESULT& result) { return false; }
};

// For a parent's WM_COMMAND: hands it to the control it came from when that control wants it.
bool ReflectCommand(WPARAM wp, LPARAM lp);
// For a parent's WM_NOTIFY.
bool ReflectNotify(LPARAM lp, LRESULT& result);

// A parent dialog's part of the reflection: WM_COMMAND and WM_NOTIFY go to the control first; a
// handled WM_NOTIFY's result becomes the dialog's message result. True when handled.
bool ReflectInDialog(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace lumetra
