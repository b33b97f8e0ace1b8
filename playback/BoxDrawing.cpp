// The box drawing of both views, built for speed; the picture is the one drawing each
// box in turn gives (the window tests compare the two), but where two surfaces meet at
// exactly the same depth. Each box's eight corners are written once and its faces and
// edges drawn from them by index. Where nothing is blended, a box wholly beyond the near
// plane leaves out the faces its own front faces hide: only where a left-out face met
// another box's surface at the same depth can a pixel come out otherwise.

#include "playback/SceneDrawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zorvel {

namespace {

// Vertex, colour and index arrays reused from frame to frame, one set a thread: the
// recorder draws on several, each into a context of its own.
thread_local std::vector<Vector3> gVertices;
thread_local std::vector<ColorRGBA> gVertexColours;
thread_local std::vector<GLuint> gIndices;

// The six planes of the current view volume, widened by a few pixels on the sides:
// a box whose bounding sphere lies wholly outside one of them makes no fragments, not
// even through the width of a line near the edge of the picture.
struct ViewVolume {
  double planes[6][4];
  double eye[3];  // the eye in the boxes' coordinates

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
    // The camera turns and moves the scene without scaling it: the eye is the
    // translation taken back through the turn, -R^T t.
    for (int row = 0; row < 3; ++row) {
      volume.eye[row] = 0;
      for (int k = 0; k < 3; ++k) volume.eye[row] -= modelView[row * 4 + k] * modelView[12 + k];
    }
    return volume;
  }

  // Whether a box around `centre` with half extents `h` may make fragments.
  bool mayShow(const Vector3& centre, const HalfExtents& h) const {
    const double radius = radiusOf(h);
    for (const double* plane : planes)
      if (distance(plane, centre) < -radius * 1.0001 - 1e-4) return false;
    return true;
  }

  // Whether the box lies wholly beyond the near plane, so that no face of it is cut
  // away there to show what lies behind.
  bool beyondNearPlane(const Vector3& centre, const HalfExtents& h) const {
    return distance(planes[4], centre) > radiusOf(h) * 1.0001 + 1e-4;
  }

  static double radiusOf(const HalfExtents& h) {
    return std::sqrt(static_cast<double>(h.x) * h.x + static_cast<double>(h.y) * h.y + static_cast<double>(h.z) * h.z);
  }
  static double distance(const double* plane, const Vector3& p) {
    return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
  }
};

constexpr unsigned kAllFaces = (1u << 6) - 1;

// Appends the indices of the faces in `faces` (bits in drawing order) of the box whose
// corners start at `base`.
GLuint* appendFaces(GLuint* out, GLuint base, unsigned faces) {
  for (int f = 0; f < 6; ++f)
    if (faces & (1u << f))
      for (int k = 0; k < kSolidBoxVertices / 6; ++k) *out++ = base + kSolidBoxCorners[f * 6 + k];
  return out;
}

// Appends the indices of every edge of the box whose corners start at `base`.
GLuint* appendEdges(GLuint* out, GLuint base) {
  for (const unsigned char corner : kWireBoxCorners) *out++ = base + corner;
  return out;
}

}  // namespace

void drawBoxes(const BoxBatch& boxes, const ViewState& view) {
  applyDrawingState(view);
  const bool faces = drawsFaces(view.drawMode);
  const bool edges = drawsEdges(view.drawMode);
  const bool outlined = faces && edges;
  // With blending every face adds to the picture; without, the hidden ones do not.
  const bool leaveOutHidden = faces && !view.additiveBlend;
  const ViewVolume volume = ViewVolume::current();
  // Outlined boxes have their corners twice: in their colour, and in the outline's.
  const std::size_t corners = outlined ? 2 * kBoxCorners : kBoxCorners;
  const std::size_t perBox = (faces ? kSolidBoxVertices : 0) + (edges ? kWireBoxVertices : 0);
  const std::size_t count = boxes.centres.size();
  gVertices.resize(count * corners);
  gVertexColours.resize(count * corners);
  gIndices.resize(count * perBox);
  // Per outlined box: where its face indices end and where its edge indices end.
  thread_local std::vector<std::pair<GLuint*, GLuint*>> ends;
  ends.clear();
  Vector3* vertex = gVertices.data();
  ColorRGBA* colour = gVertexColours.data();
  GLuint* index = gIndices.data();
  GLuint base = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Vector3& centre = boxes.centres[i];
    const HalfExtents& h = boxes.halfExtents[i];
    if (!volume.mayShow(centre, h)) continue;
    const unsigned shown =
        leaveOutHidden && volume.beyondNearPlane(centre, h) ? visibleFaces(volume.eye, centre, h) : kAllFaces;
    vertex = writeBoxCorners(vertex, centre, h);
    colour = std::fill_n(colour, kBoxCorners, boxes.colours[i]);
    if (outlined) {
      vertex = std::copy(vertex - kBoxCorners, vertex, vertex);
      colour = std::fill_n(colour, kBoxCorners, outlineColor);
    }
    if (faces) index = appendFaces(index, base, shown);
    GLuint* facesEnd = index;
    if (edges) index = appendEdges(index, outlined ? base + kBoxCorners : base);
    if (outlined) ends.emplace_back(facesEnd, index);
    base += static_cast<GLuint>(corners);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), gVertices.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), gVertexColours.data());
  if (outlined) {
    // Each box's outline follows its own faces, as the boxes are drawn one by one.
    GLuint* start = gIndices.data();
    for (const auto& [facesEnd, edgesEnd] : ends) {
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(facesEnd - start), GL_UNSIGNED_INT, start);
      glDrawElements(GL_LINES, static_cast<GLsizei>(edgesEnd - facesEnd), GL_UNSIGNED_INT, facesEnd);
      start = edgesEnd;
    }
  } else if (index != gIndices.data()) {
    glDrawElements(faces ? GL_TRIANGLES : GL_LINES, static_cast<GLsizei>(index - gIndices.data()), GL_UNSIGNED_INT,
                   gIndices.data());
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
