#pragma once

#include <iosfwd>
#include <string>

#include "common/Vector3.h"

namespace zorvel {

// The cruncher's settings, filled in through its menus and read by the run.
// Each setter brings its value into range, prints one line per correction on `out`
// and stores the result.
struct CruncherAttributes {
  char menuChoice = ' ';
  Vector3 scatterVolumeScalar{2.0f, 2.0f, 2.0f};
  float pOpacityConstant = 255.0f;
  double pVelocityConstant = 1.0;
  double pVelocityMinConstant = 1.0;
  double pVelocityMaxConstant = 1.0;
  float pHeightMaxConstant = 0.0f;
  float pScaleConstant = 1.0f;
  std::string pColorMap;
  std::string pOpacityMap;
  std::string pVelocityMap;
  std::string pHeightMap;
  std::string pScaleMap;

  // Each component truncated to a whole number, then held to 2..20.
  void setScatterVolumeScalar(Vector3 value, std::ostream& out);
  // Truncated to a whole number, then held to 1..255.
  void setOpacityConstant(float value, std::ostream& out);
  // Held to 0.01..20.
  void setVelocityConstant(double value, std::ostream& out);
  // Held to 0.01..20, stored as MIN.
  void setVelocityMin(double value, std::ostream& out);
  // Held to 0.01..20; a MAX below the stored MIN swaps the two.
  void setVelocityMax(double value, std::ostream& out);
  // Truncated to a whole number, then held to 0..50.
  void setHeightMaxConstant(float value, std::ostream& out);
  // Held to 0..20.
  void setScaleConstant(float value, std::ostream& out);

  // The labelled entries of the attribute listing (between its two rule lines).
  void printListing(std::ostream& out) const;
};

}  // namespace zorvel
