// Feeds arbitrary bytes to the TGA decoder and its inspection: they must fail cleanly or
// decode, never touch memory outside their buffers, and agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/TgaImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvel::TgaImage image;
  const bool decoded = image.decode(data, size);
  const zorvel::Result<zorvel::TgaInfo> info = zorvel::inspectTga(data, size);
  if (decoded != static_cast<bool>(info)) std::abort();
  if (decoded) {
    const std::size_t expected = std::size_t{image.width()} * image.height() * (image.bitsPerPixel() / 8);
    if (image.pixelBytes() != expected || info->width != image.width() || info->height != image.height()) std::abort();
  } else if (image.pixels() != nullptr || image.width() != 0 || image.loaded()) {
    std::abort();
  }
  return 0;
}
