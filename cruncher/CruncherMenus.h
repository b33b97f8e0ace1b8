#pragma once

#include "common/ConsoleMenu.h"
#include "cruncher/CruncherAttributes.h"

namespace zorvel {

// The cruncher's main menu (index 0) and its essential and miscellaneous sub-menus,
// working on `attributes`, which must outlive the returned description.
MenuSystem cruncherMenus(CruncherAttributes& attributes);

// Shows the main menu until the number crunching is confirmed (Confirmed), a quit is
// confirmed (Quit) or the input ends (EndOfInput).
MenuResult showCruncherMainMenu(CruncherAttributes& attributes, std::istream& in, std::ostream& out);

}  // namespace zorvel
