// The TGA reader, on files written here byte by byte and by an external writer.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/BasicPixelImage.h"
#include "common/TgaImage.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

struct ColourRecord {
  ColorRGBA colour;
};
using RecordImage = BasicPixelImage<ColourRecord>;

// The pixels of a decoded picture; none for a failure.
std::vector<std::uint8_t> bufferOf(const Result<TgaImage>& image) {
  return image ? image->pixels : std::vector<std::uint8_t>();
}

Result<TgaImage> decoded(const std::vector<std::uint8_t>& file) { return decodeTga(file.data(), file.size()); }

// Pixels 0..count-1 of `bpp` bytes each, with repeats so that run packets appear, and
// a last pixel that stands alone.
std::vector<std::uint8_t> samplePixels(std::size_t count, std::size_t bpp) {
  std::vector<std::uint8_t> p;
  for (std::size_t k = 0; k < count; ++k)
    for (std::size_t b = 0; b < bpp; ++b)
      p.push_back(static_cast<std::uint8_t>((k / 3) * 17 + b * 5 + (k == count - 1 ? 99 : 0)));
  return p;
}

struct TypeCase {
  std::uint8_t rawType;
  std::uint8_t bitsPerPixel;
  std::uint8_t descriptor;
  TgaImageKind kind;
  bool swapped;
};

void PrintTo(const TypeCase& c, std::ostream* out) {
  *out << "type " << int{c.rawType} << ", " << int{c.bitsPerPixel} << " bits";
}

class EveryAcceptedTypeAndDepth : public ::testing::TestWithParam<TypeCase> {};

TEST_P(EveryAcceptedTypeAndDepth, RawAndRunLengthTwinsDecodeToTheSameBuffer) {
  const TypeCase c = GetParam();
  const std::size_t bpp = c.bitsPerPixel / 8;
  const std::vector<std::uint8_t> pixels = samplePixels(std::size_t{7} * 5, bpp);  // rows of 7: runs cross row ends
  TgaHeader header;
  header.width = 7;
  header.height = 5;
  header.bitsPerPixel = c.bitsPerPixel;
  header.descriptor = c.descriptor;
  header.imageType = c.rawType;
  const Result<TgaImage> raw = decoded(tgaFile(header, pixels));
  header.imageType = static_cast<std::uint8_t>(c.rawType + 8);
  const Result<TgaImage> rle = decoded(tgaFile(header, runLengthEncode(pixels, bpp)));

  ASSERT_TRUE(raw);
  ASSERT_TRUE(rle);
  EXPECT_EQ(bufferOf(raw), bufferOf(rle));
  EXPECT_EQ(raw->info.kind, c.kind);
  EXPECT_EQ(rle->info.kind, c.kind);
  EXPECT_EQ(raw->info.width, 7u);
  EXPECT_EQ(raw->info.height, 5u);
  EXPECT_EQ(raw->info.bitsPerPixel, c.bitsPerPixel);

  std::vector<std::uint8_t> expected = pixels;
  if (c.swapped)
    for (std::size_t i = 0; i < expected.size(); i += bpp) std::swap(expected[i], expected[i + 2]);
  EXPECT_EQ(bufferOf(raw), expected);
}

INSTANTIATE_TEST_SUITE_P(
    TgaReader, EveryAcceptedTypeAndDepth,
    ::testing::Values(TypeCase{3, 8, 0, TgaImageKind::Grey, false}, TypeCase{2, 8, 0, TgaImageKind::Rgb, false},
                      TypeCase{2, 16, 0, TgaImageKind::Rgb, false}, TypeCase{3, 16, 8, TgaImageKind::Grey, false},
                      TypeCase{2, 24, 0, TgaImageKind::Rgb, true}, TypeCase{3, 24, 0, TgaImageKind::Grey, false},
                      TypeCase{2, 32, 8, TgaImageKind::Rgba, true}, TypeCase{2, 32, 0, TgaImageKind::Rgba, true},
                      TypeCase{3, 32, 8, TgaImageKind::Grey, false}),
    [](const ::testing::TestParamInfo<TypeCase>& info) {
      return "Type" + std::to_string(info.param.rawType) + "Bits" + std::to_string(info.param.bitsPerPixel) + "Alpha" +
             std::to_string(info.param.descriptor & 0x0F);
    });

TEST(TgaReader, AOneByOneEncodedImageDecodesItsPixel) {
  TgaHeader header;
  header.imageType = 10;
  const Result<TgaImage> image = decoded(tgaFile(header, {0x80, 1, 2, 3}));
  ASSERT_TRUE(image);
  EXPECT_EQ(bufferOf(image), (std::vector<std::uint8_t>{3, 2, 1}));
}

