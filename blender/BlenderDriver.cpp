#include "BlenderDriver.h"

#include <istream>
#include <ostream>

namespace zorvel {

MenuSystem blenderMenus(BlenderConfig& config, std::istream& in) {
  using Action = MenuItem::Action;
  MenuSystem system;
  system.style.resetBeforeMenu = MenuStyle::ChoiceReset::Never;
  system.style.afterChoice = MenuStyle::AfterRead::Nothing;
  system.style.resetBeforeActionConfirm = false;
  system.style.resetBeforeQuitConfirm = true;
  system.style.lineEndAfterQuitAnswer = true;

  MenuItem read = menuItem('A', "A. Specify an Morvaine configuration file.", Action::Values);
  read.blankLineAfterValues = false;
  read.values = [&config, &in](Prompter& p) { return readConfiguration(config, in, p.out()); };
  MenuItem view = menuItem('B', "B. View animation.", Action::Leave);
  view.shown = [&config] { return config.configLoaded; };
  system.menus = {Menu{{read, view, menuItem('X', "X. Exit Morvaine.", Action::ConfirmQuit)}}};
  return system;
}

int runBlender(BlenderConfig& config, std::istream& in, std::ostream& out, const StartBlendView& startView) {
  out << "Morvaine v1.0 beta1 provided by Tavrin" << std::endl;
  out << "Please direct your fanmail to \"tavrin@zorvel.example\"" << std::endl;
  out << std::endl;
  if (!readConfiguration(config, in, out)) return 0;
  const MenuSystem menus = blenderMenus(config, in);
  for (;;) {
    if (runMenus(menus, config.menuChoice, in, out) != MenuResult::Confirmed) return 0;
    const std::optional<BlendFrames> frames = buildFrames(config, out);
    if (!frames) continue;
    out << "OpenGL..." << std::flush;
    startView(config, *frames);
    out << "Thank you for using Morvaine. Please come again." << std::endl;
    out << "Press <ENTER> to exit..." << std::flush;
    in.get();
    return 0;
  }
}

}  // namespace zorvel
