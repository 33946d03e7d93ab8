#include "simdev/com_support.h"

#include <cstring>
#include <cwchar>

namespace simdev {

namespace {
LONG g_locks = 0;
}

void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&g_locks, 0, 0); }

HMODULE ModuleHandle() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleHandle), &module);
    return module;
}

void FreeMediaTypeContents(AM_MEDIA_TYPE& mt) {
    if (mt.cbFormat && mt.pbFormat) CoTaskMemFree(mt.pbFormat);
    mt.cbFormat = 0;
    mt.pbFormat = nullptr;
    if (mt.pUnk) {
        mt.pUnk->Release();
        mt.pUnk = nullptr;
    }
}

void DeleteTaskMemMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaTypeContents(*mt);
    CoTaskMemFree(mt);
}

namespace {
// Deep copy into `dst` (whose old contents are not freed).
bool CopyInto(AM_MEDIA_TYPE& dst, const AM_MEDIA_TYPE& src) {
    dst = src;
    dst.pbFormat = nullptr;
    dst.cbFormat = 0;
    if (src.cbFormat && src.pbFormat) {
        dst.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src.cbFormat));
        if (!dst.pbFormat) {
            dst.pUnk = nullptr;
            return false;
        }
        std::memcpy(dst.pbFormat, src.pbFormat, src.cbFormat);
        dst.cbFormat = src.cbFormat;
    }
    if (dst.pUnk) dst.pUnk->AddRef();
    return true;
}
}  // namespace

MediaType::MediaType() { std::memset(&mt_, 0, sizeof(mt_)); }
MediaType::MediaType(const AM_MEDIA_TYPE& mt) { CopyInto(mt_, mt); }
MediaType::MediaType(const MediaType& other) { CopyInto(mt_, other.mt_); }
MediaType& MediaType::operator=(const MediaType& other) {
    if (this != &other) {
        FreeMediaTypeContents(mt_);
        CopyInto(mt_, other.mt_);
    }
    return *this;
}
MediaType::~MediaType() { FreeMediaTypeContents(mt_); }

void MediaType::Clear() {
    FreeMediaTypeContents(mt_);
    std::memset(&mt_, 0, sizeof(mt_));
}

void MediaType::SetFormat(const GUID& formatType, const void* data, ULONG size) {
    if (mt_.pbFormat) CoTaskMemFree(mt_.pbFormat);
    mt_.pbFormat = nullptr;
    mt_.cbFormat = 0;
    mt_.formattype = formatType;
    if (size) {
        mt_.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
        if (mt_.pbFormat) {
            std::memcpy(mt_.pbFormat, data, size);
            mt_.cbFormat = size;
        }
    }
}

AM_MEDIA_TYPE* MediaType::NewTaskMemCopy() const {
    auto* out = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!out) return nullptr;
    if (!CopyInto(*out, mt_)) {
        CoTaskMemFree(out);
        return nullptr;
    }
    return out;
}

bool MatchesPartial(const AM_MEDIA_TYPE& partial, const AM_MEDIA_TYPE& full) {
    if (partial.majortype != GUID_NULL && partial.majortype != full.majortype) return false;
    if (partial.subtype != GUID_NULL && partial.subtype != full.subtype) return false;
    if (partial.formattype != GUID_NULL) {
        if (partial.formattype != full.formattype) return false;
        if (partial.cbFormat && partial.pbFormat) {
            if (partial.cbFormat != full.cbFormat || !full.pbFormat) return false;
            if (std::memcmp(partial.pbFormat, full.pbFormat, full.cbFormat) != 0) return false;
        }
    }
    return true;
}

void* PinEnumerator::Lookup(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IEnumPins) return static_cast<IEnumPins*>(this);
    return nullptr;
}

STDMETHODIMP PinEnumerator::Next(ULONG count, IPin** out, ULONG* fetched) {
    if (!out) return E_POINTER;
    if (count > 1 && !fetched) return E_INVALIDARG;
    ULONG n = 0;
    while (n < count && pos_ < pins_.size()) {
        out[n] = pins_[pos_++].Get();
        out[n]->AddRef();
        ++n;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP PinEnumerator::Skip(ULONG count) {
    if (pos_ + count > pins_.size()) {
        pos_ = pins_.size();
        return S_FALSE;
    }
    pos_ += count;
    return S_OK;
}

STDMETHODIMP PinEnumerator::Clone(IEnumPins** out) {
    if (!out) return E_POINTER;
    *out = new PinEnumerator(pins_, pos_);
    return S_OK;
}

void* MediaTypeEnumerator::Lookup(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) return static_cast<IEnumMediaTypes*>(this);
    return nullptr;
}

STDMETHODIMP MediaTypeEnumerator::Next(ULONG count, AM_MEDIA_TYPE** out, ULONG* fetched) {
    if (!out) return E_POINTER;
    if (count > 1 && !fetched) return E_INVALIDARG;
    ULONG n = 0;
    while (n < count && pos_ < types_.size()) {
        out[n] = types_[pos_++].NewTaskMemCopy();
        if (!out[n]) break;
        ++n;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP MediaTypeEnumerator::Skip(ULONG count) {
    if (pos_ + count > types_.size()) {
        pos_ = types_.size();
        return S_FALSE;
    }
    pos_ += count;
    return S_OK;
}

STDMETHODIMP MediaTypeEnumerator::Clone(IEnumMediaTypes** out) {
    if (!out) return E_POINTER;
    *out = new MediaTypeEnumerator(types_, pos_);
    return S_OK;
}

void CopyName(wchar_t* dst, size_t capacity, const wchar_t* src) {
    if (!capacity) return;
    size_t i = 0;
    for (; src && src[i] && i + 1 < capacity; ++i) dst[i] = src[i];
    dst[i] = 0;
}

}  // namespace simdev
