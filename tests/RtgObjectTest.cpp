// The RTG reader: what it prints, what it keeps, and how it refuses broken files.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/TestSupport.h"
#include "tests/ViewerTranscripts.h"
#include "viewer/ObjectShape.h"
#include "viewer/RtgObject.h"
#include "viewer/RtgReport.h"

namespace zorvel::test {
namespace {

// Joins lines with CR LF, as the exporter writes them.
std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<std::string> attributeBlock(const std::vector<std::string>& values,
                                        const std::vector<std::string>& names = {}) {
  static const std::vector<std::string> kNames = {"OUTPUT_VERT_NORMS",   "OUTPUT_VERT_COLORS", "OUTPUT_TEX_COORDS",
                                                  "OUTPUT_POLY_NORMS",   "OUTPUT_HIERARCHY",   "OUTPUT_LOCAL",
                                                  "SHOW_INDEX_COUNTERS", "OUTPUT_MATERIALS",   "OUTPUT_ANIMATION",
                                                  "OUTPUT_ALL_NODES",    "OUTPUT_DECOMP",      "OUTPUT_DEGREES"};
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < 12; ++i)
    lines.push_back((names.empty() || i == 0 ? kNames[i] : names[i]) + " " + values[i]);
  return lines;
}

// Two objects with every section on, counters in front of the records, misspelt
// attribute names after the first, polygons ending in "n" and in "RGB".
std::string fullFile() {
  std::vector<std::string> lines = {"RTG scene export"};
  const std::vector<std::string> misspelt = {
      "", "OUTPT_VERT_COLORS", "TEX", "x", "x", "x", "COUNTERS", "x", "ANIM", "x", "x", "x"};
  for (const std::string& l :
       attributeBlock({"on", "on", "on", "off", "off", "off", "on", "off", "on", "off", "off", "On"}, misspelt))
    lines.push_back(l);
  for (const std::string& l : std::vector<std::string>{"NUMBER_OF_OBJECTS 2",
                                                       "OBJECT_START tri",
                                                       "3",
                                                       "3",
                                                       "3",
                                                       "1",
                                                       "VERTEX list",
                                                       "0 0 0 0",
                                                       "1 1 0 0",
                                                       "2 0 1 0",
                                                       "NORMAL",
                                                       "0 0 0 1",
                                                       "1 0 0 1",
                                                       "2 0 0 1",
                                                       "TEXCOORD",
                                                       "0 0 0",
                                                       "1 1 0",
                                                       "2 0 1",
                                                       "COLORS",
                                                       "0 255 0 0 255",
                                                       "1 0 255 0 255",
                                                       "2 0 0 255 255",
                                                       "POLYGON",
                                                       "v 0 1 2 n 7 8 9",
                                                       "OBJECT_START quad",
                                                       "4",
                                                       "0",
                                                       "0",
                                                       "2",
                                                       "VERTEX list",
                                                       "0 0 0 0",
                                                       "1 2 0 0",
                                                       "2 2 2 0",
                                                       "3 0 2 0",
                                                       "NORMAL",
                                                       "TEXCOORD",
                                                       "COLORS",
                                                       "0 1 1 1 1",
                                                       "1 1 1 1 1",
                                                       "2 1 1 1 1",
                                                       "3 1 1 1 1",
                                                       "4 1 1 1 1",
                                                       "5 1 1 1 1",
                                                       "POLYGON",
                                                       "header words v 3 4 5 RGB",
                                                       "more words v 5 6 3 t",
                                                       "ANIMATION_LIST",
                                                       "FRAME 0 OBJECT FRAME FRAME 1"})
    lines.push_back(l);
  return crlf(lines);
}

TEST(RtgReader, ReadsEverySectionOfEveryObject) {
  RtgObject rtg;
  const Result<void> read = readRtgObject(fullFile(), rtg);
  ASSERT_TRUE(read) << read.failure().reason;
  EXPECT_TRUE(rtg.attribute(RtgObject::ShowIndexCounters));
  EXPECT_FALSE(rtg.attribute(RtgObject::OutputDegrees));  // "On" is off
  EXPECT_EQ(rtg.objectCount(), 2);
  EXPECT_EQ(rtg.animationFrameCount(), 2);
  EXPECT_EQ(rtg.objectNames(), (std::vector<std::string>{"tri", "quad"}));
  ASSERT_EQ(rtg.vertices().size(), 7u);
  EXPECT_EQ(rtg.vertices()[1], (Vector3{1, 0, 0}));
  EXPECT_EQ(rtg.vertices()[5], (Vector3{2, 2, 0}));
  EXPECT_EQ(rtg.normals().size(), 3u);
  EXPECT_EQ(rtg.texCoords().size(), 3u);
  ASSERT_EQ(rtg.colors().size(), 9u);
  EXPECT_EQ(rtg.colors()[1].values[1], 255);
  EXPECT_EQ(rtg.polygonCornerCounts(), (std::vector<std::uint16_t>{3, 3, 3}));
  EXPECT_EQ(rtg.polygonIndices(), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 5, 6, 3}));

  std::ostringstream pos;
  const ObjectShape shape = flattenObjectCorners(rtg);
  printObjectCorners(pos, shape);
  EXPECT_EQ(pos.str(), "pos: 0 0 0\npos: 1 0 0\npos: 0 1 0\n");
  EXPECT_EQ(shape.cornerCounts, (std::vector<std::uint16_t>{3}));
  EXPECT_EQ(shape.objectCornersY, (std::vector<float>{0, 0, 1}));
}

