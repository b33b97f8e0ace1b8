// The picture room's header readers on files other tools wrote: the size each declares
// is the one ImageMagick reads, a whole file holds its picture whole, and no file cut
// short anywhere does; and the size a picture shrinks to.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/PictureFormat.h"
#include "picture/ByteOrder.h"
#include "picture/PictureHeader.h"
#include "picture/PictureShrinking.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

const std::uint8_t* bytesOf(const std::string& file) { return reinterpret_cast<const std::uint8_t*>(file.data()); }

// The size ImageMagick reads from `file` in `folder` (its first frame).
PictureSize imageMagickSize(const ScratchFolder& folder, const std::string& file) {
  const ProgramRun run = runProgram("identify", folder.path(), "", "", "-format '%w %h\\n' '" + file + "[0]'");
  EXPECT_EQ(run.status, 0) << run.err;
  PictureSize size;
  std::istringstream(run.out) >> size.width >> size.height;
  return size;
}

// Checks that `file`'s header declares ImageMagick's size and holds the picture whole,
// and that every shorter start of it (up to `wholeFrom` bytes) is refused or not whole.
void checkHeader(const ScratchFolder& folder, const std::string& file, std::size_t wholeFrom) {
  SCOPED_TRACE(file);
  const std::string bytes = folder.read(file);
  const PictureFormat format = pictureFormatOf(bytesOf(bytes), bytes.size());
  const Result<PictureHeader> header = readPictureHeader(format, bytesOf(bytes), bytes.size());
  ASSERT_TRUE(header) << header.failure().reason;
  EXPECT_TRUE(header->size == imageMagickSize(folder, file)) << header->size.width << " x " << header->size.height;
  EXPECT_TRUE(header->whole) << header->whole.failure().reason;
  for (std::size_t cut = 0; cut < wholeFrom; ++cut) {
    // Each start copied on its own, so that a read past it is one past the buffer.
    const std::string start = bytes.substr(0, cut);
    const Result<PictureHeader> short_ = readPictureHeader(format, bytesOf(start), start.size());
    ASSERT_TRUE(!short_ || !short_->whole) << "cut at " << cut << " of " << bytes.size();
  }
}

// ImageMagick's convert run in `folder`, which has made base.ppm, a picture of noise
// from a fixed seed, to start from.
std::function<void(const std::string&)> converterIn(const ScratchFolder& folder) {
  const auto convert = [&folder](const std::string& arguments) {
    const ProgramRun run = runProgram("convert", folder.path(), "", "", arguments);
    ASSERT_EQ(run.status, 0) << arguments << ": " << run.err;
  };
  convert("-seed 3 -size 37x23 plasma:fractal base.ppm");
  return convert;
}

TEST(PictureHeader, JpegGifAndPngHeadersGiveImageMagicksSizeAndACutFileIsNeverWhole) {
  ScratchFolder folder;
  const auto convert = converterIn(folder);
  // A baseline JPEG, a progressive one with a thumbnail-sized comment before its frame,
  // a GIF and a PNG.
  convert("base.ppm -quality 90 base.jpg");
  convert("base.ppm -interlace JPEG -set comment 'a comment segment before the frame' progressive.jpg");
  convert("base.ppm -colors 64 one.gif");
  convert("base.ppm base.png");
  for (const char* file : {"base.jpg", "progressive.jpg", "base.png"})
    checkHeader(folder, file, folder.read(file).size());
  // A GIF holds its first picture whole without its trailer byte.
  checkHeader(folder, "one.gif", folder.read("one.gif").size() - 1);
  // An animation: the first picture's size, whole before the second begins.
  convert("base.ppm -flop base.ppm -loop 0 two.gif");
  checkHeader(folder, "two.gif", 0);

  const fs::path suite = externalPngFolder() / "suite";
  if (externalPngFolder().empty()) GTEST_SKIP() << "no external PNG samples in ../shared/testdata";
  for (const char* file : {"basn0g01.png", "basn2c16.png", "ibasn3p08.png", "basn6a08.png"}) {
    fs::copy_file(suite / file, folder.path() / file);
    checkHeader(folder, file, folder.read(file).size());
  }
}

