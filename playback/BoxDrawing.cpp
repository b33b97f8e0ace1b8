// The box drawing of both views, built for speed; the picture is the one drawing each
// box in turn gives (the window tests compare the two), but where two surfaces meet at
// exactly the same depth. Each box's eight corners are written once and its faces and
// edges drawn from them by index. Where nothing is blended, a box wholly beyond the near
// plane leaves out the faces its own front faces hide: only where a left-out face met
// another box's surface at the same depth can a pixel come out otherwise. With its
// faces drawn, such a box also leaves out the edges between two hidden faces: they lie
// behind the faces that show, and only where they end on the box's outline can their
// width reach a pixel past it, beside the outline's own edges. An edge that
// a box drawn before has exactly (the pixels of a picture at home touch) is drawn once:
// its copy would change no pixel.
//
// Outlined boxes are grouped into layers whose screen areas do not meet, and each layer
// is drawn as all its faces and then all its edges: a few hundred draws instead of two
// a box. Where two boxes may share a pixel the earlier one is in an earlier layer, so
// the order that decides any pixel is kept. Tens of thousands of small draws switching
// between triangles and lines cost more time, and with smoothing on they also make the
// renderer hold some hundred megabytes more, and keep much of it.

#include "playback/DrawingLayers.h"
#include "playback/RendererMemory.h"
#include "playback/SceneDrawing.h"
#include "playback/SharedEdges.h"

#include <GL/gl.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <limits>
#include <vector>

namespace zorvel {

namespace {

// Vertex, colour and index arrays reused from frame to frame, one set a thread: the
// recorder draws on several, each into a context of its own.
thread_local std::vector<Vector3> gVertices;
thread_local std::vector<ColorRGBA> gVertexColours;
thread_local std::vector<GLuint> gIndices;
// The outline colour for every corner: outlined boxes' edges are drawn from their own
// corners with these colours in place of the boxes'. (Turning the colour array off for
// them instead made the renderer hold some 30 MB more in the recorder.)
thread_local std::vector<ColorRGBA> gOutlineColours;

// The six planes of the current view volume, widened by a few pixels on the sides:
// a box whose bounding sphere lies wholly outside one of them makes no fragments, not
// even through the width of a line near the edge of the picture.
struct ViewVolume {
  double planes[6][4];
  double eye[3];      // the eye in the boxes' coordinates
  double clip[16];    // boxes' coordinates to clip coordinates, column-major
  GLint viewport[4];  // x, y, width, height

