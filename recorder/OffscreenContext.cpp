#include "recorder/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace zorvel {

namespace {

// How many contexts share the process's one EGL display.
std::mutex gDisplayMutex;
int gDisplayUsers = 0;

std::string eglFailure(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "%#x", static_cast<unsigned>(eglGetError()));
  return std::string("no offscreen OpenGL (") + what + " failed, EGL error " + code + ")";
}

// A configuration of exactly 8-bit red, green and blue without alpha, a 24-bit depth
// buffer and pbuffers that desktop OpenGL can draw into.
bool chooseConfig(EGLDisplay display, EGLConfig& chosen) {
  const EGLint wanted[] = {EGL_SURFACE_TYPE,
                           EGL_PBUFFER_BIT,
                           EGL_RENDERABLE_TYPE,
                           EGL_OPENGL_BIT,
                           EGL_RED_SIZE,
                           8,
                           EGL_GREEN_SIZE,
                           8,
                           EGL_BLUE_SIZE,
                           8,
                           EGL_DEPTH_SIZE,
                           24,
                           EGL_NONE};
  EGLConfig configs[64];
  EGLint count = 0;
  if (!eglChooseConfig(display, wanted, configs, 64, &count)) return false;
  for (EGLint i = 0; i < count; ++i) {
    EGLint red = 0, green = 0, blue = 0, alpha = 0, depth = 0;
    eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
    eglGetConfigAttrib(display, configs[i], EGL_GREEN_SIZE, &green);
    eglGetConfigAttrib(display, configs[i], EGL_BLUE_SIZE, &blue);
    eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha);
    eglGetConfigAttrib(display, configs[i], EGL_DEPTH_SIZE, &depth);
    if (red == 8 && green == 8 && blue == 8 && alpha == 0 && depth == 24) {
      chosen = configs[i];
      return true;
    }
  }
  return false;
}

}  // namespace

Result<std::unique_ptr<OffscreenContext>> OffscreenContext::create(int width, int height) {
  std::unique_ptr<OffscreenContext> context(new OffscreenContext);
  context->width_ = width;
  context->height_ = height;
  const auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return failure(FailureKind::Unsupported, eglFailure("eglGetPlatformDisplayEXT"));
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  {
    std::lock_guard<std::mutex> lock(gDisplayMutex);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
      return failure(FailureKind::Unsupported, eglFailure("eglInitialize"));
    ++gDisplayUsers;
  }
  context->display_ = display;
  EGLConfig config;
  if (!chooseConfig(display, config))
    return failure(FailureKind::Unsupported, "no offscreen OpenGL with 8-bit colour and a 24-bit depth buffer");
  if (!eglBindAPI(EGL_OPENGL_API)) return failure(FailureKind::Unsupported, eglFailure("eglBindAPI"));
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE) return failure(FailureKind::Unsupported, eglFailure("eglCreatePbufferSurface"));
  context->surface_ = surface;
  EGLContext gl = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (gl == EGL_NO_CONTEXT) return failure(FailureKind::Unsupported, eglFailure("eglCreateContext"));
  context->context_ = gl;
  if (!eglMakeCurrent(display, surface, surface, gl))
    return failure(FailureKind::Unsupported, eglFailure("eglMakeCurrent"));
  return context;
}

OffscreenContext::~OffscreenContext() {
  if (!display_) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_) eglDestroyContext(display_, context_);
  if (surface_) eglDestroySurface(display_, surface_);
  // The display is one for the process: the last context gives it up.
  std::lock_guard<std::mutex> lock(gDisplayMutex);
  if (--gDisplayUsers == 0) eglTerminate(display_);
}

void OffscreenContext::makeCurrent() const { eglMakeCurrent(display_, surface_, surface_, context_); }

void OffscreenContext::release() const { eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }

void OffscreenContext::readPixels(std::vector<std::uint8_t>& rgb) const {
  const std::size_t row = static_cast<std::size_t>(width_) * 3;
  rgb.resize(row * static_cast<std::size_t>(height_));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  // OpenGL's rows start at the bottom; pictures' at the top.
  std::unique_ptr<std::uint8_t[]> swap(new std::uint8_t[row]);
  for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
    std::uint8_t* a = rgb.data() + static_cast<std::size_t>(top) * row;
    std::uint8_t* b = rgb.data() + static_cast<std::size_t>(bottom) * row;
    std::memcpy(swap.get(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, swap.get(), row);
  }
}

}  // namespace zorvel
