#include "playback/BoxGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zorvel {

// Front (z + h), right, back, left, top, bottom; each face's corners split into the
// triangles (0, 1, 2) and (0, 2, 3).
const unsigned char kSolidBoxCorners[kSolidBoxVertices] = {
    4, 5, 7, 4, 7, 6,  // front: (x-h, y-h), (x+h, y-h), (x+h, y+h), (x-h, y+h)
    5, 1, 3, 5, 3, 7,  // right: (y-h, z+h), (y-h, z-h), (y+h, z-h), (y+h, z+h)
    1, 0, 2, 1, 2, 3,  // back: (x+h, y-h), (x-h, y-h), (x-h, y+h), (x+h, y+h)
    0, 4, 6, 0, 6, 2,  // left: (y-h, z-h), (y-h, z+h), (y+h, z+h), (y+h, z-h)
    6, 7, 3, 6, 3, 2,  // top: (x-h, z+h), (x+h, z+h), (x+h, z-h), (x-h, z-h)
    4, 5, 1, 4, 1, 0,  // bottom: the same x, z corners
};

// The vertical edges at (x-h, z+h), (x+h, z+h), (x+h, z-h), (x-h, z-h); then the loop
// through those corners at y + h and at y - h.
const unsigned char kWireBoxCorners[kWireBoxVertices] = {
    4, 6, 5, 7, 1, 3, 0, 2,  // vertical edges
    6, 7, 7, 3, 3, 2, 2, 6,  // top loop
    4, 5, 5, 1, 1, 0, 0, 4,  // bottom loop
};

Vector3* writeBoxCorners(Vector3* out, const Vector3& p, const HalfExtents& h) {
  const float x[2] = {p.x - h.x, p.x + h.x};
  const float y[2] = {p.y - h.y, p.y + h.y};
  const float z[2] = {p.z - h.z, p.z + h.z};
  for (int c = 0; c < kBoxCorners; ++c) *out++ = {x[c & 1], y[(c >> 1) & 1], z[(c >> 2) & 1]};
  return out;
}

Vector3* writeSolidBox(Vector3* out, const Vector3& p, const HalfExtents& h) {
  Vector3 corners[kBoxCorners];
  writeBoxCorners(corners, p, h);
  for (const unsigned char c : kSolidBoxCorners) *out++ = corners[c];
  return out;
}

Vector3* writeWireBox(Vector3* out, const Vector3& p, const HalfExtents& h) {
  Vector3 corners[kBoxCorners];
  writeBoxCorners(corners, p, h);
  for (const unsigned char c : kWireBoxCorners) *out++ = corners[c];
  return out;
}

namespace {

// The axis (0 x, 1 y, 2 z) and side (+1 or -1) of each face, in drawing order.
constexpr int kFaceAxis[6] = {2, 0, 2, 0, 1, 1};
constexpr int kFaceSide[6] = {1, 1, -1, -1, 1, -1};

}  // namespace

unsigned visibleFaces(const double eye[3], const Vector3& centre, const HalfExtents& h) {
  const float c[3] = {centre.x, centre.y, centre.z};
  const float half[3] = {h.x, h.y, h.z};
  bool inside = true;
  for (int a = 0; a < 3; ++a) inside = inside && std::fabs(eye[a] - c[a]) < std::fabs(half[a]);
  if (inside) return (1u << 6) - 1;
  unsigned faces = 0;
  for (int f = 0; f < 6; ++f) {
    const int a = kFaceAxis[f], side = kFaceSide[f];
    // The plane as the corners have it.
    const float plane = side > 0 ? c[a] + half[a] : c[a] - half[a];
    const double outward = half[a] > 0 ? side : half[a] < 0 ? -side : 0;
    const double beyond = (eye[a] - plane) * outward;
    const double nearPlane = 1e-5 * (std::fabs(eye[a]) + std::fabs(plane) + 1.0);
    const bool shows = outward == 0 ? side > 0 : beyond > -nearPlane;
    if (shows) faces |= 1u << f;
  }
  return faces;
}

unsigned edgesBetweenHiddenFaces(unsigned faces) {
  // Per edge, the faces holding both its corners.
  static const auto kEdgeFaces = [] {
    std::array<unsigned, kWireBoxVertices / 2> edgeFaces{};
    for (std::size_t edge = 0; edge < edgeFaces.size(); ++edge)
      for (std::size_t f = 0; f < 6; ++f) {
        const unsigned char* face = kSolidBoxCorners + f * 6;
        const auto holds = [face](unsigned char corner) { return std::count(face, face + 6, corner) > 0; };
        if (holds(kWireBoxCorners[2 * edge]) && holds(kWireBoxCorners[2 * edge + 1])) edgeFaces[edge] |= 1u << f;
      }
    return edgeFaces;
  }();
  unsigned hidden = 0;
  for (std::size_t edge = 0; edge < kEdgeFaces.size(); ++edge)
    if ((kEdgeFaces[edge] & faces) == 0) hidden |= 1u << edge;
  return hidden;
}

std::vector<Vector3> gridLines() {
  std::vector<Vector3> lines;
  for (int i = -10; i <= 10; ++i) {
    const float f = static_cast<float>(i);
    lines.insert(lines.end(), {{f, 0, -10}, {f, 0, 10}, {-10, 0, f}, {10, 0, f}});
  }
  return lines;
}

void appendPolygon(std::vector<Vector3>& out, const Vector3* corners, int count, const Vector3& offset) {
  const auto moved = [&](int i) {
    return Vector3{offset.x + corners[i].x, offset.y + corners[i].y, offset.z + corners[i].z};
  };
  for (int i = 1; i + 1 < count; ++i) out.insert(out.end(), {moved(0), moved(i), moved(i + 1)});
}

}  // namespace zorvel
