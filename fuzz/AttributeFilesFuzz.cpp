// Feeds arbitrary text to the viewer's colour, opacity and scale readers, as files, with
// the pixel count the text itself claims (up to a bound) and one off it: they must
// read or refuse, and never read or write outside their arrays.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/TextScanner.h"
#include "fuzz/FuzzFiles.h"
#include "viewer/AttributeLoading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = zorvel::fuzz::writeFile("a.pAttribute", data, size);
  std::uint32_t claimed = 0;
  zorvel::TextScanner(std::string_view(reinterpret_cast<const char*>(data), size)).integer(claimed);
  for (const std::uint32_t pixels :
       {std::min<std::uint32_t>(claimed, 4096), std::min<std::uint32_t>(claimed, 4096) + 1}) {
    if (const auto colours = zorvel::readColourFile(path, pixels))
      if (colours->red.size() != pixels || colours->alpha.size() != pixels) std::abort();
    if (const auto opacity = zorvel::readOpacityFile(path, pixels))
      if (opacity->size() != pixels) std::abort();
    if (const auto scale = zorvel::readScaleFile(path, pixels, 0.5, 2.0))
      if (scale->size() != pixels) std::abort();
  }
  return 0;
}
