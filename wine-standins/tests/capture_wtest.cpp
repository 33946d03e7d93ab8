// Recording through the stand-in capture graph builder and AVI multiplexer, driven the way the
// program drives the platform's: builder, SetOutputFileName(MEDIASUBTYPE_Avi), RenderStream of the
// video and audio capture pins into the multiplexer, Run, Stop.
#include "wine-standins/tests/avi_reader.h"
#include "wine-standins/tests/test_source.h"
#include "wine-standins/tests/win_util.h"

#include <cmath>

using namespace lumetra::standins;
using namespace lumetra::standins::test;

namespace {

const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};

struct CaptureGraph {
    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder2> builder;
    ComRef<IMediaControl> control;
    ComRef<IMediaEventEx> events;
    ComRef<IBaseFilter> video, audio, mux;
    ComRef<IFileSinkFilter> sink;

    // Builds source(s) -> multiplexer -> file as the program does. Reports through gtest.
    void Build(const std::wstring& file, const SourceConfig& videoConfig, const SourceConfig* audioConfig) {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()), S_OK);
        ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                   IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
        ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
        ASSERT_EQ(graph.As(control), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.PutVoid()), S_OK);
        video.Attach(new TestSource(videoConfig));
        ASSERT_EQ(graph->AddFilter(video.Get(), L"Video source"), S_OK);

        ASSERT_EQ(builder->SetOutputFileName(&MEDIASUBTYPE_Avi, file.c_str(), mux.Put(), sink.Put()), S_OK);
        ASSERT_TRUE(mux);
        ASSERT_TRUE(sink);
        ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, video.Get(), nullptr, mux.Get()), S_OK);
        if (audioConfig) {
            audio.Attach(new TestSource(*audioConfig));
            ASSERT_EQ(graph->AddFilter(audio.Get(), L"Audio source"), S_OK);
            ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, audio.Get(), nullptr, mux.Get()), S_OK);
        }
    }

    ~CaptureGraph() {
        if (control) control->Stop();
    }
};

SourceConfig LiveVideo(GUID subtype = MEDIASUBTYPE_YUY2) {
    SourceConfig c;
    c.subtype = subtype;
    return c;
}

SourceConfig LiveAudio() {
    SourceConfig c;
    c.audio = true;
    return c;
}

// Chunks of one stream of a parsed file, in file order.
std::vector<ReadChunk> StreamChunks(const ReadAvi& avi, int stream) {
    std::vector<ReadChunk> out;
    for (const ReadChunk& c : avi.moviChunks)
        if (Fcc(c.id).substr(0, 2) == std::string{char('0' + stream / 10), char('0' + stream % 10)}) out.push_back(c);
    return out;
}

}  // namespace

TEST(StandinBuilder, OutputFileNameCreatesTheAviMultiplexerAsItsOwnFileSink) {
    ComInit com;
    ComRef<IGraphBuilder> graph;
    ComRef<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()), S_OK);
    ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
    ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);

    ComRef<IBaseFilter> mux;
    ComRef<IFileSinkFilter> sink;
    const std::wstring file = OutPath("standins-name.avi");
    EXPECT_EQ(builder->SetOutputFileName(nullptr, file.c_str(), mux.Put(), sink.Put()), E_POINTER);
    GUID bogus = {0x12345678, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_TRUE(FAILED(builder->SetOutputFileName(&bogus, file.c_str(), mux.Put(), sink.Put())));
    ASSERT_EQ(builder->SetOutputFileName(&MEDIASUBTYPE_Avi, file.c_str(), mux.Put(), sink.Put()), S_OK);

    CLSID clsid;
    ASSERT_EQ(mux->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_AviDest);
    LPOLESTR name = nullptr;
    ASSERT_EQ(sink->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(std::wstring(name), file);
    CoTaskMemFree(name);

    // In the graph, with one free input pin; the interfaces callers configure it with are there.
    FILTER_INFO info;
    ASSERT_EQ(mux->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, static_cast<IFilterGraph*>(graph.Get()));
    if (info.pGraph) info.pGraph->Release();
    ComRef<IPin> in;
    EXPECT_EQ(mux->FindPin(L"Input 01", in.Put()), S_OK);
    ComRef<IConfigInterleaving> interleaving;
    ComRef<IConfigAviMux> config;
    ASSERT_EQ(mux.As(interleaving), S_OK);
    ASSERT_EQ(mux.As(config), S_OK);
    EXPECT_EQ(interleaving->put_Mode(INTERLEAVE_FULL), S_OK);
    InterleavingMode mode;
    EXPECT_EQ(interleaving->get_Mode(&mode), S_OK);
    EXPECT_EQ(mode, INTERLEAVE_FULL);
    EXPECT_EQ(config->SetMasterStream(0), S_OK);
    LONG master = -1;
    EXPECT_EQ(config->GetMasterStream(&master), S_OK);
    EXPECT_EQ(master, 0);
}

// The program asks for an audio stream even when there is no audio device: a failure, not a crash.
TEST(StandinBuilder, RenderStreamWithoutASourceFails) {
    ComInit com;
    CaptureGraph g;
    ASSERT_NO_FATAL_FAILURE(g.Build(OutPath("standins-nosource.avi"), LiveVideo(), nullptr));
    EXPECT_EQ(g.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, nullptr, nullptr, g.mux.Get()), E_POINTER);
    g.mux.Reset();
    g.sink.Reset();
    DeleteFileW(OutPath("standins-nosource.avi").c_str());
}

