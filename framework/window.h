#pragma once
// A small window framework. A window class derives from Window and overrides WndProc as its
// message map: a switch that hands each message it cares about to a named handler and passes
// the rest to Window::WndProc (the default procedure, or the original one of a subclassed control).
#include <windows.h>

namespace lumetra {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }

    // Creates a window of the framework's own class for this object.
    bool Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent,
                HMENU menuOrId = nullptr);
    // Creates a platform control (className such as "BUTTON" or TRACKBAR_CLASS) and subclasses it,
    // so that this object sees its messages first.
    bool CreateControl(const char* className, DWORD exStyle, const char* title, DWORD style,
                       const RECT& rect, HWND parent, HMENU id = nullptr);
    // Subclasses an existing window (a control of a dialog template), so that this object sees its
    // messages first. False when this object already has a window.
    bool Attach(HWND hwnd);
    void Destroy();

    // The object behind a window created or subclassed by this framework, or null.
    static Window* FromHandle(HWND hwnd);

protected:
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called once after WM_NCDESTROY; the handle is already cleared.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Bind(HWND hwnd);
    HWND hwnd_ = nullptr;
    WNDPROC originalProc_ = nullptr;  // set for subclassed platform controls
};

// The instance handle of the program's own module (resources, window classes).
HINSTANCE ModuleInstance();

// Registers a window class of this module with the default procedure (the framework subclasses each
// window it creates) and the arrow cursor; true when it is registered, now or before.
bool RegisterWindowClass(const char* name, UINT style, HBRUSH background = nullptr);

}  // namespace lumetra
