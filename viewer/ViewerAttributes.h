#pragma once

#include <iosfwd>
#include <string>

#include "common/ConsoleMenu.h"
#include "common/ValueClamp.h"

namespace zorvel {

// The range of the pixel scale's MIN and MAX.
constexpr ValueRange kPixelScaleRange{0.01, 20};

// The viewer's file names and scale range, filled in through its menu.
struct ViewerAttributes {
  char menuChoice = ' ';
  std::string rtgFile;
  std::string pPathFile;
  std::string pColorFile;
  std::string pScaleFile;
  std::string pOpacityFile;
  double pScaleMin = 1.0;  // always set by the menu item that names a scale file
  double pScaleMax = 1.0;

  // Held to kPixelScaleRange, stored as MIN; one line on `out` per correction.
  void setScaleMin(double value, std::ostream& out);
  // Held to kPixelScaleRange; a MAX below the stored MIN swaps the two.
  void setScaleMax(double value, std::ostream& out);
  // The labelled file names of the listing (between its two rule lines).
  void printListing(std::ostream& out) const;
};

// The viewer's main menu on `attributes`, which must outlive it.
MenuSystem viewerMenus(ViewerAttributes& attributes);

}  // namespace zorvel
