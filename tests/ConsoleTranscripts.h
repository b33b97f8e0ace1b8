#pragma once

// The console texts every program shares, as building blocks for expected transcripts:
// the banner, the confirmations, the undefined-item notice and the picture summary.

#include <string>

namespace zorvel::test {

inline std::string banner(const std::string& program) {
  return program +
         " v1.0 beta1 provided by Tavrin\n"
         "Please direct your fanmail to \"tavrin@zorvel.example\"\n"
         "\n";
}

inline const std::string kConfirm = "Are you sure? (Y / N)\n\nMenu item:";
inline const std::string kQuit = "Sure you want to quit? (Y / N)\n\nMenu item:";
inline const std::string kNotDefined = "\nMenu-item not defined.\n\n";
inline const std::string kRule = "----------------------------------------\n";

// A screen followed by the line end the cruncher prints after a choice.
inline std::string chosen(const std::string& screen) { return screen + "\n"; }

inline std::string imageSummary(const std::string& name, int width, int height, int bits) {
  return kRule + "Image:\t\t\t" + name + "\n" + "Image size:\t\t" + std::to_string(width) + " x " +
         std::to_string(height) + "\n" + "# of pixels:\t\t" + std::to_string(width * height) + "\n" +
         "Pixel depth:\t\t" + std::to_string(bits) + "\n" + "# of channels:\t\t" + std::to_string(bits / 8) + "\n" +
         kRule;
}

}  // namespace zorvel::test
