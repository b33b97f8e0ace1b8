#include "viewer/ViewerDrawing.h"

namespace zorvel {

namespace {
// Object triangles are drawn in batches of at most this many vertices, however many
// pixels and corners there are.
constexpr std::size_t kBatchVertices = 3 << 14;
}  // namespace

ViewerDrawing::ViewerDrawing(const ViewerScene& scene, const ObjectShape& shape) : scene_(scene) {
  const std::vector<Vector3> corners = cornerPoints(shape);
  const Vector3* corner = corners.data();
  for (const std::uint16_t count : shape.cornerCounts) {
    appendPolygon(objectTriangles_, corner, count, Vector3{});
    corner += count;
  }
}

ColorRGBA ViewerDrawing::pixelColour(std::size_t i) const {
  return {static_cast<std::uint8_t>(scene_.pixelRed[i]), static_cast<std::uint8_t>(scene_.pixelGreen[i]),
          static_cast<std::uint8_t>(scene_.pixelBlue[i]), static_cast<std::uint8_t>(scene_.pixelAlpha[i])};
}

void ViewerDrawing::draw(Renderer& renderer, std::int32_t frameIndex, const ViewState& view) {
  if (scene_.frameCount > 0) draw(renderer, scene_.animation.frame(frameIndex), view);
}

void ViewerDrawing::draw(Renderer& renderer, const ParticleFrame& frame, const ViewState& view) {
  drawPixels(
      renderer, frame, view,
      [&frame](auto&& use) {
        for (std::uint32_t i = 0; i < frame.count; ++i) use(i);
      },
      nullptr);
}

void ViewerDrawing::draw(Renderer& renderer, const ParticleFrame& frame, const std::vector<std::uint32_t>& pixels,
                         const ViewState& view, const PixelColouring& colouring) {
  drawPixels(
      renderer, frame, view,
      [&pixels](auto&& use) {
        for (const std::uint32_t i : pixels) use(i);
      },
      colouring);
}

template <class ForEach>
void ViewerDrawing::drawPixels(Renderer& renderer, const ParticleFrame& frame, const ViewState& view, ForEach forEach,
                               const PixelColouring& colouring) {
  if (!objectTriangles_.empty()) return drawObjects(renderer, frame, view, forEach, colouring);
  boxes_.clear();
  forEach([&](std::uint32_t i) {
    const float h = scene_.pixelScale[i] * 0.5f;
    if (colouring) {
      const DrawnColours colours = colouring(i);
      boxes_.add(frame.position(i), {h, h, h}, colours.faces, colours.edges);
    } else {
      boxes_.add(frame.position(i), {h, h, h}, pixelColour(i));
    }
  });
  renderer.drawBoxes(boxes_, view);
}

template <class ForEach>
void ViewerDrawing::drawObjects(Renderer& renderer, const ParticleFrame& frame, const ViewState& view, ForEach forEach,
                                const PixelColouring& colouring) {
  vertices_.resize(kBatchVertices);
  colours_.resize(kBatchVertices);
  std::size_t filled = 0;
  forEach([&](std::uint32_t i) {
    const Vector3 at = frame.position(i);
    const ColorRGBA colour = colouring ? colouring(i).faces : pixelColour(i);
    for (const Vector3& corner : objectTriangles_) {
      vertices_[filled] = {at.x + corner.x, at.y + corner.y, at.z + corner.z};
      colours_[filled] = colour;
      if (++filled == kBatchVertices) {
        renderer.drawTriangles(vertices_.data(), colours_.data(), filled, view);
        renderer.flush();
        filled = 0;
      }
    }
  });
  renderer.drawTriangles(vertices_.data(), colours_.data(), filled, view);
}

}  // namespace zorvel
