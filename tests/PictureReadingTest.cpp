// Pictures of the common formats as the recorder reads them, held to what ImageMagick
// (which make-tga uses) reads from the same files; the shrinking to a particle count;
// and the refusals of files that are no picture, or no whole one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "picture/PictureReading.h"
#include "picture/PictureShrinking.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

constexpr std::uint64_t kEnoughMemory = std::uint64_t{1} << 30;

// What ImageMagick reads from `file` in `folder`, as R, G, B, A bytes, bottom row first,
// after `options` (the values as stored: no gamma applied).
std::string imageMagickPixels(const ScratchFolder& folder, const std::string& file, const std::string& options = "") {
  const ProgramRun run = runProgram("convert", folder.path(), "", "",
                                    "'" + file + "' " + options + " -set colorspace sRGB -flip -depth 8 rgba:-");
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

// The largest difference between two pictures' colour channels (alpha left out), or
// 256 when their sizes differ.
int largestDifference(const std::vector<std::uint8_t>& ours, const std::string& theirs) {
  if (ours.size() != theirs.size()) return 256;
  int most = 0;
  for (std::size_t i = 0; i < ours.size(); ++i)
    if (i % 4 != 3) most = std::max(most, std::abs(ours[i] - static_cast<unsigned char>(theirs[i])));
  return most;
}

// A 48 x 32 picture of 6 x 4 cells of 8 x 8 pixels, each cell its own colour, as a PPM.
std::string cellPicture() {
  std::string ppm = "P6\n48 32\n255\n";
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) {
      const int cell = (y / 8) * 6 + x / 8;
      ppm += static_cast<char>(cell * 10 % 256);
      ppm += static_cast<char>(cell % 3 * 120);
      ppm += static_cast<char>(250 - cell * 7);
    }
  return ppm;
}

void convert(const ScratchFolder& folder, const std::string& arguments) {
  const ProgramRun run = runProgram("convert", folder.path(), "", "", arguments);
  ASSERT_EQ(run.status, 0) << arguments << ": " << run.err;
}

std::string littleEndian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

// A JPEG file with an EXIF segment, after its start marker, whose orientation tag says
// `orientation`.
std::string withOrientation(const std::string& jpeg, int orientation) {
  const std::string tiff = std::string("II*\0", 4) + littleEndian(8, 4) + littleEndian(1, 2) + littleEndian(0x112, 2) +
                           littleEndian(3, 2) + littleEndian(1, 4) +
                           littleEndian(static_cast<std::uint32_t>(orientation), 2) + littleEndian(0, 2) +
                           littleEndian(0, 4);
  const std::string exif = std::string("Exif\0\0", 6) + tiff;
  const std::size_t length = exif.size() + 2;
  return jpeg.substr(0, 2) + "\xFF\xE1" + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + exif +
         jpeg.substr(2);
}

TEST(PictureReading, GifBmpAndPngReadAsImageMagickReadsThemBottomRowFirst) {
  ScratchFolder folder;
  folder.write("cells.ppm", cellPicture());
  convert(folder, "cells.ppm cells.png");
  convert(folder, "cells.ppm cells.bmp");
  // An animation: its first picture is the one read.
  convert(folder, "cells.ppm -flop cells.ppm -loop 0 cells.gif");
  for (const std::string file : {"cells.png", "cells.bmp", "cells.gif"}) {
    SCOPED_TRACE(file);
    const Result<TgaImage> picture = readPicture(folder.file(file), kEnoughMemory);
    ASSERT_TRUE(picture) << picture.failure().reason;
    EXPECT_EQ(picture->info.width, 48u);
    EXPECT_EQ(picture->info.height, 32u);
    EXPECT_EQ(picture->info.bitsPerPixel, 32u);
    EXPECT_EQ(largestDifference(picture->pixels, imageMagickPixels(folder, file + "[0]")), 0);
  }
}

