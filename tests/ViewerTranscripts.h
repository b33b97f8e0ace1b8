#pragma once

// The viewer's console texts, as building blocks for expected transcripts.

#include <string>

#include "tests/ConsoleTranscripts.h"

namespace zorvel::test {

// The viewer shows the cruncher's banner.
inline const std::string kViewerBanner = "RTG: Creating RTG-object instance...done\n" + banner("Zorvel-cruncher");

// The viewer prints nothing after a choice: the next screen follows the prompt directly.
inline const std::string kViewerMenu =
    "A. Define pPath-file\n"
    "B. Define custom object file. (RTG-file)\n"
    "C. Define pColor-file\n"
    "D. Define pOpacity-file\n"
    "E. Define pScale-file\n"
    "F. View attribute files\n"
    "G. View animation\n"
    "X. Exit Zorvel-viewer\n"
    "\n"
    "Menu item:";
inline const std::string kViewerFarewell =
    "\nThank you for using Zorvel-viewer. Please come again.\nPress <ENTER> to exit.\n";

inline std::string stageLines(const std::string& first, const std::string& second) {
  return first + "\n" + second + "\n\n";
}
inline const std::string kColourUndefined = stageLines("pColor-file: Undefined", "Pixel color defaulted to white.");
inline const std::string kOpacityUndefined = stageLines("pOpacity-file: Undefined", "Pixel opacity defaulted to 255.");
inline const std::string kScaleUndefined = stageLines("pScale-file: Undefined", "Pixel scale defaulted to 1.0");
inline const std::string kAllUndefined = kColourUndefined + kOpacityUndefined + kScaleUndefined;

inline std::string caching(int pixels, int frames) {
  std::string text =
      "Number of pixels: " + std::to_string(pixels) + "\nNumber of frames: " + std::to_string(frames) + "\n";
  for (int i = 0; i < frames; ++i) text += "Caching frame " + std::to_string(i) + "...done\n";
  return text;
}

}  // namespace zorvel::test
