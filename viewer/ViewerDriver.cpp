#include "viewer/ViewerDriver.h"

#include <istream>
#include <new>
#include <ostream>

#include "common/ConsoleText.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerAttributes.h"

namespace zorvel {

int runViewer(ViewerScene& scene, std::istream& in, std::ostream& out, std::ostream& err,
              const StartView& startView) {
  try {
    out << "RTG: Creating RTG-object instance..." << std::flush;
    printLine(out, "done");
    printBanner(out, "Zorvel-cruncher");
    ViewerAttributes attributes;
    const MenuSystem menus = viewerMenus(attributes);
    if (runMenus(menus, attributes.menuChoice, in, out) != MenuResult::Confirmed) return 0;

    CachingLines lines(out);
    if (const std::optional<ObjectShape> shape = loadScene(attributes, scene, lines, out, err, "Zorvel-viewer")) {
      out << "OpenGL..." << std::flush;
      startView(scene, *shape);
      return 0;
    }
    out << std::endl;
    if (runMenus(menus, attributes.menuChoice, in, out) != MenuResult::Confirmed) return 0;
    out << std::endl;
    out << "Thank you for using Zorvel-viewer. Please come again." << std::endl;
    out << "Press <ENTER> to exit." << std::endl;
    in.get();
    return 0;
  } catch (const std::bad_alloc&) {
    out << std::flush;
    err << "Zorvel-viewer: not enough memory." << std::endl;
    return 1;
  }
}

}  // namespace zorvel
