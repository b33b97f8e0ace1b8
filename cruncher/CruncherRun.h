#pragma once

#include <cstdint>
#include <iosfwd>

#include "common/ConsoleMenu.h"
#include "cruncher/CruncherAttributes.h"
#include "cruncher/PixelImage.h"

namespace zorvel {

// The most pixels a colour image may have: every pixel becomes a particle.
constexpr std::uint32_t kMaxPixels = 20000;

// The five pictures of a run; they keep what the run put into them.
struct CruncherImages {
  PixelImage colour;
  PixelImage opacity;
  PixelImage velocity;
  PixelImage scale;
  PixelImage height;
};

struct CrunchOutcome {
  // Confirmed when the run is over; Quit or EndOfInput when a menu the run showed ended
  // that way (the program then ends at once).
  MenuResult menus = MenuResult::Confirmed;
  // Some output file could not be written whole (each such file is named on standard
  // error).
  bool writeFailed = false;
};

// One run of the cruncher, after the number crunching was confirmed: checks the colour
// image (showing the main menu again while it is unusable), writes the four attribute
// files from their maps or constants, reads velocity and height back, writes the colour
// file, places, scatters with a generator seeded by `seed` and writes the path file.
CrunchOutcome runCrunch(CruncherAttributes& attributes, CruncherImages& images, std::uint32_t seed, std::istream& in,
                        std::ostream& out, std::ostream& err);

// The whole program: banner, main menu, run, processing time and farewell. Returns the
// exit status: 0, or 1 when an output file could not be written whole or memory ran out.
int runCruncherProgram(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zorvel
