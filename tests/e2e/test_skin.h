#pragma once
// Test skins written by the tests themselves: solid-coloured state images, so that a pixel on screen
// tells which picture an element shows.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumetra::e2e {

// Colours of the test skin's images, as COLORREF (0x00BBGGRR).
constexpr COLORREF kMainColor = RGB(64, 64, 64);
constexpr COLORREF kOverColor = RGB(0, 160, 0);
constexpr COLORREF kDownColor = RGB(0, 0, 200);
constexpr COLORREF kOnColor = RGB(200, 0, 0);
constexpr COLORREF kBlinkColor = RGB(200, 200, 0);
constexpr COLORREF kDisabledColor = RGB(100, 100, 140);
constexpr COLORREF kSliderColor = RGB(255, 0, 255);

// Writes a 24-bit bitmap file whose pixels come from colorAt(x, y).
void WriteBitmap(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& colorAt);
void WriteSolidBitmap(const std::string& path, int width, int height, COLORREF color);

// One view file: its sections as ordered key/value lines.
struct TestView {
    std::string file;   // name inside the skin folder, e.g. "A.ini"
    std::string title;
    int width = 300, height = 200;
    std::map<std::string, std::string> images;           // IMAGES key -> file name
    std::string screen = "40,40,160,120";
    std::vector<std::string> buttons, texts, trackbars, progress;  // entry values for keys 1..n
};

// Writes skins.ini (FOLDER=Skin\) and every view with its solid-coloured images into folder.
// Images named in a view are generated unless the name contains "missing" (left absent) or
// "garbage" (written as undecodable bytes). The mask is white left of maskWhiteColumns.
// An empty skinFolder puts the views and images beside skins.ini, with an empty FOLDER.
void WriteTestSkin(const std::string& folder, const std::vector<TestView>& views, int maskWhiteColumns = 30,
                   const std::string& skinFolder = "Skin");

// The standard images of a view: Main, Mask, Over, Down, On, Blink, Disabled, Slider, SliderOver.
std::map<std::string, std::string> StandardImages(const std::string& prefix);

// Every child of a window (shown or hidden) whose window text is exactly text.
std::vector<HWND> ChildrenByText(HWND parent, const std::string& text);

// Reads a pixel of the screen (what is visible).
COLORREF ScreenPixel(int x, int y);
// The visible child of a window whose window text is exactly text, or null.
HWND FindChildByText(HWND parent, const std::string& text);
// The visible child of a window whose window text begins with prefix, or null.
HWND FindChildByPrefix(HWND parent, const std::string& prefix);
// A pixel at the centre of a child window, read from the screen.
COLORREF CentrePixel(HWND child);

}  // namespace lumetra::e2e
