#include "skin/skin_image.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "framework/com_ptr.h"
#include "skin/picture_header.h"
#include "skin/skin_format.h"

namespace lumetra {
namespace {

constexpr LONGLONG kMaxImageFileBytes = 64 * 1024 * 1024;
constexpr int kHimetricPerInch = 2540;

// The whole file in a movable global block, as the picture loader's stream wants it.
HGLOBAL ReadFileToGlobal(const std::string& path, DWORD& size) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.Get(), &length) || length.QuadPart <= 0 || length.QuadPart > kMaxImageFileBytes)
        return nullptr;
    size = static_cast<DWORD>(length.QuadPart);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* data = GlobalLock(block);
    DWORD read = 0;
    BOOL ok = data && ReadFile(file.Get(), data, size, &read, nullptr) && read == size;
    if (data) GlobalUnlock(block);
    if (!ok) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

// The decoder allocates the whole picture at once: a small file claiming a huge one is refused by
// its header, before decoding. Formats without a header read here are checked after decoding.
bool HeaderSizeAllowed(HGLOBAL block, DWORD size) {
    const auto* data = static_cast<const uint8_t*>(GlobalLock(block));
    if (!data) return false;
    int64_t width = 0, height = 0;
    PictureHeader header = ReadPictureSize(data, size, width, height);
    GlobalUnlock(block);
    if (header == PictureHeader::Unknown) return true;
    return header == PictureHeader::Sized && SkinPictureSizeAllowed(width, height);
}

// Renders any picture into a new device-dependent bitmap of its pixel size.
bool RenderPicture(IPicture* picture, SkinImage& out) {
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture->get_Width(&hmWidth);
    picture->get_Height(&hmHeight);
    WindowDC screen(nullptr);
    int width = MulDiv(hmWidth, GetDeviceCaps(screen.Get(), LOGPIXELSX), kHimetricPerInch);
    int height = MulDiv(hmHeight, GetDeviceCaps(screen.Get(), LOGPIXELSY), kHimetricPerInch);

    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_UNINITIALIZED;
    picture->get_Type(&type);
    if (type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle)) && handle) {
        BITMAP info{};
        if (GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof info, &info)) {
            width = info.bmWidth;
            height = info.bmHeight;
        }
    }
    if (!SkinPictureSizeAllowed(width, height)) return false;

    Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    MemoryDC dc(screen.Get());
    if (!bitmap || !dc) return false;
    {
        SelectedObject select(dc.Get(), bitmap.Get());
        RECT all{0, 0, width, height};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        // The picture's vertical axis runs upwards in HIMETRIC, hence the negative height from the bottom.
        if (FAILED(picture->Render(dc.Get(), 0, 0, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr)))
            return false;
    }
    out.bitmap = std::make_shared<const Bitmap>(std::move(bitmap));
    out.width = width;
    out.height = height;
    return true;
}

// Decodes a file's bytes; the block is freed on every path.
bool DecodeBlock(HGLOBAL block, DWORD size, SkinImage& out) {
    if (!HeaderSizeAllowed(block, size)) {
        GlobalFree(block);
        return false;
    }
    ComPtr<IStream> stream;
    // The stream frees the block when it is released.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.Put()))) {
        GlobalFree(block);
        return false;
    }
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.PutVoid())) ||
        !picture)
        return false;
    return RenderPicture(picture.Get(), out);
}

uint64_t HashOfBlock(HGLOBAL block, DWORD size) {
    const auto* data = static_cast<const uint8_t*>(GlobalLock(block));
    uint64_t hash = data ? PictureBytesHash(data, size) : 0;
    if (data) GlobalUnlock(block);
    return hash;
}

// Whether the file at path holds exactly the block's bytes.
bool SameBytes(const std::string& path, HGLOBAL block, DWORD size) {
    DWORD otherSize = 0;
    HGLOBAL other = ReadFileToGlobal(path, otherSize);
    if (!other) return false;
    bool same = false;
    const void* a = GlobalLock(block);
    const void* b = GlobalLock(other);
    if (a && b && otherSize == size) same = std::memcmp(a, b, size) == 0;
    if (b) GlobalUnlock(other);
    if (a) GlobalUnlock(block);
    GlobalFree(other);
    return same;
}

}  // namespace

bool LoadSkinImage(const std::string& path, SkinImage& out) {
    out = SkinImage{};
    if (path.empty()) return false;
    DWORD size = 0;
    HGLOBAL block = ReadFileToGlobal(path, size);
    return block && DecodeBlock(block, size, out);
}

bool SkinImageCache::Load(const std::string& path, SkinImage& out) {
    out = SkinImage{};
    if (path.empty()) return false;
    DWORD size = 0;
    HGLOBAL block = ReadFileToGlobal(path, size);
    if (!block) return false;
    const uint64_t hash = HashOfBlock(block, size);
    for (const Known& known : known_) {
        if (known.size != size || known.hash != hash || !SameBytes(known.path, block, size)) continue;
        GlobalFree(block);
        out = known.image;
        return known.loaded;
    }
    ++decodes_;
    const bool loaded = DecodeBlock(block, size, out);
    known_.push_back({path, hash, size, loaded, out});
    return loaded;
}

PieceCutter::PieceCutter() : screen_(nullptr), source_(screen_.Get()), target_(screen_.Get()) {}

Bitmap PieceCutter::Cut(const SkinImage& image, const RECT& piece) {
    int width = piece.right - piece.left;
    int height = piece.bottom - piece.top;
    if (width <= 0 || height <= 0 || !source_ || !target_) return {};
    Bitmap bitmap(CreateCompatibleBitmap(screen_.Get(), width, height));
    if (!bitmap) return {};
    SelectedObject selectTarget(target_.Get(), bitmap.Get());
    RECT all{0, 0, width, height};
    FillRect(target_.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (image.Valid()) {
        SelectedObject selectSource(source_.Get(), image.Handle());
        BitBlt(target_.Get(), 0, 0, width, height, source_.Get(), piece.left, piece.top, SRCCOPY);
    }
    return bitmap;
}

Bitmap CutPiece(const SkinImage& image, const RECT& piece) {
    PieceCutter cutter;
    return cutter.Cut(image, piece);
}

bool ImagePixels(const SkinImage& image, std::vector<uint32_t>& pixels) {
    if (!image.Valid()) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
    WindowDC screen(nullptr);
    return GetDIBits(screen.Get(), image.Handle(), 0, static_cast<UINT>(image.height), pixels.data(), &info,
                     DIB_RGB_COLORS) == image.height;
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX, int sourceY) {
    if (!bitmap) return;
    MemoryDC source(dc);
    SelectedObject select(source.Get(), bitmap);
    BitBlt(dc, x, y, width, height, source.Get(), sourceX, sourceY, SRCCOPY);
}

}  // namespace lumetra