TEST(TgaReader, ATopLeftOriginKeepsRowsInFileOrder) {
  TgaHeader header;
  header.imageType = 3;
  header.bitsPerPixel = 8;
  header.width = 2;
  header.height = 2;
  header.descriptor = 0x20;
  const Result<TgaImage> image = decoded(tgaFile(header, {1, 2, 3, 4}));
  EXPECT_EQ(bufferOf(image), (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(TgaReader, TheImageIdFieldIsSkipped) {
  TgaHeader header;
  header.imageType = 3;
  header.bitsPerPixel = 8;
  header.width = 2;
  header.id = "an image id";
  const Result<TgaImage> image = decoded(tgaFile(header, {9, 8}));
  ASSERT_TRUE(image);
  EXPECT_EQ(bufferOf(image), (std::vector<std::uint8_t>{9, 8}));
}

TEST(TgaReader, AZeroSizeLoadsAsAnEmptyImage) {
  TgaHeader header;
  header.width = 0;
  header.height = 5;
  const Result<TgaImage> image = decoded(tgaFile(header, {}));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->info.width, 0u);
  EXPECT_EQ(image->info.height, 0u);
  EXPECT_TRUE(image->pixels.empty());
}

TEST(TgaReader, SurplusPixelsOfRunLengthPacketsAreDroppedNotWritten) {
  TgaHeader header;
  header.imageType = 11;
  header.bitsPerPixel = 8;
  header.width = 3;
  // A run of 128 pixels for a 3-pixel image; then a raw packet of 5 into a 2-pixel rest.
  EXPECT_EQ(bufferOf(decoded(tgaFile(header, {0xFF, 7}))), (std::vector<std::uint8_t>{7, 7, 7}));
  header.height = 2;
  const Result<TgaImage> image = decoded(tgaFile(header, {0x83, 1, 0x04, 2, 3, 4, 5, 6}));
  EXPECT_EQ(bufferOf(image), (std::vector<std::uint8_t>{1, 1, 1, 1, 2, 3}));
}

TEST(TgaReader, OpeningReadsTheHeaderAndDecodingHoldsThePictureToTheCallersLimit) {
  ScratchFolder folder;
  folder.write("four.tga", colourTga(2, 2));
  Result<TgaFile> file = TgaFile::open(folder.file("four.tga"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->info().pixelCount(), 4u);
  const Result<TgaImage> refused = file->decode(3);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.failure().kind, FailureKind::TooLarge);
  EXPECT_EQ(refused.failure().reason, "has 4 pixels, more than the 3 taken");
  const Result<TgaImage> image = readTgaFile(folder.file("four.tga"), 4);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels.size(), 12u);
}

// ---- Failures.

class TgaRejection : public ::testing::Test {
 protected:
  static void expectRejected(const std::vector<std::uint8_t>& file) { EXPECT_FALSE(decoded(file)); }
};

TEST_F(TgaRejection, AColourMappedFileFailsWhateverItsImageType) {
  for (std::uint8_t type : {1, 2, 3, 9, 10, 11}) {
    TgaHeader header;
    header.colourMapType = 1;
    header.imageType = type;
    expectRejected(tgaFile(header, {1, 2, 3}));
  }
}

TEST_F(TgaRejection, OtherImageTypesFail) {
  for (std::uint8_t type : {0, 1, 9, 32, 33}) {
    TgaHeader header;
    header.imageType = type;
    expectRejected(tgaFile(header, {1, 2, 3}));
  }
}

TEST_F(TgaRejection, OtherPixelDepthsFail) {
  for (std::uint8_t bits : {0, 1, 15, 23, 64}) {
    TgaHeader header;
    header.bitsPerPixel = bits;
    expectRejected(tgaFile(header, std::vector<std::uint8_t>(16, 1)));
  }
}

TEST_F(TgaRejection, AlphaBitsOtherThanZeroOrEightFail) {
  for (std::uint8_t descriptor : {0x01, 0x04, 0x27, 0x0F}) {
    TgaHeader header;
    header.bitsPerPixel = 32;
    header.descriptor = descriptor;
    expectRejected(tgaFile(header, {1, 2, 3, 4}));
  }
}

TEST_F(TgaRejection, FilesShorterThanTheirHeaderIdOrPixelsFail) {
  const std::vector<std::uint8_t> whole = colourTga(3, 2);
  for (std::size_t keep : {std::size_t{0}, std::size_t{2}, std::size_t{17}, std::size_t{18}, whole.size() - 1})
    expectRejected(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(keep)));
  TgaHeader header;
  header.id = "a long image id";
  std::vector<std::uint8_t> shortId = tgaFile(header, {});
  shortId.resize(25);
  expectRejected(shortId);
}

