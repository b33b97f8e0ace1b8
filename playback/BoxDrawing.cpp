// The box drawing of both views, built for speed; the picture is the one drawing each
// box in turn gives (the window tests compare the two).

#include "playback/SceneDrawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zorvel {

namespace {

// Vertex and colour arrays reused from frame to frame.
std::vector<Vector3> gVertices;
std::vector<ColorRGBA> gVertexColours;

// The six planes of the current view volume, widened by a few pixels on the sides:
// a box whose bounding sphere lies wholly outside one of them makes no fragments, not
// even through the width of a line near the edge of the picture.
struct ViewVolume {
  double planes[6][4];

  static ViewVolume current() {
    double modelView[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Column-major: clip = projection x modelView x point.
    double m[16];
    for (int column = 0; column < 4; ++column)
      for (int row = 0; row < 4; ++row) {
        double sum = 0;
        for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelView[column * 4 + k];
        m[column * 4 + row] = sum;
      }
    const auto rowOf = [&m](int row, double* out) {
      for (int column = 0; column < 4; ++column) out[column] = m[column * 4 + row];
    };
    double x[4], y[4], z[4], w[4];
    rowOf(0, x);
    rowOf(1, y);
    rowOf(2, z);
    rowOf(3, w);
    // Eight pixels of room on each side, and a hair before the near and after the far plane.
    const double sideX = 1.0 + 16.0 / std::max(1, viewport[2]);
    const double sideY = 1.0 + 16.0 / std::max(1, viewport[3]);
    const double depth = 1.0 + 1e-6;
    ViewVolume volume;
    for (int c = 0; c < 4; ++c) {
      volume.planes[0][c] = sideX * w[c] + x[c];  // -sideX w <= x
      volume.planes[1][c] = sideX * w[c] - x[c];  // x <= sideX w
      volume.planes[2][c] = sideY * w[c] + y[c];
      volume.planes[3][c] = sideY * w[c] - y[c];
      volume.planes[4][c] = depth * w[c] + z[c];
      volume.planes[5][c] = depth * w[c] - z[c];
    }
    for (double* plane : volume.planes) {
      const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
      if (length > 0)
        for (int c = 0; c < 4; ++c) plane[c] /= length;
    }
    return volume;
  }

  // Whether a box around `centre` with half extents `h` may make fragments.
  bool mayShow(const Vector3& centre, const HalfExtents& h) const {
    const double radius =
        std::sqrt(static_cast<double>(h.x) * h.x + static_cast<double>(h.y) * h.y + static_cast<double>(h.z) * h.z);
    for (const double* plane : planes)
      if (plane[0] * centre.x + plane[1] * centre.y + plane[2] * centre.z + plane[3] < -radius * 1.0001 - 1e-4)
        return false;
    return true;
  }
};

}  // namespace

void drawBoxes(const BoxBatch& boxes, const ViewState& view) {
  applyDrawingState(view);
  const bool solid = drawsFaces(view.drawMode);
  const bool wire = drawsEdges(view.drawMode);
  const std::size_t perBox = (solid ? kSolidBoxVertices : 0) + (wire ? kWireBoxVertices : 0);
  // Boxes wholly outside the view make no fragments: they are left out.
  const ViewVolume volume = ViewVolume::current();
  gVertices.resize(boxes.centres.size() * perBox);
  gVertexColours.resize(boxes.centres.size() * perBox);
  Vector3* vertex = gVertices.data();
  ColorRGBA* colour = gVertexColours.data();
  std::size_t n = 0;
  for (std::size_t i = 0; i < boxes.centres.size(); ++i) {
    if (!volume.mayShow(boxes.centres[i], boxes.halfExtents[i])) continue;
    ++n;
    if (solid) {
      vertex = writeSolidBox(vertex, boxes.centres[i], boxes.halfExtents[i]);
      colour = std::fill_n(colour, kSolidBoxVertices, boxes.colours[i]);
    }
    if (wire) {
      vertex = writeWireBox(vertex, boxes.centres[i], boxes.halfExtents[i]);
      colour = std::fill_n(colour, kWireBoxVertices, solid ? outlineColor : boxes.colours[i]);
    }
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), gVertices.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), gVertexColours.data());
  if (solid && wire) {
    // Each box's outline follows its own faces, as the boxes are drawn one by one.
    for (std::size_t i = 0; i < n; ++i) {
      const GLint first = static_cast<GLint>(i * perBox);
      glDrawArrays(GL_TRIANGLES, first, kSolidBoxVertices);
      glDrawArrays(GL_LINES, first + kSolidBoxVertices, kWireBoxVertices);
    }
  } else if (n > 0) {
    glDrawArrays(solid ? GL_TRIANGLES : GL_LINES, 0, static_cast<GLsizei>(n * perBox));
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
