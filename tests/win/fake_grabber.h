#pragma once
// A sample grabber that holds a frame chosen by the test and counts what it is asked.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <cstring>
#include <vector>

namespace lumetra::testing {

class FakeGrabber : public ISampleGrabber {
public:
    // The held sample and its connected media type.
    std::vector<uint8_t> sample;
    GUID subtype = MEDIASUBTYPE_YUY2;
    GUID formatType = FORMAT_VideoInfo;
    BITMAPINFOHEADER header{};
    // Results of the calls; a failure is returned as it is.
    HRESULT sizeResult = S_OK, copyResult = S_OK, typeResult = S_OK;
    HRESULT mediaTypeResult = S_OK, oneShotResult = S_OK, bufferSamplesResult = S_OK;
    // What was asked.
    int sizeQueries = 0, copies = 0;
    AM_MEDIA_TYPE acceptedType{};
    BOOL oneShot = TRUE, bufferSamples = FALSE;

    void SetFrame(const GUID& type, int width, int height, int bitCount, std::vector<uint8_t> bytes) {
        subtype = type;
        header = BITMAPINFOHEADER{};
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(bitCount);
        header.biCompression = type == MEDIASUBTYPE_RGB24 || type == MEDIASUBTYPE_RGB32 ? BI_RGB : type.Data1;
        header.biSizeImage = static_cast<DWORD>(bytes.size());
        sample = std::move(bytes);
    }

    // IUnknown: lives on the test's stack, so the count only guards against imbalance.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == __uuidof(ISampleGrabber)) {
            *out = static_cast<ISampleGrabber*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }
    long references = 1;

    STDMETHODIMP SetOneShot(BOOL value) override {
        oneShot = value;
        return oneShotResult;
    }
    STDMETHODIMP SetMediaType(const AM_MEDIA_TYPE* type) override {
        acceptedType = *type;
        return mediaTypeResult;
    }
    STDMETHODIMP GetConnectedMediaType(AM_MEDIA_TYPE* type) override {
        if (FAILED(typeResult)) return typeResult;
        *type = AM_MEDIA_TYPE{};
        type->majortype = MEDIATYPE_Video;
        type->subtype = subtype;
        type->formattype = formatType;
        type->cbFormat = sizeof(VIDEOINFOHEADER);
        auto* info = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
        *info = VIDEOINFOHEADER{};
        info->bmiHeader = header;
        type->pbFormat = reinterpret_cast<BYTE*>(info);
        return S_OK;
    }
    STDMETHODIMP SetBufferSamples(BOOL value) override {
        bufferSamples = value;
        return bufferSamplesResult;
    }
    STDMETHODIMP GetCurrentBuffer(long* size, long* buffer) override {
        if (!buffer) {
            ++sizeQueries;
            if (FAILED(sizeResult)) return sizeResult;
            *size = static_cast<long>(sample.size());
            return S_OK;
        }
        ++copies;
        if (FAILED(copyResult)) return copyResult;
        if (*size < static_cast<long>(sample.size())) return E_OUTOFMEMORY;
        std::memcpy(buffer, sample.data(), sample.size());
        *size = static_cast<long>(sample.size());
        return S_OK;
    }
    STDMETHODIMP GetCurrentSample(IMediaSample**) override { return E_NOTIMPL; }
    STDMETHODIMP SetCallback(ISampleGrabberCB*, long) override { return E_NOTIMPL; }
};

}  // namespace lumetra::testing
