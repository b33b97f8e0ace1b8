// The box drawing of both views and the recorder, built for speed; the picture is the
// one drawing each box in turn gives (the window tests and the offscreen pass tests
// compare the two), but where two surfaces meet at exactly the same depth. It goes in
// four passes:
//
// 1. The boxes to draw. A box wholly outside the view is left out. Each box that may
//    show has its eight corners written once, and its faces and edges are drawn from
//    them by index. Where nothing is blended, a box wholly beyond the near plane leaves
//    out the faces its own front faces hide: only where a left-out face met another
//    box's surface at the same depth can a pixel come out otherwise.
// 2. Their edges. With its faces drawn, a box leaves out the edges between two hidden
//    faces: they lie behind the faces that show, and only where they end on the box's
//    outline can their width reach a pixel past it, beside the outline's own edges. An
//    edge that a box drawn before has exactly (the pixels of a picture at home touch) is
//    drawn once: its copy would change no pixel.
// 3. Their layers, for outlined boxes: layers whose screen areas do not meet, each drawn
//    as all its faces and then all its edges, a few hundred draws instead of two a box.
//    Where two boxes may share a pixel the earlier one is in an earlier layer, so the
//    order that decides any pixel is kept. Tens of thousands of small draws switching
//    between triangles and lines cost more time, and with smoothing on they also make
//    the renderer hold some hundred megabytes more, and keep much of it.
// 4. The indices, in the order they are drawn, and their submission.

#include <GL/gl.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <limits>
#include <vector>

#include "playback/Renderer.h"

namespace zorvel {

namespace {

// The six planes of the camera's view volume, widened by a few pixels on the sides: a
// box whose bounding sphere lies wholly outside one of them makes no fragments, not
// even through the width of a line near the edge of the picture.
class ViewVolume {
 public:
  explicit ViewVolume(const Camera& camera) : camera_(camera) {
    const double* m = camera.clip();
    const auto rowOf = [m](int row, double* out) {
      for (int column = 0; column < 4; ++column) out[column] = m[column * 4 + row];
    };
    double x[4], y[4], z[4], w[4];
    rowOf(0, x);
    rowOf(1, y);
    rowOf(2, z);
    rowOf(3, w);
    // Eight pixels of room on each side, and a hair before the near and after the far plane.
    const int* viewport = camera.viewport();
    const double sideX = 1.0 + 16.0 / std::max(1, viewport[2]);
    const double sideY = 1.0 + 16.0 / std::max(1, viewport[3]);
    const double depth = 1.0 + 1e-6;
    for (int c = 0; c < 4; ++c) {
      planes_[0][c] = sideX * w[c] + x[c];  // -sideX w <= x
      planes_[1][c] = sideX * w[c] - x[c];  // x <= sideX w
      planes_[2][c] = sideY * w[c] + y[c];
      planes_[3][c] = sideY * w[c] - y[c];
      planes_[4][c] = depth * w[c] + z[c];
      planes_[5][c] = depth * w[c] - z[c];
    }
    for (double* plane : planes_) {
      const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
      if (length > 0)
        for (int c = 0; c < 4; ++c) plane[c] /= length;
    }
  }

  // Whether a box around `centre` with half extents `h` may make fragments.
  bool mayShow(const Vector3& centre, const HalfExtents& h) const {
    const double radius = radiusOf(h);
    for (const double* plane : planes_)
      if (distance(plane, centre) < -radius * 1.0001 - 1e-4) return false;
    return true;
  }

  // Whether the box lies wholly beyond the near plane, so that no face of it is cut
  // away there to show what lies behind.
  bool beyondNearPlane(const Vector3& centre, const HalfExtents& h) const {
    return distance(planes_[4], centre) > radiusOf(h) * 1.0001 + 1e-4;
  }

