#include "recorder/drawing/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace zorvel {

namespace {

// The process's one display, the platform it was found on, and how many contexts
// share it.
std::mutex gDisplayMutex;
EGLDisplay gDisplay = EGL_NO_DISPLAY;
const char* gPlatform = "";
int gDisplayUsers = 0;

std::string eglFailure(const char* what) {
  char code[16];
  std::snprintf(code, sizeof code, "%#x", static_cast<unsigned>(eglGetError()));
  return std::string("no offscreen OpenGL (") + what + " failed, EGL error " + code + ")";
}

template <class Function>
Function eglFunction(const char* name) {
  return reinterpret_cast<Function>(eglGetProcAddress(name));
}

// Whether a device is Mesa's software renderer.
bool isSoftware(EGLDeviceEXT device) {
  const auto query = eglFunction<PFNEGLQUERYDEVICESTRINGEXTPROC>("eglQueryDeviceStringEXT");
  const char* extensions = query ? query(device, EGL_EXTENSIONS) : nullptr;
  return extensions && std::strstr(extensions, "EGL_MESA_device_software") != nullptr;
}

// A display on `platform` for `native` that initialises and takes desktop OpenGL.
EGLDisplay openDisplay(EGLenum platform, void* native) {
  const auto getDisplay = eglFunction<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
  if (!getDisplay) return EGL_NO_DISPLAY;
  EGLDisplay display = getDisplay(platform, native, nullptr);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return EGL_NO_DISPLAY;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    eglTerminate(display);
    return EGL_NO_DISPLAY;
  }
  return display;
}

// The devices of the device platform, hardware ones (`software` false) or Mesa's
// software one.
std::vector<EGLDeviceEXT> devices(bool software) {
  const auto queryDevices = eglFunction<PFNEGLQUERYDEVICESEXTPROC>("eglQueryDevicesEXT");
  EGLDeviceEXT found[16];
  EGLint count = 0;
  if (!queryDevices || !queryDevices(16, found, &count)) return {};
  std::vector<EGLDeviceEXT> chosen;
  for (EGLint i = 0; i < count; ++i)
    if (isSoftware(found[i]) == software) chosen.push_back(found[i]);
  return chosen;
}

// The display of the first platform that gives one: the device platform's hardware
// devices, the surfaceless platform, the software device; or the one platform the
// environment names.
Result<EGLDisplay> chooseDisplay() {
  const char* wanted = std::getenv("ZORVEL_EGL_PLATFORM");
  const std::string only = wanted ? wanted : "";
  if (!only.empty() && only != "device" && only != "surfaceless" && only != "software")
    return failure(FailureKind::Unsupported,
                   "ZORVEL_EGL_PLATFORM names no platform (device, surfaceless or software): " + only);
  const auto tryDevices = [](const std::vector<EGLDeviceEXT>& list, const char* name) {
    for (EGLDeviceEXT device : list) {
      const EGLDisplay display = openDisplay(EGL_PLATFORM_DEVICE_EXT, device);
      if (display != EGL_NO_DISPLAY) {
        gPlatform = name;
        return display;
      }
    }
    return EGLDisplay(EGL_NO_DISPLAY);
  };
  if (only.empty() || only == "device") {
    std::vector<EGLDeviceEXT> list = devices(false);
    if (only == "device")
      for (EGLDeviceEXT device : devices(true)) list.push_back(device);
    if (const EGLDisplay display = tryDevices(list, "the EGL device platform"); display != EGL_NO_DISPLAY)
      return display;
  }
  if (only.empty() || only == "surfaceless") {
    const EGLDisplay display = openDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY) {
      gPlatform = "the EGL surfaceless platform";
      return display;
    }
  }
  if (only.empty() || only == "software")
    if (const EGLDisplay display = tryDevices(devices(true), "Mesa's software device"); display != EGL_NO_DISPLAY)
      return display;
  return failure(FailureKind::Unsupported, eglFailure("eglInitialize"));
}

// A configuration of exactly 8-bit red, green and blue without alpha, a 24-bit depth
// buffer and pbuffers that desktop OpenGL can draw into: the window's.
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

// Makes a framebuffer of width x height, 8-bit RGBA and 24-bit depth, the one the
// current context draws into, stored top row first: clip space's y points down the
// rows. False where it cannot be made. Its buffers are the context's and go with it.
bool drawIntoFramebuffer(int width, int height) {
  GLuint buffers[2] = {0, 0}, framebuffer = 0;
  glGenRenderbuffers(2, buffers);
  glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
  glClipControl(GL_UPPER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && glGetError() == GL_NO_ERROR;
}

}  // namespace

Result<std::unique_ptr<OffscreenContext>> OffscreenContext::create(int width, int height) {
  std::unique_ptr<OffscreenContext> context(new OffscreenContext);
  context->width_ = width;
  context->height_ = height;
  EGLDisplay display = EGL_NO_DISPLAY;
  {
    std::lock_guard<std::mutex> lock(gDisplayMutex);
    if (gDisplay == EGL_NO_DISPLAY) {
      const Result<EGLDisplay> chosen = chooseDisplay();
      if (!chosen) return chosen.failure();
      gDisplay = chosen.value();
    }
    display = gDisplay;
    ++gDisplayUsers;
  }
  context->display_ = display;
  EGLConfig config;
  if (!chooseConfig(display, config))
    return failure(FailureKind::Unsupported, "no offscreen OpenGL with 8-bit colour and a 24-bit depth buffer");
  // The context draws into a framebuffer of its own: its surface is only there to make
  // it current.
  const EGLint size[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE) return failure(FailureKind::Unsupported, eglFailure("eglCreatePbufferSurface"));
  context->surface_ = surface;
  EGLContext gl = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (gl == EGL_NO_CONTEXT) return failure(FailureKind::Unsupported, eglFailure("eglCreateContext"));
  context->context_ = gl;
  if (!eglMakeCurrent(display, surface, surface, gl))
    return failure(FailureKind::Unsupported, eglFailure("eglMakeCurrent"));
  if (!drawIntoFramebuffer(width, height))
    return failure(FailureKind::Unsupported,
                   "no offscreen OpenGL framebuffer with 8-bit colour and a 24-bit depth buffer");
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  context->rendererName_ = std::string(renderer ? renderer : "an unnamed renderer") + " on " + gPlatform;
  return context;
}

OffscreenContext::~OffscreenContext() {
  if (!display_) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_) eglDestroyContext(display_, context_);
  if (surface_) eglDestroySurface(display_, surface_);
  // The display is one for the process: the last context gives it up.
  std::lock_guard<std::mutex> lock(gDisplayMutex);
  if (--gDisplayUsers == 0) {
    eglTerminate(display_);
    gDisplay = EGL_NO_DISPLAY;
  }
}

void OffscreenContext::makeCurrent() const { eglMakeCurrent(display_, surface_, surface_, context_); }

void OffscreenContext::release() const { eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }

void OffscreenContext::readPixels(std::vector<std::uint8_t>& rgb) const {
  rgb.resize(static_cast<std::size_t>(width_) * 3 * static_cast<std::size_t>(height_));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

void OffscreenContext::readDepthsAndColours(int first, int count, std::uint32_t* depths, std::uint8_t* rgba) const {
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, first, width_, count, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depths);
  glReadPixels(0, first, width_, count, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

}  // namespace zorvel
