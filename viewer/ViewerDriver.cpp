#include "ViewerDriver.h"

#include <istream>
#include <ostream>

#include "ParticleDataLoader.h"
#include "ViewerAttributes.h"

namespace zorvel {

int runViewer(RtgObject& rtg, ViewerScene& scene, std::istream& in, std::ostream& out, std::ostream& err,
              const StartView& startView) {
  ViewerAttributes attributes;
  const MenuSystem menus = viewerMenus(attributes);
  out << "Zorvel-cruncher v1.0 beta1 provided by Tavrin" << std::endl;
  out << "Please direct your fanmail to \"tavrin@zorvel.example\"" << std::endl;
  out << std::endl;
  if (runMenus(menus, attributes.menuChoice, in, out) != MenuResult::Confirmed) return 0;

  ObjectShape shape;
  if (!attributes.rtgFile.empty()) {
    rtg.setFileName(attributes.rtgFile);
    rtg.analyzeFile(out, err);
    if (rtg.analysed()) {
      rtg.printSummary(out);
      rtg.printObjectInfo(out);
      rtg.readObjectData(err);
      shape = firstObjectShape(rtg, out);
    }
  }

  sizeFromPathFile(attributes.pPathFile, scene);
  loadColourFile(attributes, scene, out);
  loadOpacityFile(attributes, scene, out);
  loadScaleFile(attributes, scene, out);

  if (cachePathFile(attributes.pPathFile, scene, out)) {
    out << "OpenGL..." << std::flush;
    startView(scene, shape);
    return 0;
  }
  out << std::endl;
  if (runMenus(menus, attributes.menuChoice, in, out) != MenuResult::Confirmed) return 0;
  out << std::endl;
  out << "Thank you for using Zorvel-viewer. Please come again." << std::endl;
  out << "Press <ENTER> to exit." << std::endl;
  in.get();
  return 0;
}

}  // namespace zorvel
