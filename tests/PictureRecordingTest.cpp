// The recorder on a picture, crunched in memory, as its users run it: the frames of the
// files the cruncher writes, any common format, past the cruncher's 20,000 pixels, and
// the refusals of what cannot be recorded.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

// The seed the seeded cruncher scatters with.
constexpr const char* kCruncherSeed = "20261208";

std::uint8_t gradient(int k) { return static_cast<std::uint8_t>(k * 37 % 256); }

class PictureRecorder : public ::testing::Test {
 protected:
  // The GL driver's own leaks are not looked for, as in the recorder's other tests.
  ProgramRun record(const std::string& arguments, const std::string& shellPrefix = "") {
    return runProgram(ZORVEL_RECORDER, folder.path(), "", shellPrefix, arguments, "ASAN_OPTIONS=detect_leaks=0");
  }
  // Raw frames of a small recording, checked to have worked.
  std::string frames(const std::string& arguments) {
    const ProgramRun run = record(arguments + " --size 96x72 --hold 0 -o -");
    EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;
    EXPECT_FALSE(run.out.empty()) << arguments;
    return run.out;
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The value a --verbose line "<label>: <value>" gives, or empty.
  static std::string said(const std::string& err, const std::string& label) {
    std::smatch match;
    if (!std::regex_search(err, match, std::regex("(^|\n)" + label + ": ([^\n]*)"))) return "";
    return match[2];
  }
  ScratchFolder folder;
};

TEST_F(PictureRecorder, ATgaPictureGivesTheFramesOfTheFilesTheCruncherWritesForItsSeed) {
  folder.write("c.tga", colourTga(12, 9));
  folder.write("g.tga", greyTga(12, 9, gradient));
  struct Case {
    const char* name;
    const char* menus;           // the cruncher's menus after the colour map, back at the main menu
    const char* pathOptions;     // what records the files it writes
    const char* pictureOptions;  // the same settings for the picture
  };
  for (const Case c : {Case{"default settings", "", "--opacity c.tga.pOpacity", "--velocity 1"},
                       Case{"scatter and velocity", "a\nb\n3\n4\n5\nx\nb\nd\n0.7\nx\n", "--opacity c.tga.pOpacity",
                            "--scatter 3,4,5 --velocity 0.7"},
                       Case{"a height map, opacity constant", "b\ng\ng.tga\n17\nb\n128\nx\n",
                            "--opacity c.tga.pOpacity", "--height-map g.tga 17 --opacity-constant 128 --velocity 1"},
                       Case{"velocity, opacity and scale maps", "b\nc\ng.tga\n0.3\n2.5\na\ng.tga\ne\ng.tga\nx\n",
                            "--opacity g.tga.pOpacity --scale g.tga.pScale 0.5 1.7",
                            "--velocity-map g.tga 0.3 2.5 --opacity-map g.tga --scale-map g.tga 0.5 1.7"}}) {
    SCOPED_TRACE(c.name);
    const ProgramRun crunched =
        runProgram(ZORVEL_SEEDED_CRUNCHER, folder.path(), std::string("a\na\nc.tga\nx\n") + c.menus + "d\ny\n\n");
    ASSERT_EQ(crunched.status, 0) << crunched.out;
    const std::string fromFiles = frames(std::string("c.tga.pPath --color c.tga.pColor ") + c.pathOptions);
    const std::string fromPicture =
        frames(std::string("--picture c.tga --seed ") + kCruncherSeed + " " + c.pictureOptions);
    EXPECT_GT(fromFiles.size(), std::size_t{96} * 72 * 3 * 10);
    EXPECT_TRUE(fromPicture == fromFiles) << fromPicture.size() << " bytes of frames against " << fromFiles.size();
  }
}

TEST_F(PictureRecorder, APngGivesTheAnimationOfTheTgaMakeTgaStoresFromIt) {
  // A picture with a different colour in every pixel, upright in the PNG.
  std::string ppm = "P6\n20 15\n255\n";
  for (int k = 0; k < 20 * 15; ++k) ppm += {static_cast<char>(k % 20 * 12), static_cast<char>(k / 20 * 17), '\x40'};
  folder.write("p.ppm", ppm);
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "p.ppm p.png").status, 0);
  const ProgramRun made = runProgram("bash", folder.path(), "", "",
                                     std::string("'") + ZORVEL_SOURCE_DIR + "/scripts/make-tga.sh' p.png p.tga");
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string settings = " --seed 5 --scatter 2,3,2 --velocity 1.5";
  EXPECT_TRUE(frames("--picture p.png" + settings) == frames("--picture p.tga" + settings));
}

