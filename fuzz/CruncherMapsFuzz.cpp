// Feeds arbitrary bytes to the cruncher's map handling and read-back: the bytes as a
// map picture (opened once, decoded only within the pixel limit, its attribute file
// written) and as an attribute file read back. Nothing may read or write outside its
// buffers, and inspection and decoding must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cruncher/AttributeFiles.h"
#include "cruncher/CruncherRun.h"
#include "cruncher/PixelImage.h"
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = zorvel::fuzz::writeFile("map.tga", data, size);
  const zorvel::Result<zorvel::TgaInfo> header = zorvel::inspectTgaFile(path);
  const zorvel::Result<zorvel::TgaImage> image = zorvel::readTgaFile(path, zorvel::kMaxPixels);
  if (static_cast<bool>(image) != (header && header->pixelCount() <= zorvel::kMaxPixels)) std::abort();
  if (image) {
    zorvel::PixelImage map;
    map.name = path;
    map.fillFromTga(image.value());
    if (map.records.size() != header->pixelCount()) std::abort();
    if (!zorvel::writePixelFile(map, ".pOpacity")) std::abort();  // the scratch folder takes it
  }
  const zorvel::Result<std::vector<float>> values = zorvel::readAttributeValues(path);
  if (!values) std::abort();  // the file is there: it opens
  return 0;
}
