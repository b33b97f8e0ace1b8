#pragma once

#include <iosfwd>
#include <string>

#include "common/ValueClamp.h"
#include "common/Vector3.h"

namespace zorvel {

// The ranges the settings are held to.
constexpr ValueRange kScatterScalarRange{2, 20};
constexpr ValueRange kOpacityRange{1, 255};
constexpr ValueRange kVelocityRange{0.01, 20};
constexpr ValueRange kHeightMaxRange{0, 50};
// The scale constant's low bound is 0; its line names 0.1 as the limit.
constexpr ValueRange kScaleConstantRange{0, 20, "0.1"};

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

  // Each component truncated to a whole number, then held to kScatterScalarRange.
  void setScatterVolumeScalar(Vector3 value, std::ostream& out);
  // Truncated to a whole number, then held to kOpacityRange.
  void setOpacityConstant(float value, std::ostream& out);
  // Held to kVelocityRange.
  void setVelocityConstant(double value, std::ostream& out);
  // Held to kVelocityRange, stored as MIN.
  void setVelocityMin(double value, std::ostream& out);
  // Held to kVelocityRange; a MAX below the stored MIN swaps the two.
  void setVelocityMax(double value, std::ostream& out);
  // Truncated to a whole number, then held to kHeightMaxRange.
  void setHeightMaxConstant(float value, std::ostream& out);
  // Held to kScaleConstantRange.
  void setScaleConstant(float value, std::ostream& out);

  // The labelled entries of the attribute listing (between its two rule lines).
  void printListing(std::ostream& out) const;
};

}  // namespace zorvel
