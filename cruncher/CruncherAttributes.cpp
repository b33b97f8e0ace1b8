#include "cruncher/CruncherAttributes.h"

#include <cmath>
#include <ostream>

#include "common/ConsoleText.h"
#include "common/ValueClamp.h"

namespace zorvel {

namespace {

// Truncates toward zero; a result of zero is always +0 so that it lists as "0".
float wholeNumber(float value) { return std::trunc(value) + 0.0f; }

}  // namespace

void CruncherAttributes::setScatterVolumeScalar(Vector3 value, std::ostream& out) {
  const auto axis = [&out](float v, const char* what) {
    return clampWithMessage(wholeNumber(v), kScatterScalarRange, what, out);
  };
  value.x = axis(value.x, "Scatter volume scalar X");
  value.y = axis(value.y, "Scatter volume scalar Y");
  value.z = axis(value.z, "Scatter volume scalar Z");
  scatterVolumeScalar = value;
}

void CruncherAttributes::setOpacityConstant(float value, std::ostream& out) {
  pOpacityConstant = wholeNumber(clampWithMessage(wholeNumber(value), kOpacityRange, "Pixel opacity constant", out));
}

void CruncherAttributes::setVelocityConstant(double value, std::ostream& out) {
  pVelocityConstant = clampWithMessage(value, kVelocityRange, "Pixel velocity scalar constant", out);
}

void CruncherAttributes::setVelocityMin(double value, std::ostream& out) {
  pVelocityMinConstant = clampWithMessage(value, kVelocityRange, "Pixel velocity scalar constant MIN", out);
}

void CruncherAttributes::setVelocityMax(double value, std::ostream& out) {
  storeMaxOverMin(clampWithMessage(value, kVelocityRange, "Pixel velocity scalar constant MAX", out),
                  pVelocityMinConstant, pVelocityMaxConstant, "Pixel velocity scalar constant", out);
}

void CruncherAttributes::setHeightMaxConstant(float value, std::ostream& out) {
  pHeightMaxConstant =
      wholeNumber(clampWithMessage(wholeNumber(value), kHeightMaxRange, "Height offset constant MAX", out));
}

void CruncherAttributes::setScaleConstant(float value, std::ostream& out) {
  pScaleConstant = clampWithMessage(value, kScaleConstantRange, "Pixel scalar constant", out);
}

void CruncherAttributes::printListing(std::ostream& out) const {
  const auto line = [&out](const char* label, const auto& value) { out << label << value << std::endl; };
  const auto emptyLine = [&out] { out << std::endl; };
  line("pColorMap:\t\t", nameOrUndefined(pColorMap));
  emptyLine();
  line("Scatter volume scalar:\t", scatterVolumeScalar);
  emptyLine();
  line("pOpacityMap:\t\t", nameOrUndefined(pOpacityMap));
  if (!pOpacityMap.empty()) line("pOpacityConstant:\t", pOpacityConstant);
  emptyLine();
  line("pVelocityMap:\t\t", nameOrUndefined(pVelocityMap));
  if (pVelocityMap.empty()) {
    line("pVelocityConstant:\t", pVelocityConstant);
  } else {
    line("pVelocityMinConstant:\t", pVelocityMinConstant);
    line("pVelocityMaxConstant:\t", pVelocityMaxConstant);
  }
  emptyLine();
  line("pHeightMap:\t\t", nameOrUndefined(pHeightMap));
  if (!pHeightMap.empty()) line("pHeightMaxConstant:\t", pHeightMaxConstant);
  emptyLine();
  line("pScaleMap:\t\t", nameOrUndefined(pScaleMap));
  if (!pScaleMap.empty()) line("pScaleConstant:\t\t", pScaleConstant);
}

}  // namespace zorvel
