#include "playback/ViewState.h"

#include <cctype>

namespace zorvel {

DrawMode nextDrawMode(DrawMode mode) {
  switch (mode) {
    case DrawMode::Wire: return DrawMode::Solid;
    case DrawMode::Solid: return DrawMode::Outlined;
    case DrawMode::Outlined: break;
  }
  return DrawMode::Wire;
}

ViewState initialViewState(std::uint32_t now) {
  ViewState view;
  view.lastFrameTick = now;
  return view;
}

bool drawsTheSame(const ViewState& a, const ViewState& b) { return a.pictureFields() == b.pictureFields(); }

void resetCamera(ViewState& view) {
  const ViewState start;
  view.zoom = start.zoom;
  view.panX = start.panX;
  view.panY = start.panY;
  view.rotateX = start.rotateX;
  view.rotateY = start.rotateY;
}

namespace {
constexpr unsigned char kEscape = 27;
}

bool pressSharedKey(ViewState& view, unsigned char key, KeyEffect& effect) {
  switch (std::toupper(key)) {
    case kEscape: effect = KeyEffect::Quit; return true;
    case ' ': view.playing = !view.playing; return true;
    case 'D': view.drawMode = nextDrawMode(view.drawMode); return true;
    case 'F': resetCamera(view); return true;
    case 'G': view.showGrid = !view.showGrid; return true;
    case 'T': view.additiveBlend = !view.additiveBlend; return true;
    default: return false;
  }
}

void mouseButton(ViewState& view, int button, int x, int y) {
  if (button == 0) view.leftButtonHeld = !view.leftButtonHeld;
  if (button == 1) view.middleButtonHeld = !view.middleButtonHeld;
  if (button == 2) view.rightButtonHeld = !view.rightButtonHeld;
  view.lastMouseX = x;
  view.lastMouseY = y;
}

void dragTo(ViewState& view, int x, int y) {
  if (!view.leftButtonHeld && !view.middleButtonHeld && !view.rightButtonHeld) return;
  const int dx = x - view.lastMouseX;
  const int dy = y - view.lastMouseY;
  view.lastMouseX = x;
  view.lastMouseY = y;
  if (view.leftButtonHeld) {
    view.rotateX += static_cast<float>(dy * 0.5);
    view.rotateY += static_cast<float>(dx * 0.5);
  } else if (view.middleButtonHeld) {
    view.zoom += static_cast<float>(dx * 0.1);
  } else {
    view.panX += static_cast<float>(dx * 0.05);
    view.panY -= static_cast<float>(dy * 0.05);
  }
}

std::optional<std::uint32_t> pacedFrameRate(const ViewState& view, std::uint32_t now) {
  const std::uint32_t elapsed = now - view.lastFrameTick;
  const std::uint32_t interval = static_cast<std::uint32_t>(1000 / view.framesPerSecond);
  if (elapsed < interval || elapsed == 0) return std::nullopt;
  return 1000u / elapsed;
}

Projection projectionFor(int width, int height) {
  Projection p;
  if (height == 0) height = 1;
  p.viewportWidth = width;
  p.viewportHeight = height;
  p.aspect = static_cast<double>(width) / height;
  return p;
}

}  // namespace zorvel