TEST(RtgReader, AnimationFramesCountOnlyWhenTheAttributeIsOn) {
  std::string file = fullFile();
  file.replace(file.find("ANIM on"), 7, "ANIM of");
  RtgObject rtg;
  EXPECT_TRUE(readRtgObject(file, rtg));
  EXPECT_EQ(rtg.animationFrameCount(), 0);
  EXPECT_FALSE(rtg.attribute(RtgObject::OutputAnimation));
}

TEST(RtgReader, ColoursAreNotReadWhileTheirAttributeIsOff) {
  const std::string file =
      crlf({attributeBlock({"off", "off", "off", "off", "off", "off", "off", "off", "off", "off", "off", "off"})[0]}) +
      crlf({"OUTPUT_VERT_COLORS off",
            "OUTPUT_TEX_COORDS off",
            "a off",
            "b off",
            "c off",
            "d off",
            "e off",
            "f off",
            "g off",
            "h off",
            "i off",
            "NUMBER_OF_OBJECTS 1",
            "OBJECT_START o",
            "3",
            "",
            "1",
            "VERTEX x",
            "0 0 0",
            "1 0 0",
            "0 1 0",
            "COLORS",
            "junk",
            "POLYGON",
            "v 0 1 2 n"});
  RtgObject rtg;
  EXPECT_TRUE(readRtgObject(file, rtg));
  EXPECT_TRUE(rtg.colors().empty());
  EXPECT_EQ(rtg.polygonIndices(), (std::vector<std::int32_t>{0, 1, 2}));
}

// ---- Broken files: a fault that names what was wrong, one line on the error stream,
// and the object is not used.

