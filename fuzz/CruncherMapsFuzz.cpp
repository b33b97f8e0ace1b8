// Feeds arbitrary bytes to the cruncher's map handling and read-back: the bytes as a
// map picture (inspected from its header, decoded only within the pixel limit, its
// attribute file written) and as an attribute file read back. Nothing may read or
// write outside its buffers, and inspection and decoding must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cruncher/AttributeFiles.h"
#include "fuzz/FuzzFiles.h"
#include "cruncher/PixelImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = zorvel::fuzz::writeFile("map.tga", data, size);
  const zorvel::Result<zorvel::TgaInfo> header = zorvel::inspectTgaFile(path);
  zorvel::PixelImage map;
  map.name = path;
  const bool loaded = map.load(20000);
  if (loaded != (header && header->pixelCount() <= 20000)) std::abort();
  if (loaded) {
    if (map.records.size() != header->pixelCount()) std::abort();
    zorvel::writePixelFile(map, ".pOpacity");
  }
  const zorvel::Result<std::vector<float>> values = zorvel::readAttributeValues(path);
  if (!values) std::abort();  // the file is there: it opens
  return 0;
}