TEST_F(PictureRecorder, APngsTransparencyGoesAsA32BitTgasAlphaGoes) {
  // The same pixels, translucent and transparent ones among them, as a PNG (top row
  // first) and as a 32-bit TGA (bottom row first, as the PNG stands upright).
  const int width = 9, height = 7;
  std::string rgba;
  std::vector<std::uint8_t> tga;
  for (int k = 0; k < width * height; ++k)
    rgba +=
        {static_cast<char>(k * 29), static_cast<char>(k * 11), static_cast<char>(200 - k), static_cast<char>(k * 37)};
  for (int r = height - 1; r >= 0; --r)
    for (int c = 0; c < width; ++c) {
      const char* p = rgba.data() + (static_cast<std::size_t>(r) * width + c) * 4;
      tga.insert(tga.end(), {static_cast<std::uint8_t>(p[2]), static_cast<std::uint8_t>(p[1]),
                             static_cast<std::uint8_t>(p[0]), static_cast<std::uint8_t>(p[3])});
    }
  folder.write("p.rgba", rgba);
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "-size 9x7 -depth 8 rgba:p.rgba png32:p.png").status, 0);
  TgaHeader header;
  header.width = width;
  header.height = height;
  header.bitsPerPixel = 32;
  header.descriptor = 8;
  folder.write("p.tga", tgaFile(header, tga));
  EXPECT_TRUE(frames("--picture p.png --seed 2") == frames("--picture p.tga --seed 2"));
}

TEST_F(PictureRecorder, ATakeWithoutASeedIsRecordedAgainWithTheSeedItNames) {
  folder.write("c.tga", colourTga(10, 8));
  const ProgramRun first = record("--picture c.tga --verbose --size 64x48 --hold 0 -o -");
  ASSERT_EQ(first.status, 0) << first.err;
  const std::string seed = said(first.err, "Seed").substr(0, said(first.err, "Seed").find(' '));
  ASSERT_FALSE(seed.empty()) << first.err;
  EXPECT_TRUE(record("--picture c.tga --seed " + seed + " --size 64x48 --hold 0 -o -").out == first.out);
}

TEST_F(PictureRecorder, APictureLargerThanTheParticlesShrinksToItsProportionsAndNeverGrows) {
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "-size 300x200 gradient:red-blue wide.png").status, 0);
  struct Case {
    const char* particles;
    const char* grid;
  };
  for (const Case c :
       {Case{"600", "30 x 20 = 600 (shrunk to fit --particles 600)"},
        Case{"1000", "38 x 25 = 950 (shrunk to fit --particles 1000)"}, Case{"100000", "300 x 200 = 60000"}}) {
    const ProgramRun run = record(std::string("--picture wide.png --particles ") + c.particles +
                                  " --velocity 20 --verbose --size 32x24 --hold 0 -o -");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(said(run.err, "Particles"), c.grid);
  }
}

TEST_F(PictureRecorder, APictureTooWideToFrameWithinTheWindowsDepthStaysInSight) {
  // 1,200 pixels wide: the framed camera stands farther than the windows see.
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "-size 1200x6 gradient:white-orange strip.png").status, 0);
  const ProgramRun run = record("--picture strip.png --velocity 20 --size 200x100 --hold 0 -o -");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string last = run.out.substr(run.out.size() - std::size_t{200} * 100 * 3);
  int left = 200, right = -1;
  for (int p = 0; p < 200 * 100; ++p)
    if (last.compare(static_cast<std::size_t>(p) * 3, 3, std::string(3, '\0')) != 0) {
      left = std::min(left, p % 200);
      right = std::max(right, p % 200);
    }
  EXPECT_GT(right - left, 150) << "lit from " << left << " to " << right;
}

