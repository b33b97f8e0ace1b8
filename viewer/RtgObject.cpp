#include "viewer/RtgObject.h"

#include "common/TextScanner.h"

namespace zorvel {

namespace {

const char* const kAttributeNames[RtgObject::kAttributeCount] = {
    "OUTPUT_VERT_NORMS", "OUTPUT_VERT_COLORS", "OUTPUT_TEX_COORDS",   "OUTPUT_POLY_NORMS",
    "OUTPUT_HIERARCHY",  "OUTPUT_LOCAL",       "SHOW_INDEX_COUNTERS", "OUTPUT_MATERIALS",
    "OUTPUT_ANIMATION",  "OUTPUT_ALL_NODES",   "OUTPUT_DECOMP",       "OUTPUT_DEGREES"};

bool isPolygonEnd(std::string_view word) { return word == "n" || word == "t" || word == "T" || word == "RGB"; }

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

const char* rtgAttributeName(RtgObject::Attribute a) { return kAttributeNames[a]; }

Failure fault(const std::string& what) { return failure(FailureKind::WrongFormat, what); }

// The passes over the file's text, each from its start. The first fault ends the
// reading.
class RtgReader {
 public:
  RtgReader(std::string_view file, RtgObject& object) : file_(file), o_(object) {}

  Result<void> read() {
    for (const auto pass :
         {&RtgReader::readExportAttributes, &RtgReader::countAnimationFrames, &RtgReader::readObjectCount,
          &RtgReader::readObjectCounts, &RtgReader::readVertices, &RtgReader::readNormals, &RtgReader::readTexCoords,
          &RtgReader::readColors, &RtgReader::readPolygons})
      if (const Result<void> passed = (this->*pass)(); !passed) return passed.failure();
    return {};
  }

 private:
  template <class Record, class ReadRecord>
  Result<void> readSection(const char* keyword, bool skipWordAfterKeyword, std::vector<Record>& records,
                           const std::vector<std::uint64_t>& perObject, ReadRecord readRecord);
  Result<void> readExportAttributes();
  Result<void> countAnimationFrames();
  Result<void> readObjectCount();
  Result<void> readObjectCounts();
  Result<void> readVertices();
  Result<void> readNormals();
  Result<void> readTexCoords();
  Result<void> readColors();
  Result<void> readPolygons();

