#pragma once
// Owning pointer to a COM interface: one reference, released when replaced or destroyed.
#include <unknwn.h>
#include <utility>

namespace lumetra {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to an existing pointer.
    explicit ComPtr(T* p) : ptr_(p) { if (ptr_) ptr_->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.ptr_) {}
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        if (this != &other) ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) { Reset(); ptr_ = std::exchange(other.ptr_, nullptr); }
        return *this;
    }

    void Reset() {
        if (T* p = std::exchange(ptr_, nullptr)) p->Release();
    }
    // Adopts a reference the caller already owns (no AddRef).
    void Attach(T* p) { Reset(); ptr_ = p; }
    // Gives the reference away without releasing it.
    T* Detach() { return std::exchange(ptr_, nullptr); }
    // Releases what is held and offers the slot to an out-parameter.
    T** Put() { Reset(); return &ptr_; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void Swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

    // QueryInterface into another owning pointer.
    template <class U>
    HRESULT As(ComPtr<U>& out) const {
        if (!ptr_) { out.Reset(); return E_POINTER; }
        return ptr_->QueryInterface(__uuidof(U), out.PutVoid());
    }
    HRESULT As(REFIID iid, void** out) const {
        if (!ptr_) { *out = nullptr; return E_POINTER; }
        return ptr_->QueryInterface(iid, out);
    }

private:
    T* ptr_ = nullptr;
};

// Creates a COM object into an owning pointer.
template <class T>
HRESULT CreateInstance(REFCLSID clsid, DWORD context, ComPtr<T>& out) {
    return CoCreateInstance(clsid, nullptr, context, __uuidof(T), out.PutVoid());
}

// Balances CoInitialize on the current thread.
class ComApartment {
public:
    ComApartment() : hr_(CoInitialize(nullptr)) {}
    ~ComApartment() { if (SUCCEEDED(hr_)) CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT Result() const { return hr_; }
private:
    HRESULT hr_;
};

}  // namespace lumetra