  // The window pixels a box wholly beyond the near plane, with `corners` (kBoxCorners of
  // them), may touch, with room for a smoothed line's width and for rounding; NaN, which
  // stands for anywhere, when the box is not wholly beyond the near plane.
  PixelRect screenArea(const Vector3* corners, bool beyondNear) const {
    constexpr double kNowhere = std::numeric_limits<double>::quiet_NaN();
    constexpr double kRoom = 3.0;
    PixelRect area{kNowhere, kNowhere, kNowhere, kNowhere};
    if (!beyondNear) return area;
    const double* clip = camera_.clip();
    const int* viewport = camera_.viewport();
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

 private:
  static double radiusOf(const HalfExtents& h) {
    return std::sqrt(static_cast<double>(h.x) * h.x + static_cast<double>(h.y) * h.y + static_cast<double>(h.z) * h.z);
  }
  static double distance(const double* plane, const Vector3& p) {
    return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
  }

  const Camera& camera_;
  double planes_[6][4];
};

constexpr unsigned kAllFaces = (1u << 6) - 1;

// Cells of the grid through which outlined boxes' screen areas are compared, in pixels.
constexpr int kLayerCell = 8;

std::size_t faceIndexCount(unsigned faces) { return std::bitset<6>(faces).count() * (kSolidBoxVertices / 6); }
std::size_t edgeIndexCount(unsigned leaveOut) { return kWireBoxVertices - std::bitset<12>(leaveOut).count() * 2; }

// Writes the indices of the faces in `faces` (bits in drawing order) of the box whose
// corners start at `base`; returns the end.
std::uint32_t* writeFaces(std::uint32_t* out, std::uint32_t base, unsigned faces) {
  for (int f = 0; f < 6; ++f)
    if (faces & (1u << f))
      for (int k = 0; k < kSolidBoxVertices / 6; ++k) *out++ = base + kSolidBoxCorners[f * 6 + k];
  return out;
}

// Writes the indices of the edges of the box whose corners start at `base`, but those in
// `leaveOut` (bit k for the edge at 2k, 2k + 1 of the edge table); returns the end.
std::uint32_t* writeEdges(std::uint32_t* out, std::uint32_t base, unsigned leaveOut) {
  for (std::size_t edge = 0; edge < kWireBoxVertices / 2; ++edge) {
    if (leaveOut & (1u << edge)) continue;
    *out++ = base + kWireBoxCorners[2 * edge];
    *out++ = base + kWireBoxCorners[2 * edge + 1];
  }
  return out;
}

}  // namespace

void Renderer::drawBoxes(const BoxBatch& boxes, const ViewState& view) {
  setDrawingState(view);
  BoxStyle style;
  style.faces = drawsFaces(view.drawMode);
  style.edges = drawsEdges(view.drawMode);
  style.outlined = style.faces && style.edges;
  // With blending every face adds to the picture; without, the hidden ones do not.
  style.leaveOutHidden = style.faces && !view.additiveBlend;
  style.edgeColours = style.outlined || !boxes.edgeColours.empty();
  boxes_.prepare(boxes, style, camera_);
  submitBoxes(style);
}

void BoxPasses::prepare(const BoxBatch& boxes, const BoxStyle& style, const Camera& camera) {
  chooseBoxes(boxes, style, camera);
  if (style.edges) chooseEdges(style);
  if (style.outlined) placeInLayers(camera);
  writeIndices(style);
}

// Pass 1: the boxes that may show, their corners and colours, and the faces that show.
void BoxPasses::chooseBoxes(const BoxBatch& boxes, const BoxStyle& style, const Camera& camera) {
  const ViewVolume volume(camera);
  const std::size_t count = boxes.centres.size();
  const bool ownEdgeColours = !boxes.edgeColours.empty();
  corners_.resize(count * kBoxCorners);
  cornerColours_.resize(count * kBoxCorners);
  // The outline's colour for every corner, unless the boxes bring their own.
  if (ownEdgeColours) {
    edgeColours_.resize(count * kBoxCorners);
    edgesInOutlineColour_ = false;
  } else if (style.edgeColours && (!edgesInOutlineColour_ || edgeColours_.size() < corners_.size())) {
    edgeColours_.assign(corners_.size(), outlineColor);
    edgesInOutlineColour_ = true;
  }
  chosen_.clear();
  Vector3* corner = corners_.data();
  ColorRGBA* colour = cornerColours_.data();
  const double eye[3] = {camera.eye().x, camera.eye().y, camera.eye().z};
  for (std::size_t i = 0; i < count; ++i) {
    const Vector3& centre = boxes.centres[i];
    const HalfExtents& h = boxes.halfExtents[i];
    if (!volume.mayShow(centre, h)) continue;
    const bool beyondNear = volume.beyondNearPlane(centre, h);
    const unsigned faces = style.leaveOutHidden && beyondNear ? visibleFaces(eye, centre, h) : kAllFaces;
    const std::uint32_t base = static_cast<std::uint32_t>(corner - corners_.data());
    chosen_.push_back({base, faces, 0, beyondNear, 0});
    corner = writeBoxCorners(corner, centre, h);
    colour = std::fill_n(colour, kBoxCorners, boxes.colours[i]);
    if (ownEdgeColours) std::fill_n(edgeColours_.begin() + base, kBoxCorners, boxes.edgeColours[i]);
  }
}

// Pass 2: the edges each chosen box leaves out: those between two hidden faces (with the
// faces drawn) and those an earlier box drew already.
void BoxPasses::chooseEdges(const BoxStyle& style) {
  sharedEdges_.begin(chosen_.size());
  for (ChosenBox& box : chosen_) {
    const unsigned hidden = style.outlined && box.faces != kAllFaces ? edgesBetweenHiddenFaces(box.faces) : 0;
    box.leaveOut = sharedEdges_.next(corners_.data() + box.base, hidden) | hidden;
  }
}

// Pass 3: each outlined box's layer.
void BoxPasses::placeInLayers(const Camera& camera) {
  const int* viewport = camera.viewport();
  layers_.begin(viewport[2] + viewport[0], viewport[3] + viewport[1], kLayerCell);
  const ViewVolume volume(camera);
  for (ChosenBox& box : chosen_)
    box.layer = layers_.place(volume.screenArea(corners_.data() + box.base, box.beyondNear));
}

// Pass 4a: the indices in drawing order. Solid boxes' faces and wire boxes' edges box
// after box, in one layer; outlined boxes layer after layer, each layer's faces and then
// its edges, each box's indices written straight to their place.
void BoxPasses::writeIndices(const BoxStyle& style) {
  std::size_t total = 0;
  for (const ChosenBox& box : chosen_)
    total += (style.faces ? faceIndexCount(box.faces) : 0) + (style.edges ? edgeIndexCount(box.leaveOut) : 0);
  indices_.resize(total);
  std::uint32_t* const out = indices_.data();
  if (!style.outlined) {
    std::uint32_t* at = out;
    for (const ChosenBox& box : chosen_)
      at = style.faces ? writeFaces(at, box.base, box.faces) : writeEdges(at, box.base, box.leaveOut);
    LayerSpans only;
    (style.faces ? only.faces : only.edges) = {0, total};
    spans_.assign(1, only);
    return;
  }
  // Each layer's faces and edges counted, then laid out one after the other; each
  // span's end then moves on from its start as its boxes' indices are written.
  const std::uint32_t layers = layers_.count();
  std::vector<std::size_t> faceCounts(layers, 0), edgeCounts(layers, 0);
  for (const ChosenBox& box : chosen_) {
    faceCounts[box.layer] += faceIndexCount(box.faces);
    edgeCounts[box.layer] += edgeIndexCount(box.leaveOut);
  }
  spans_.resize(layers);
  std::size_t at = 0;
  for (std::uint32_t layer = 0; layer < layers; ++layer) {
    spans_[layer].faces = {at, at};
    at += faceCounts[layer];
    spans_[layer].edges = {at, at};
    at += edgeCounts[layer];
  }
  for (const ChosenBox& box : chosen_) {
    LayerSpans& spans = spans_[box.layer];
    spans.faces.end = static_cast<std::size_t>(writeFaces(out + spans.faces.end, box.base, box.faces) - out);
    spans.edges.end = static_cast<std::size_t>(writeEdges(out + spans.edges.end, box.base, box.leaveOut) - out);
  }
}

// Pass 4b: the draws. Edges in colours of their own (an outlined box's take the outline
// colour) come from an array beside the corners' colours. (Turning the colour array off
// for them instead made the renderer hold some 30 MB more in the recorder.)
void Renderer::submitBoxes(const BoxStyle& style) {
  const std::uint32_t* indices = boxes_.indices().data();
  const ColorRGBA* edgeColours = style.edgeColours ? boxes_.edgeColours().data() : boxes_.cornerColours().data();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vector3), boxes_.corners().data());
  for (const LayerSpans& layer : boxes_.layers()) {
    if (layer.faces.size() != 0) {
      glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), boxes_.cornerColours().data());
      submitElements(GL_TRIANGLES, layer.faces.size(), indices + layer.faces.start);
    }
    if (layer.edges.size() != 0) {
      glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ColorRGBA), edgeColours);
      submitElements(GL_LINES, layer.edges.size(), indices + layer.edges.start);
    }
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace zorvel