TEST_F(PictureRecorder, ADurationChoosesTheVelocityThatBringsEveryParticleHomeInThatTime) {
  folder.write("c.tga", colourTga(40, 30));
  for (const int tenths : {20, 55}) {
    const std::string seconds = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    const ProgramRun run =
        record("--picture c.tga --seed 3 --duration " + seconds + " --fps 10 --verbose --size 32x24 --hold 0 -o -");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t recorded = run.out.size() / (std::size_t{32} * 24 * 3);
    EXPECT_NEAR(static_cast<double>(recorded), tenths, 1.0) << seconds << " s: " << said(run.err, "Velocity");
    // The velocity named records the same take.
    const std::string velocity = said(run.err, "Velocity").substr(0, said(run.err, "Velocity").find(' '));
    EXPECT_TRUE(
        record("--picture c.tga --seed 3 --velocity " + velocity + " --fps 10 --size 32x24 --hold 0 -o -").out ==
        run.out);
  }
  // Without a velocity or a duration, about eight seconds, whatever the picture's size.
  folder.write("big.tga", colourTga(160, 120));
  for (const char* picture : {"c.tga", "big.tga"}) {
    const ProgramRun run =
        record(std::string("--picture ") + picture + " --seed 3 --fps 10 --size 32x24 --hold 0 -o -");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t recorded = run.out.size() / (std::size_t{32} * 24 * 3);
    EXPECT_NEAR(static_cast<double>(recorded), 80, 1.0) << picture;
  }
  // 2.45 s at 10 frames a second is 24.5 frames, rounded to the 25 frames of 2.5 s.
  EXPECT_TRUE(frames("--picture c.tga --seed 3 --duration 2.45 --fps 10") ==
              frames("--picture c.tga --seed 3 --duration 2.5 --fps 10"));
}

TEST_F(PictureRecorder, EveryPngOfTheColourTypeSuiteRecords) {
  const fs::path suite = externalPngFolder() / "suite";
  if (externalPngFolder().empty()) GTEST_SKIP() << "no external PNG samples in ../shared/testdata";
  int recorded = 0;
  for (const auto& entry : fs::directory_iterator(suite)) {
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const ProgramRun run = record("--picture '" + entry.path().string() + "' --velocity 20 --size 32x24 --hold 0 -o -");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_GT(run.out.size(), 0u);
    recorded += run.status == 0;
  }
  EXPECT_GE(recorded, 50);
}

// ---- Refusals: one line that says why, a status that says so, nothing left behind.

TEST_F(PictureRecorder, DamagedPngsAreRefusedInOneLineWithinLittleMemory) {
  const fs::path damaged = externalPngFolder() / "damaged";
  if (externalPngFolder().empty()) GTEST_SKIP() << "no external PNG samples in ../shared/testdata";
  if (!canLimitMemory()) GTEST_SKIP() << kNoMemoryLimit;
  for (const auto& entry : fs::directory_iterator(damaged)) {
    if (entry.path().extension() != ".png") continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    // Enough for the recorder and a picture of the file's own size, not for the sizes
    // its chunks claim.
    const ProgramRun run = record(
        "--picture '" + entry.path().string() + "' --velocity 20 --size 32x24 --hold 0 -o out.mp4", memoryLimit(1200));
    if (run.status == 0) {  // the damage was where the decoder need not look
      fs::remove(folder.path() / "out.mp4");
      continue;
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("Zorvel-recorder: " + entry.path().string() + ": ", 0), 0u) << run.err;
    EXPECT_FALSE(folder.exists("out.mp4"));
  }
}

