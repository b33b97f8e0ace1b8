#pragma once

#include <ostream>

namespace zorvel {

// A point or vector of three 32-bit floats: positions, steps, scatter volume scalars.
struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  // Exact component-wise comparison, as the particle code needs it.
  friend bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
  friend bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }
};

// Console form "<<x, y, z>>", each component in the stream's current float format.
inline std::ostream& operator<<(std::ostream& out, const Vector3& v) {
  return out << "<<" << v.x << ", " << v.y << ", " << v.z << ">>";
}

}  // namespace zorvel
