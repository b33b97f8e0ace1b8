// Feeds arbitrary bytes to the TGA decoder: it must fail cleanly or decode, never touch
// memory outside its buffers, and leave a consistent image either way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "TgaImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvel::TgaImage image;
  if (image.decode(data, size)) {
    const std::size_t expected = std::size_t{image.width()} * image.height() * (image.bitsPerPixel() / 8);
    if (image.pixelBytes() != expected) std::abort();
  } else if (image.pixels() != nullptr || image.width() != 0 || image.loaded()) {
    std::abort();
  }
  return 0;
}