// The mean difference of two pictures' colour channels (alpha left out), or 256 when
// their sizes differ.
double meanDifference(const std::vector<std::uint8_t>& ours, const std::vector<std::uint8_t>& theirs) {
  if (ours.size() != theirs.size()) return 256;
  double sum = 0;
  for (std::size_t i = 0; i < ours.size(); ++i)
    if (i % 4 != 3) sum += std::abs(ours[i] - theirs[i]);
  return sum / (static_cast<double>(ours.size()) * 0.75);
}

TEST(PictureReading, TiffWebPPnmHeicAndAvifWrittenByAnotherToolGiveThePixelsOfTheirPng) {
  ScratchFolder folder;
  folder.write("cells.ppm", cellPicture());
  convert(folder, "cells.ppm cells.png");
  const Result<TgaImage> png = readPicture(folder.file("cells.png"), kEnoughMemory);
  ASSERT_TRUE(png) << png.failure().reason;
  struct Case {
    const char* file;
    const char* options;     // how ImageMagick writes it
    double meanLoss;         // the format's own loss: none for the lossless ones
    std::uint32_t pictures;  // an animation's frames, a TIFF's pages: the first is read
  };
  for (const Case c :
       {Case{"cells.tiff", "", 0, 1}, Case{"zip.tiff", "-compress zip", 0, 1},
        Case{"pages.tiff", "'(' cells.ppm -flop ')'", 0, 2}, Case{"lossless.webp", "-define webp:lossless=true", 0, 1},
        Case{"animated.webp", "'(' cells.ppm -flop ')' -loop 0 -define webp:lossless=true", 0, 2},
        Case{"cells.pam", "", 0, 1}, Case{"text.ppm", "-compress none", 0, 1}, Case{"lossy.webp", "-quality 90", 8, 1},
        Case{"cells.heic", "-quality 90", 4, 1}, Case{"cells.avif", "-quality 90", 4, 1},
        Case{"cells.gif", "'(' cells.ppm -flop ')' -loop 0", 0, 2}}) {
    SCOPED_TRACE(c.file);
    convert(folder, std::string("cells.ppm ") + c.options + " " + c.file);
    std::uint32_t pictures = 0;
    const Result<TgaImage> picture = readPicture(folder.file(c.file), kEnoughMemory, &pictures);
    ASSERT_TRUE(picture) << picture.failure().reason;
    EXPECT_EQ(pictures, c.pictures);
    ASSERT_EQ(sizeOf(picture.value()), sizeOf(png.value()));
    if (c.meanLoss == 0)
      EXPECT_EQ(largestDifference(picture->pixels, std::string(png->pixels.begin(), png->pixels.end())), 0);
    else
      EXPECT_LE(meanDifference(picture->pixels, png->pixels), c.meanLoss);
  }
  // A grey picture, as ImageMagick reads it.
  convert(folder, "cells.ppm -colorspace gray grey.pgm");
  const Result<TgaImage> grey = readPicture(folder.file("grey.pgm"), kEnoughMemory);
  ASSERT_TRUE(grey) << grey.failure().reason;
  EXPECT_EQ(largestDifference(grey->pixels, imageMagickPixels(folder, "grey.pgm")), 0);
}

TEST(PictureReading, APhotoStandsUprightWhicheverWayItsOrientationTagSaysItWasStored) {
  ScratchFolder folder;
  folder.write("cells.ppm", cellPicture());
  convert(folder, "cells.ppm -quality 100 -sampling-factor 1x1 cells.jpg");
  const std::string jpeg = folder.read("cells.jpg");
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE("orientation " + std::to_string(orientation));
    folder.write("turned.jpg", withOrientation(jpeg, orientation));
    const Result<TgaImage> picture = readPicture(folder.file("turned.jpg"), kEnoughMemory);
    ASSERT_TRUE(picture) << picture.failure().reason;
    const bool turned = orientation >= 5;
    EXPECT_EQ(picture->info.width, turned ? 32u : 48u);
    EXPECT_EQ(picture->info.height, turned ? 48u : 32u);
    // Two JPEG decoders agree but for a little rounding.
    EXPECT_LE(largestDifference(picture->pixels, imageMagickPixels(folder, "turned.jpg", "-auto-orient")), 8);
  }
}