  std::string_view file_;
  RtgObject& o_;
};

// The pairs after OUTPUT_VERT_NORMS, taken by position.
Result<void> RtgReader::readExportAttributes() {
  TextScanner scan(file_);
  if (!scan.skipPast(kAttributeNames[0])) return fault("no OUTPUT_VERT_NORMS.");
  for (int a = 0; a < RtgObject::kAttributeCount; ++a) {
    std::string_view value;
    if ((a > 0 && !scan.skipWord()) || !scan.word(value)) return fault("export attributes incomplete.");
    o_.exportAttributes_[a] = value == "on";
  }
  return {};
}

// Every FRAME from ANIMATION_LIST on; the word after OBJECT is a name.
Result<void> RtgReader::countAnimationFrames() {
  if (!o_.exportAttributes_[RtgObject::OutputAnimation]) return {};
  TextScanner frames(file_);
  std::uint32_t count = 0;
  if (frames.skipPast("ANIMATION_LIST")) {
    std::string_view w;
    while (frames.word(w)) {
      if (w == "FRAME") ++count;
      if (w == "OBJECT") frames.skipWord();
    }
  }
  o_.animationFrameCount_ = static_cast<std::uint16_t>(count);
  return {};
}

// NUMBER_OF_OBJECTS, and the name after each OBJECT_START.
Result<void> RtgReader::readObjectCount() {
  TextScanner objects(file_);
  if (!objects.skipPast("NUMBER_OF_OBJECTS") || !objects.integer(o_.objectCount_))
    return fault("no readable NUMBER_OF_OBJECTS.");
  o_.objectNames_.assign(o_.objectCount_, std::string());
  for (auto* counts : {&o_.vertexCounts_, &o_.polygonCounts_, &o_.normalCounts_, &o_.texCoordCounts_})
    counts->assign(o_.objectCount_, 0);

  TextScanner names(file_);
  for (std::size_t i = 0; i < o_.objectCount_ && names.skipPast("OBJECT_START"); ++i) {
    std::string_view name;
    if (names.word(name)) o_.objectNames_[i] = std::string(name);
  }
  return {};
}

// Each object's counts, after byte moves from the end of the name or number before
// them; then their totals, held to what the file can hold.
Result<void> RtgReader::readObjectCounts() {
  TextScanner counts(file_);
  for (std::size_t i = 0; i < o_.objectCount_; ++i) {
    if (!counts.skipPast("OBJECT_START")) return fault("fewer OBJECT_START blocks than NUMBER_OF_OBJECTS.");
    std::uint32_t vertices = 0, normals = 0, texCoords = 0, polygons = 0;
    // A count the attributes leave out still has its byte.
    const auto optionalCount = [&](bool present, std::uint32_t& count) {
      counts.move(present ? 2 : 1);
      return !present || counts.integer(count);
    };
    bool ok = counts.skipWord();
    counts.move(2);
    ok = ok && counts.integer(vertices);
    ok = optionalCount(o_.exportAttributes_[RtgObject::OutputVertNorms], normals) && ok;
    ok = optionalCount(o_.exportAttributes_[RtgObject::OutputTexCoords], texCoords) && ok;
    counts.move(2);
    ok = ok && counts.integer(polygons);
    if (!ok) return fault("unreadable counts of object " + std::to_string(i) + ".");
    o_.vertexCounts_[i] = vertices;
    o_.normalCounts_[i] = normals;
    o_.texCoordCounts_[i] = texCoords;
    o_.polygonCounts_[i] = polygons;
    o_.totalVertices_ += vertices;
    o_.totalNormals_ += normals;
    o_.totalTexCoords_ += texCoords;
    o_.totalPolygons_ += polygons;
  }
  // Every record takes at least two bytes of text: counts beyond that cannot be real.
  const std::uint64_t most = file_.size() / 2;
  if (o_.totalVertices_ > most || o_.totalNormals_ > most || o_.totalTexCoords_ > most || o_.totalPolygons_ > most)
    return fault("counts larger than the file can hold.");
  return {};
}

template <class Record, class ReadRecord>
Result<void> RtgReader::readSection(const char* keyword, bool skipWordAfterKeyword, std::vector<Record>& records,
                                    const std::vector<std::uint64_t>& perObject, ReadRecord readRecord) {
  const std::string_view file = file_;
  std::uint64_t total = 0;
  for (std::uint64_t n : perObject) total += n;
  records.clear();
  records.reserve(static_cast<std::size_t>(total));
  TextScanner scan(file);
  const bool counters = o_.exportAttributes_[RtgObject::ShowIndexCounters];
  for (std::size_t i = 0; i < perObject.size(); ++i) {
    if (!scan.skipPast("OBJECT_START") || !scan.skipWord() || !scan.skipPast(keyword) ||
        (skipWordAfterKeyword && !scan.skipWord()))
      return fault(std::string("no ") + keyword + " section for object " + std::to_string(i) + ".");
    for (std::uint64_t r = 0; r < perObject[i]; ++r) {
      Record record;
      if (!readRecord(scan, counters, record))
        return fault(std::string("fewer ") + keyword + " records than counted in object " + std::to_string(i) + ".");
      records.push_back(record);
    }
  }
  return {};
}

Result<void> RtgReader::readVertices() {
  return readSection("VERTEX", true, o_.vertices_, widened(o_.vertexCounts_), readVector);
}

Result<void> RtgReader::readNormals() {
  if (!o_.exportAttributes_[RtgObject::OutputVertNorms]) return {};
  return readSection("NORMAL", false, o_.normals_, widened(o_.normalCounts_), readVector);
}

Result<void> RtgReader::readTexCoords() {
  if (!o_.exportAttributes_[RtgObject::OutputTexCoords]) return {};
  return readSection("TEXCOORD", false, o_.texCoords_, widened(o_.texCoordCounts_),
                     [](TextScanner& scan, bool counter, RtgObject::TexCoord& t) {
                       float ignored;
                       return (!counter || scan.number(ignored)) && scan.number(t.u) && scan.number(t.v);
                     });
}

Result<void> RtgReader::readColors() {
  if (!o_.exportAttributes_[RtgObject::OutputVertColors]) return {};
  return readSection("COLORS", false, o_.colors_, widened(o_.polygonCounts_, 3),
                     [](TextScanner& scan, bool counter, RtgObject::ColorRecord& c) {
                       std::int32_t ignored;
                       return (!counter || scan.integer(ignored)) && scan.integer(c.values[0]) &&
                              scan.integer(c.values[1]) && scan.integer(c.values[2]) && scan.integer(c.values[3]);
                     });
}

Result<void> RtgReader::readPolygons() {
  const std::string_view file = file_;
  o_.polygonCornerCounts_.clear();
  o_.polygonStarts_.clear();
  o_.polygonIndices_.clear();
  TextScanner scan(file);
  for (std::size_t i = 0; i < o_.objectCount_; ++i) {
    if (!scan.skipPast("OBJECT_START") || !scan.skipWord() || !scan.skipPast("POLYGON") || !scan.skipPast("v"))
      return fault("no POLYGON section for object " + std::to_string(i) + ".");
    for (std::uint32_t p = 0; p < o_.polygonCounts_[i]; ++p) {
      if (p > 0 && !scan.skipPast("v"))
        return fault("fewer polygons than counted in object " + std::to_string(i) + ".");
      o_.polygonStarts_.push_back(static_cast<std::uint32_t>(o_.polygonIndices_.size()));
      std::uint32_t corners = 0;
      std::string_view word;
      for (;;) {
        if (!scan.word(word)) return fault("a polygon without its end word in object " + std::to_string(i) + ".");
        if (isPolygonEnd(word)) break;
        std::int32_t index = 0;
        TextScanner number(word);
        if (!number.integer(index) || !number.atEnd())
          return fault("unreadable polygon index \"" + std::string(word) + "\".");
        if (index < 0 || static_cast<std::uint64_t>(index) >= o_.vertices_.size())
          return fault("polygon index " + std::to_string(index) + " outside the vertices.");
        if (++corners > 65535) return fault("a polygon of more than 65,535 corners.");
        o_.polygonIndices_.push_back(index);
      }
      o_.polygonCornerCounts_.push_back(static_cast<std::uint16_t>(corners));
    }
  }
  return {};
}

Result<void> readRtgObject(std::string_view text, RtgObject& object) { return RtgReader(text, object).read(); }

}  // namespace zorvel