TEST(PictureHeader, TiffWebPAndPnmHeadersGiveImageMagicksSizeAndACutFileIsNeverWhole) {
  ScratchFolder folder;
  const auto convert = converterIn(folder);
  // TIFF little- and big-endian, in strips and tiles; WebP lossy, lossless, with alpha
  // and animated; PNM binary of each kind.
  for (const char* make : {"base.ppm little.tiff", "base.ppm -define tiff:endian=msb big.tiff",
                           "base.ppm -define tiff:tile-geometry=16x16 tiled.tiff", "base.ppm -quality 80 lossy.webp",
                           "base.ppm -define webp:lossless=true lossless.webp",
                           "base.ppm -alpha set -channel A -evaluate set 50% +channel alpha.webp",
                           "base.ppm '(' base.ppm -flop ')' -loop 0 animated.webp", "base.ppm base.pam",
                           "base.ppm -colorspace gray base.pgm", "base.ppm -monochrome base.pbm"})
    convert(make);
  for (const char* file : {"little.tiff", "big.tiff", "tiled.tiff", "lossy.webp", "lossless.webp", "alpha.webp",
                           "base.ppm", "base.pam", "base.pgm", "base.pbm"})
    checkHeader(folder, file, folder.read(file).size());
  // The animation is followed by a still picture of its own: it is whole where its RIFF
  // header says it ends.
  const std::string animation = folder.read("animated.webp");
  checkHeader(folder, "animated.webp", 8 + std::size_t{littleEndian32(bytesOf(animation) + 4)});
  // PNM as text: its size is read; its pixels the decoder counts.
  convert("base.ppm -compress none text.ppm");
  checkHeader(folder, "text.ppm", 0);
}

TEST(PictureHeader, AHeicOrAvifFileCutAnywhereIsNeverWhole) {
  ScratchFolder folder;
  for (const char* file : {"base.heic", "base.avif"}) {
    SCOPED_TRACE(file);
    const ProgramRun run =
        runProgram("convert", folder.path(), "", "", std::string("-seed 3 -size 37x23 plasma:fractal ") + file);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = folder.read(file);
    const PictureFormat format = pictureFormatOf(bytesOf(bytes), bytes.size());
    EXPECT_TRUE(boxesWhole(format, bytesOf(bytes), bytes.size()));
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
      const std::string start = bytes.substr(0, cut);
      const Result<void> whole = boxesWhole(format, bytesOf(start), start.size());
      ASSERT_FALSE(whole) << "cut at " << cut << " of " << bytes.size();
      ASSERT_EQ(static_cast<int>(whole.failure().kind), static_cast<int>(FailureKind::CutShort));
    }
  }
}

TEST(PictureShrinking, APictureShrinksToTheLargestSizeOfItsProportionsWithinTheParticles) {
  struct Case {
    PictureSize size;
    std::uint64_t most;
    PictureSize shrunk;
  };
  // Each side scaled by the square root of the share and rounded down; a side of one
  // pixel keeps all the other may have; a picture that fits is itself.
  for (const Case c :
       {Case{{320, 240}, 20000, {163, 122}}, Case{{1000, 750}, 250000, {577, 433}},
        Case{{4000, 3000}, 1000000, {1154, 866}}, Case{{1, 2000}, 100, {1, 100}}, Case{{2000, 3}, 100, {100, 1}},
        Case{{10, 10}, 1, {1, 1}}, Case{{141, 141}, 20000, {141, 141}}}) {
    const PictureSize shrunk = sizeWithin(c.size, c.most);
    EXPECT_TRUE(shrunk == c.shrunk) << c.size.width << " x " << c.size.height << " within " << c.most << ": "
                                    << shrunk.width << " x " << shrunk.height;
  }
  // Whatever the proportions, never more than asked for, never a side of none, and one
  // more pixel on either side would not fit the proportions' share.
  for (std::uint32_t width = 1; width < 400; width += 7)
    for (std::uint32_t height = 1; height < 400; height += 11)
      for (const std::uint64_t most : {1u, 2u, 17u, 1000u, 9999u}) {
        const PictureSize shrunk = sizeWithin({width, height}, most);
        ASSERT_LE(shrunk.pixels(), most) << width << " x " << height << " in " << most;
        ASSERT_GE(shrunk.width, 1u);
        ASSERT_GE(shrunk.height, 1u);
        ASSERT_LE(shrunk.width, width);
        ASSERT_LE(shrunk.height, height);
      }
}

}  // namespace
}  // namespace zorvel::test
