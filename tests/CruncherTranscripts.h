#pragma once

// The cruncher's console texts, as building blocks for expected transcripts.

#include <string>

#include "tests/ConsoleTranscripts.h"

namespace zorvel::test {

inline const std::string kCruncherBanner = banner("Zorvel-cruncher");

// Each menu up to its prompt; the cruncher prints a line end after the choice is read.
inline const std::string kMainMenu =
    "A. Define essential attributes\n"
    "B. Define miscellaneous attributes\n"
    "C. View attributes\n"
    "D. Do the number crunching\n"
    "X. Exit Zorvel-cruncher\n"
    "\n"
    "Menu item:";
inline const std::string kEssentialMenu =
    "A. Define color map\n"
    "B. Define pixel scatter volume scalar\n"
    "X. Show main menu\n"
    "\n"
    "Menu item:";
inline const std::string kMiscMenu =
    "A. Define opacity map\n"
    "B. Define opacity constant\n"
    "C. Define velocity scalar map\n"
    "D. Define velocity scalar constant\n"
    "E. Define pixel scalar map\n"
    "F. Define pixel scalar constant\n"
    "G. Define height displacement map\n"
    "X. Show main menu\n"
    "\n"
    "Menu item:";

inline std::string defaultListing() {
  return kRule +
         "pColorMap:\t\tUndefined\n\n"
         "Scatter volume scalar:\t<<2, 2, 2>>\n\n"
         "pOpacityMap:\t\tUndefined\n\n"
         "pVelocityMap:\t\tUndefined\n"
         "pVelocityConstant:\t1\n\n"
         "pHeightMap:\t\tUndefined\n\n"
         "pScaleMap:\t\tUndefined\n" +
         kRule + "\n";
}

}  // namespace zorvel::test
