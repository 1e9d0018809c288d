#pragma once

// Owns one GDI object (a font, a brush, a pen) and deletes it when it goes. Move-only.

#include <utility>

struct HFONT__;
struct HBRUSH__;
struct HPEN__;

namespace morvane::win32 {

void DeleteGdiObject(void* object) noexcept;

template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  // Takes ownership of `object`.
  explicit GdiObject(Handle object) : object_(object) {}
  GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.object_, nullptr));
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { reset(); }

  Handle get() const { return object_; }
  // Deletes the current object and takes ownership of `object`.
  void reset(Handle object = nullptr) noexcept {
    if (object_ != nullptr && object_ != object) {
      DeleteGdiObject(object_);
    }
    object_ = object;
  }

 private:
  Handle object_ = nullptr;
};

using Font = GdiObject<HFONT__*>;
using Brush = GdiObject<HBRUSH__*>;
using Pen = GdiObject<HPEN__*>;

}  // namespace morvane::win32
