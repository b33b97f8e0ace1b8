// The straightforward box drawing, the reference for the pixel-identity window test:
// every box's faces and edges built and submitted in turn, with nothing left out. The
// reference programs (the viewer's, the blender's and the recorder's) link this in place
// of the drawing the programs use. With
// ZORVEL_REFERENCE_REVERSED set, the boxes are drawn last to first: where the two
// pictures differ, two surfaces meet at the same depth and the order decides.

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "playback/Renderer.h"

namespace zorvel {

void Renderer::drawBoxes(const BoxBatch& boxes, const ViewState& view) {
  // Made afresh for every batch: the recorder draws on two threads at once.
  std::vector<Vector3> vertices;
  std::vector<ColorRGBA> colours;
  const std::size_t n = boxes.centres.size();
  setDrawingState(view);
  const bool solid = drawsFaces(view.drawMode);
  const bool wire = drawsEdges(view.drawMode);
  const std::size_t perBox = (solid ? kSolidBoxVertices : 0) + (wire ? kWireBoxVertices : 0);
  vertices.resize(n * perBox);
  colours.resize(n * perBox);
  Vector3* vertex = vertices.data();
  ColorRGBA* colour = colours.data();
  static const bool reversed = std::getenv("ZORVEL_REFERENCE_REVERSED") != nullptr;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t i = reversed ? n - 1 - k : k;
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
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), vertices.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), colours.data());
  if (solid && wire) {
    for (std::size_t i = 0; i < n; ++i) {
      const GLint first = static_cast<GLint>(i * perBox);
      glDrawArrays(GL_TRIANGLES, first, kSolidBoxVertices);
      glDrawArrays(GL_LINES, first + kSolidBoxVertices, kWireBoxVertices);
    }
  } else if (n > 0) {
    glDrawArrays(solid ? GL_TRIANGLES : GL_LINES, 0, static_cast<GLsizei>(vertices.size()));
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