class BrokenRtgFile : public ::testing::Test {
 protected:
  void expectRefused(const std::string& content, const std::string& because) {
    RtgObject rtg;
    const Result<void> read = readRtgObject(content, rtg);
    ASSERT_FALSE(read);
    std::ostringstream err;
    printRtgFault(err, "broken.rtg", read.failure());
    const std::string line = err.str();
    EXPECT_NE(line.find(because), std::string::npos) << line;
    EXPECT_EQ(line.rfind("RTG-file: broken.rtg: ", 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
  }
};

std::string simpleFile(const std::string& counts, const std::string& body) {
  return crlf({"OUTPUT_VERT_NORMS off", "OUTPUT_VERT_COLORS off", "OUTPUT_TEX_COORDS off", "a off", "b off", "c off",
               "d off", "e off", "f off", "g off", "h off", "i off", "NUMBER_OF_OBJECTS 1", "OBJECT_START o"}) +
         counts + body;
}

TEST_F(BrokenRtgFile, MissingKeywordsAreFaults) {
  expectRefused("nothing here\r\n", "no OUTPUT_VERT_NORMS");
  expectRefused(crlf({"OUTPUT_VERT_NORMS off", "OUTPUT_VERT_COLORS"}), "export attributes incomplete");
  expectRefused(crlf(attributeBlock(std::vector<std::string>(12, "off"))), "NUMBER_OF_OBJECTS");
  expectRefused(simpleFile(crlf({"3", "", "1"}), crlf({"0 0 0", "1 0 0", "0 1 0"})), "no VERTEX section");
  expectRefused(simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0"})), "no POLYGON");
}

TEST_F(BrokenRtgFile, TooFewRecordsOrPolygonsAreFaults) {
  expectRefused(simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0"})), "fewer VERTEX records");
  expectRefused(simpleFile(crlf({"3", "", "2"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0", "POLYGON", "v 0 1 2 n"})),
                "fewer polygons");
  expectRefused(simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0", "POLYGON", "v 0 1 2"})),
                "without its end word");
}

TEST_F(BrokenRtgFile, UnreadableNumbersAndBadIndicesAreFaults) {
  expectRefused(simpleFile(crlf({"three", "", "1"}), ""), "unreadable counts");
  expectRefused(simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 zero", "1 0 0", "0 1 0"})),
                "fewer VERTEX records");
  expectRefused(
      simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0", "POLYGON", "v 0 1 x2 n"})),
      "unreadable polygon index");
  expectRefused(simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0", "POLYGON", "v 0 1 3 n"})),
                "polygon index 3 outside the vertices");
  expectRefused(
      simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0", "POLYGON", "v 0 -1 2 n"})),
      "outside the vertices");
}

TEST_F(BrokenRtgFile, CountsBeyondWhatTheFileCanHoldAreRefusedBeforeAllocating) {
  expectRefused(simpleFile(crlf({"4000000000", "", "1"}), crlf({"VERTEX x", "0 0 0"})),
                "counts larger than the file can hold");
}

TEST(RtgReader, SurplusObjectsAndRecordsAreIgnored) {
  RtgObject rtg;
  EXPECT_TRUE(readRtgObject(
      simpleFile(crlf({"3", "", "1"}), crlf({"VERTEX x", "0 0 0", "1 0 0", "0 1 0", "9 9 9", "POLYGON", "v 0 1 2 n",
                                             "v 2 1 0 n", "OBJECT_START extra", "1", "", "1", "VERTEX x", "5 5 5"})),
      rtg));
  EXPECT_EQ(rtg.vertices().size(), 3u);
  EXPECT_EQ(rtg.polygonIndices().size(), 3u);
}

TEST(RtgReaderTranscript, TheViewerPrintsSummaryObjectsAndCorners) {
  ScratchFolder folder;
  folder.write("scene.rtg", fullFile());
  folder.write("p.pPath", "1 1\n\n0\n0 0 0\n");
  const ProgramRun run = runProgram(ZORVEL_CONSOLE_VIEWER, folder.path(), "a\np.pPath\nb\nscene.rtg\ng\ny\n");
  const std::string objectInfo = [] {
    std::string text;
    const char* names[] = {"tri", "quad"};
    const char* counts[][4] = {{"3", "1", "3", "3"}, {"4", "2", "0", "0"}};
    for (int i = 0; i < 2; ++i)
      text += std::string("\n-----------------RTG-object----------------\n") +
              "-------------------------------------------\n" + "RTG export file: scene.rtg\n\n" + "RTG: Object " +
              std::to_string(i) + " attributes:\n\n" + "\tObject name:" + names[i] + "\n" +
              "\tNumber of vertices:" + counts[i][0] + "\n\tNumber of polygons:" + counts[i][1] +
              "\n\tNumber of vertex normals:" + counts[i][2] + "\n\tNumber of texture coordinates:" + counts[i][3] +
              "\n\n";
    return text;
  }();
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kViewerBanner + kViewerMenu + "pPath-file:\n" + kViewerMenu + "RTG-file:\n" + kViewerMenu +
                         kConfirm + "Analyzing specified RTG-file.\n" +
                         "\n--------------------RTG--------------------\n"
                         "-------------------------------------------\n"
                         "RTG export file: scene.rtg\n"
                         "Exported scene objects: 2\n"
                         "Exported animation frames: 2\n"
                         "Total number of vertices: 7\n"
                         "Total number of polygons: 3\n"
                         "Total number of normals: 3\n"
                         "Total number of texture coordinates: 3\n"
                         "\nRTG: Export attributes:\n\n"
                         "\tOUTPUT_VERT_NORMS 1\n\tOUTPUT_VERT_COLORS 1\n\tOUTPUT_TEX_COORDS 1\n"
                         "\tOUTPUT_POLY_NORMS 0\n\tOUTPUT_HIERARCHY 0\n\tOUTPUT_LOCAL 0\n"
                         "\tSHOW_INDEX_COUNTERS 1\n\tOUTPUT_MATERIALS 0\n\tOUTPUT_ANIMATION 1\n"
                         "\tOUTPUT_ALL_NODES 0\n\tOUTPUT_DECOMP 0\n\tOUTPUT_DEGREES 0\n\n" +
                         objectInfo + "pos: 0 0 0\npos: 1 0 0\npos: 0 1 0\n" + kAllUndefined + caching(1, 1) +
                         "OpenGL...");
}

}  // namespace
}  // namespace zorvel::test
