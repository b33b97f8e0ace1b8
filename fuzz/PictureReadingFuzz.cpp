// Feeds arbitrary bytes to the recorder's picture reading, as a picture file of any
// format (each decoder reached by its mark, a TGA by none), with little memory: it must
// refuse or read, never touch memory outside its buffers, and a picture read must hold
// every pixel its size says, upright and shrinkable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzFiles.h"
#include "picture/PictureReading.h"
#include "picture/PictureShrinking.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = zorvel::fuzz::writeFile("picture", data, size);
  zorvel::Result<zorvel::TgaImage> picture = zorvel::readPicture(path, 64u << 20);
  if (!picture) {
    if (picture.failure().reason.empty()) std::abort();
    return 0;
  }
  const zorvel::TgaInfo& info = picture->info;
  if (picture->pixels.size() != info.pixelCount() * (info.bitsPerPixel / 8)) std::abort();
  const zorvel::PictureSize grid = zorvel::sizeWithin(zorvel::sizeOf(picture.value()), 7);
  const zorvel::Result<zorvel::TgaImage> shrunk = zorvel::shrinkPicture(std::move(picture.value()), grid);
  if (!shrunk || shrunk->pixels.size() != grid.pixels() * 4) std::abort();
  return 0;
}