TEST_F(TgaRejection, TruncatedRunLengthDataFails) {
  TgaHeader header;
  header.imageType = 10;
  header.width = 4;
  expectRejected(tgaFile(header, {0x81, 1, 2, 3, 0x81, 4}));  // second run pixel cut short
  expectRejected(tgaFile(header, {0x81, 1, 2, 3}));           // packets end early
}

TEST_F(TgaRejection, AHugeDeclaredSizeOnATinyFileFailsAtOnce) {
  TgaHeader header;
  header.width = 65535;
  header.height = 65535;
  header.bitsPerPixel = 32;
  header.descriptor = 8;
  expectRejected(tgaFile(header, std::vector<std::uint8_t>(100, 0)));
  header.imageType = 10;
  expectRejected(tgaFile(header, std::vector<std::uint8_t>(1000, 0xFF)));
}

TEST_F(TgaRejection, EachFileFailureSaysWhyAndADataCutShortSaysSoBeforeItsSize) {
  ScratchFolder folder;
  std::vector<std::uint8_t> truncated = colourTga(2, 2);
  truncated.pop_back();
  folder.write("truncated.tga", truncated);
  TgaHeader header;
  header.imageType = 11;
  header.bitsPerPixel = 8;
  header.width = 300;
  // Room for three packets, which is the least 300 pixels need; the first claims 128 raw
  // pixels and holds five.
  folder.write("short-runs.tga", tgaFile(header, {0x7F, 1, 2, 3, 4, 5}));
  struct Case {
    const char* file;
    FailureKind kind;
    const char* reason;
  };
  for (const Case c : {Case{"missing.tga", FailureKind::CannotOpen, "no such file"},
                       Case{"truncated.tga", FailureKind::CutShort, "cut short: its pixel data ends early"},
                       Case{"short-runs.tga", FailureKind::CutShort, "cut short: its pixel data ends early"}}) {
    SCOPED_TRACE(c.file);
    const Result<TgaImage> image = readTgaFile(folder.file(c.file), 10);
    ASSERT_FALSE(image);
    EXPECT_EQ(image.failure().kind, c.kind);
    EXPECT_EQ(image.failure().reason, c.reason);
  }
  // The run-length file opens (its header and size are sound) and fails as it decodes.
  EXPECT_TRUE(TgaFile::open(folder.file("short-runs.tga")));
}

// ---- Files written by ImageMagick.

TEST(TgaFromAnExternalWriter, ImageMagickFilesLoadPixelForPixel) {
  const char* convert = "/usr/bin/convert";
  if (!fs::exists(convert)) GTEST_SKIP() << "ImageMagick is not installed";
  ScratchFolder folder;
  const int w = 23, h = 9;
  std::string ppm = "P3\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  std::vector<ColorRGBA> colours;
  for (int k = 0; k < w * h; ++k) {
    // Long runs and single pixels both, so that run-length encoding has work to do.
    const ColorRGBA c{static_cast<std::uint8_t>(k < 40 ? 200 : k * 11), static_cast<std::uint8_t>(k % 3 * 60),
                      static_cast<std::uint8_t>(255 - k), 255};
    colours.push_back(c);
    ppm += std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue) + "\n";
  }
  folder.write("in.ppm", ppm);
  struct Variant {
    const char* options;
    bool grey;
  };
  for (const Variant v :
       {Variant{"-compress None", false}, Variant{"-compress RLE", false},
        Variant{"-colorspace Gray -type Grayscale -compress None", true},
        Variant{"-colorspace Gray -type Grayscale -compress RLE", true}, Variant{"-alpha on -compress RLE", false}}) {
    SCOPED_TRACE(v.options);
    const std::string command =
        std::string(convert) + " '" + folder.file("in.ppm") + "' " + v.options + " '" + folder.file("out.tga") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Result<TgaImage> tga = readTgaFile(folder.file("out.tga"));
    ASSERT_TRUE(tga);
    RecordImage image;
    image.fillFromTga(tga.value());
    ASSERT_EQ(image.records.size(), colours.size());
    // ImageMagick stores the rows in the order it holds them, top row first, whatever
    // its origin bits say; the reader keeps file order.
    for (int r = 0; r < h; ++r) {
      for (int c = 0; c < w; ++c) {
        const std::size_t k = static_cast<std::size_t>(r) * static_cast<std::size_t>(w) + static_cast<std::size_t>(c);
        const ColorRGBA want = colours[k];
        const ColorRGBA got = image.records[k].colour;
        if (v.grey) {
          EXPECT_EQ(got.red, got.green);
          EXPECT_EQ(got.red, got.blue);
        } else {
          EXPECT_EQ(got, want) << "row " << r << " column " << c;
        }
      }
    }
  }
}

}  // namespace
}  // namespace zorvel::test
