#include "framework/window.h"

namespace lumetra {
namespace {

const char kWindowClass[] = "LumetraWindow";
const char kObjectProp[] = "LumetraWindowObject";

void RegisterFrameworkClass() {
    static bool registered = false;
    if (!registered) registered = RegisterWindowClass(kWindowClass, CS_DBLCLKS);
}

}  // namespace

HINSTANCE ModuleInstance() {
    return GetModuleHandleA(nullptr);
}

bool RegisterWindowClass(const char* name, UINT style, HBRUSH background) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window by subclassing
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Window::~Window() {
    Destroy();
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

bool Window::Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent,
                    HMENU menuOrId) {
    RegisterFrameworkClass();
    return CreateControl(kWindowClass, exStyle, title, style, rect, parent, menuOrId);
}

bool Window::CreateControl(const char* className, DWORD exStyle, const char* title, DWORD style,
                           const RECT& rect, HWND parent, HMENU id) {
    if (hwnd_) return false;
    HWND hwnd = CreateWindowExA(exStyle, className, title ? title : "", style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent, id,
                                ModuleInstance(), nullptr);
    if (!hwnd) return false;
    Bind(hwnd);
    return true;
}

bool Window::Attach(HWND hwnd) {
    if (hwnd_ || !hwnd || FromHandle(hwnd)) return false;
    Bind(hwnd);
    return true;
}

void Window::Bind(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropA(hwnd, kObjectProp, this);
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticProc)));
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(originalProc_, hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = FromHandle(hwnd);
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg != WM_NCDESTROY) return self->WndProc(msg, wp, lp);

    LRESULT result = self->WndProc(msg, wp, lp);
    RemovePropA(hwnd, kObjectProp);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->originalProc_));
    self->hwnd_ = nullptr;
    self->originalProc_ = nullptr;
    self->OnFinalMessage();
    return result;
}

}  // namespace lumetra
