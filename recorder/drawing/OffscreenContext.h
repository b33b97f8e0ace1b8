#pragma once

// An OpenGL context that draws into memory, with no display. EGL finds it on the device
// platform first (a GPU with no display attached, as servers and cloud machines have),
// then on Mesa's surfaceless platform, then on Mesa's software device. It draws into a
// framebuffer of the picture's size with 8-bit red, green, blue and alpha channels and a
// 24-bit depth buffer. The window has no alpha; here it carries the high byte of a
// surface's name where the recorder draws names. The picture is stored top row first, as
// a window system's buffer is (Mesa fills those upside down, so a framebuffer drawn the
// other way up puts some edges a pixel over): the same pixels as the window. Owns its
// EGL surface and context, and with every other one alive its share of the display; not
// copyable. Several can draw at once, each current on a thread of its own.
//
// ZORVEL_EGL_PLATFORM=device, surfaceless or software in the environment takes that one
// platform alone (device: every device, the software one too), to try each.

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
  // The renderer and the platform it was found on, for saying which drew a recording:
  // "llvmpipe (LLVM 15.0.6, 256 bits) on the EGL surfaceless platform".
  const std::string& rendererName() const { return rendererName_; }

  // Makes the context current on the calling thread, or none (release).
  void makeCurrent() const;
  void release() const;

  // The picture drawn so far, as RGB bytes, top row first (width x height x 3).
  void readPixels(std::vector<std::uint8_t>& rgb) const;
  // Rows `first` to `first` + `count` - 1 of the picture drawn so far, top row first:
  // each pixel's depth (the depth buffer's, scaled to 32 bits) and its R, G, B and A bytes.
  void readDepthsAndColours(int first, int count, std::uint32_t* depths, std::uint8_t* rgba) const;

 private:
  OffscreenContext() = default;

  void* display_ = nullptr;
  void* surface_ = nullptr;
  void* context_ = nullptr;
  int width_ = 0, height_ = 0;
  std::string rendererName_;
};

}  // namespace zorvel