// A recording that cannot create its file reports EC_ERRORABORT with the reason and writes nothing;
// the graph still stops and comes apart cleanly.
TEST(StandinBuilder, AFileThatCannotBeCreatedAbortsTheRecording) {
    ComInit com;
    CaptureGraph g;
    ASSERT_NO_FATAL_FAILURE(g.Build(L"Z:\\no\\such\\folder\\x.avi", LiveVideo(), nullptr));
    g.control->Run();
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    DWORD until = GetTickCount() + 5000;
    while (code != EC_ERRORABORT && int(until - GetTickCount()) > 0) {
        if (g.events->GetEvent(&code, &p1, &p2, 100) == S_OK) g.events->FreeEventParams(code, p1, p2);
    }
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(HRESULT(p1), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(SUCCEEDED(g.control->Stop()));
}

// Stopped before any sample arrived: still a valid (empty) AVI.
TEST(StandinBuilder, StopRightAfterRunLeavesAValidFile) {
    ComInit com;
    const std::wstring file = OutPath("standins-empty.avi");
    DeleteFileW(file.c_str());
    {
        CaptureGraph g;
        SourceConfig audioConfig = LiveAudio();
        ASSERT_NO_FATAL_FAILURE(g.Build(file, LiveVideo(), &audioConfig));
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        ASSERT_TRUE(SUCCEEDED(g.control->Stop()));
    }
    std::vector<uint8_t> bytes = ReadAll(file);
    ReadAvi avi;
    ASSERT_TRUE(ParseAvi(bytes, avi)) << avi.error;
    EXPECT_EQ(avi.streams.size(), 2u);
    EXPECT_EQ(avi.end, bytes.size());
    DeleteFileW(file.c_str());
}

// Several seconds of live YUY2 video with PCM audio: both streams complete, in order, interleaved by time.
TEST(StandinRecording, VideoWithAudioIsCompleteAndInterleaved) {
    ComInit com;
    const std::wstring file = OutPath("standins-av.avi");
    DeleteFileW(file.c_str());
    CaptureGraph g;
    SourceConfig audioConfig = LiveAudio();
    ASSERT_NO_FATAL_FAILURE(g.Build(file, LiveVideo(), &audioConfig));
    // As the program does while recording: a preview next to the capture stream.
    EXPECT_TRUE(SUCCEEDED(g.builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, g.video.Get(), nullptr, nullptr)));

    // Free input pin after the two connected ones.
    ComRef<IEnumPins> pins;
    ASSERT_EQ(g.mux->EnumPins(pins.Put()), S_OK);
    int count = 0, connected = 0;
    ComRef<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        ++count;
        ComRef<IPin> peer;
        if (pin->ConnectedTo(peer.Put()) == S_OK) ++connected;
    }
    EXPECT_EQ(count, 3);
    EXPECT_EQ(connected, 2);

    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    PumpFor(4000);
    ASSERT_TRUE(SUCCEEDED(g.control->Stop()));
    g.mux.Reset();
    g.sink.Reset();

    std::vector<uint8_t> bytes = ReadAll(file);
    ReadAvi avi;
    ASSERT_TRUE(ParseAvi(bytes, avi)) << avi.error;
    ASSERT_EQ(avi.streams.size(), 2u);
    const ReadStream& v = avi.streams[0];
    const ReadStream& a = avi.streams[1];
    EXPECT_EQ(v.type, "vids");
    EXPECT_EQ(v.handler, MAKEFOURCC('Y', 'U', 'Y', '2'));
    EXPECT_EQ(v.rate, 30u);
    EXPECT_EQ(v.scale, 1u);
    EXPECT_EQ(a.type, "auds");
    EXPECT_EQ(a.rate, 192000u);

    // Roughly four seconds, and both streams cover the same time.
    EXPECT_GT(v.length, 90u);
    EXPECT_LT(v.length, 130u);
    const double videoSeconds = v.length / 30.0, audioSeconds = a.length / 48000.0;
    EXPECT_NEAR(videoSeconds, audioSeconds, 0.25);

    // Every frame, in order (the source numbers them), none twice.
    std::vector<ReadChunk> frames = StreamChunks(avi, 0);
    ASSERT_EQ(frames.size(), v.length);
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i].size, 320u * 240u * 2u);
        uint32_t n;
        std::memcpy(&n, &bytes[frames[i].dataAt], 4);
        ASSERT_EQ(n, i);
    }
    // Audio samples continuous.
    std::vector<ReadChunk> audio = StreamChunks(avi, 1);
    uint32_t sample = 0;
    for (const ReadChunk& c : audio) {
        for (uint32_t at = 0; at < c.size; at += 4, ++sample) {
            int16_t s;
            std::memcpy(&s, &bytes[c.dataAt + at], 2);
            ASSERT_EQ(uint32_t(s), sample & 0x7FFF);
        }
    }
    EXPECT_EQ(sample, a.length);

    // Interleaved by time: walking the file, each chunk starts no earlier than 50 ms before the latest.
    double videoTime = 0, audioTime = 0, latest = 0;
    for (const ReadChunk& c : avi.moviChunks) {
        double start = Fcc(c.id)[1] == '0' ? videoTime : audioTime;
        EXPECT_GT(start, latest - 0.05);
        latest = std::max(latest, start);
        if (Fcc(c.id)[1] == '0') videoTime += 1 / 30.0;
        else audioTime += c.size / 192000.0;
    }

    WriteExpectation("standins-av.avi", "video=rawvideo,320,240,30/1," + std::to_string(v.length) + "\n" +
                                            "audio=pcm_s16le,48000,2," + std::to_string(a.length) + "\n");
}