TEST(PictureReading, AHeicPictureIsTurnedAsItsRotationPropertySays) {
  ScratchFolder folder;
  folder.write("cells.ppm", cellPicture());
  convert(folder, "cells.ppm -quality 95 cells.heic");
  // The writer gives the primary picture a pixel-information property (pixi) of 16
  // bytes, the last of its properties; made a rotation property (irot) of the same
  // length, the picture is to be turned by its angle, a quarter turn anticlockwise each.
  const std::string heic = folder.read("cells.heic");
  const std::size_t pixi = heic.find("pixi");
  ASSERT_NE(pixi, std::string::npos);
  ASSERT_EQ(heic.substr(pixi - 4, 4), std::string("\0\0\0\x10", 4));
  struct Case {
    char quarters;
    const char* rotate;  // ImageMagick's turn, clockwise
  };
  for (const Case c : {Case{1, "-90"}, Case{2, "180"}, Case{3, "90"}}) {
    SCOPED_TRACE(c.rotate);
    std::string turned = heic;
    turned.replace(pixi, 12, std::string("irot") + c.quarters + std::string(7, '\0'));
    folder.write("turned.heic", turned);
    convert(folder, std::string("cells.ppm -rotate ") + c.rotate + " turned.png");
    const Result<TgaImage> picture = readPicture(folder.file("turned.heic"), kEnoughMemory);
    const Result<TgaImage> expected = readPicture(folder.file("turned.png"), kEnoughMemory);
    ASSERT_TRUE(picture && expected) << (picture ? expected.failure().reason : picture.failure().reason);
    ASSERT_EQ(sizeOf(picture.value()), sizeOf(expected.value()));
    EXPECT_LE(meanDifference(picture->pixels, expected->pixels), 4);
  }
}

TEST(PictureReading, ATgaPictureGivesTheCrunchersPixelsAsTheyAre) {
  ScratchFolder folder;
  folder.write("c.tga", colourTga(7, 5));
  const Result<TgaImage> picture = readPicture(folder.file("c.tga"), kEnoughMemory);
  const Result<TgaImage> cruncher = readTgaFile(folder.file("c.tga"));
  ASSERT_TRUE(picture && cruncher);
  EXPECT_EQ(picture->info.bitsPerPixel, 24u);
  EXPECT_EQ(picture->pixels, cruncher->pixels);
}

TEST(PictureReading, EveryPngOfTheColourTypeSuiteReadsAsImageMagickReadsIt) {
  const fs::path suite = externalPngFolder() / "suite";
  if (externalPngFolder().empty()) GTEST_SKIP() << "no external PNG samples in ../shared/testdata";
  ScratchFolder folder;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(suite)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(name);
    ++files;
    const Result<TgaImage> picture = readPicture(entry.path().string(), kEnoughMemory);
    ASSERT_TRUE(picture) << picture.failure().reason;
    // Sixteen bits a channel come down to eight with a little rounding of their own.
    const int allowed = name.find("16") != std::string::npos ? 2 : 0;
    EXPECT_LE(largestDifference(picture->pixels, imageMagickPixels(folder, entry.path().string())), allowed);
  }
  EXPECT_GE(files, 50);
}

