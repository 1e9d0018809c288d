#pragma once

// ComPtr<T>: owns one reference to a COM interface pointer.

#include <windows.h>

#include <unknwn.h>

#include <cstddef>
#include <utility>

#include "addin/com/base/com_error.h"

namespace morvane::com {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // AddRefs the argument: the caller keeps its own reference. Use reset() to adopt one.
  explicit ComPtr(T* borrowed) : ptr_(borrowed) { add_ref(); }
  // AddRefs: both holders own a reference.
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) { add_ref(); }
  // Takes other's reference; other becomes empty.
  ComPtr(ComPtr&& other) noexcept : ptr_(other.release()) {}
  ~ComPtr() { reset(); }

  // AddRefs the new value before releasing the old one, so self-assignment is safe.
  ComPtr& operator=(const ComPtr& other) {
    ComPtr(other).swap(*this);
    return *this;
  }
  // Releases the current value and takes other's reference.
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    reset();
    return *this;
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // Releases the current value, then takes ownership of raw (no AddRef).
  void reset(T* raw = nullptr) {
    T* old = std::exchange(ptr_, raw);
    if (old)
      old->Release();
  }
  // Gives up the reference without releasing it: the caller now owns it.
  [[nodiscard]] T* release() { return std::exchange(ptr_, nullptr); }
  // Releases the current value before returning the address, for an out-param that hands
  // over a reference (QueryInterface, CoCreateInstance, a property get).
  T** put() {
    reset();
    return &ptr_;
  }
  // put() for out-params typed void** (QueryInterface, CoCreateInstance).
  void** put_void() { return reinterpret_cast<void**>(put()); }
  // Writes an AddRef'd copy to *out, for returning the pointer from a COM method.
  void copy_to(T** out) const {
    add_ref();
    *out = ptr_;
  }

  // QueryInterface for U: an empty holder when the object does not implement it.
  template <class U>
  ComPtr<U> try_query() const {
    ComPtr<U> result;
    if (ptr_)
      ptr_->QueryInterface(__uuidof(U), result.put_void());
    return result;
  }
  // QueryInterface for U; throws ComError when the object does not implement it.
  template <class U>
  ComPtr<U> query(const char* what) const {
    if (!ptr_)
      throw ComError(E_POINTER, what);
    ComPtr<U> result;
    Check(ptr_->QueryInterface(__uuidof(U), result.put_void()), what);
    return result;
  }

  void swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.ptr_ == b.ptr_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.ptr_ == nullptr; }

 private:
  void add_ref() const {
    if (ptr_)
      ptr_->AddRef();
  }

  T* ptr_ = nullptr;
};

}  // namespace morvane::com
