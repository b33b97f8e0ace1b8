#include "cruncher/ParticleSetup.h"

#include <ostream>

#include "common/ConsoleText.h"

namespace zorvel {

void setUpParticles(PixelImage& colour, const ParticleSetup& setup, std::uint32_t seed, std::ostream& out) {
  if (const auto& values = setup.velocityValues) {
    out << "Calculating per pixel velocity..." << std::flush;
    colour.applyVelocities(values->data(), values->size(), setup.velocityMin, setup.velocityMax);
    printLine(out, "done");
  }
  colour.placeOnGrid();
  if (setup.heightLevels || setup.uniformHeight) {
    out << "Calculating per pixel height offset..." << std::flush;
    if (const auto& levels = setup.heightLevels)
      colour.applyHeightOffsets(levels->data(), levels->size(), setup.heightMax);
    else
      colour.applyUniformHeight(setup.heightMax);
    printLine(out, "done");
  }
  out << "Scattering pixels..." << std::flush;
  colour.scatterVolumeScalar = setup.scatterVolumeScalar;
  colour.scatter(seed, out);
  printLine(out, "done");
}

}  // namespace zorvel
