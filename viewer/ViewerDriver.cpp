#include "viewer/ViewerDriver.h"

#include <istream>
#include <ostream>

#include "common/ConsoleText.h"
#include "common/ProgramEnd.h"
#include "common/ProgramNames.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerAttributes.h"

namespace zorvel {

int runViewer(ViewerScene& scene, std::istream& in, std::ostream& out, std::ostream& err, const StartView& startView) {
  return runUntilMemoryRunsOut(kViewerName, out, err, [&] {
    out << "RTG: Creating RTG-object instance..." << std::flush;
    printLine(out, "done");
    // The viewer shows the cruncher's banner.
    printBanner(out, kCruncherName);
    ViewerAttributes attributes;
    const MenuSystem menus = viewerMenus(attributes);
    if (runMenus(menus, attributes.menuChoice, in, out) != MenuResult::Confirmed) return 0;

    CachingLines lines(out);
    if (const std::optional<ObjectShape> shape = loadScene(attributes, scene, lines, out, err, kViewerName)) {
      out << "OpenGL..." << std::flush;
      startView(scene, *shape);
      return 0;
    }
    out << std::endl;
    if (runMenus(menus, attributes.menuChoice, in, out) != MenuResult::Confirmed) return 0;
    out << std::endl;
    sayFarewell(in, out, kViewerName, EnterPrompt::Line);
    return 0;
  });
}

}  // namespace zorvel
