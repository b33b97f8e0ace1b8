#pragma once

// A 3D object from an RTG export file, drawn by the viewer in place of every pixel.
// The reader is driven by keywords over the file's words; each pass scans the text from
// the start. It trusts nothing: every scan stops at the end of the file, counts are
// checked against what the file can hold before anything is allocated, and a missing
// keyword, an unreadable number, too few records or a polygon index outside the
// vertices ends the reading with a fault, which leaves the object undrawable (the view
// then draws cubes). Surplus objects and records are ignored. Nothing here prints:
// RtgReport prints what was read.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "common/Vector3.h"

namespace zorvel {

class RtgObject {
 public:
  enum Attribute {
    OutputVertNorms,
    OutputVertColors,
    OutputTexCoords,
    OutputPolyNorms,
    OutputHierarchy,
    OutputLocal,
    ShowIndexCounters,
    OutputMaterials,
    OutputAnimation,
    OutputAllNodes,
    OutputDecomp,
    OutputDegrees,
    kAttributeCount
  };

  struct TexCoord {
    float u = 0, v = 0;
  };
  struct ColorRecord {
    std::int32_t values[4] = {};
  };

  RtgObject() = default;

  bool attribute(Attribute a) const { return exportAttributes_[a]; }
  std::uint16_t objectCount() const { return objectCount_; }
  std::uint16_t animationFrameCount() const { return animationFrameCount_; }
  const std::vector<std::string>& objectNames() const { return objectNames_; }
  std::uint32_t vertexCount(std::size_t object) const { return vertexCounts_.at(object); }
  std::uint32_t polygonCount(std::size_t object) const { return polygonCounts_.at(object); }
  const std::vector<Vector3>& vertices() const { return vertices_; }
  const std::vector<Vector3>& normals() const { return normals_; }
  const std::vector<TexCoord>& texCoords() const { return texCoords_; }
  const std::vector<ColorRecord>& colors() const { return colors_; }
  // Polygon p (over all objects in file order) has polygonCornerCounts()[p] indices,
  // starting at polygonIndices()[polygonStarts()[p]].
  const std::vector<std::uint16_t>& polygonCornerCounts() const { return polygonCornerCounts_; }
  const std::vector<std::uint32_t>& polygonStarts() const { return polygonStarts_; }
  const std::vector<std::int32_t>& polygonIndices() const { return polygonIndices_; }
  // The four counts summed over all objects.
  std::uint64_t totalVertices() const { return totalVertices_; }
  std::uint64_t totalPolygons() const { return totalPolygons_; }
  std::uint64_t totalNormals() const { return totalNormals_; }
  std::uint64_t totalTexCoords() const { return totalTexCoords_; }
  std::uint32_t normalCount(std::size_t object) const { return normalCounts_.at(object); }
  std::uint32_t texCoordCount(std::size_t object) const { return texCoordCounts_.at(object); }

 private:
  friend class RtgReader;

  std::array<bool, kAttributeCount> exportAttributes_{};
  std::vector<std::string> objectNames_;
  std::uint16_t objectCount_ = 0;
  std::uint16_t animationFrameCount_ = 0;
  std::vector<std::uint32_t> vertexCounts_, polygonCounts_, normalCounts_, texCoordCounts_;
  std::vector<Vector3> vertices_;
  std::vector<std::uint16_t> polygonCornerCounts_;
  std::vector<std::uint32_t> polygonStarts_;
  std::vector<std::int32_t> polygonIndices_;
  std::vector<Vector3> normals_;
  std::vector<TexCoord> texCoords_;
  std::vector<ColorRecord> colors_;
  std::uint64_t totalVertices_ = 0, totalPolygons_ = 0, totalNormals_ = 0, totalTexCoords_ = 0;
};

// The keyword of export attribute `a`.
const char* rtgAttributeName(RtgObject::Attribute a);

// Reads an RTG file's text into `object` (a fresh one): export attributes, animation
// frame count, object count, names and counts, then the vertices, normals, texture
// coordinates, colours and polygons of every object. A failure (WrongFormat) names the
// first fault; `object` then holds what was read before it, for the summary, and is
// not drawn.
Result<void> readRtgObject(std::string_view text, RtgObject& object);

}  // namespace zorvel
