// The stand-ins with the simulated capture devices registered in the prefix, driven as the program
// drives a real device: a recording with preview and audio, then the live preview through a sample
// grabber into a child window.
#include "wine-standins/tests/avi_reader.h"
#include "wine-standins/tests/win_util.h"

#include "simdev/picture.h"

#include <qedit.h>

#include <set>

using namespace lumetra::standins;
using namespace lumetra::standins::test;

namespace {

const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
const CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const IID kISampleGrabber = {0x6B652FFF, 0x11FE, 0x4FCE, {0x92, 0xAD, 0x02, 0x66, 0xB5, 0xD7, 0xC7, 0x8F}};
const CLSID kSimVideoCapture = {0xe6ebe972, 0x930e, 0x4de3, {0xba, 0x2d, 0xba, 0xf0, 0xec, 0x0e, 0x01, 0x7f}};
const CLSID kSimAudioCapture = {0x8667331e, 0x57f8, 0x4af9, {0xaa, 0xe7, 0xcf, 0xf3, 0x8a, 0xde, 0xe3, 0x28}};

struct Devices {
    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder2> builder;
    ComRef<IMediaControl> control;
    ComRef<IBaseFilter> video, audio;

    void Create() {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()), S_OK);
        ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                   IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
        ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
        HRESULT hr = CoCreateInstance(kSimVideoCapture, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, video.PutVoid());
        if (FAILED(hr)) GTEST_SKIP() << "simulated video device not registered";
        ASSERT_EQ(CoCreateInstance(kSimAudioCapture, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, audio.PutVoid()), S_OK);
        ASSERT_EQ(graph->AddFilter(video.Get(), L"USB Vexa40 Video (simulated)"), S_OK);
    }
    ~Devices() {
        if (control) control->Stop();
    }
};

}  // namespace

TEST(StandinSimulatedDevices, RecordingWithPreviewAndAudioAsTheProgramMakesIt) {
    ComInit com;
    const std::wstring file = OutPath("standins-simdev.avi");
    DeleteFileW(file.c_str());
    {
        Devices d;
        ASSERT_NO_FATAL_FAILURE(d.Create());
        if (!d.video) return;
        ComRef<IBaseFilter> mux;
        ComRef<IFileSinkFilter> sink;
        ASSERT_EQ(d.builder->SetOutputFileName(&MEDIASUBTYPE_Avi, file.c_str(), mux.Put(), sink.Put()), S_OK);
        ASSERT_EQ(d.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, d.video.Get(), nullptr, mux.Get()), S_OK);
        EXPECT_TRUE(SUCCEEDED(d.builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, d.video.Get(), nullptr, nullptr)));
        ASSERT_EQ(d.graph->AddFilter(d.audio.Get(), L"USB Vexa Audio Device (simulated)"), S_OK);
        ASSERT_EQ(d.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, d.audio.Get(), nullptr, mux.Get()), S_OK);

        ASSERT_TRUE(SUCCEEDED(d.control->Run()));
        ComRef<IMediaSeeking> seeking;
        ASSERT_EQ(d.graph->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()), S_OK);
        DWORD caps = AM_SEEKING_CanGetDuration;
        EXPECT_EQ(seeking->CheckCapabilities(&caps), S_OK);
        PumpFor(1500);
        LONGLONG first = 0, second = 0;
        EXPECT_EQ(seeking->GetCurrentPosition(&first), S_OK);
        PumpFor(1500);
        EXPECT_EQ(seeking->GetCurrentPosition(&second), S_OK);
        EXPECT_GT(second, first + 10000000);
        ASSERT_TRUE(SUCCEEDED(d.control->Stop()));
    }

    std::vector<uint8_t> bytes = ReadAll(file);
    ReadAvi avi;
    ASSERT_TRUE(ParseAvi(bytes, avi)) << avi.error;
    ASSERT_EQ(avi.streams.size(), 2u);
    const ReadStream& v = avi.streams[0];
    const ReadStream& a = avi.streams[1];
    ASSERT_EQ(v.format.size(), 40u);
    const int width = int(Rd32(v.format, 4)), height = int(Rd32(v.format, 8));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(v.handler, MAKEFOURCC('Y', 'U', 'Y', '2'));
    EXPECT_EQ(v.rate, 30u);
    EXPECT_GT(v.length, 60u);
    EXPECT_NEAR(v.length / 30.0, a.length / 48000.0, 0.25);

    // The device's frame codes rise from frame to frame (a dropped frame is an empty chunk).
    uint32_t last = 0;
    int read = 0;
    for (const ReadChunk& c : v.chunks) {
        if (c.size == 0) continue;
        const uint8_t* frame = &bytes[c.dataAt];
        uint32_t code = 0;
        ASSERT_TRUE(simdev::ReadFrameCode([&](int x, int y) { return int(frame[(size_t(y) * width + x) * 2]); }, width, code));
        if (read++) {
            EXPECT_GT(code, last);
        }
        last = code;
    }
    EXPECT_GT(read, 60);
    WriteExpectation("standins-simdev.avi", "video=rawvideo,640,480,30/1," + std::to_string(v.length) + "\n" +
                                                "audio=pcm_s16le,48000,2," + std::to_string(a.length) + "\n");
}

TEST(StandinSimulatedDevices, PreviewThroughTheSampleGrabberShowsThePicture) {
    ComInit com;
    Devices d;
    ASSERT_NO_FATAL_FAILURE(d.Create());
    if (!d.video) return;

    ComRef<IBaseFilter> grabberFilter;
    ComRef<ISampleGrabber> grabber;
    ASSERT_EQ(CoCreateInstance(kSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabberFilter.PutVoid()), S_OK);
    ASSERT_EQ(grabberFilter->QueryInterface(kISampleGrabber, grabber.PutVoid()), S_OK);
    AM_MEDIA_TYPE want = {};
    want.majortype = MEDIATYPE_Video;
    ASSERT_EQ(grabber->SetMediaType(&want), S_OK);
    ASSERT_EQ(d.graph->AddFilter(grabberFilter.Get(), L"SampleGrabber"), S_OK);
    HRESULT hr = d.builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, d.video.Get(), grabberFilter.Get(), nullptr);
    ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StandinsSimdevHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"simdev", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 320, 320,
                                240, nullptr, nullptr, wc.hInstance, nullptr);
    ComRef<IVideoWindow> window;
    ASSERT_EQ(d.graph->QueryInterface(IID_IVideoWindow, window.PutVoid()), S_OK);
    ASSERT_EQ(window->put_Owner(OAHWND(host)), S_OK);
    ASSERT_EQ(window->put_WindowStyle(WS_CHILD | WS_VISIBLE), S_OK);
    ASSERT_EQ(window->SetWindowPosition(0, 0, 320, 240), S_OK);
    ASSERT_TRUE(SUCCEEDED(d.control->Run()));
    PumpFor(1500);

    // Colour bars: many distinct colours along a line through the upper half of the picture.
    HWND video = GetWindow(host, GW_CHILD);
    ASSERT_TRUE(video);
    HDC dc = GetDC(video);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 320, 1);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, 320, 1, dc, 0, 100, SRCCOPY);
    std::set<COLORREF> colours;
    for (int x = 0; x < 320; x += 8) colours.insert(GetPixel(mem, x, 0) & 0xE0E0E0);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(video, dc);
    EXPECT_GE(colours.size(), 5u);

    d.control->Stop();
    window->put_Visible(OAFALSE);
    window->put_Owner(0);
    DestroyWindow(host);
}
