#pragma once

// The geometry the view draws, as plain vertex lists: boxes (the viewer's cubes and the
// blender's boxes), the ground grid and the axes. The GL layer submits these lists as
// they are, so the faces, edges and their order are fixed here.

#include <vector>

#include "common/Vector3.h"

namespace zorvel {

// Half extents of an axis-aligned box around its centre.
struct HalfExtents {
  float x, y, z;
};

constexpr int kSolidBoxVertices = 36;  // six faces, each two triangles
constexpr int kWireBoxVertices = 24;   // twelve edges as separate lines
constexpr int kBoxCorners = 8;

// The eight corners of a box: corner c lies at +h on x when bit 0 of c is set (else -h),
// on y for bit 1, on z for bit 2. Writes them at `out` and returns the end.
Vector3* writeBoxCorners(Vector3* out, const Vector3& centre, const HalfExtents& h);

// The corners of the solid box's triangles and of the wire box's lines, in drawing order
// (as written by writeSolidBox and writeWireBox).
extern const unsigned char kSolidBoxCorners[kSolidBoxVertices];
extern const unsigned char kWireBoxCorners[kWireBoxVertices];

// The faces in the order front (z + h), right (x + h), back (z - h), left (x - h), top
// (y + h), bottom (y - h), each with its four corners in drawing order and split into the
// triangles (0, 1, 2) and (0, 2, 3), as a four-corner polygon is filled.
// Writes kSolidBoxVertices vertices at `out` and returns the end.
Vector3* writeSolidBox(Vector3* out, const Vector3& centre, const HalfExtents& h);

// The four vertical edges at the corners (x - h, z + h), (x + h, z + h), (x + h, z - h),
// (x - h, z - h); then the closed loop through those corners at y + h, then at y - h,
// each loop as its four segments.
// Writes kWireBoxVertices vertices at `out` and returns the end.
Vector3* writeWireBox(Vector3* out, const Vector3& centre, const HalfExtents& h);

// The faces of a box that can show from an eye outside it: bit f for face f of the
// order above (front, right, back, left, top, bottom) when the eye lies on its outer
// side, or so near its plane that it may. The other faces lie behind the box's own
// front faces, which hide them. A box of zero extent along an axis has two faces in one
// plane: the first of them, in drawing order, stands for both. Every face shows to an
// eye inside the box. (Edges are another matter: a line 1.25 pixels wide along a hidden
// edge can reach past the faces in front of it where it meets the box's outline.)
unsigned visibleFaces(const double eye[3], const Vector3& centre, const HalfExtents& h);

// The edges (bit k for the edge at 2k, 2k + 1 of kWireBoxCorners) of which neither face
// is among `faces` (bits as visibleFaces gives them): with the faces drawn, such an edge
// lies behind the faces that show, but where it ends on the box's outline.
unsigned edgesBetweenHiddenFaces(unsigned faces);

// The ground grid: for i = -10..10 a line along z at x = i, then one along x at z = i.
std::vector<Vector3> gridLines();

// A convex polygon of `count` corners at `corners` as triangles (0, 1, 2), (0, 2, 3)...,
// moved by `offset`; fewer than three corners give nothing.
void appendPolygon(std::vector<Vector3>& out, const Vector3* corners, int count, const Vector3& offset);

}  // namespace zorvel