TEST_F(PictureRecorder, WhatCannotBeRecordedIsRefusedInOneLineLeavingNothing) {
  folder.write("c.tga", colourTga(12, 9));
  folder.write("small.tga", greyTga(6, 9, gradient));
  folder.write("empty.png", "");
  folder.write("words.txt", "3\n1 2 3 255\n4 5 6 255\n7 8 9 255\n");
  fs::create_directory(folder.path() / "folder.png");
  const std::string side("\x00\x01\x86\xa0", 4);
  folder.write("huge.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + side + side +
                               std::string("\x08\x02\0\0\0", 5) + std::string(4, '\0'));
  struct Case {
    const char* arguments;
    const char* says;
  };
  for (const Case c : {Case{"--picture gone.png", "cannot read gone.png: no such file"},
                       Case{"--picture folder.png", "cannot read folder.png: a folder"},
                       Case{"--picture empty.png", "empty.png: empty: not a picture"},
                       Case{"--picture words.txt", "words.txt: not a picture"},
                       Case{"--picture huge.png", "huge.png: is 100000 x 100000 pixels: reading it takes"},
                       Case{"--picture c.tga --height-map small.tga 20",
                            "small.tga: the map is 6 x 9 pixels, where the picture c.tga is 12 x 9"}}) {
    SCOPED_TRACE(c.arguments);
    const std::vector<std::string> before = files();
    // Little memory, where it can be set: the huge picture asks for nothing of its size.
    const ProgramRun run = record(std::string(c.arguments) + " -o out.mp4", canLimitMemory() ? memoryLimit(1200) : "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(std::string("Zorvel-recorder: ") + c.says, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(files(), before);
  }
}

// The most common value of channel `c` among the pixels of a raw RGB picture where it
// is not 0.
int commonestLevel(const std::string& rgb, std::size_t c) {
  std::vector<int> counts(256);
  for (std::size_t p = c; p < rgb.size(); p += 3) ++counts[static_cast<unsigned char>(rgb[p])];
  return static_cast<int>(std::max_element(counts.begin() + 1, counts.end()) - counts.begin());
}

TEST_F(PictureRecorder, ATransparentPixelIsNoParticleAndAPartlyTransparentOneIsLessOpaque) {
  // A red rectangle on a green ground of alpha 0; a red picture at half alpha; an opaque one.
  const auto convert = [&](const std::string& arguments) {
    ASSERT_EQ(runProgram("convert", folder.path(), "", "", arguments).status, 0) << arguments;
  };
  convert("-size 20x10 'xc:rgba(0,255,0,0)' -fill red -draw 'rectangle 5,2 14,7' logo.png");
  convert("-size 20x10 'xc:rgba(255,0,0,0.5)' half.png");
  convert("-size 20x10 gradient:red-blue opaque.png");
  const std::string last = " --seed 1 --velocity 20 --mode solid --size 96x72 --hold 0 -o -";
  const auto lastFrame = [](const ProgramRun& run) {
    return run.out.substr(run.out.size() - std::size_t{96} * 72 * 3);
  };
  const auto greenPixels = [](const std::string& rgb) {
    std::size_t green = 0;
    for (std::size_t p = 0; p < rgb.size(); p += 3) green += rgb[p + 1] != 0;
    return green;
  };
  const ProgramRun logo = record("--picture logo.png --verbose" + last);
  ASSERT_EQ(logo.status, 0) << logo.err;
  EXPECT_EQ(said(logo.err, "Transparent"), "140 pixels left out, 60 particles");
  EXPECT_EQ(greenPixels(lastFrame(logo)), 0u);
  EXPECT_GT(commonestLevel(lastFrame(logo), 0), 250);
  const ProgramRun everyPixel = record("--picture logo.png --transparency off" + last);
  ASSERT_EQ(everyPixel.status, 0) << everyPixel.err;
  EXPECT_GT(greenPixels(lastFrame(everyPixel)), std::size_t{96} * 72 / 10);
  // Blended over black, a box at half alpha adds half its colour.
  const ProgramRun half = record("--picture half.png --blend on" + last);
  ASSERT_EQ(half.status, 0) << half.err;
  EXPECT_NEAR(commonestLevel(lastFrame(half), 0), 128, 2);
  EXPECT_EQ(commonestLevel(lastFrame(record("--picture half.png --blend on --transparency off" + last)), 0), 255);
  // No transparent pixel: the frames every pixel gives.
  EXPECT_TRUE(record("--picture opaque.png" + last).out ==
              record("--picture opaque.png --transparency off" + last).out);
  // Nothing but transparent pixels: nothing to record.
  convert("-size 4x4 'xc:rgba(9,9,9,0)' clear.png");
  const ProgramRun clear = record("--picture clear.png" + last);
  EXPECT_EQ(clear.status, 1);
  EXPECT_EQ(clear.err,
            "Zorvel-recorder: clear.png: every pixel is transparent: nothing to record (--transparency off "
            "makes every pixel a particle)\n");
}

TEST_F(PictureRecorder, APictureIsNamedByWhatItsFirstBytesSayAndTakenForTgaOnlyWhenItsHeaderReads) {
  // Pictures other tools write, but for JPEG XL, whose mark is written here.
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "-size 8x6 gradient:red-blue p.png").status, 0);
  struct Format {
    const char* name;
    const char* what;
    bool recorded;
  };
  for (const Format f : {Format{"p.heic", "a HEIC picture", true}, Format{"p.avif", "an AVIF picture", true},
                         Format{"p.ppm", "a PNM picture", true}, Format{"p.tiff", "a TIFF picture", true},
                         Format{"p.webp", "a WebP picture", true}, Format{"p.jp2", "a JPEG 2000 picture", false},
                         Format{"p.psd", "a PSD picture", false}, Format{"p.ico", "an ICO picture", false},
                         Format{"p.jxl", "a JPEG XL picture", false}}) {
    SCOPED_TRACE(f.name);
    const std::string name = f.name;
    if (name == "p.jxl")
      folder.write(name, std::string("\xFF\x0A\xFA\x7F\x01\x90\x08\x06", 8));
    else
      ASSERT_EQ(runProgram("convert", folder.path(), "", "", "p.png " + name).status, 0);
    const ProgramRun run = record("--picture " + name + " --seed 1 --duration 0.2 --hold 0 --size 32x24 -o -");
    if (f.recorded) {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out.size(), 5u * 32 * 24 * 3);
    } else {
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err, "Zorvel-recorder: " + name + ": " + f.what +
                             ", which is not read (PNG, JPEG, GIF, BMP, TIFF, WebP, PNM, HEIC, AVIF and TGA are)\n");
    }
    const ProgramRun crunched =
        runProgram(ZORVEL_SEEDED_CRUNCHER, folder.path(), "a\na\n" + name + "\nx\nd\ny\nx\ny\n");
    // Where such a picture can go: the recorder, where it reads it, or a TGA made of it.
    EXPECT_EQ(crunched.err, "Zorvel-cruncher: " + name + ": not a TGA file: it is " + f.what + "; " +
                                (f.recorded ? "Zorvel-recorder --picture records it as it is, and " : "") +
                                "bash scripts/make-tga.sh " + name + " OUT.tga makes a TGA of it\n");
  }
  // A header no TGA reader takes, with no other mark: no picture at all.
  folder.write("odd.tga", std::string("\0\0\0\0\0\0\0\0\0\0\0\0\x01\0\x01\0\x07\0abc", 21));
  EXPECT_EQ(record("--picture odd.tga -o out.mp4").err,
            "Zorvel-recorder: odd.tga: not a picture of any format read (PNG, JPEG, GIF, BMP, TIFF, WebP, PNM, HEIC, "
            "AVIF and TGA)\n");
  EXPECT_FALSE(folder.exists("out.mp4"));
  // An animation records its first frame, and says how many it holds where asked.
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "p.png '(' p.png -flop ')' p.png -loop 0 three.gif").status,
            0);
  const ProgramRun animated =
      record("--picture three.gif --verbose --seed 1 --duration 0.2 --hold 0 --size 32x24 -o -");
  EXPECT_EQ(animated.status, 0) << animated.err;
  EXPECT_NE(animated.err.find("Picture: three.gif, 8 x 6 pixels\nIt holds 3 pictures (frames or pages); the first "
                              "is recorded\n"),
            std::string::npos)
      << animated.err;
}