// What the program's recording clock and time limit read: the graph's IMediaSeeking while capturing.
TEST(StandinRecording, GraphReportsDurationCapabilityAndAdvancingPosition) {
    ComInit com;
    const std::wstring file = OutPath("standins-seeking.avi");
    CaptureGraph g;
    ASSERT_NO_FATAL_FAILURE(g.Build(file, LiveVideo(kSubtypeI420), nullptr));
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    ComRef<IMediaSeeking> seeking;
    ASSERT_EQ(g.graph.As(seeking), S_OK);
    DWORD caps = AM_SEEKING_CanGetDuration;
    EXPECT_EQ(seeking->CheckCapabilities(&caps), S_OK);

    PumpFor(700);
    LONGLONG first = -1, second = -1;
    ASSERT_EQ(seeking->GetCurrentPosition(&first), S_OK);
    PumpFor(1000);
    ASSERT_EQ(seeking->GetCurrentPosition(&second), S_OK);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first + 5000000);   // at least half of the second that passed
    EXPECT_LT(second, 40000000);
    LONGLONG duration = -1;
    EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_GT(duration, 0);
    g.control->Stop();
    g.mux.Reset();
    g.sink.Reset();
    DeleteFileW(file.c_str());
}

// A file preallocated by AllocCapFile keeps its size through a recording and is still a valid AVI.
TEST(StandinAllocCapFile, CreatesGrowsAndNeverShrinks) {
    ComInit com;
    ComRef<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
    const std::wstring file = OutPath("standins-alloc.avi");
    DeleteFileW(file.c_str());
    ASSERT_EQ(builder->AllocCapFile(file.c_str(), 8u << 20), S_OK);
    EXPECT_EQ(FileSize(file), 8u << 20);
    ASSERT_EQ(builder->AllocCapFile(file.c_str(), 24u << 20), S_OK);
    EXPECT_EQ(FileSize(file), 24u << 20);
    ASSERT_EQ(builder->AllocCapFile(file.c_str(), 4u << 20), S_OK);
    EXPECT_EQ(FileSize(file), 24u << 20);
    EXPECT_TRUE(FAILED(builder->AllocCapFile(L"Z:\\no\\such\\folder\\x.avi", 1024)));
}

