#pragma once

// Move-only owners of the COM resources the simulated Excel and the harness hand around. Every
// holder has the same verbs: get(), reset(raw) takes ownership without AddRef, release() gives
// ownership up, put() frees the current value and returns the address for an out-parameter.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace morvane::e2e {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // AddRefs the argument.
  explicit ComPtr(T* raw) : p_(raw) {
    if (p_) {
      p_->AddRef();
    }
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}  // AddRefs
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  // AddRefs the new value before releasing the old one, so self-assignment is safe.
  ComPtr& operator=(const ComPtr& other) {
    ComPtr copy(other);
    std::swap(p_, copy.p_);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr moved(std::move(other));
    std::swap(p_, moved.p_);
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Takes ownership of `raw` (no AddRef) and releases the old value.
  void reset(T* raw = nullptr) {
    T* old = std::exchange(p_, raw);
    if (old) {
      old->Release();
    }
  }
  // Gives up ownership without Release.
  T* release() { return std::exchange(p_, nullptr); }
  // Releases the current value first.
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  // QueryInterface for another interface; empty when the object does not have it.
  template <class U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> out;
    if (p_) {
      p_->QueryInterface(iid, out.put_void());
    }
    return out;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  // NOTE: copies the text.
  explicit Bstr(std::wstring_view text)
      : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~Bstr() { reset(); }

  BSTR get() const { return b_; }
  // Takes ownership of `raw` and frees the old value.
  void reset(BSTR raw = nullptr) { SysFreeString(std::exchange(b_, raw)); }
  BSTR release() { return std::exchange(b_, nullptr); }
  BSTR* put() {
    reset();
    return &b_;
  }
  std::wstring text() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

 private:
  BSTR b_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant& operator=(Variant&& other) noexcept {
    reset();
    v_ = other.v_;
    VariantInit(&other.v_);
    return *this;
  }
  ~Variant() { reset(); }

  const VARIANT& get() const { return v_; }
  VARIANT& ref() { return v_; }
  // Clears the current value first.
  VARIANT* put() {
    reset();
    return &v_;
  }
  void reset() { VariantClear(&v_); }
  // Gives the value up to the caller, who must clear it.
  VARIANT release() {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};
static_assert(sizeof(Variant) == sizeof(VARIANT), "a Variant array can back DISPPARAMS::rgvarg");

}  // namespace morvane::e2e
