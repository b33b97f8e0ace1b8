#include "PlaybackView.h"

#include <GL/glut.h>

#include <cstdlib>
#include <iostream>

#include "PlaybackWindow.h"

namespace zorvel {

namespace {

ViewerScene* gScene = nullptr;
const ObjectShape* gShape = nullptr;
BoxBatch gBoxes;
std::vector<Vector3> gCorners;  // the shape's corners as points
std::vector<Vector3> gTriangles;
std::vector<ColorRGBA> gTriangleColours;

ColorRGBA pixelColour(const ViewerScene& scene, std::size_t i) {
  return {static_cast<std::uint8_t>(scene.pixelRed[i]), static_cast<std::uint8_t>(scene.pixelGreen[i]),
          static_cast<std::uint8_t>(scene.pixelBlue[i]), static_cast<std::uint8_t>(scene.pixelAlpha[i])};
}

// Every pixel of the current frame: cubes of the pixel's size, or the object at its own
// size, in the pixel's colour.
void drawPixels() {
  const ViewerScene& scene = *gScene;
  const ViewState& view = viewState();
  if (scene.frameCount <= 0) return;
  const ParticleFrame& frame = scene.animation.frame(scene.currentFrame);
  if (!gShape->cornerCounts.empty()) {
    gTriangles.clear();
    gTriangleColours.clear();
    for (std::uint32_t i = 0; i < frame.count; ++i) {
      const std::size_t before = gTriangles.size();
      const Vector3* corner = gCorners.data();
      for (const std::uint16_t count : gShape->cornerCounts) {
        appendPolygon(gTriangles, corner, count, frame.particles[i].position);
        corner += count;
      }
      gTriangleColours.insert(gTriangleColours.end(), gTriangles.size() - before, pixelColour(scene, i));
    }
    drawTriangles(gTriangles, gTriangleColours, view);
    return;
  }
  gBoxes.clear();
  for (std::uint32_t i = 0; i < frame.count; ++i) {
    const float h = scene.pixelScale[i] * 0.5f;
    gBoxes.centres.push_back(frame.particles[i].position);
    gBoxes.halfExtents.push_back({h, h, h});
    gBoxes.colours.push_back(pixelColour(scene, i));
  }
  drawBoxes(gBoxes, view);
}

void onDisplay() {
  ViewState& view = viewState();
  // While playing, nothing at all happens until the next paced frame is due.
  if (view.playing && !takePacedFrame(std::cout)) return;
  beginFrame();
  drawPixels();
  if (view.playing) gScene->currentFrame = stepFrame(gScene->currentFrame, view.playDirection, gScene->frameCount);
  endFrame();
}

void onKeyboard(unsigned char key, int, int) {
  if (pressViewerKey(viewState(), key, gScene->currentFrame, gScene->frameCount) == KeyEffect::Quit)
    finishView(std::cout);
}

}  // namespace

void runPlaybackView(int& argc, char** argv, ViewerScene& scene, const ObjectShape& shape) {
  gScene = &scene;
  gShape = &shape;
  for (std::size_t n = 0; n < shape.objectCornersX.size(); ++n)
    gCorners.push_back({shape.objectCornersX[n], shape.objectCornersY[n], shape.objectCornersZ[n]});
  runPlaybackWindow(argc, argv, {onDisplay, onKeyboard});
  std::exit(0);
}

}  // namespace zorvel