TEST(PictureReading, DamagedPngsAreRefusedWithAReasonOrReadWithinTheirSize) {
  const fs::path damaged = externalPngFolder() / "damaged";
  if (externalPngFolder().empty()) GTEST_SKIP() << "no external PNG samples in ../shared/testdata";
  for (const auto& entry : fs::directory_iterator(damaged)) {
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(entry.path().filename().string());
    // Little memory: a file that claimed much and got it would be refused as too large.
    const Result<TgaImage> picture = readPicture(entry.path().string(), 64u << 20);
    if (picture) {
      EXPECT_LE(picture->pixels.size(), std::size_t{4} * 64 * 64);
    } else {
      EXPECT_TRUE(picture.failure().kind == FailureKind::Malformed || picture.failure().kind == FailureKind::CutShort)
          << picture.failure().reason;
      EXPECT_NE(picture.failure().reason.find("PNG picture"), std::string::npos) << picture.failure().reason;
    }
  }
}

TEST(PictureReading, APictureLargerThanAllowedShrinksToTheLargestGridOfItsProportions) {
  struct Case {
    PictureSize size;
    std::uint64_t most;
    PictureSize grid;
  };
  for (const Case c : {Case{{320, 240}, 20000, {163, 122}},  // what make-tga makes of the README's picture
                       Case{{141, 141}, 20000, {141, 141}},  // small enough already: never enlarged
                       Case{{4032, 3024}, 1000000, {1154, 866}}, Case{{1, 100000}, 20000, {1, 20000}},
                       Case{{100000, 3}, 10, {10, 1}}}) {
    const PictureSize grid = sizeWithin(c.size, c.most);
    EXPECT_EQ(grid.width, c.grid.width) << c.size.width << " x " << c.size.height;
    EXPECT_EQ(grid.height, c.grid.height) << c.size.width << " x " << c.size.height;
    EXPECT_LE(grid.pixels(), c.most);
  }
  // A flat colour stays that colour, at the size asked for; a grey TGA's pixels are
  // taken as R = G = B first.
  TgaImage grey;
  grey.info = {300, 200, 8, 0, TgaImageKind::Grey, false};
  grey.pixels.assign(std::size_t{300} * 200, 77);
  const Result<TgaImage> shrunk = shrinkPicture(grey, {30, 20});
  ASSERT_TRUE(shrunk);
  EXPECT_EQ(sizeOf(shrunk.value()), (PictureSize{30, 20}));
  std::vector<std::uint8_t> flat;
  for (int k = 0; k < 30 * 20; ++k) flat.insert(flat.end(), {77, 77, 77, 255});
  EXPECT_EQ(shrunk->pixels, flat);
}

// ---- Refusals: the kind of failure and a reason that says it.

