#pragma once
// Skin images: files decoded by the platform's picture loader into bitmaps the skin owns.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/handles.h"

namespace lumetra {

struct SkinImage {
    Bitmap bitmap;
    int width = 0;
    int height = 0;
    bool Valid() const { return bitmap && width > 0 && height > 0; }
};

// Reads the file whole and decodes it with OleLoadPicture from a memory stream (bitmap, JPEG, GIF,
// icon, metafile). False when the file is missing or does not decode.
bool LoadSkinImage(const std::string& path, SkinImage& out);

// A new bitmap of the rectangle's size holding that piece of the image. Parts outside the image stay black.
Bitmap CutPiece(const SkinImage& image, const RECT& piece);

// The image as 32-bit top-down pixels (0x00RRGGBB).
bool ImagePixels(const SkinImage& image, std::vector<uint32_t>& pixels);

// Copies a whole bitmap to a DC at (x, y).
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX = 0, int sourceY = 0);

}  // namespace lumetra
