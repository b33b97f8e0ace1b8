#include "BoxGeometry.h"

namespace zorvel {

namespace {

Vector3* writeQuad(Vector3* out, const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& d) {
  out[0] = a, out[1] = b, out[2] = c, out[3] = a, out[4] = c, out[5] = d;
  return out + 6;
}

}  // namespace

Vector3* writeSolidBox(Vector3* out, const Vector3& p, const HalfExtents& h) {
  const float x0 = p.x - h.x, x1 = p.x + h.x;
  const float y0 = p.y - h.y, y1 = p.y + h.y;
  const float z0 = p.z - h.z, z1 = p.z + h.z;
  out = writeQuad(out, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});  // front
  out = writeQuad(out, {x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1});  // right
  out = writeQuad(out, {x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0});  // back
  out = writeQuad(out, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});  // left
  out = writeQuad(out, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0});  // top
  return writeQuad(out, {x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}, {x0, y0, z0});  // bottom
}

Vector3* writeWireBox(Vector3* out, const Vector3& p, const HalfExtents& h) {
  const float x0 = p.x - h.x, x1 = p.x + h.x;
  const float y0 = p.y - h.y, y1 = p.y + h.y;
  const float z0 = p.z - h.z, z1 = p.z + h.z;
  const float cornerX[4] = {x0, x1, x1, x0};
  const float cornerZ[4] = {z1, z1, z0, z0};
  for (int c = 0; c < 4; ++c) {
    *out++ = {cornerX[c], y0, cornerZ[c]};
    *out++ = {cornerX[c], y1, cornerZ[c]};
  }
  for (const float y : {y1, y0})
    for (int c = 0; c < 4; ++c) {
      const int n = (c + 1) % 4;
      *out++ = {cornerX[c], y, cornerZ[c]};
      *out++ = {cornerX[n], y, cornerZ[n]};
    }
  return out;
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
