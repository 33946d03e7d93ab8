#pragma once
// Owners for Win32 handles, registry keys and GDI objects: each is released on every path.
#include <windows.h>
#include <utility>

namespace lumetra {

// A kernel handle closed with CloseHandle. INVALID_HANDLE_VALUE and null both mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { if (this != &o) { Reset(); h_ = std::exchange(o.h_, nullptr); } return *this; }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }
    void Reset(HANDLE h = nullptr) {
        if (Valid()) CloseHandle(h_);
        h_ = h;
    }
    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return Valid(); }
private:
    HANDLE h_ = nullptr;
};

// An open registry key, closed with RegCloseKey.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY k) : k_(k) {}
    RegKey(RegKey&& o) noexcept : k_(std::exchange(o.k_, nullptr)) {}
    RegKey& operator=(RegKey&& o) noexcept { if (this != &o) { Reset(); k_ = std::exchange(o.k_, nullptr); } return *this; }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Reset(); }
    void Reset() { if (k_) RegCloseKey(std::exchange(k_, nullptr)); }
    HKEY* Put() { Reset(); return &k_; }
    HKEY Get() const { return k_; }
    explicit operator bool() const { return k_ != nullptr; }
private:
    HKEY k_ = nullptr;
};

// A GDI object (bitmap, brush, font, pen, region) deleted with DeleteObject.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept { if (this != &o) { Reset(); h_ = std::exchange(o.h_, nullptr); } return *this; }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }
    void Reset(H h = nullptr) { if (h_) DeleteObject(h_); h_ = h; }
    H Release() { return std::exchange(h_, nullptr); }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
private:
    H h_ = nullptr;
};
using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Region = GdiObject<HRGN>;
using Pen = GdiObject<HPEN>;

// Selects an object into a DC and restores the previous one on scope exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectedObject() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// The client DC of a window (GetDC / ReleaseDC); a null window gives the screen DC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() { if (dc_) ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }
private:
    HWND hwnd_;
    HDC dc_;
};

// A memory DC compatible with another DC (CreateCompatibleDC / DeleteDC).
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDC() { if (dc_) DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
private:
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return ps_; }
private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// A menu destroyed with DestroyMenu.
class UniqueMenu {
public:
    explicit UniqueMenu(HMENU m) : m_(m) {}
    ~UniqueMenu() { if (m_) DestroyMenu(m_); }
    UniqueMenu(const UniqueMenu&) = delete;
    UniqueMenu& operator=(const UniqueMenu&) = delete;
    HMENU Get() const { return m_; }
private:
    HMENU m_;
};

}  // namespace lumetra
