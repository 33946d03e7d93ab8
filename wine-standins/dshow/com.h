#pragma once
// Small COM helpers shared by the stand-in filters and their tests: an owning interface pointer,
// an owning AM_MEDIA_TYPE, and a module-wide object count for DllCanUnloadNow.
#include <windows.h>
#include <dshow.h>

#include <utility>

namespace lumetra::standins {

template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(std::nullptr_t) {}
    explicit ComRef(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComRef(const ComRef& o) : ComRef(o.p_) {}
    ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComRef() { Reset(); }
    ComRef& operator=(ComRef o) noexcept { std::swap(p_, o.p_); return *this; }
    void Reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
    void Attach(T* p) { Reset(); p_ = p; }
    T* Detach() { return std::exchange(p_, nullptr); }
    T** Put() { Reset(); return &p_; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    template <class U>
    HRESULT As(ComRef<U>& out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(__uuidof(U), out.PutVoid());
    }
    // Hands out a new reference through an out-parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return p_ ? S_OK : E_FAIL;
    }

private:
    T* p_ = nullptr;
};

void FreeMediaTypeContents(AM_MEDIA_TYPE& mt);
HRESULT CopyMediaTypeContents(AM_MEDIA_TYPE& dst, const AM_MEDIA_TYPE& src);
AM_MEDIA_TYPE* NewMediaTypeCopy(const AM_MEDIA_TYPE& src);   // CoTaskMemAlloc'd, as enumerators hand out
void DeleteMediaTypeCopy(AM_MEDIA_TYPE* mt);

// An AM_MEDIA_TYPE that owns its format block.
class MediaType : public AM_MEDIA_TYPE {
public:
    MediaType() { ZeroMemory(static_cast<AM_MEDIA_TYPE*>(this), sizeof(AM_MEDIA_TYPE)); }
    MediaType(const AM_MEDIA_TYPE& o) : MediaType() { CopyMediaTypeContents(*this, o); }
    MediaType(const MediaType& o) : MediaType() { CopyMediaTypeContents(*this, o); }
    MediaType& operator=(const AM_MEDIA_TYPE& o) {
        if (this != &o) { FreeMediaTypeContents(*this); CopyMediaTypeContents(*this, o); }
        return *this;
    }
    MediaType& operator=(const MediaType& o) { return *this = static_cast<const AM_MEDIA_TYPE&>(o); }
    ~MediaType() { FreeMediaTypeContents(*this); }
    void Clear() { FreeMediaTypeContents(*this); }
    // Allocates a zeroed format block of `size` bytes of the given type.
    BYTE* AllocFormat(const GUID& type, ULONG size);
};

// Objects alive in this module (DllCanUnloadNow).
extern LONG g_liveObjects;

// Standard IUnknown reference counting for a class with one reference count.
#define STANDINS_REFCOUNT(member)                                                      \
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&member)); } \
    STDMETHODIMP_(ULONG) Release() override {                                          \
        LONG n = InterlockedDecrement(&member);                                        \
        if (n == 0) delete this;                                                       \
        return ULONG(n);                                                               \
    }

}  // namespace lumetra::standins
