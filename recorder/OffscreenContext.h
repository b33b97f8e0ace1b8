#pragma once

// An OpenGL context that draws into memory, with no display: EGL on Mesa's surfaceless
// platform, a pbuffer of the picture's size with 8-bit colour channels and a 24-bit
// depth buffer, as the window has. Owns its EGL surface and context, and with every
// other one alive its share of the display; not copyable. Several can draw at once,
// each current on a thread of its own.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"

namespace zorvel {

class OffscreenContext {
 public:
  // A context for pictures of width x height, current on the calling thread, or why
  // there is none.
  static Result<std::unique_ptr<OffscreenContext>> create(int width, int height);
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }

  // Makes the context current on the calling thread, or none (release).
  void makeCurrent() const;
  void release() const;

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
