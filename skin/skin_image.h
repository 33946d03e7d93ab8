#pragma once
// Skin images: files decoded by the platform's picture loader into bitmaps the skin owns.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/handles.h"

namespace lumetra {

struct SkinImage {
    // Shared by every image whose file holds the same picture; only ever read.
    std::shared_ptr<const Bitmap> bitmap;
    int width = 0;
    int height = 0;
    HBITMAP Handle() const { return bitmap ? bitmap->Get() : nullptr; }
    bool Valid() const { return Handle() && width > 0 && height > 0; }
};

// Reads the file whole and decodes it with OleLoadPicture from a memory stream (bitmap, JPEG, GIF,
// icon, metafile). False when the file is missing or does not decode.
bool LoadSkinImage(const std::string& path, SkinImage& out);

// Skin images by the bytes of their files: a picture that a skin names several times, or keeps in
// several files, is decoded once and its bitmap shared.
class SkinImageCache {
public:
    // As LoadSkinImage, or the image of an earlier file with the same bytes (success or failure alike).
    bool Load(const std::string& path, SkinImage& out);
    // How many files were decoded (each distinct picture once).
    int Decodes() const { return decodes_; }
    void Clear() { known_.clear(); }

private:
    struct Known {
        std::string path;
        uint64_t hash;
        size_t size;
        bool loaded;
        SkinImage image;
    };
    std::vector<Known> known_;
    int decodes_ = 0;
};

// Cuts pieces out of skin images; keeps its device contexts for as many pieces as a load needs.
class PieceCutter {
public:
    PieceCutter();
    PieceCutter(const PieceCutter&) = delete;
    PieceCutter& operator=(const PieceCutter&) = delete;
    // A new bitmap of the rectangle's size holding that piece of the image. Parts outside the image stay black.
    Bitmap Cut(const SkinImage& image, const RECT& piece);

private:
    WindowDC screen_;
    MemoryDC source_;
    MemoryDC target_;
};

// One piece, for a caller that needs only one.
Bitmap CutPiece(const SkinImage& image, const RECT& piece);

// The image as 32-bit top-down pixels (0x00RRGGBB).
bool ImagePixels(const SkinImage& image, std::vector<uint32_t>& pixels);

// Copies a whole bitmap to a DC at (x, y).
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX = 0, int sourceY = 0);

}  // namespace lumetra
