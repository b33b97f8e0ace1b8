#include "common/ImageSummary.h"

#include <ostream>

#include "common/ConsoleText.h"

namespace zorvel {

void printImageSummary(std::ostream& out, const std::string& name, float width, float height,
                       std::uint32_t bitsPerPixel) {
  printLine(out, kRuleLine);
  out << "Image:\t\t\t" << name << '\n' << std::flush;
  out << "Image size:\t\t" << width << " x " << height << '\n' << std::flush;
  out << "# of pixels:\t\t" << static_cast<long long>(static_cast<int>(height)) * static_cast<int>(width) << '\n'
      << std::flush;
  out << "Pixel depth:\t\t" << bitsPerPixel << '\n' << std::flush;
  out << "# of channels:\t\t" << bitsPerPixel / 8 << '\n' << std::flush;
  printLine(out, kRuleLine);
}

}  // namespace zorvel