TEST(StandinAllocCapFile, RecordingIntoAPreallocatedFileKeepsItsSizeAndIsValid) {
    ComInit com;
    const std::wstring file = OutPath("standins-prealloc.avi");
    DeleteFileW(file.c_str());
    {
        ComRef<ICaptureGraphBuilder2> builder;
        ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
        ASSERT_EQ(builder->AllocCapFile(file.c_str(), 64u << 20), S_OK);
    }
    CaptureGraph g;
    SourceConfig videoConfig = LiveVideo();
    videoConfig.live = false;
    videoConfig.limit = 60;
    SourceConfig audioConfig = LiveAudio();
    audioConfig.live = false;
    audioConfig.limit = 100;
    ASSERT_NO_FATAL_FAILURE(g.Build(file, videoConfig, &audioConfig));
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_EQ(WaitForEvent(g.events.Get(), EC_COMPLETE, 20000), EC_COMPLETE);
    g.control->Stop();
    g.mux.Reset();
    g.sink.Reset();

    EXPECT_EQ(FileSize(file), 64u << 20);
    std::vector<uint8_t> bytes = ReadAll(file);
    ReadAvi avi;
    ASSERT_TRUE(ParseAvi(bytes, avi)) << avi.error;
    ASSERT_EQ(avi.streams.size(), 2u);
    EXPECT_EQ(avi.streams[0].length, 60u);
    EXPECT_EQ(avi.streams[1].length, 100u * 960u);
    EXPECT_GT(avi.tailJunk, 40u << 20);
    WriteExpectation("standins-prealloc.avi", "video=rawvideo,320,240,30/1,60\naudio=pcm_s16le,48000,2,96000\n");

    // CopyCaptureFile takes out the recording without the unused space.
    ComRef<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(kCaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
    std::wstring copy = OutPath("standins-copy.avi");
    ASSERT_EQ(builder->CopyCaptureFile(const_cast<LPOLESTR>(file.c_str()), const_cast<LPOLESTR>(copy.c_str()), FALSE, nullptr), S_OK);
    EXPECT_LT(FileSize(copy), 20u << 20);
    std::vector<uint8_t> copied = ReadAll(copy);
    ReadAvi copiedAvi;
    ASSERT_TRUE(ParseAvi(copied, copiedAvi)) << copiedAvi.error;
    EXPECT_EQ(copiedAvi.streams[0].chunks.size(), 60u);
    EXPECT_EQ(copiedAvi.end, copied.size());
    DeleteFileW(copy.c_str());
}

// Past 1 GB: non-live sources push 640x480 YUY2 and audio as fast as the multiplexer writes.
TEST(StandinRecording, PassesOneGigabyteAsOpenDml) {
    ComInit com;
    const std::wstring file = OutPath("standins-1gb.avi");
    DeleteFileW(file.c_str());
    CaptureGraph g;
    SourceConfig videoConfig = LiveVideo();
    videoConfig.live = false;
    videoConfig.width = 640;
    videoConfig.height = 480;
    videoConfig.limit = 1800;   // 1.1 GB, one minute at 30 fps
    SourceConfig audioConfig = LiveAudio();
    audioConfig.live = false;
    audioConfig.limit = 3000;   // the same minute of 48 kHz audio
    ASSERT_NO_FATAL_FAILURE(g.Build(file, videoConfig, &audioConfig));
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_EQ(WaitForEvent(g.events.Get(), EC_COMPLETE, 240000), EC_COMPLETE);
    g.control->Stop();
    g.mux.Reset();
    g.sink.Reset();

    const uint64_t size = FileSize(file);
    EXPECT_GT(size, 1ull << 30);
    // The second RIFF is an AVIX.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    uint32_t head[3] = {};
    DWORD got = 0;
    ReadFile(h, head, 12, &got, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = 8 + LONGLONG(head[1]);
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    uint32_t next[3] = {};
    ReadFile(h, next, 12, &got, nullptr);
    CloseHandle(h);
    EXPECT_EQ(head[0], MAKEFOURCC('R', 'I', 'F', 'F'));
    EXPECT_LE(head[1], 1u << 30);
    EXPECT_EQ(next[0], MAKEFOURCC('R', 'I', 'F', 'F'));
    EXPECT_EQ(next[2], MAKEFOURCC('A', 'V', 'I', 'X'));
    WriteExpectation("standins-1gb.avi", "video=rawvideo,640,480,30/1,1800\naudio=pcm_s16le,48000,2,2880000\ndelete=1\n");
}
