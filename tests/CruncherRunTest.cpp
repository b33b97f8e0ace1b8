// Whole runs of the cruncher (with its random seed fixed) and the six files they write.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <sstream>

#include "tests/CruncherTranscripts.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

struct Path {
  std::uint32_t pixels = 0;
  int frames = 0;
  std::vector<std::vector<std::array<float, 3>>> positions;
};

Path parsePath(const std::string& text) {
  std::istringstream in(text);
  Path path;
  in >> path.pixels >> path.frames;
  for (int f = 0; f < path.frames && in; ++f) {
    int number = -1;
    in >> number;
    EXPECT_EQ(number, f);
    std::vector<std::array<float, 3>> frame(path.pixels);
    for (auto& p : frame) in >> p[0] >> p[1] >> p[2];
    path.positions.push_back(frame);
  }
  EXPECT_TRUE(static_cast<bool>(in)) << "path file shorter than its header says";
  std::string rest;
  EXPECT_FALSE(in >> rest) << "text after the last frame";
  return path;
}

// Checks from the file alone that every particle travelled home: the last frame holds
// it at home; between two frames it stays put only when home, else it moves along one
// axis only, towards home, by its velocity or by exactly what was left; that axis had
// the greatest distance left, and no axis before it (x, y, z) had as much. Needs
// coordinates that 4 digits hold exactly.
void expectHomeward(const Path& path, const std::vector<std::array<float, 3>>& homes,
                    const std::vector<float>& velocities) {
  ASSERT_GE(path.frames, 1);
  ASSERT_EQ(path.positions.back().size(), homes.size());
  for (std::size_t k = 0; k < homes.size(); ++k) EXPECT_EQ(path.positions.back()[k], homes[k]) << "pixel " << k;
  for (int f = 0; f + 1 < path.frames; ++f) {
    for (std::size_t k = 0; k < homes.size(); ++k) {
      SCOPED_TRACE("pixel " + std::to_string(k) + ", frame " + std::to_string(f + 1));
      const auto& before = path.positions[f][k];
      const auto& after = path.positions[f + 1][k];
      std::array<float, 3> left{};
      std::vector<int> moved;
      for (int a = 0; a < 3; ++a) {
        left[a] = std::fabs(homes[k][a] - before[a]);
        if (after[a] != before[a]) moved.push_back(a);
      }
      const float farthest = *std::max_element(left.begin(), left.end());
      if (moved.empty()) {
        EXPECT_EQ(farthest, 0.0f) << "a particle away from home did not move";
        continue;
      }
      ASSERT_EQ(moved.size(), 1u) << "moved along more than one axis";
      const int a = moved[0];
      EXPECT_EQ(left[a], farthest) << "moved along axis " << a << ", not the farthest";
      for (int earlier = 0; earlier < a; ++earlier)
        EXPECT_LT(left[earlier], left[a]) << "a tie goes to axis " << earlier;
      EXPECT_EQ(std::fabs(homes[k][a] - after[a]), left[a] - std::min(velocities[k], left[a])) << "step length";
    }
  }
}

std::string lines(const std::string& first, const std::vector<std::string>& rest) {
  std::string text = first + "\n";
  for (const std::string& line : rest) text += line + "\n";
  return text;
}

class CruncherRun : public ::testing::Test {
 protected:
  ProgramRun crunch(const std::string& settings, const std::string& shellPrefix = "") {
    return runProgram(ZORVEL_SEEDED_CRUNCHER, folder.path(), settings + "d\ny\n", shellPrefix);
  }
  static std::string processingTimeFree(std::string out) {
    const std::size_t at = out.find("Processing time: ");
    if (at != std::string::npos) out.erase(at + 17, out.find(" seconds", at) - at - 17);
    return out;
  }
  ScratchFolder folder;
};

std::string framesProgress(int frames) {
  std::string text;
  for (int f = 0; f < frames; ++f) text += "Calculating frame " + std::to_string(f) + "...done\n";
  return text;
}

const std::string kFarewell =
    "Processing time:  seconds\n\nThank you for using Zorvel-cruncher. Please come again.\nPress <ENTER> to exit.\n";