TEST_F(PictureRecorder, SettingsOutOfTheCrunchersRangesAreUsageErrorsThatNameTheRange) {
  folder.write("c.tga", colourTga(12, 9));
  folder.write("g.tga", greyTga(12, 9, gradient));
  struct Case {
    const char* arguments;
    const char* says;
  };
  const char* const scatter = "--scatter takes X,Y,Z, each a whole number from 2 to 20";
  const char* const velocity = "--velocity takes a number from 0.01 to 20";
  const char* const velocityMap =
      "--velocity-map takes a file, then MIN and MAX, each a number from 0.01 to 20, MIN not above MAX";
  const char* const height = "--height takes a whole number from 0 to 50";
  for (const Case c :
       {Case{"--scatter 1,2,2", scatter},
        Case{"--scatter 2,2,21", scatter},
        Case{"--scatter 2,2", scatter},
        Case{"--scatter 2.5,2,2", scatter},
        Case{"--velocity 0.001", velocity},
        Case{"--velocity 20.5", velocity},
        Case{"--velocity fast", velocity},
        Case{"--velocity-map g.tga 3 1", velocityMap},
        Case{"--velocity-map g.tga 0 1", velocityMap},
        Case{"--height -1", height},
        Case{"--height 51", height},
        Case{"--height 2.5", height},
        Case{"--height-map g.tga 60", "--height-map takes a file, then MAX, a whole number from 0 to 50"},
        Case{"--opacity-constant 0", "--opacity-constant takes a whole number from 1 to 255"},
        Case{"--opacity-constant 256", "--opacity-constant takes a whole number from 1 to 255"},
        Case{"--scale-map g.tga 0 2", "--scale-map takes a file, then MIN and MAX, each a number from 0.01 to 20"},
        Case{"--particles 0", "--particles takes a whole number from 1 to 100000000"},
        Case{"--particles many", "--particles takes a whole number from 1 to 100000000"},
        Case{"--seed -1", "--seed takes a whole number from 0 to 4294967295"},
        Case{"--duration 0", "--duration takes seconds from 0.1 to 3600"},
        Case{"--velocity 2 --duration 5", "--velocity or --duration, not both"},
        Case{"--height 3 --height-map g.tga 20", "--height or --height-map, not both"},
        Case{"--color c.tga.pColor", "a picture takes --opacity-map and --scale-map"}}) {
    SCOPED_TRACE(c.arguments);
    const ProgramRun run = record(std::string("--picture c.tga ") + c.arguments + " -o out.mp4");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(folder.exists("out.mp4"));
  }
  // A picture's settings without a picture.
  const ProgramRun run = record("c.tga.pPath --seed 4 -o out.mp4");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--seed goes with --picture"), std::string::npos) << run.err;
}

