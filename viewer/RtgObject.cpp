#include "RtgObject.h"

#include <ostream>

#include "TextScanner.h"
#include "WholeFile.h"

namespace zorvel {

namespace {

const char* const kAttributeNames[RtgObject::kAttributeCount] = {
    "OUTPUT_VERT_NORMS", "OUTPUT_VERT_COLORS",  "OUTPUT_TEX_COORDS", "OUTPUT_POLY_NORMS",
    "OUTPUT_HIERARCHY",  "OUTPUT_LOCAL",        "SHOW_INDEX_COUNTERS", "OUTPUT_MATERIALS",
    "OUTPUT_ANIMATION",  "OUTPUT_ALL_NODES",    "OUTPUT_DECOMP",     "OUTPUT_DEGREES"};

bool isPolygonEnd(std::string_view word) { return word == "n" || word == "t" || word == "T" || word == "RGB"; }

}  // namespace

RtgObject::RtgObject(std::ostream& out) {
  out << "RTG: Creating RTG-object instance..." << std::flush;
  out << "done" << std::endl;
}

void RtgObject::fault(std::ostream& err, const std::string& what) {
  if (!faulty_) err << "RTG-file: " << fileName_ << ": " << what << " Drawing cubes instead." << std::endl;
  faulty_ = true;
}

void RtgObject::analyzeFile(std::ostream& out, std::ostream& err) {
  out << "Analyzing specified RTG-file." << std::endl;
  const std::optional<FileText> content = readWholeFile(fileName_);
  if (!content) {
    out << std::endl;
    out << "--------------RTG FILE ERROR!--------------" << std::endl;
    out << "-------------------------------------------" << std::endl;
    err << "RTG-file: " << fileName_ << " failed to open." << std::endl;
    return;
  }
  analyzeText(content->str(), err);
}

void RtgObject::analyzeText(std::string text, std::ostream& err) {
  analysed_ = true;
  fileText_ = std::move(text);
  const std::string_view file = fileText_;

  // Export attributes: the pairs after OUTPUT_VERT_NORMS, taken by position.
  TextScanner scan(file);
  if (!scan.skipPast(kAttributeNames[0])) return fault(err, "no OUTPUT_VERT_NORMS.");
  for (int a = 0; a < kAttributeCount; ++a) {
    std::string_view value;
    if ((a > 0 && !scan.skipWord()) || !scan.word(value)) return fault(err, "export attributes incomplete.");
    exportAttributes_[a] = value == "on";
  }

  // Animation frames: every FRAME from ANIMATION_LIST on; the word after OBJECT is a name.
  if (exportAttributes_[OutputAnimation]) {
    TextScanner frames(file);
    std::uint32_t count = 0;
    if (frames.skipPast("ANIMATION_LIST")) {
      std::string_view w;
      while (frames.word(w)) {
        if (w == "FRAME") ++count;
        if (w == "OBJECT") frames.skipWord();
      }
    }
    animationFrameCount_ = static_cast<std::uint16_t>(count);
  }

  TextScanner objects(file);
  if (!objects.skipPast("NUMBER_OF_OBJECTS") || !objects.integer(objectCount_))
    return fault(err, "no readable NUMBER_OF_OBJECTS.");
  objectNames_.assign(objectCount_, std::string());
  for (auto* counts : {&vertexCounts_, &polygonCounts_, &normalCounts_, &texCoordCounts_})
    counts->assign(objectCount_, 0);

  TextScanner names(file);
  for (std::size_t i = 0; i < objectCount_ && names.skipPast("OBJECT_START"); ++i) {
    std::string_view name;
    if (names.word(name)) objectNames_[i] = std::string(name);
  }

  // Counts, after byte moves from the end of the name or number before them.
  TextScanner counts(file);
  for (std::size_t i = 0; i < objectCount_; ++i) {
    if (!counts.skipPast("OBJECT_START")) return fault(err, "fewer OBJECT_START blocks than NUMBER_OF_OBJECTS.");
    std::uint32_t vertices = 0, normals = 0, texCoords = 0, polygons = 0;
    bool ok = counts.skipWord();
    counts.move(2);
    ok = ok && counts.integer(vertices);
    if (exportAttributes_[OutputVertNorms]) {
      counts.move(2);
      ok = ok && counts.integer(normals);
    } else {
      counts.move(1);
    }
    if (exportAttributes_[OutputTexCoords]) {
      counts.move(2);
      ok = ok && counts.integer(texCoords);
    } else {
      counts.move(1);
    }
    counts.move(2);
    ok = ok && counts.integer(polygons);
    if (!ok) return fault(err, "unreadable counts of object " + std::to_string(i) + ".");
    vertexCounts_[i] = vertices;
    normalCounts_[i] = normals;
    texCoordCounts_[i] = texCoords;
    polygonCounts_[i] = polygons;
    totalVertices_ += vertices;
    totalNormals_ += normals;
    totalTexCoords_ += texCoords;
    totalPolygons_ += polygons;
  }
  // Every record takes at least two bytes of text: counts beyond that cannot be real.
  const std::uint64_t most = file.size() / 2;
  if (totalVertices_ > most || totalNormals_ > most || totalTexCoords_ > most || totalPolygons_ > most)
    return fault(err, "counts larger than the file can hold.");
}

void RtgObject::printSummary(std::ostream& out) const {
  out << std::endl;
  out << "--------------------RTG--------------------" << std::endl;
  out << "-------------------------------------------" << std::endl;
  out << "RTG export file: " << fileName_ << std::endl;
  out << "Exported scene objects: " << objectCount_ << std::endl;
  out << "Exported animation frames: " << animationFrameCount_ << std::endl;
  out << "Total number of vertices: " << totalVertices_ << std::endl;
  out << "Total number of polygons: " << totalPolygons_ << std::endl;
  out << "Total number of normals: " << totalNormals_ << std::endl;
  out << "Total number of texture coordinates: " << totalTexCoords_ << std::endl;
  out << std::endl << "RTG: Export attributes:" << std::endl << std::endl;
  for (int a = 0; a < kAttributeCount; ++a)
    out << '\t' << kAttributeNames[a] << ' ' << (exportAttributes_[a] ? 1 : 0) << std::endl;
  out << std::endl;
}

void RtgObject::printObjectInfo(std::ostream& out) const {
  for (std::size_t i = 0; i < objectCount_; ++i) {
    out << std::endl;
    out << "-----------------RTG-object----------------" << std::endl;
    out << "-------------------------------------------" << std::endl;
    out << "RTG export file: " << fileName_ << std::endl;
    out << std::endl;
    out << "RTG: Object " << i << " attributes:" << std::endl;
    out << std::endl;
    out << "\tObject name:" << objectNames_[i] << std::endl;
    out << "\tNumber of vertices:" << vertexCounts_[i] << std::endl;
    out << "\tNumber of polygons:" << polygonCounts_[i] << std::endl;
    out << "\tNumber of vertex normals:" << normalCounts_[i] << std::endl;
    out << "\tNumber of texture coordinates:" << texCoordCounts_[i] << std::endl;
    out << std::endl;
  }
}

template <class Record, class ReadRecord>
void RtgObject::readSection(const char* keyword, bool skipWordAfterKeyword, std::vector<Record>& records,
                            const std::vector<std::uint64_t>& perObject, ReadRecord readRecord, std::ostream& err) {
  if (!usable()) return;
  const std::string_view file = fileText_;
  std::uint64_t total = 0;
  for (std::uint64_t n : perObject) total += n;
  records.clear();
  records.reserve(static_cast<std::size_t>(total));
  TextScanner scan(file);
  const bool counters = exportAttributes_[ShowIndexCounters];
  for (std::size_t i = 0; i < perObject.size(); ++i) {
    if (!scan.skipPast("OBJECT_START") || !scan.skipWord() || !scan.skipPast(keyword) ||
        (skipWordAfterKeyword && !scan.skipWord()))
      return fault(err, std::string("no ") + keyword + " section for object " + std::to_string(i) + ".");
    for (std::uint64_t r = 0; r < perObject[i]; ++r) {
      Record record;
      if (!readRecord(scan, counters, record))
        return fault(err, std::string("fewer ") + keyword + " records than counted in object " + std::to_string(i) + ".");
      records.push_back(record);
    }
  }
}

namespace {

std::vector<std::uint64_t> widened(const std::vector<std::uint32_t>& counts, std::uint64_t factor = 1) {
  std::vector<std::uint64_t> out;
  for (std::uint32_t c : counts) out.push_back(c * factor);
  return out;
}

bool readVector(TextScanner& scan, bool counter, Vector3& v) {
  float ignored;
  return (!counter || scan.number(ignored)) && scan.number(v.x) && scan.number(v.y) && scan.number(v.z);
}

}  // namespace

void RtgObject::readVertices(std::ostream& err) {
  readSection("VERTEX", true, vertices_, widened(vertexCounts_), readVector, err);
}

void RtgObject::readNormals(std::ostream& err) {
  if (!exportAttributes_[OutputVertNorms]) return;
  readSection("NORMAL", false, normals_, widened(normalCounts_), readVector, err);
}

void RtgObject::readTexCoords(std::ostream& err) {
  if (!exportAttributes_[OutputTexCoords]) return;
  readSection("TEXCOORD", false, texCoords_, widened(texCoordCounts_),
              [](TextScanner& scan, bool counter, TexCoord& t) {
                float ignored;
                return (!counter || scan.number(ignored)) && scan.number(t.u) && scan.number(t.v);
              },
              err);
}

void RtgObject::readColors(std::ostream& err) {
  if (!exportAttributes_[OutputVertColors]) return;
  readSection("COLORS", false, colors_, widened(polygonCounts_, 3),
              [](TextScanner& scan, bool counter, ColorRecord& c) {
                std::int32_t ignored;
                return (!counter || scan.integer(ignored)) && scan.integer(c.values[0]) &&
                       scan.integer(c.values[1]) && scan.integer(c.values[2]) && scan.integer(c.values[3]);
              },
              err);
}

void RtgObject::readPolygons(std::ostream& err) {
  if (!usable()) return;
  const std::string_view file = fileText_;
  polygonCornerCounts_.clear();
  polygonStarts_.clear();
  polygonIndices_.clear();
  TextScanner scan(file);
  for (std::size_t i = 0; i < objectCount_; ++i) {
    if (!scan.skipPast("OBJECT_START") || !scan.skipWord() || !scan.skipPast("POLYGON") || !scan.skipPast("v"))
      return fault(err, "no POLYGON section for object " + std::to_string(i) + ".");
    for (std::uint32_t p = 0; p < polygonCounts_[i]; ++p) {
      if (p > 0 && !scan.skipPast("v"))
        return fault(err, "fewer polygons than counted in object " + std::to_string(i) + ".");
      polygonStarts_.push_back(static_cast<std::uint32_t>(polygonIndices_.size()));
      std::uint32_t corners = 0;
      std::string_view word;
      for (;;) {
        if (!scan.word(word)) return fault(err, "a polygon without its end word in object " + std::to_string(i) + ".");
        if (isPolygonEnd(word)) break;
        std::int32_t index = 0;
        TextScanner number(word);
        if (!number.integer(index) || !number.atEnd())
          return fault(err, "unreadable polygon index \"" + std::string(word) + "\".");
        if (index < 0 || static_cast<std::uint64_t>(index) >= vertices_.size())
          return fault(err, "polygon index " + std::to_string(index) + " outside the vertices.");
        if (++corners > 65535) return fault(err, "a polygon of more than 65,535 corners.");
        polygonIndices_.push_back(index);
      }
      polygonCornerCounts_.push_back(static_cast<std::uint16_t>(corners));
    }
  }
  fileText_.clear();
  fileText_.shrink_to_fit();
}

void RtgObject::readObjectData(std::ostream& err) {
  readVertices(err);
  readNormals(err);
  readTexCoords(err);
  readColors(err);
  readPolygons(err);
}

ObjectShape firstObjectShape(const RtgObject& rtg, std::ostream& out) {
  if (!rtg.usable() || rtg.objectCount() == 0) return ObjectShape{};
  return flattenObjectCorners(rtg.polygonCount(0), rtg.polygonCornerCounts().data(), rtg.polygonStarts().data(),
                              rtg.polygonIndices().data(), rtg.vertices(), out);
}

}  // namespace zorvel