TEST_F(CruncherRun, TwoPixelsWithDefaultsWriteSixFilesAndTheWholeTranscript) {
  folder.write("two.tga", colourTga(2, 1));
  const ProgramRun run = crunch("a\na\ntwo.tga\nx\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");

  EXPECT_EQ(folder.read("two.tga.pColor"), "2\n2 1 0 255 \n31 14 7 255 \n");
  EXPECT_EQ(folder.read("two.tga.pOpacity"), "2\n255\n255\n");
  EXPECT_EQ(folder.read("two.tga.pVelocity"), "2\n1\n1\n");
  EXPECT_EQ(folder.read("two.tga.pScale"), "2\n1\n1\n");
  EXPECT_EQ(folder.read("two.tga.pHeight"), "2\n0\n0\n");
  const std::string pathText = folder.read("two.tga.pPath");
  const Path path = parsePath(pathText);
  EXPECT_EQ(path.pixels, 2u);
  std::string frameCount = std::to_string(path.frames);
  frameCount.resize(10, ' ');  // the count is padded to a fixed width
  EXPECT_EQ(pathText.substr(0, pathText.find("\n\n0\n")), "2 " + frameCount);
  expectHomeward(path, {{-0.5f, 0, 0}, {0.5f, 0, 0}}, {1, 1});
  EXPECT_NE(path.positions[0][0], path.positions[0][1]);

  const std::string summary = imageSummary("two.tga", 2, 1, 24);
  EXPECT_EQ(
      processingTimeFree(run.out),
      kCruncherBanner + chosen(kMainMenu) + chosen(kEssentialMenu) + "Color map:\n" + chosen(kEssentialMenu) +
          chosen(kMainMenu) + chosen(kConfirm) + summary + summary +
          lines("pOpacity-file: Undefined", {"Pixel opacity defaulted to pixel opacity constant.", ""}) +
          lines("pVelocity-file: Undefined", {"Pixel velocity defaulted to pixel velocity scalar constant.", ""}) +
          lines("pScalar-file: Undefined", {"Pixel scale scalar defaulted to pixel scale scalar constant.", ""}) +
          lines("pHeight-file: Undefined", {"Pixel height offset defaulted to pixel height offset constant.", ""}) +
          "Calculating per pixel velocity...done\nCalculating per pixel height offset...done\n"
          "Scattering pixels...done\n" +
          framesProgress(path.frames) + kFarewell);
}

