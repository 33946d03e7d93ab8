// Live preview as the program builds it: RenderStream(PREVIEW) with a sample grabber as the
// intermediate filter, the video window made a child of our window. The stand-in YUV decoder lets the
// GDI renderer take YUY2 and I420; the picture in the window must show the source's colour bars.
#include "wine-standins/tests/test_source.h"
#include "wine-standins/tests/win_util.h"

#include <qedit.h>

#include <cstdlib>

using namespace lumetra::standins;
using namespace lumetra::standins::test;

namespace {

const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
const CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const IID kISampleGrabber = {0x6B652FFF, 0x11FE, 0x4FCE, {0x92, 0xAD, 0x02, 0x66, 0xB5, 0xD7, 0xC7, 0x8F}};

// A plain top-level window to own the video window, like the program's video frame.
class HostWindow {
public:
    HostWindow(int x, int y, int w, int h) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"StandinsPreviewHost";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"preview", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h,
                                nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HostWindow() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Colour at client point (x, y) of `wnd`, read with BitBlt from its DC (what is on screen).
COLORREF PixelAt(HWND wnd, int x, int y) {
    HDC dc = GetDC(wnd);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, 1, 1, dc, x, y, SRCCOPY);
    COLORREF c = GetPixel(mem, 0, 0);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(wnd, dc);
    return c;
}

bool Near(COLORREF c, BarColour want, int tol) {
    return std::abs(int(GetRValue(c)) - want.r) <= tol && std::abs(int(GetGValue(c)) - want.g) <= tol &&
           std::abs(int(GetBValue(c)) - want.b) <= tol;
}

// A Unix program run through Wine's start /unix, waited for.
void RunUnix(const std::wstring& commandLine) {
    std::wstring cmd = L"start.exe /wait /unix " + commandLine;
    STARTUPINFOW si = {sizeof si};
    PROCESS_INFORMATION pi;
    if (CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 20000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

void PreviewShowsColourBars(const GUID& subtype, const wchar_t* screenshot) {
    ComInit com;
    HostWindow host(40, 40, 320, 240);
    ASSERT_TRUE(host.Get());

    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()), S_OK);
    ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
    ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);

    SourceConfig config;
    config.subtype = subtype;
    ComRef<IBaseFilter> source;
    source.Attach(new TestSource(config));
    ASSERT_EQ(graph->AddFilter(source.Get(), L"Video source"), S_OK);

    ComRef<IBaseFilter> grabberFilter;
    ComRef<ISampleGrabber> grabber;
    ASSERT_EQ(CoCreateInstance(kSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabberFilter.PutVoid()), S_OK);
    ASSERT_EQ(grabberFilter->QueryInterface(kISampleGrabber, grabber.PutVoid()), S_OK);
    AM_MEDIA_TYPE want = {};
    want.majortype = MEDIATYPE_Video;
    ASSERT_EQ(grabber->SetMediaType(&want), S_OK);
    ASSERT_EQ(graph->AddFilter(grabberFilter.Get(), L"SampleGrabber"), S_OK);

    HRESULT hr = builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, source.Get(), grabberFilter.Get(), nullptr);
    ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    // The GDI renderer drew it, behind the platform's AVI Decompressor with the stand-in codec.
    bool gdiRenderer = false;
    ComRef<IEnumFilters> filters;
    ASSERT_EQ(graph->EnumFilters(filters.Put()), S_OK);
    ComRef<IBaseFilter> f;
    while (filters->Next(1, f.Put(), nullptr) == S_OK) {
        CLSID c;
        if (SUCCEEDED(f->GetClassID(&c)) && c == CLSID_VideoRenderer) gdiRenderer = true;
    }
    EXPECT_TRUE(gdiRenderer);
    AM_MEDIA_TYPE connected = {};
    ASSERT_EQ(grabber->GetConnectedMediaType(&connected), S_OK);
    EXPECT_EQ(connected.subtype, subtype);   // the grabber sees the source's YUV frames
    FreeMediaTypeContents(connected);

    ComRef<IVideoWindow> window;
    ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.PutVoid()), S_OK);
    ASSERT_EQ(window->put_Owner(OAHWND(host.Get())), S_OK);
    window->put_MessageDrain(OAHWND(host.Get()));
    ASSERT_EQ(window->put_WindowStyle(WS_CHILD | WS_VISIBLE), S_OK);
    ASSERT_EQ(window->SetWindowPosition(0, 0, 320, 240), S_OK);

    ComRef<IMediaControl> control;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    PumpFor(1500);

    HWND video = GetWindow(host.Get(), GW_CHILD);
    ASSERT_TRUE(video) << "no video window inside the host";
    // Four bars over the upper three quarters, black below: right colours, right way up.
    for (int bar = 0; bar < 4; ++bar) {
        COLORREF c = PixelAt(video, bar * 80 + 40, 90);
        EXPECT_TRUE(Near(c, BarColourAt(bar), 24))
            << "bar " << bar << ": got " << int(GetRValue(c)) << "," << int(GetGValue(c)) << "," << int(GetBValue(c));
        COLORREF below = PixelAt(video, bar * 80 + 40, 225);
        EXPECT_TRUE(Near(below, {0, 0, 0}, 24)) << "below bar " << bar;
    }
    if (screenshot) RunUnix(std::wstring(L"/usr/bin/import -window root ") + screenshot);

    control->Stop();
    window->put_Visible(OAFALSE);
    window->put_Owner(0);
}

}  // namespace

TEST(StandinPreview, Yuy2SourceShowsItsColoursInAChildWindow) {
    std::string png = OutDirUnix() + "/../../standins-preview.png";
    std::wstring wpng(png.begin(), png.end());
    PreviewShowsColourBars(MEDIASUBTYPE_YUY2, wpng.c_str());
}

TEST(StandinPreview, I420SourceShowsItsColoursInAChildWindow) {
    PreviewShowsColourBars(kSubtypeI420, nullptr);
}