TEST(PictureReading, WhatIsNoWholePictureIsRefusedWithItsReason) {
  ScratchFolder folder;
  folder.write("cells.ppm", cellPicture());
  const char* const formats[] = {"png", "jpg", "gif", "tiff", "webp", "pam", "heic", "avif"};
  for (const char* format : formats) convert(folder, std::string("cells.ppm cells.") + format);
  for (const char* format : formats) {
    const std::string whole = folder.read(std::string("cells.") + format);
    folder.write(std::string("cut.") + format, whole.substr(0, whole.size() / 2));
  }
  // HEIC and AVIF files whose containers are garbled after their file type boxes, a
  // lossless WebP without its signature, and a PPM whose header is no numbers.
  for (const char* format : {"heic", "avif"}) {
    std::string garbled = folder.read(std::string("cells.") + format);
    for (std::size_t i = 40; i < 120 && i < garbled.size(); ++i) garbled[i] = static_cast<char>(i * 37);
    folder.write(std::string("garbled.") + format, garbled);
  }
  convert(folder, "cells.ppm -define webp:lossless=true lossless.webp");
  std::string webp = folder.read("lossless.webp");
  ASSERT_EQ(webp.substr(12, 4), "VP8L");
  webp[20] = 'x';
  folder.write("unsigned.webp", webp);
  folder.write("words.ppm", "P6\nwide high\n255\n" + std::string(100, 'x'));
  folder.write("empty.png", "");
  folder.write("words.txt", "3\n1 2 3 255\n");
  folder.write("picture.tif", std::string("II*\0", 4) + std::string(100, '\0'));
  folder.write("picture.jp2", std::string("\0\0\0\x0CjP  \r\n\x87\n", 12) + std::string(100, '\0'));
  fs::create_directory(folder.path() / "folder.png");
  // A PNG header that declares 100,000 x 100,000 pixels, and nothing after it.
  const std::string side("\x00\x01\x86\xa0", 4);
  folder.write("huge.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + side + side +
                               std::string("\x08\x02\0\0\0", 5) + std::string(4, '\0'));
  struct Case {
    const char* file;
    FailureKind kind;
    const char* says;
  };
  for (const Case c : {Case{"gone.png", FailureKind::CannotOpen, "no such file"},
                       Case{"folder.png", FailureKind::CannotOpen, "a folder"},
                       Case{"empty.png", FailureKind::WrongFormat, "empty: not a picture"},
                       Case{"words.txt", FailureKind::WrongFormat, "not a picture"},
                       Case{"picture.tif", FailureKind::Malformed, "a damaged TIFF picture"},
                       Case{"picture.jp2", FailureKind::Unsupported, "a JPEG 2000 picture, which is not read"},
                       Case{"cut.tiff", FailureKind::CutShort, "cut short: a TIFF picture ends"},
                       Case{"cut.webp", FailureKind::CutShort, "cut short: a WebP picture ends"},
                       Case{"cut.pam", FailureKind::CutShort, "cut short: a PNM picture ends"},
                       Case{"cut.heic", FailureKind::CutShort, "cut short: a HEIC picture ends"},
                       Case{"cut.avif", FailureKind::CutShort, "cut short: an AVIF picture ends"},
                       Case{"garbled.heic", FailureKind::Malformed, "a damaged HEIC picture (libheif says: "},
                       Case{"garbled.avif", FailureKind::Malformed, "a damaged AVIF picture (libheif says: "},
                       Case{"unsigned.webp", FailureKind::Malformed, "a damaged WebP picture: its VP8L data"},
                       Case{"words.ppm", FailureKind::Malformed, "a damaged PNM picture: its header is not"},
                       Case{"cut.png", FailureKind::CutShort, "cut short: a PNG picture ends"},
                       Case{"cut.jpg", FailureKind::CutShort, "cut short: a JPEG picture ends"},
                       Case{"cut.gif", FailureKind::CutShort, "cut short: a GIF picture ends"},
                       Case{"huge.png", FailureKind::TooLarge, "is 100000 x 100000 pixels: reading it takes"}}) {
    SCOPED_TRACE(c.file);
    // Little memory, as a machine may have: the huge picture is refused before anything
    // of its size is asked for.
    const Result<TgaImage> picture = readPicture(folder.file(c.file), 256u << 20);
    ASSERT_FALSE(picture);
    EXPECT_EQ(static_cast<int>(picture.failure().kind), static_cast<int>(c.kind)) << picture.failure().reason;
    EXPECT_NE(picture.failure().reason.find(c.says), std::string::npos) << picture.failure().reason;
  }
}

TEST(PictureReading, ALongThinPictureIsMeasuredByThePaddedRowsAndColumnsTheDecoderMayTake) {
  // 1 x 2000 pixels: 32 KB as its pixels count, over 4 MB as a decoder pads them. With
  // 1 MB to spare it is refused before the decoder is asked; with 8 MB it reads.
  ScratchFolder folder;
  convert(folder, "-size 1x2000 gradient:red-blue thin.png");
  const Result<TgaImage> refused = readPicture(folder.file("thin.png"), 1u << 20);
  ASSERT_FALSE(refused);
  EXPECT_EQ(static_cast<int>(refused.failure().kind), static_cast<int>(FailureKind::TooLarge))
      << refused.failure().reason;
  const Result<TgaImage> read = readPicture(folder.file("thin.png"), 8u << 20);
  ASSERT_TRUE(read) << read.failure().reason;
  EXPECT_EQ(read->info.height, 2000u);
}

}  // namespace
}  // namespace zorvel::test
