// Recordings made through the stand-ins play back through the platform's own playback graph, built
// the way the program builds it: AddSourceFilter, the source's "Output" pin, Render.
#include "wine-standins/tests/test_source.h"
#include "wine-standins/tests/win_util.h"

#include <cstdlib>

using namespace lumetra::standins;
using namespace lumetra::standins::test;

namespace {

const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};

// Records `frames` frames of video (and audio) as fast as the sources go.
void Record(const std::wstring& file, int frames) {
    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()), S_OK);
    ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
    ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
    SourceConfig v;
    v.live = false;
    v.limit = frames;
    SourceConfig a;
    a.audio = true;
    a.live = false;
    a.limit = frames * 1600 / 960;
    ComRef<IBaseFilter> video, audio, mux;
    video.Attach(new TestSource(v));
    audio.Attach(new TestSource(a));
    ASSERT_EQ(graph->AddFilter(video.Get(), L"Video"), S_OK);
    ASSERT_EQ(graph->AddFilter(audio.Get(), L"Audio"), S_OK);
    ComRef<IFileSinkFilter> sink;
    ASSERT_EQ(builder->SetOutputFileName(&MEDIASUBTYPE_Avi, file.c_str(), mux.Put(), sink.Put()), S_OK);
    ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, video.Get(), nullptr, mux.Get()), S_OK);
    ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, audio.Get(), nullptr, mux.Get()), S_OK);
    ComRef<IMediaControl> control;
    ComRef<IMediaEventEx> events;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.PutVoid()), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_EQ(WaitForEvent(events.Get(), EC_COMPLETE, 20000), EC_COMPLETE);
    control->Stop();
}

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

}  // namespace

TEST(StandinPlayback, RecordingPlaysWithDurationSeekingAndPictures) {
    ComInit com;
    const std::wstring file = OutPath("standins-playback.avi");
    DeleteFileW(file.c_str());
    ASSERT_NO_FATAL_FAILURE(Record(file, 90));   // three seconds at 30 fps

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StandinsPlaybackHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"playback", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 400, 40, 320,
                                240, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(host);

    {
        ComRef<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IGraphBuilder,
                                   graph.PutVoid()), S_OK);
        ComRef<IBaseFilter> source;
        ASSERT_EQ(graph->AddSourceFilter(file.c_str(), file.c_str(), source.Put()), S_OK);
        ComRef<IPin> output;
        ASSERT_EQ(source->FindPin(L"Output", output.Put()), S_OK);
        EXPECT_TRUE(SUCCEEDED(graph->Render(output.Get())));

        // The GDI renderer, not the platform's default VMR-7 (which draws nothing under Xvfb).
        ComRef<IEnumFilters> filters;
        ASSERT_EQ(graph->EnumFilters(filters.Put()), S_OK);
        ComRef<IBaseFilter> f;
        bool gdiRenderer = false;
        while (filters->Next(1, f.Put(), nullptr) == S_OK) {
            CLSID c;
            if (SUCCEEDED(f->GetClassID(&c)) && c == CLSID_VideoRenderer) gdiRenderer = true;
        }
        EXPECT_TRUE(gdiRenderer);

        ComRef<IVideoWindow> window;
        ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.PutVoid()), S_OK);
        ASSERT_EQ(window->put_Owner(OAHWND(host)), S_OK);
        ASSERT_EQ(window->put_WindowStyle(WS_CHILD | WS_VISIBLE), S_OK);
        ASSERT_EQ(window->SetWindowPosition(0, 0, 320, 240), S_OK);

        ComRef<IMediaSeeking> seeking;
        ASSERT_EQ(graph->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()), S_OK);
        DWORD caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
        EXPECT_EQ(seeking->CheckCapabilities(&caps), S_OK);
        LONGLONG duration = 0;
        ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
        EXPECT_NEAR(double(duration), 3e7, 1e6);

        // Seek to the middle while paused, then play to the end.
        ComRef<IMediaControl> control;
        ComRef<IMediaEventEx> events;
        ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.PutVoid()), S_OK);
        ASSERT_TRUE(SUCCEEDED(control->Pause()));
        LONGLONG half = duration / 2;
        ASSERT_EQ(seeking->SetPositions(&half, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
        LONGLONG now = 0;
        ASSERT_EQ(seeking->GetCurrentPosition(&now), S_OK);
        EXPECT_NEAR(double(now), double(half), 1e6);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        PumpFor(500);

        HWND video = GetWindow(host, GW_CHILD);
        ASSERT_TRUE(video);
        for (int bar = 0; bar < 4; ++bar) {
            COLORREF c = PixelAt(video, bar * 80 + 40, 90);
            BarColour want = BarColourAt(bar);
            EXPECT_TRUE(std::abs(int(GetRValue(c)) - want.r) <= 24 && std::abs(int(GetGValue(c)) - want.g) <= 24 &&
                        std::abs(int(GetBValue(c)) - want.b) <= 24)
                << "bar " << bar << ": got " << int(GetRValue(c)) << "," << int(GetGValue(c)) << "," << int(GetBValue(c));
        }
        // Half of three seconds is left: the end comes well within the wait.
        EXPECT_EQ(WaitForEvent(events.Get(), EC_COMPLETE, 6000), EC_COMPLETE);
        control->Stop();
        window->put_Visible(OAFALSE);
        window->put_Owner(0);
    }
    DestroyWindow(host);
    DeleteFileW(file.c_str());
}
