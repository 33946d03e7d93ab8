#include "controls/reflect.h"

#include "framework/window.h"

namespace lumetra {
namespace {
ReflectedControl* ControlOf(HWND hwnd) { return dynamic_cast<ReflectedControl*>(Window::FromHandle(hwnd)); }
}  // namespace

bool ReflectCommand(WPARAM wp, LPARAM lp) {
    HWND from = reinterpret_cast<HWND>(lp);
    if (!from) return false;  // a menu or accelerator
    ReflectedControl* control = ControlOf(from);
    return control && control->OnReflectedCommand(HIWORD(wp));
}

bool ReflectNotify(LPARAM lp, LRESULT& result) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (!header) return false;
    ReflectedControl* control = ControlOf(header->hwndFrom);
    return control && control->OnReflectedNotify(header, result);
}

bool ReflectInDialog(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) return ReflectCommand(wp, lp);
    if (msg != WM_NOTIFY) return false;
    LRESULT result = 0;
    if (!ReflectNotify(lp, result)) return false;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return true;
}

}  // namespace lumetra
