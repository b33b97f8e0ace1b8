#include "blender/KeyframeImage.h"

#include "common/PictureGrid.h"

namespace zorvel {

void layOutPixels(KeyframeImage& image) {
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  std::size_t k = 0;
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width && k < image.records.size(); ++c, ++k)
      image.records[k].position = gridPosition(c, r, image.width, image.height);
}

}  // namespace zorvel