TEST_F(PictureRecorder, MoreParticlesThanTheMemoryHoldsAreRefusedBeforeAnythingIsSetUpForThem) {
  if (!canLimitMemory()) GTEST_SKIP() << kNoMemoryLimit;
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "-size 1600x1250 gradient:red-blue big.png").status, 0);
  const ProgramRun run = record("--picture big.png --particles 2000000 -o out.mp4", memoryLimit(1200));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("Zorvel-recorder: big.png: 2000000 particles take about ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(" MB are available; fewer --particles fit\n"), std::string::npos) << run.err;
  EXPECT_FALSE(folder.exists("out.mp4"));
}

// ---- Memory, measured from outside the process.

TEST_F(PictureRecorder, MemoryGrowsWithTheParticlesAndNeverWithTheFrames) {
  if (!measuresMemory()) GTEST_SKIP() << kNoMemoryMeasure;
  ASSERT_EQ(runProgram("convert", folder.path(), "", "", "-size 400x300 gradient:yellow-navy g.png").status, 0);
  const auto peak = [&](int particles, const char* velocity) {
    const ProgramRun run = record("--picture g.png --seed 9 --particles " + std::to_string(particles) + " --velocity " +
                                  velocity + " --size 32x24 --hold 0 --verbose -o -");
    EXPECT_EQ(run.status, 0) << run.err;
    return std::make_pair(run.peakKilobytes, std::stol(said(run.err, "Number of frames")));
  };
  const auto few = peak(20000, "20");
  const auto many = peak(120000, "20");
  const auto manyLonger = peak(120000, "5");  // four times the frames
  EXPECT_GT(manyLonger.second, 3 * many.second);
  EXPECT_LT(std::labs(manyLonger.first - many.first), 8 * 1024) << many.first << " KB against " << manyLonger.first;
  // A hundred thousand particles more: within a kilobyte each.
  EXPECT_GT(many.first, few.first);
  EXPECT_LT(many.first - few.first, 100000) << few.first << " KB against " << many.first;
}

}  // namespace
}  // namespace zorvel::test
