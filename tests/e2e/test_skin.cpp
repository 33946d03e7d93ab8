#include "tests/e2e/test_skin.h"

#include <cstdio>
#include <vector>

namespace lumetra::e2e {

void WriteBitmap(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& colorAt) {
    int rowBytes = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &pixels[static_cast<size_t>(height - 1 - y) * rowBytes];  // bottom-up
        for (int x = 0; x < width; ++x) {
            COLORREF c = colorAt(x, y);
            row[x * 3 + 0] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
}

void WriteSolidBitmap(const std::string& path, int width, int height, COLORREF color) {
    WriteBitmap(path, width, height, [color](int, int) { return color; });
}

std::map<std::string, std::string> StandardImages(const std::string& p) {
    return {{"Main", p + "main.bmp"},   {"Mask", p + "mask.bmp"},     {"Over", p + "over.bmp"},
            {"Down", p + "down.bmp"},   {"On", p + "on.bmp"},         {"Blink", p + "blink.bmp"},
            {"Disabled", p + "disabled.bmp"}, {"Slider", p + "slider.bmp"}, {"SliderOver", p + "sliderover.bmp"}};
}

namespace {

COLORREF ColorOfImageKey(const std::string& key) {
    if (key == "Over") return kOverColor;
    if (key == "Down") return kDownColor;
    if (key == "On") return kOnColor;
    if (key == "Blink") return kBlinkColor;
    if (key == "Disabled") return kDisabledColor;
    if (key == "Slider" || key == "SliderOver") return kSliderColor;
    return kMainColor;
}

void WriteSection(FILE* f, const char* section, const std::vector<std::string>& entries) {
    std::fprintf(f, "[%s]\r\n", section);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].empty()) continue;  // an empty slot leaves a key gap
        std::fprintf(f, "%zu=%s\r\n", i + 1, entries[i].c_str());
    }
}

}  // namespace

void WriteTestSkin(const std::string& folder, const std::vector<TestView>& views, int maskWhiteColumns,
                   const std::string& subfolder) {
    std::string skinFolder = subfolder.empty() ? folder : folder + "\\" + subfolder;
    CreateDirectoryA(skinFolder.c_str(), nullptr);
    FILE* master = std::fopen((folder + "\\skins.ini").c_str(), "wb");
    std::fprintf(master, "[VIEWS]\r\nFOLDER=%s\r\n", subfolder.empty() ? "" : (subfolder + "\\").c_str());
    for (size_t i = 0; i < views.size(); ++i)
        std::fprintf(master, "%zu=%s,%s\r\n", i + 1, views[i].file.c_str(), views[i].title.c_str());
    std::fclose(master);

    for (const TestView& v : views) {
        for (const auto& [key, name] : v.images) {
            std::string path = skinFolder + "\\" + name;
            if (name.find("missing") != std::string::npos) continue;
            if (name.find("garbage") != std::string::npos) {
                FILE* g = std::fopen(path.c_str(), "wb");
                std::fputs("this is not an image at all, just some bytes", g);
                std::fclose(g);
            } else if (key == "Mask") {
                WriteBitmap(path, v.width, v.height, [&](int x, int) {
                    return x < maskWhiteColumns ? RGB(255, 255, 255) : RGB(0, 0, 0);
                });
            } else if (key == "Slider" || key == "SliderOver") {
                WriteSolidBitmap(path, 10, 20, kSliderColor);
            } else {
                WriteSolidBitmap(path, v.width, v.height, ColorOfImageKey(key));
            }
        }
        FILE* f = std::fopen((skinFolder + "\\" + v.file).c_str(), "wb");
        std::fprintf(f, "[IMAGES]\r\n");
        for (const auto& [key, name] : v.images) std::fprintf(f, "%s=%s\r\n", key.c_str(), name.c_str());
        std::fprintf(f, "[SCREENINFO]\r\nScreen=%s\r\n", v.screen.c_str());
        WriteSection(f, "BUTTONINFO", v.buttons);
        WriteSection(f, "TEXTINFO", v.texts);
        WriteSection(f, "TRACKBARINFO", v.trackbars);
        WriteSection(f, "PROGRESSINFO", v.progress);
        std::fclose(f);
    }
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

namespace {
struct ChildSearch {
    std::string text;
    bool prefix = false;
    HWND found = nullptr;
};
BOOL CALLBACK MatchChild(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    char buffer[512] = {};
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    std::string text(buffer);
    if (s->prefix ? text.compare(0, s->text.size(), s->text) == 0 : text == s->text) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::vector<HWND> ChildrenByText(HWND parent, const std::string& text) {
    struct Search {
        std::string text;
        std::vector<HWND> found;
    } search{text, {}};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char buffer[512] = {};
            SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                                2000, nullptr);
            if (s->text == buffer) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildByPrefix(HWND parent, const std::string& prefix) {
    ChildSearch search{prefix, true};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildByText(HWND parent, const std::string& text) {
    ChildSearch search{text};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}


COLORREF CentrePixel(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    return ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace lumetra::e2e
