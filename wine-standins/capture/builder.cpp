#include "wine-standins/capture/builder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra::standins {

namespace {

const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};

// Wine's builder, straight from its DLL: CoCreateInstance would find this stand-in again.
HRESULT CreatePlatformBuilder(ComRef<ICaptureGraphBuilder2>& out) {
    static HMODULE qcap = [] {
        wchar_t dir[MAX_PATH];
        UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return HMODULE(nullptr);
        std::wstring path = std::wstring(dir, n) + L"\\qcap.dll";
        return LoadLibraryW(path.c_str());   // kept loaded for the life of the process
    }();
    if (!qcap) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(qcap, "DllGetClassObject")));
    if (!get) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    ComRef<IClassFactory> factory;
    HRESULT hr = get(kCaptureGraphBuilder2, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, IID_ICaptureGraphBuilder2, out.PutVoid());
}

HRESULT FirstPin(IBaseFilter* filter, PIN_DIRECTION want, ComRef<IPin>& out) {
    ComRef<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.Put());
    if (FAILED(hr)) return hr;
    ComRef<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION dir;
        if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == want) {
            out = pin;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

}  // namespace

HRESULT CaptureBuilder::Create(REFIID iid, void** out) {
    ComRef<ICaptureGraphBuilder2> inner;
    HRESULT hr = CreatePlatformBuilder(inner);
    if (FAILED(hr)) return hr;
    auto* builder = new CaptureBuilder(inner);
    hr = builder->QueryInterface(iid, out);
    builder->Release();
    return hr;
}

CaptureBuilder::CaptureBuilder(ComRef<ICaptureGraphBuilder2> inner) : inner_(std::move(inner)) {
    InterlockedIncrement(&g_liveObjects);
}

CaptureBuilder::~CaptureBuilder() { InterlockedDecrement(&g_liveObjects); }

STDMETHODIMP CaptureBuilder::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ICaptureGraphBuilder2) {
        *out = static_cast<ICaptureGraphBuilder2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CaptureBuilder::SetFiltergraph(IGraphBuilder* graph) { return inner_->SetFiltergraph(graph); }
STDMETHODIMP CaptureBuilder::GetFiltergraph(IGraphBuilder** graph) { return inner_->GetFiltergraph(graph); }

// The graph to build in: the one set, or a new one handed to the builder (as the platform does).
HRESULT CaptureBuilder::Graph(ComRef<IGraphBuilder>& graph) {
    if (SUCCEEDED(inner_->GetFiltergraph(graph.Put())) && graph) return S_OK;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid());
    if (FAILED(hr)) return hr;
    return inner_->SetFiltergraph(graph.Get());
}

// Adds the multiplexer of the given type and, when it does not write files itself, a file writer
// behind it; names the file; returns both with a reference each.
STDMETHODIMP CaptureBuilder::SetOutputFileName(const GUID* type, LPCOLESTR file, IBaseFilter** muxOut,
                                               IFileSinkFilter** sinkOut) {
    if (!type || !file) return E_POINTER;
    if (muxOut) *muxOut = nullptr;
    if (sinkOut) *sinkOut = nullptr;
    ComRef<IGraphBuilder> graph;
    HRESULT hr = Graph(graph);
    if (FAILED(hr)) return hr;

    const CLSID muxClass = *type == MEDIASUBTYPE_Avi ? CLSID_AviDest : *type;
    ComRef<IBaseFilter> mux;
    hr = CoCreateInstance(muxClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, mux.PutVoid());
    if (FAILED(hr)) return hr;
    if (FAILED(hr = graph->AddFilter(mux.Get(), *type == MEDIASUBTYPE_Avi ? L"AVI Mux" : L"Mux"))) return hr;

    ComRef<IFileSinkFilter> sink;
    if (SUCCEEDED(mux.As(sink))) {
        hr = sink->SetFileName(file, nullptr);
    } else {
        ComRef<IBaseFilter> writer;
        hr = CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, writer.PutVoid());
        if (SUCCEEDED(hr)) hr = writer.As(sink);
        if (SUCCEEDED(hr)) hr = sink->SetFileName(file, nullptr);
        if (SUCCEEDED(hr)) hr = graph->AddFilter(writer.Get(), L"File Writer");
        ComRef<IPin> out, in;
        if (SUCCEEDED(hr)) hr = FirstPin(mux.Get(), PINDIR_OUTPUT, out);
        if (SUCCEEDED(hr)) hr = FirstPin(writer.Get(), PINDIR_INPUT, in);
        if (SUCCEEDED(hr) && FAILED(graph->ConnectDirect(out.Get(), in.Get(), nullptr)))
            hr = graph->Connect(out.Get(), in.Get());
        if (FAILED(hr) && writer) graph->RemoveFilter(writer.Get());
    }
    if (FAILED(hr)) {
        graph->RemoveFilter(mux.Get());
        return hr;
    }
    if (muxOut) *muxOut = mux.Detach();
    if (sinkOut) *sinkOut = sink.Detach();
    return S_OK;
}

STDMETHODIMP CaptureBuilder::FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter, REFIID iid,
                                           void** out) {
    return inner_->FindInterface(category, type, filter, iid, out);
}

