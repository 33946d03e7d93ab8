#pragma once
// Small COM helpers for the simulated devices: reference-counted objects that keep the DLL loaded,
// an owning media type, and the two enumerators a filter hands out.
#include <windows.h>
#include <dshow.h>

#include <vector>

#include "framework/com_ptr.h"

namespace simdev {

using lumetra::ComPtr;

// Live objects and server locks of this DLL; DllCanUnloadNow answers S_OK at zero.
void ModuleLock();
void ModuleUnlock();
LONG ModuleLockCount();
HMODULE ModuleHandle();

// Counts one live object for the lifetime of its owner.
class ModuleReference {
public:
    ModuleReference() { ModuleLock(); }
    ~ModuleReference() { ModuleUnlock(); }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
};

// A COM object with its own reference count implementing Interfaces...; the derived class answers
// QueryInterface through Lookup (IUnknown is handled here).
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = Lookup(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG r = InterlockedDecrement(&refs_);
        if (r == 0) delete this;
        return static_cast<ULONG>(r);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    // Returns the interface pointer for iid (already cast), or null. IUnknown must be answered too.
    virtual void* Lookup(REFIID iid) = 0;

private:
    LONG refs_ = 1;
    ModuleReference module_;
};

// An AM_MEDIA_TYPE that owns its format block and pUnk.
class MediaType {
public:
    MediaType();
    explicit MediaType(const AM_MEDIA_TYPE& mt);
    MediaType(const MediaType& other);
    MediaType& operator=(const MediaType& other);
    ~MediaType();

    const AM_MEDIA_TYPE& Get() const { return mt_; }
    AM_MEDIA_TYPE* Ptr() { return &mt_; }
    void Clear();
    // Replaces the format block with a copy of `size` bytes.
    void SetFormat(const GUID& formatType, const void* data, ULONG size);
    // A CoTaskMemAlloc'ed deep copy, as IEnumMediaTypes::Next and GetFormat hand out.
    AM_MEDIA_TYPE* NewTaskMemCopy() const;
    bool Valid() const { return mt_.majortype != GUID_NULL; }

private:
    AM_MEDIA_TYPE mt_;
};

// Frees what a component handed out with CoTaskMemAlloc (format block, pUnk, the struct itself).
void FreeMediaTypeContents(AM_MEDIA_TYPE& mt);
void DeleteTaskMemMediaType(AM_MEDIA_TYPE* mt);
// True when `partial` (possibly with GUID_NULL parts) is satisfied by `full`.
bool MatchesPartial(const AM_MEDIA_TYPE& partial, const AM_MEDIA_TYPE& full);

// IEnumPins over a snapshot of a filter's pins.
class PinEnumerator final : public ComObject<IEnumPins> {
public:
    explicit PinEnumerator(std::vector<ComPtr<IPin>> pins, size_t position = 0)
        : pins_(std::move(pins)), pos_(position) {}
    STDMETHODIMP Next(ULONG count, IPin** out, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumPins** out) override;

private:
    void* Lookup(REFIID iid) override;
    std::vector<ComPtr<IPin>> pins_;
    size_t pos_;
};

// IEnumMediaTypes over a snapshot of a pin's media types.
class MediaTypeEnumerator final : public ComObject<IEnumMediaTypes> {
public:
    explicit MediaTypeEnumerator(std::vector<MediaType> types, size_t position = 0)
        : types_(std::move(types)), pos_(position) {}
    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** out, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumMediaTypes** out) override;

private:
    void* Lookup(REFIID iid) override;
    std::vector<MediaType> types_;
    size_t pos_;
};

// Copies a wide string into a fixed buffer, always terminated.
void CopyName(wchar_t* dst, size_t capacity, const wchar_t* src);

}  // namespace simdev
