// lumetra_standin_yuv.dll: a Video for Windows decompressor from YUY2, UYVY, I420/IYUV and YV12 to
// 24- or 32-bit RGB. Registered as the system's YUV codecs are (Drivers32 "vidc.XXXX"), so the
// platform's AVI Decompressor filter loads it and intelligent connect can put the GDI video renderer
// behind a YUV source.
#include "wine-standins/core/yuv.h"
#include "wine-standins/dshow/registry.h"

#include <windows.h>
#include <vfw.h>
#include <olectl.h>

#include <climits>
#include <cstdlib>
#include <vector>

using namespace lumetra::standins;

namespace {

HMODULE g_module;

const wchar_t kDrivers32[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const wchar_t* const kHandlers[] = {L"vidc.YUY2", L"vidc.UYVY", L"vidc.I420", L"vidc.IYUV", L"vidc.YV12"};

// The platform's default video renderer for Render() ("Video Renderer", CLSID_VideoRendererDefault,
// which makes a VMR-7) draws nothing into a child window under Xvfb. Its merit, and VMR-7's, go
// below the GDI Video Renderer's, which then takes the picture (RGB from this codec through the
// platform's AVI Decompressor).
const wchar_t* const kRendererInstances[] = {
    L"CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}",
    L"CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\{B87BEB7B-8D29-423F-AE4D-6582C10175AC}",
};
constexpr DWORD kLowMerit = 0x00200000;   // MERIT_DO_NOT_USE, as VMR-9 has

bool LowerRendererMerits() {
    for (const wchar_t* instance : kRendererInstances) {
        DWORD type = 0;
        std::vector<BYTE> data;
        // Registered filter data (REGFILTER2 layout): version, then merit, as 32-bit values.
        if (!ReadValue(HKEY_CLASSES_ROOT, instance, L"FilterData", type, data)) continue;   // not registered
        if (type != REG_BINARY || data.size() < 8) return false;
        DWORD merit = kLowMerit;
        CopyMemory(&data[4], &merit, 4);
        if (!OverrideValue(HKEY_CLASSES_ROOT, instance, L"FilterData", REG_BINARY, data.data(), DWORD(data.size())))
            return false;
    }
    return true;
}

bool LayoutOf(DWORD compression, YuvLayout& layout) {
    switch (compression) {
    case MAKEFOURCC('Y', 'U', 'Y', '2'): case MAKEFOURCC('Y', 'U', 'Y', 'V'): layout = YuvLayout::Yuy2; return true;
    case MAKEFOURCC('U', 'Y', 'V', 'Y'): layout = YuvLayout::Uyvy; return true;
    case MAKEFOURCC('I', '4', '2', '0'): case MAKEFOURCC('I', 'Y', 'U', 'V'): layout = YuvLayout::I420; return true;
    case MAKEFOURCC('Y', 'V', '1', '2'): layout = YuvLayout::Yv12; return true;
    default: return false;
    }
}

bool InputOk(const BITMAPINFOHEADER* in) {
    YuvLayout layout;
    return in && LayoutOf(in->biCompression, layout) && in->biWidth > 0 && in->biWidth % 2 == 0 &&
           in->biHeight != 0 && in->biHeight != INT_MIN && std::abs(in->biHeight) % 2 == 0;
}

// Output: uncompressed bottom-up RGB of the same size (the renderer may ask for a wider row pitch
// through biWidth; rows are then that wide).
bool OutputOk(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    if (!out) return true;
    return out->biCompression == BI_RGB && (out->biBitCount == 24 || out->biBitCount == 32) &&
           out->biWidth >= in->biWidth && out->biHeight == std::abs(in->biHeight);
}

LRESULT Query(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    return InputOk(in) && OutputOk(in, out) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT GetFormat(const BITMAPINFOHEADER* in, BITMAPINFOHEADER* out) {
    if (!out) return sizeof(BITMAPINFOHEADER);
    if (!InputOk(in)) return ICERR_BADFORMAT;
    ZeroMemory(out, sizeof *out);
    out->biSize = sizeof(BITMAPINFOHEADER);
    out->biWidth = in->biWidth;
    out->biHeight = std::abs(in->biHeight);
    out->biPlanes = 1;
    out->biBitCount = 32;
    out->biCompression = BI_RGB;
    out->biSizeImage = DWORD(DibStride(out->biWidth, 32) * size_t(out->biHeight));
    return ICERR_OK;
}

LRESULT Decompress(const ICDECOMPRESS* d) {
    if (!d || Query(d->lpbiInput, d->lpbiOutput) != ICERR_OK || !d->lpInput || !d->lpOutput) return ICERR_BADFORMAT;
    YuvLayout layout = YuvLayout::Yuy2;
    LayoutOf(d->lpbiInput->biCompression, layout);
    const BITMAPINFOHEADER* in = d->lpbiInput;
    const BITMAPINFOHEADER* out = d->lpbiOutput;
    const int width = in->biWidth, height = std::abs(in->biHeight);
    const size_t stride = DibStride(out->biWidth, out->biBitCount);
    // The headers' image sizes are the buffers' lengths; a header without one holds a whole picture.
    const size_t inBytes = in->biSizeImage ? in->biSizeImage : YuvImageSize(layout, width, height);
    const size_t outBytes = out->biSizeImage ? out->biSizeImage : stride * size_t(height);
    if (!YuvToDib(layout, static_cast<const uint8_t*>(d->lpInput), inBytes, width, height,
                  static_cast<uint8_t*>(d->lpOutput), outBytes, stride, out->biBitCount))
        return ICERR_BADFORMAT;
    return ICERR_OK;
}

LRESULT Info(ICINFO* info, DWORD size) {
    if (!info) return sizeof(ICINFO);
    if (size < sizeof(ICINFO)) return 0;
    ZeroMemory(info, sizeof *info);
    info->dwSize = sizeof(ICINFO);
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = mmioFOURCC('Y', 'U', 'Y', '2');
    info->dwVersion = 1;
    info->dwVersionICM = ICVERSION;
    lstrcpynW(info->szName, L"LumetraYUV", 16);
    lstrcpynW(info->szDescription, L"Lumetra YUV to RGB (Wine stand-in)", 128);
    return sizeof(ICINFO);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT msg, LPARAM p1, LPARAM p2) {
    switch (msg) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_INSTALL:
    case DRV_REMOVE:
        return 1;
    case DRV_OPEN: {
        // Only as a video decompressor; stateless, so any non-zero id will do.
        auto* open = reinterpret_cast<ICOPEN*>(p2);
        if (open && open->fccType != ICTYPE_VIDEO) return 0;
        if (open) open->dwError = ICERR_OK;
        return 1;
    }
    case DRV_CLOSE:
        return 1;
    case DRV_QUERYCONFIGURE:
        return 0;
    case ICM_GETINFO:
        return Info(reinterpret_cast<ICINFO*>(p1), DWORD(p2));
    case ICM_DECOMPRESS_QUERY:
        return Query(reinterpret_cast<BITMAPINFOHEADER*>(p1), reinterpret_cast<BITMAPINFOHEADER*>(p2));
    case ICM_DECOMPRESS_GET_FORMAT:
        return GetFormat(reinterpret_cast<BITMAPINFOHEADER*>(p1), reinterpret_cast<BITMAPINFOHEADER*>(p2));
    case ICM_DECOMPRESS_BEGIN:
        // The output format is checked per frame: the platform's decompressor may name another here.
        return InputOk(reinterpret_cast<BITMAPINFOHEADER*>(p1)) ? ICERR_OK : ICERR_BADFORMAT;
    case ICM_DECOMPRESS_END:
        return ICERR_OK;
    case ICM_DECOMPRESS:
        return Decompress(reinterpret_cast<ICDECOMPRESS*>(p1));
    default:
        if (msg < DRV_USER) return DefDriverProc(id, driver, msg, p1, p2);
        return ICERR_UNSUPPORTED;
    }
}

// Registers the codec for each YUV FOURCC, saving what the prefix had there.
extern "C" HRESULT WINAPI DllRegisterServer() {
    std::wstring dll = ModulePath(g_module);
    for (const wchar_t* handler : kHandlers)
        if (!OverrideString(HKEY_LOCAL_MACHINE, kDrivers32, handler, dll)) return SELFREG_E_CLASS;
    return LowerRendererMerits() ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    for (const wchar_t* handler : kHandlers) RestoreValue(HKEY_LOCAL_MACHINE, kDrivers32, handler);
    for (const wchar_t* instance : kRendererInstances) RestoreValue(HKEY_CLASSES_ROOT, instance, L"FilterData");
    return S_OK;
}