TEST_F(CruncherRun, OnePixelGoesHomeToTheOrigin) {
  folder.write("one.tga", greyTga(1, 1, [](int) -> std::uint8_t { return 77; }));
  const ProgramRun run = crunch("a\na\none.tga\nx\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder.read("one.tga.pColor"), "1\n77\n");  // an 8-bit image lists bare grey values
  const Path path = parsePath(folder.read("one.tga.pPath"));
  expectHomeward(path, {{0, 0, 0}}, {1});
  // Depth 0 (no height): z starts half a unit below the plane.
  EXPECT_EQ(path.positions[0][0][2], -0.5f);
}

TEST_F(CruncherRun, ColourFilesHoldOneValueAPixelForGreyPicturesAndFourForEveryOtherDepth) {
  folder.write("grey.tga", greyTga(2, 1, [](int k) -> std::uint8_t { return static_cast<std::uint8_t>(40 + k); }));
  TgaHeader sixteen;
  sixteen.bitsPerPixel = 16;
  sixteen.width = 3;
  folder.write("sixteen.tga", tgaFile(sixteen, {0xFF, 0x7F, 0x1F, 0x00, 0x00, 0x7C}));
  for (const char* picture : {"grey.tga", "sixteen.tga"})
    EXPECT_EQ(crunch("a\na\n" + std::string(picture) + "\nx\n").status, 0) << picture;
  EXPECT_EQ(folder.read("grey.tga.pColor"), "2\n40\n41\n");
  // A 16-bit picture's colours are not read: every pixel is black.
  EXPECT_EQ(folder.read("sixteen.tga.pColor"), "3\n0 0 0 255 \n0 0 0 255 \n0 0 0 255 \n");
}

TEST_F(CruncherRun, UsableMapsWriteFilesUnderTheirOwnNames) {
  folder.write("c.tga", colourTga(2, 1));
  folder.write("o.tga", greyTga(2, 1, [](int k) -> std::uint8_t { return k ? 20 : 10; }));
  folder.write("v.tga", greyTga(2, 1, [](int k) -> std::uint8_t { return k ? 255 : 0; }));
  folder.write("s.tga", greyTga(2, 1, [](int k) -> std::uint8_t { return k ? 3 : 4; }));
  folder.write("h.tga", greyTga(2, 1, [](int k) -> std::uint8_t { return k ? 0 : 255; }));
  const ProgramRun run = crunch("a\na\nc.tga\nx\nb\na\no.tga\nc\nv.tga\n0.5\n2\ne\ns.tga\ng\nh.tga\n4\nx\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder.read("o.tga.pOpacity"), "2\n10\n20\n");
  EXPECT_EQ(folder.read("v.tga.pVelocity"), "2\n0\n255\n");
  EXPECT_EQ(folder.read("s.tga.pScale"), "2\n4\n3\n");
  EXPECT_EQ(folder.read("h.tga.pHeight"), "2\n255\n0\n");
  EXPECT_FALSE(folder.exists("c.tga.pOpacity"));
  // Velocities 0.5 and 2 from grey 0 and 255; heights 4 and 0 from grey 255 and 0.
  expectHomeward(parsePath(folder.read("c.tga.pPath")), {{-0.5f, 0, 4}, {0.5f, 0, 0}}, {0.5f, 2.0f});
  for (const char* name : {"o.tga", "v.tga", "s.tga", "h.tga"})
    EXPECT_NE(run.out.find(imageSummary(name, 2, 1, 8)), std::string::npos) << name;
}

TEST_F(CruncherRun, RefusedMapsFallBackToTheirConstants) {
  folder.write("c.tga", colourTga(2, 1));
  folder.write("rgb.tga", colourTga(2, 1));
  folder.write("wide.tga", greyTga(3, 1, [](int) -> std::uint8_t { return 1; }));
  const ProgramRun run =
      crunch("a\na\nc.tga\nx\nb\na\nrgb.tga\nb\n100\nc\nwide.tga\n0.5\n5\nd\n0.7\ne\nmissing.tga\nf\n2.5\nx\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder.read("c.tga.pOpacity"), "2\n100\n100\n");
  EXPECT_EQ(folder.read("c.tga.pVelocity"), "2\n0.7\n0.7\n");
  EXPECT_EQ(folder.read("c.tga.pScale"), "2\n2.5\n2.5\n");
  EXPECT_FALSE(folder.exists("rgb.tga.pOpacity"));
  EXPECT_EQ(run.err,
            "Zorvel-cruncher: rgb.tga: is a 24-bit picture where an 8-bit grey map is needed; "
            "bash scripts/make-tga.sh --grey --like c.tga PICTURE rgb.tga makes one from any picture\n"
            "Zorvel-cruncher: wide.tga: is 3 x 1 pixels where the colour image is 2 x 1; "
            "bash scripts/make-tga.sh --grey --like c.tga PICTURE wide.tga makes one from any picture\n"
            "Zorvel-cruncher: missing.tga: no such file\n");
  EXPECT_NE(
      run.out.find(imageSummary("rgb.tga", 2, 1, 24) +
                   lines("Opacity map: rgb.tga isn't a TGA grayscale image.",
                         {"Opacity map will be ignored.", "Pixel opacity defaulted to pixel opacity constant.", ""})),
      std::string::npos);
  EXPECT_NE(run.out.find(imageSummary("wide.tga", 3, 1, 8) +
                         lines("Velocity scalar map: wide.tga not the same size as TGA color image.",
                               {"Velocity scalar map will be ignored.",
                                "Pixel velocity defaulted to pixel velocity scalar constant.", ""})),
            std::string::npos);
  EXPECT_NE(run.out.find(lines("Attempt to open pixel scalar map failed.",
                               {"Pixel scale scalar defaulted to pixel scale scalar constant.", ""})),
            std::string::npos);
  // The refused velocity map leaves every pixel the constant, 0.7 truncated to 0.699.
  const Path path = parsePath(folder.read("c.tga.pPath"));
  bool sawFullStep = false;
  for (int f = 0; f + 1 < path.frames; ++f)
    for (int a = 0; a < 3; ++a) {
      const float moved = std::fabs(path.positions[f + 1][0][a] - path.positions[f][0][a]);
      if (moved > 0.0f) {
        EXPECT_LE(moved, 0.6991f);
        if (std::fabs(moved - 0.699f) < 0.0005f) sawFullStep = true;
      }
    }
  EXPECT_TRUE(sawFullStep);
}

TEST_F(CruncherRun, HeightWithoutAMapLiftsEveryPixelByTheWholeMaximum) {
  folder.write("c.tga", colourTga(2, 1));
  const ProgramRun run = crunch("a\na\nc.tga\nx\nb\ng\nnot-there.tga\n12.7\nx\n");
  EXPECT_EQ(folder.read("c.tga.pHeight"), "2\n12\n12\n");
  expectHomeward(parsePath(folder.read("c.tga.pPath")), {{-0.5f, 0, 12}, {0.5f, 0, 12}}, {1, 1});
}

TEST_F(CruncherRun, TwentyThousandPixelsRunAndOneMoreIsRefused) {
  folder.write("limit.tga", greyTga(200, 100, [](int k) -> std::uint8_t { return static_cast<std::uint8_t>(k); }));
  folder.write("over.tga", greyTga(20001, 1, [](int) -> std::uint8_t { return 9; }));
  const ProgramRun run = crunch("a\na\nover.tga\nx\nd\ny\na\na\nlimit.tga\nx\nb\nd\n20\nx\n");
  EXPECT_EQ(run.status, 0);
  const std::string refusal = imageSummary("over.tga", 20001, 1, 8) +
                              "Number crunching cancelled.\n"
                              "This program's pixelcount is set to a maximum value of 20,000 pixels.\n"
                              "The TGA-image that is specified has 20001 pixels.\n"
                              "Please specify another TGA-image to work on.\n\n" +
                              chosen(kMainMenu);
  EXPECT_NE(run.out.find(refusal), std::string::npos);
  EXPECT_FALSE(folder.exists("over.tga.pPath"));
  const Path path = parsePath(folder.read("limit.tga.pPath"));
  EXPECT_EQ(path.pixels, 20000u);
  EXPECT_EQ(path.positions.back()[0], (std::array<float, 3>{-99.5f, -49.5f, 0}));
  EXPECT_EQ(path.positions.back()[19999], (std::array<float, 3>{99.5f, 49.5f, 0}));
  EXPECT_EQ(run.out.find("Processing time: "), run.out.rfind("Processing time: "));
}

TEST_F(CruncherRun, TheColourCheckLoopsThroughTheMainMenuUntilAnImageLoads) {
  folder.write("c.tga", colourTga(1, 1));
  const ProgramRun run = crunch("d\ny\na\na\nnope.tga\nx\nd\ny\na\na\nc.tga\nx\n");
  const std::string out = processingTimeFree(run.out);
  EXPECT_EQ(out.substr(0, kCruncherBanner.size() + chosen(kMainMenu).size() + chosen(kConfirm).size() + 23),
            kCruncherBanner + chosen(kMainMenu) + chosen(kConfirm) + "Color-file: Undefined\n\n");
  EXPECT_NE(out.find("Color map:\n" + chosen(kEssentialMenu) + chosen(kMainMenu) + chosen(kConfirm) +
                     "Attempt to open color-file failed.\n\n" + chosen(kMainMenu)),
            std::string::npos);
  // The summary of the usable image comes twice: once from the check, once from the run.
  const std::string summary = imageSummary("c.tga", 1, 1, 24);
  EXPECT_NE(out.find(summary + summary + "pOpacity-file: Undefined\n"), std::string::npos);
  EXPECT_EQ(out.substr(out.size() - kFarewell.size()), kFarewell);
}

TEST_F(CruncherRun, ThousandsOfFramesKeepTheHeaderParseable) {
  folder.write("slow.tga", colourTga(1, 1));
  crunch("a\na\nslow.tga\nb\n20\n20\n2\nx\nb\nd\n0.01\nx\n");
  const Path path = parsePath(folder.read("slow.tga.pPath"));
  EXPECT_GT(path.frames, 999);
  // Steps of 0.009 are finer than 4 digits show, so only the ends are checked here.
  EXPECT_EQ(path.positions.back()[0], (std::array<float, 3>{0, 0, 0}));
  EXPECT_NE(path.positions[path.frames - 2][0], path.positions.back()[0]);
}

// ---- Files that cannot be written: named on standard error, the earlier run's files
// kept, nothing read back from them, and an exit status that says so.

TEST_F(CruncherRun, FilesThatCannotBeWrittenAreNamedOnStandardErrorAndTheRunEndsWithStatusOne) {
  folder.write("c.tga", colourTga(2, 1));
  for (const char* ext : {".pOpacity", ".pScale", ".pColor"})
    fs::create_directory(folder.path() / ("c.tga" + std::string(ext)));
  fs::create_symlink("/dev/full", folder.path() / "c.tga.pPath");
  const ProgramRun run = crunch("a\na\nc.tga\nx\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "Could not write file \"c.tga.pOpacity\".\n"
            "Could not write file \"c.tga.pScale\".\n"
            "Could not write file \"c.tga.pColor\".\n"
            "Could not write file \"c.tga.pPath\".\n");
  EXPECT_NE(run.out.find("Calculating frame 0...done\n"), std::string::npos);
  EXPECT_NE(run.out.find("Thank you for using Zorvel-cruncher."), std::string::npos);
}

TEST_F(CruncherRun, AFullDiskKeepsTheEarlierFilesAndNothingIsReadBackFromThem) {
  // 100 x 80 pixels: each velocity line of 0.123456 takes 9 bytes, 72 kB in all, more
  // than a file may grow to here (64 blocks: 32 or 64 kB, as the shell counts them);
  // the opacity file (32 kB) still fits.
  folder.write("c.tga", colourTga(100, 80));
  const std::string earlier = "a\na\nc.tga\nx\nb\nd\n2\nx\n";
  ASSERT_EQ(crunch(earlier).status, 0);
  std::map<std::string, std::string> before;
  for (const char* ext : {".pVelocity", ".pColor", ".pPath"}) before[ext] = folder.read("c.tga" + std::string(ext));

  const ProgramRun run = crunch("a\na\nc.tga\nx\nb\nd\n0.123456\nx\n", "ulimit -f 64;");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "Could not write file \"c.tga.pVelocity\".\n"
            "Could not write file \"c.tga.pColor\".\n"
            "Could not write file \"c.tga.pPath\".\n");
  for (const auto& [ext, text] : before) EXPECT_EQ(folder.read("c.tga" + ext), text) << ext << " was not kept";
  // The velocity file was not written whole, so it is not read back: no velocity line,
  // and every particle steps at the default 1.
  EXPECT_EQ(run.out.find("Calculating per pixel velocity"), std::string::npos);
  EXPECT_NE(run.out.find("Calculating per pixel height offset...done\nScattering pixels...done\n"), std::string::npos);
  EXPECT_NE(run.out.find("Thank you for using Zorvel-cruncher. Please come again.\n"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(folder.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path() << " left behind";
}

TEST_F(CruncherRun, APictureFarOverTheLimitIsRefusedFromItsHeaderWithoutDecodingIt) {
  if (!canLimitMemory()) GTEST_SKIP() << kNoMemoryLimit;
  // A run-length grey picture of 16384 x 16384: 4 MB of packets of 128 pixels for 256 MB
  // of pixels, more than the 200 MB the run may take here even before they would become
  // particles.
  TgaHeader header;
  header.imageType = 11;
  header.bitsPerPixel = 8;
  header.width = header.height = 16384;
  std::vector<std::uint8_t> packets;
  for (int p = 0; p < 16384 * 16384 / 128; ++p) packets.insert(packets.end(), {0xFF, static_cast<std::uint8_t>(p)});
  folder.write("huge.tga", tgaFile(header, packets));
  const ProgramRun run =
      runProgram(ZORVEL_SEEDED_CRUNCHER, folder.path(), "a\na\nhuge.tga\nx\nd\ny\nx\ny\n", memoryLimit(200));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "Zorvel-cruncher: huge.tga: has 268435456 pixels, more than the 20000 a run takes; "
            "bash scripts/make-tga.sh huge.tga SMALLER.tga shrinks it to fit\n");
  EXPECT_EQ(run.out, kCruncherBanner + chosen(kMainMenu) + chosen(kEssentialMenu) + "Color map:\n" +
                         chosen(kEssentialMenu) + chosen(kMainMenu) + chosen(kConfirm) +
                         imageSummary("huge.tga", 16384, 16384, 8) +
                         "Number crunching cancelled.\n"
                         "This program's pixelcount is set to a maximum value of 20,000 pixels.\n"
                         "The TGA-image that is specified has 268435456 pixels.\n"
                         "Please specify another TGA-image to work on.\n\n" +
                         chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherRun, EachUnusableColourImageIsNamedOnStandardErrorWithWhyInPlainWords) {
  TgaHeader mapped;
  mapped.colourMapType = 1;
  mapped.imageType = 1;
  mapped.bitsPerPixel = 8;
  folder.write("mapped.tga", tgaFile(mapped, {0}));
  folder.write("photo.tga", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0", 29));
  folder.write("snap.tga", std::string("\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20));
  std::vector<std::uint8_t> cut = colourTga(4, 4);
  cut.resize(cut.size() - 5);
  folder.write("cut.tga", cut);
  folder.write("wide.tga", greyTga(20001, 1, [](int) -> std::uint8_t { return 9; }));
  // Its header and length are sound; its first packet claims more pixels than follow.
  TgaHeader packed;
  packed.imageType = 10;
  packed.width = 3;
  folder.write("packed.tga", tgaFile(packed, {0x7F, 1, 2, 3, 4, 5}));
  struct Case {
    const char* file;
    const char* reason;
  };
  // A picture of another format: where it can go instead.
  const std::string instead = "Zorvel-recorder --picture records it as it is, and bash scripts/make-tga.sh ";
  const std::string photo = "not a TGA file: it is a PNG picture; " + instead + "photo.tga OUT.tga makes a TGA of it";
  const std::string snap = "not a TGA file: it is a JPEG picture; " + instead + "snap.tga OUT.tga makes a TGA of it";
  for (const Case c :
       {Case{"gone.tga", "no such file"}, Case{"photo.tga", photo.c_str()}, Case{"snap.tga", snap.c_str()},
        Case{"mapped.tga", "a colour-mapped TGA picture, which is not supported"},
        Case{"cut.tga", "cut short: its pixel data ends early"},
        Case{"packed.tga", "cut short: its pixel data ends early"},
        Case{"wide.tga",
             "has 20001 pixels, more than the 20000 a run takes; "
             "bash scripts/make-tga.sh wide.tga SMALLER.tga shrinks it to fit"}}) {
    SCOPED_TRACE(c.file);
    // Undefined first: no reason for a file never named.
    const ProgramRun run =
        runProgram(ZORVEL_SEEDED_CRUNCHER, folder.path(), "d\ny\na\na\n" + std::string(c.file) + "\nx\nd\ny\nx\ny\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Zorvel-cruncher: " + std::string(c.file) + ": " + c.reason + "\n");
  }
}

TEST_F(CruncherRun, TheFinalReadTakesTheLineEndLeftByTheConfirmation) {
  folder.write("c.tga", colourTga(1, 1));
  // Input ends right after "y\n": the farewell's read takes the line end and the
  // program ends without waiting.
  const ProgramRun run = crunch("a\na\nc.tga\nx\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(run.out.size() - 23), "Press <ENTER> to exit.\n");
}

}  // namespace
}  // namespace zorvel::test
