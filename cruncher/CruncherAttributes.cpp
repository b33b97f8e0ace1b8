#include "cruncher/CruncherAttributes.h"

#include <cmath>
#include <ostream>

#include "common/ConsoleText.h"
#include "common/ValueClamp.h"

namespace zorvel {

namespace {

// Truncates toward zero; a result of zero is always +0 so that it lists as "0".
float wholeNumber(float value) { return std::trunc(value) + 0.0f; }

const ClampTexts kVelocityMinTexts{"Pixel velocity scalar constant MIN", "0.01", "20"};
const ClampTexts kVelocityMaxTexts{"Pixel velocity scalar constant MAX", "0.01", "20"};

}  // namespace

void CruncherAttributes::setScatterVolumeScalar(Vector3 value, std::ostream& out) {
  const auto axis = [&out](float v, const char* what) {
    return clampWithMessage(wholeNumber(v), 2.0f, 20.0f, {what, "2", "20"}, out);
  };
  value.x = axis(value.x, "Scatter volume scalar X");
  value.y = axis(value.y, "Scatter volume scalar Y");
  value.z = axis(value.z, "Scatter volume scalar Z");
  scatterVolumeScalar = value;
}

void CruncherAttributes::setOpacityConstant(float value, std::ostream& out) {
  pOpacityConstant =
      wholeNumber(clampWithMessage(wholeNumber(value), 1.0f, 255.0f, {"Pixel opacity constant", "1", "255"}, out));
}

void CruncherAttributes::setVelocityConstant(double value, std::ostream& out) {
  pVelocityConstant = clampWithMessage(value, 0.01, 20.0, {"Pixel velocity scalar constant", "0.01", "20"}, out);
}

void CruncherAttributes::setVelocityMin(double value, std::ostream& out) {
  pVelocityMinConstant = clampWithMessage(value, 0.01, 20.0, kVelocityMinTexts, out);
}

void CruncherAttributes::setVelocityMax(double value, std::ostream& out) {
  storeMaxOverMin(clampWithMessage(value, 0.01, 20.0, kVelocityMaxTexts, out), pVelocityMinConstant,
                  pVelocityMaxConstant, "Pixel velocity scalar constant", out);
}

void CruncherAttributes::setHeightMaxConstant(float value, std::ostream& out) {
  pHeightMaxConstant =
      wholeNumber(clampWithMessage(wholeNumber(value), 0.0f, 50.0f, {"Height offset constant MAX", "0", "50"}, out));
}

void CruncherAttributes::setScaleConstant(float value, std::ostream& out) {
  // The low bound is 0; its line names 0.1 as the limit and 0 as the value stored.
  pScaleConstant = clampWithMessage(value, 0.0f, 20.0f, {"Pixel scalar constant", "0.1", "20", "0"}, out);
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
