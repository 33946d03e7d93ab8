#pragma once
// Owners of DirectShow media types, so a format block or its unknown is freed on every path.
#include <windows.h>
#include <dshow.h>

#include <memory>

namespace lumetra {

// Frees what a media type points to (its format block and unknown) and clears those fields.
inline void FreeMediaTypeContents(AM_MEDIA_TYPE& type) {
    if (type.cbFormat && type.pbFormat) CoTaskMemFree(type.pbFormat);
    if (type.pUnk) type.pUnk->Release();
    type.cbFormat = 0;
    type.pbFormat = nullptr;
    type.pUnk = nullptr;
}

// A media type that a call fills in (GetConnectedMediaType); its contents are freed on scope exit.
class MediaTypeContents {
public:
    MediaTypeContents() = default;
    ~MediaTypeContents() { FreeMediaTypeContents(type_); }
    MediaTypeContents(const MediaTypeContents&) = delete;
    MediaTypeContents& operator=(const MediaTypeContents&) = delete;
    AM_MEDIA_TYPE* Put() { FreeMediaTypeContents(type_); return &type_; }
    const AM_MEDIA_TYPE& Get() const { return type_; }

private:
    AM_MEDIA_TYPE type_{};
};

// A media type the callee allocated whole (GetFormat, GetStreamCaps), freed with its contents.
struct MediaTypeDeleter {
    void operator()(AM_MEDIA_TYPE* type) const {
        if (!type) return;
        FreeMediaTypeContents(*type);
        CoTaskMemFree(type);
    }
};
using OwnedMediaType = std::unique_ptr<AM_MEDIA_TYPE, MediaTypeDeleter>;

}  // namespace lumetra