// A video preview without a given renderer goes to a new video renderer, as the platform's builder
// does. Wine's builder would render it into whatever filter in the graph takes video first, and that
// can be the multiplexer of a recording.
STDMETHODIMP CaptureBuilder::RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                                          IBaseFilter* intermediate, IBaseFilter* sink) {
    // Without a source there is nothing to render: Windows answers with an error (a recording
    // without an audio device asks for exactly this), where the delegate would dereference it.
    if (!source) return E_POINTER;
    const bool videoPreview = !sink && category && *category == PIN_CATEGORY_PREVIEW && type && *type == MEDIATYPE_Video;
    ComRef<IGraphBuilder> graph;
    if (!videoPreview || FAILED(inner_->GetFiltergraph(graph.Put())) || !graph)
        return inner_->RenderStream(category, type, source, intermediate, sink);

    ComRef<IBaseFilter> renderer;
    HRESULT hr = CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer.PutVoid());
    if (FAILED(hr)) return inner_->RenderStream(category, type, source, intermediate, sink);
    if (FAILED(hr = graph->AddFilter(renderer.Get(), L"Video Renderer"))) return hr;
    hr = inner_->RenderStream(category, type, source, intermediate, renderer.Get());
    if (FAILED(hr)) graph->RemoveFilter(renderer.Get());
    return hr;
}

STDMETHODIMP CaptureBuilder::ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter,
                                           REFERENCE_TIME* start, REFERENCE_TIME* stop, WORD startCookie,
                                           WORD stopCookie) {
    return inner_->ControlStream(category, type, filter, start, stop, startCookie, stopCookie);
}

STDMETHODIMP CaptureBuilder::FindPin(IUnknown* source, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                                     BOOL unconnected, int index, IPin** pin) {
    return inner_->FindPin(source, dir, category, type, unconnected, index, pin);
}

// Creates the file, or grows it to `size`; a larger file keeps its length.
STDMETHODIMP CaptureBuilder::AllocCapFile(LPCOLESTR file, DWORDLONG size) {
    if (!file) return E_POINTER;
    HANDLE h = CreateFileW(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT hr = S_OK;
    LARGE_INTEGER current;
    if (!GetFileSizeEx(h, &current)) {
        hr = HRESULT_FROM_WIN32(GetLastError());
    } else if (DWORDLONG(current.QuadPart) < size) {
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(size);
        if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) hr = HRESULT_FROM_WIN32(GetLastError());
    }
    CloseHandle(h);
    return hr;
}

// Copies the recording out of a (preallocated) capture file: the RIFF chain, without the unused
// space that follows the data.
STDMETHODIMP CaptureBuilder::CopyCaptureFile(LPOLESTR oldFile, LPOLESTR newFile, int allowEscAbort,
                                             IAMCopyCaptureFileProgress* callback) {
    if (!oldFile || !newFile) return E_POINTER;
    HANDLE in = CreateFileW(oldFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    LARGE_INTEGER fileSize;
    GetFileSizeEx(in, &fileSize);

    // Length of the RIFF chain; a JUNK chunk that ends the last RIFF (the unused space) is left out.
    auto readAt = [in](uint64_t at, void* buf, DWORD n) {
        LARGE_INTEGER p;
        p.QuadPart = LONGLONG(at);
        DWORD got = 0;
        return SetFilePointerEx(in, p, nullptr, FILE_BEGIN) && ReadFile(in, buf, n, &got, nullptr) && got == n;
    };
    uint64_t end = 0, lastRiff = 0, trimmedRiffEnd = 0;
    uint32_t h[3];
    while (end + 12 <= uint64_t(fileSize.QuadPart) && readAt(end, h, 12) && h[0] == 0x46464952 /*RIFF*/) {
        lastRiff = end;
        end += 8 + uint64_t(h[1]) + (h[1] & 1);
    }
    if (end == 0) { CloseHandle(in); return VFW_E_INVALID_FILE_FORMAT; }
    end = std::min<uint64_t>(end, uint64_t(fileSize.QuadPart));
    // Walk the last RIFF's chunks to find a trailing JUNK.
    uint64_t p = lastRiff + 12;
    trimmedRiffEnd = end;
    while (p + 8 <= end && readAt(p, h, 8)) {
        uint64_t next = p + 8 + uint64_t(h[1]) + (h[1] & 1);
        if (h[0] == 0x4B4E554A /*JUNK*/ && next >= end && p > lastRiff + 12) { trimmedRiffEnd = p; break; }
        p = next;
    }

    HANDLE out = CreateFileW(newFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) { HRESULT hr = HRESULT_FROM_WIN32(GetLastError()); CloseHandle(in); return hr; }
    HRESULT hr = S_OK;
    std::vector<char> buf(4u << 20);
    for (uint64_t done = 0; done < trimmedRiffEnd && hr == S_OK;) {
        DWORD n = DWORD(std::min<uint64_t>(buf.size(), trimmedRiffEnd - done)), wrote = 0;
        if (!readAt(done, buf.data(), n) || !WriteFile(out, buf.data(), n, &wrote, nullptr) || wrote != n) {
            hr = E_FAIL;
            break;
        }
        done += n;
        if (callback && callback->Progress(int(done * 100 / trimmedRiffEnd)) != S_OK) hr = S_FALSE;
        if (allowEscAbort && (GetAsyncKeyState(VK_ESCAPE) & 0x8000)) hr = S_FALSE;
    }
    if (hr == S_OK && trimmedRiffEnd != end) {
        uint32_t riffSize = uint32_t(trimmedRiffEnd - lastRiff - 8);
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(lastRiff + 4);
        DWORD wrote = 0;
        if (!SetFilePointerEx(out, at, nullptr, FILE_BEGIN) || !WriteFile(out, &riffSize, 4, &wrote, nullptr)) hr = E_FAIL;
    }
    CloseHandle(out);
    CloseHandle(in);
    return hr;
}

}  // namespace lumetra::standins
