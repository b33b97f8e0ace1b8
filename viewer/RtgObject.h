#pragma once

// A 3D object from an RTG export file, drawn by the viewer in place of every pixel.
// The reader is driven by keywords over the file's words; each pass scans the text from
// the start. It trusts nothing: every scan stops at the end of the file, counts are
// checked against what the file can hold before anything is allocated, and a missing
// keyword, an unreadable number, too few records or a polygon index outside the
// vertices is reported with one line on the error stream and leaves the object unusable
// (the view then draws cubes). Surplus objects and records are ignored.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "ObjectShape.h"
#include "Vector3.h"

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

  // Prints "RTG: Creating RTG-object instance..." and "done" on `out`.
  explicit RtgObject(std::ostream& out);
  RtgObject(const RtgObject&) = delete;
  RtgObject& operator=(const RtgObject&) = delete;

  void setFileName(const std::string& name) { fileName_ = name; }
  // Prints "Analyzing specified RTG-file.", opens the file (or prints the error block on
  // `out` and the failure line on `err`) and reads the header data: export attributes,
  // animation frame count, object count, names and per-object counts.
  void analyzeFile(std::ostream& out, std::ostream& err);
  // The header passes of analyzeFile on the file's text, already read.
  void analyzeText(std::string text, std::ostream& err);
  void printSummary(std::ostream& out) const;
  void printObjectInfo(std::ostream& out) const;
  void readVertices(std::ostream& err);
  void readNormals(std::ostream& err);
  void readTexCoords(std::ostream& err);
  void readColors(std::ostream& err);
  void readPolygons(std::ostream& err);
  // The five readers above, in that order.
  void readObjectData(std::ostream& err);

  // True once analyzeFile could open the file.
  bool analysed() const { return analysed_; }
  // True when the object was read without fault and can be drawn.
  bool usable() const { return analysed_ && !faulty_; }

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

 private:
  // Reports the first fault on `err` and marks the object unusable.
  void fault(std::ostream& err, const std::string& what);
  // Reads each object's records after its `keyword`, perObject[i] of them for object i.
  template <class Record, class ReadRecord>
  void readSection(const char* keyword, bool skipWordAfterKeyword, std::vector<Record>& records,
                   const std::vector<std::uint64_t>& perObject, ReadRecord readRecord, std::ostream& err);

  bool analysed_ = false;
  bool faulty_ = false;
  std::array<bool, kAttributeCount> exportAttributes_{};
  std::string fileName_;
  std::string fileText_;  // the file, kept from analyzeFile until readPolygons
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

// The first object's polygons flattened for drawing (printing a "pos: " line per
// corner on `out`), or an empty shape when the object is not usable.
ObjectShape firstObjectShape(const RtgObject& rtg, std::ostream& out);

}  // namespace zorvel