  static ViewVolume current() {
    ViewVolume volume;
    double modelView[16], projection[16];
    GLint* viewport = volume.viewport;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Column-major: clip = projection x modelView x point.
    double* m = volume.clip;
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

  // The window pixels a box wholly beyond the near plane, with `corners` (kBoxCorners of
  // them), may touch, with room for a smoothed line's width and for rounding; NaN, which
  // stands for anywhere, when the box is not wholly beyond the near plane.
  PixelRect screenArea(const Vector3* corners, bool beyondNear) const {
    constexpr double kNowhere = std::numeric_limits<double>::quiet_NaN();
    constexpr double kRoom = 3.0;
    PixelRect area{kNowhere, kNowhere, kNowhere, kNowhere};
    if (!beyondNear) return area;
    double left = std::numeric_limits<double>::infinity(), bottom = left, right = -left, top = -left;
    for (const Vector3* p = corners; p != corners + kBoxCorners; ++p) {
      double c[4];
      for (int row = 0; row < 4; ++row)
        c[row] = clip[row] * p->x + clip[4 + row] * p->y + clip[8 + row] * p->z + clip[12 + row];
      if (!(c[3] > 0)) return area;
      const double x = viewport[0] + (c[0] / c[3] + 1) * 0.5 * viewport[2];
      const double y = viewport[1] + (c[1] / c[3] + 1) * 0.5 * viewport[3];
      left = std::min(left, x);
      right = std::max(right, x);
      bottom = std::min(bottom, y);
      top = std::max(top, y);
    }
    return PixelRect{left - kRoom, bottom - kRoom, right + kRoom, top + kRoom};
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

// Appends the indices of the edges of the box whose corners start at `base`, but those
// in `leaveOut` (bit k for the edge at 2k, 2k + 1 of the edge table).
GLuint* appendEdges(GLuint* out, GLuint base, unsigned leaveOut) {
  for (std::size_t edge = 0; edge < kWireBoxVertices / 2; ++edge) {
    if (leaveOut & (1u << edge)) continue;
    *out++ = base + kWireBoxCorners[2 * edge];
    *out++ = base + kWireBoxCorners[2 * edge + 1];
  }
  return out;
}

// Cells of the grid through which outlined boxes' screen areas are compared, in pixels.
constexpr int kLayerCell = 8;

// An outlined box as its layer needs it: where its corners start, the faces it shows
// and the edges it leaves out.
struct OutlinedBox {
  std::uint32_t layer;
  GLuint base;
  unsigned faces;     // bits in drawing order
  unsigned leaveOut;  // bit k: edge k of the edge table
};

std::size_t faceIndices(unsigned faces) { return std::bitset<6>(faces).count() * (kSolidBoxVertices / 6); }
std::size_t edgeIndices(unsigned leaveOut) { return kWireBoxVertices - std::bitset<12>(leaveOut).count() * 2; }

// Draws outlined boxes layer by layer: each layer's faces in one call, then its edges,
// in the outline colour, in another; boxes in their own order within each. Each box's
// indices are written straight to their place in `indices`: a layer's faces, then its
// edges, then the next layer's.
void drawInLayers(const std::vector<OutlinedBox>& boxes, std::uint32_t layerCount, std::vector<GLuint>& indices) {
  thread_local std::vector<std::size_t> nextFace, nextEdge;
  nextFace.assign(layerCount, 0);
  nextEdge.assign(layerCount, 0);
  for (const OutlinedBox& box : boxes) {
    nextFace[box.layer] += faceIndices(box.faces);
    nextEdge[box.layer] += edgeIndices(box.leaveOut);
  }
  std::size_t at = 0;
  for (std::uint32_t layer = 0; layer < layerCount; ++layer) {
    const std::size_t faces = nextFace[layer], edges = nextEdge[layer];
    nextFace[layer] = at;
    nextEdge[layer] = at + faces;
    at += faces + edges;
  }
  indices.resize(at);
  GLuint* const out = indices.data();
  for (const OutlinedBox& box : boxes) {
    nextFace[box.layer] = static_cast<std::size_t>(appendFaces(out + nextFace[box.layer], box.base, box.faces) - out);
    nextEdge[box.layer] =
        static_cast<std::size_t>(appendEdges(out + nextEdge[box.layer], box.base, box.leaveOut) - out);
  }
  // Now each layer's faces end at nextFace, where its edges begin, and its edges end at
  // nextEdge, where the next layer begins.
  std::size_t start = 0;
  for (std::uint32_t layer = 0; layer < layerCount; ++layer) {
    drawElements(GL_TRIANGLES, nextFace[layer] - start, out + start);
    if (nextEdge[layer] != nextFace[layer]) {
      glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), gOutlineColours.data());
      drawElements(GL_LINES, nextEdge[layer] - nextFace[layer], out + nextFace[layer]);
      glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), gVertexColours.data());
    }
    start = nextEdge[layer];
  }
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
  const std::size_t perBox = outlined ? 0 : faces ? kSolidBoxVertices : kWireBoxVertices;
  const std::size_t count = boxes.centres.size();
  gVertices.resize(count * kBoxCorners);
  gVertexColours.resize(count * kBoxCorners);
  if (outlined) gOutlineColours.resize(count * kBoxCorners, outlineColor);
  gIndices.resize(count * perBox);
  thread_local std::vector<OutlinedBox> outlinedBoxes;
  thread_local DrawingLayers layers;
  thread_local SharedEdges shared;
  outlinedBoxes.clear();
  if (edges) shared.begin(count);
  if (outlined)
    layers.begin(volume.viewport[2] + volume.viewport[0], volume.viewport[3] + volume.viewport[1], kLayerCell);
  Vector3* vertex = gVertices.data();
  ColorRGBA* colour = gVertexColours.data();
  GLuint* index = gIndices.data();
  GLuint base = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Vector3& centre = boxes.centres[i];
    const HalfExtents& h = boxes.halfExtents[i];
    if (!volume.mayShow(centre, h)) continue;
    const bool beyondNear = volume.beyondNearPlane(centre, h);
    const unsigned shown = leaveOutHidden && beyondNear ? visibleFaces(volume.eye, centre, h) : kAllFaces;
    const Vector3* const boxCorners = vertex;
    vertex = writeBoxCorners(vertex, centre, h);
    colour = std::fill_n(colour, kBoxCorners, boxes.colours[i]);
    // With the faces drawn, an edge between two faces that do not show is hidden but
    // where it ends on the outline.
    const unsigned hidden = outlined && shown != kAllFaces ? edgesBetweenHiddenFaces(shown) : 0;
    const unsigned leaveOut = edges ? shared.next(boxCorners, hidden) | hidden : 0;
    if (outlined)
      outlinedBoxes.push_back({layers.place(volume.screenArea(boxCorners, beyondNear)), base, shown, leaveOut});
    else if (faces)
      index = appendFaces(index, base, shown);
    else
      index = appendEdges(index, base, leaveOut);
    base += kBoxCorners;
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), gVertices.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), gVertexColours.data());
  if (outlined) {
    drawInLayers(outlinedBoxes, layers.count(), gIndices);
  } else {
    drawElements(faces ? GL_TRIANGLES : GL_LINES, static_cast<std::size_t>(index - gIndices.data()), gIndices.data());
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
