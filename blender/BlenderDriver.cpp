#include "blender/BlenderDriver.h"

#include <istream>
#include <ostream>

#include "blender/ConfigurationReading.h"
#include "common/ConsoleText.h"
#include "common/MemoryBudget.h"
#include "common/ProgramEnd.h"
#include "common/ProgramNames.h"

namespace zorvel {

MenuSystem blenderMenus(BlenderConfig& config, std::istream& in, std::ostream& err) {
  using Action = MenuItem::Action;
  MenuSystem system;
  system.style = {MenuStyle::ChoiceReset::Never, MenuStyle::AfterRead::Nothing, false, true, true, false};

  MenuItem read = menuItem('A', "A. Specify an Morvaine configuration file.", Action::Values);
  read.blankLineAfterValues = false;
  read.values = [&config, &in, &err](Prompter& p) { return readConfiguration(config, in, p.out(), err); };
  MenuItem view = menuItem('B', "B. View animation.", Action::Leave);
  view.shown = [&config] { return config.configLoaded; };
  system.menus = {Menu{{read, view, menuItem('X', "X. Exit Morvaine.", Action::ConfirmQuit)}}};
  return system;
}

void printKeyframeLines(std::ostream& out, std::size_t keyframeCount) {
  for (std::size_t k = 0; k < keyframeCount; ++k) {
    printLine(out, kKeyframeRuleLine);
    printLine(out, "keyframe: " + std::to_string(k));
  }
}

int runBlender(BlenderConfig& config, std::istream& in, std::ostream& out, std::ostream& err,
               const StartBlendView& startView) {
  return runUntilMemoryRunsOut(kBlenderName, out, err, [&] {
    printBanner(out, kBlenderName);
    if (!readConfiguration(config, in, out, err)) return 0;
    const MenuSystem menus = blenderMenus(config, in, err);
    for (;;) {
      if (runMenus(menus, config.menuChoice, in, out) != MenuResult::Confirmed) return 0;
      const Result<BlendFrames> frames = buildFrames(config, availableMemory());
      if (!frames) {
        printLine(out, frames.failure().reason);
        continue;
      }
      printKeyframeLines(out, config.keyframeCount);
      out << "OpenGL..." << std::flush;
      startView(config, frames.value());
      sayFarewell(in, out, kBlenderName, EnterPrompt::Dots);
      return 0;
    }
  });
}

}  // namespace zorvel
