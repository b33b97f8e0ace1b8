// Feeds arbitrary text to the camera key file's reader: it reads the keys or says why
// not, never past the text; and the camera path through keys it read stays, between two
// keys, within the values of the two.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "recorder/command/CameraKeyFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const zorvel::Result<std::vector<zorvel::CameraKey>> keys = zorvel::parseCameraKeys(text);
  if (!keys) {
    if (keys.failure().reason.empty()) std::abort();
    return 0;
  }
  const zorvel::CameraPath path = zorvel::CameraPath::keyed(keys.value());
  const std::vector<zorvel::CameraKey>& k = keys.value();
  for (std::size_t i = 0; i + 1 < k.size() && i < 8; ++i) {
    const std::int64_t middle = (std::int64_t{k[i].frame} + k[i + 1].frame) / 2;
    const float zoom = path.at(middle).zoom;
    if (zoom < std::min(k[i].values.zoom, k[i + 1].values.zoom) ||
        zoom > std::max(k[i].values.zoom, k[i + 1].values.zoom))
      std::abort();
  }
  return 0;
}
