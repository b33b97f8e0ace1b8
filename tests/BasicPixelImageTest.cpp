// The copy of a decoded TGA picture into pixel records.

#include <gtest/gtest.h>

#include "common/BasicPixelImage.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

struct ColourRecord {
  ColorRGBA colour;
};
using RecordImage = BasicPixelImage<ColourRecord>;

// A picture decoded from file bytes that must decode.
TgaImage decoded(const std::vector<std::uint8_t>& file) {
  Result<TgaImage> image = decodeTga(file.data(), file.size());
  EXPECT_TRUE(image);
  return image ? std::move(image.value()) : TgaImage{};
}

TEST(PixelImageFill, TrueColourGivesRgbWithOpaqueAlphaAndDropsTheFileAlpha) {
  TgaHeader header;
  header.bitsPerPixel = 32;
  header.descriptor = 8;
  header.width = 2;
  RecordImage image;
  image.fillFromTga(decoded(tgaFile(header, {1, 2, 3, 4, 5, 6, 7, 8})));
  ASSERT_EQ(image.records.size(), 2u);
  EXPECT_EQ(image.records[0].colour, (ColorRGBA{3, 2, 1, 255}));
  EXPECT_EQ(image.records[1].colour, (ColorRGBA{7, 6, 5, 255}));
  EXPECT_EQ(image.width, 2.0f);
  EXPECT_EQ(image.height, 1.0f);
  EXPECT_EQ(image.depth, 1.0f);
  EXPECT_EQ(image.bitsPerPixel, 32u);
}

TEST(PixelImageFill, EightBitPixelsAreGreyForGreyAndTrueColourTypes) {
  for (std::uint8_t type : {2, 3}) {
    TgaHeader header;
    header.imageType = type;
    header.bitsPerPixel = 8;
    header.width = 2;
    RecordImage image;
    image.fillFromTga(decoded(tgaFile(header, {10, 200})));
    EXPECT_EQ(image.records[0].colour, (ColorRGBA{10, 10, 10, 255}));
    EXPECT_EQ(image.records[1].colour, (ColorRGBA{200, 200, 200, 255}));
  }
}

TEST(PixelImageFill, SixteenBitImagesKeepTheDefaultColour) {
  TgaHeader header;
  header.bitsPerPixel = 16;
  header.width = 2;
  RecordImage image;
  image.fillFromTga(decoded(tgaFile(header, {0xFF, 0x7F, 0x1F, 0x00})));
  ASSERT_EQ(image.records.size(), 2u);
  for (const ColourRecord& r : image.records) EXPECT_EQ(r.colour, (ColorRGBA{0, 0, 0, 255}));
}

}  // namespace
}  // namespace zorvel::test
