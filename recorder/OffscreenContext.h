#pragma once

// An OpenGL context that draws into memory, with no display: EGL on Mesa's surfaceless
// platform, a pbuffer of the picture's size with 8-bit colour channels and a 24-bit
// depth buffer, as the window has. Owns the EGL display, surface and context; not
// copyable.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"

namespace zorvel {

class OffscreenContext {
 public:
  // A current context for pictures of width x height, or why there is none.
  static Result<std::unique_ptr<OffscreenContext>> create(int width, int height);
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }

  // The picture drawn so far, as RGB bytes, top row first (width x height x 3).
  void readPixels(std::vector<std::uint8_t>& rgb) const;

 private:
  OffscreenContext() = default;

  void* display_ = nullptr;
  void* surface_ = nullptr;
  void* context_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace zorvel
