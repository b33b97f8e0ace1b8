// Feeds arbitrary bytes to the TGA decoder and its inspection: they must fail cleanly or
// decode, never touch memory outside their buffers, and agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/TgaImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zorvel::Result<zorvel::TgaImage> image = zorvel::decodeTga(data, size);
  const zorvel::Result<zorvel::TgaInfo> info = zorvel::inspectTga(data, size);
  if (static_cast<bool>(image) != static_cast<bool>(info)) std::abort();
  if (image) {
    const zorvel::TgaInfo& decoded = image->info;
    const std::size_t expected = std::size_t{decoded.width} * decoded.height * (decoded.bitsPerPixel / 8);
    if (image->pixels.size() != expected || info->width != decoded.width || info->height != decoded.height)
      std::abort();
  }
  return 0;
}
