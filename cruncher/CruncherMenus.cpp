#include "cruncher/CruncherMenus.h"

#include <cmath>
#include <ostream>

namespace zorvel {

namespace {

enum MenuIndex { kMainMenu = 0, kEssentialMenu = 1, kMiscellaneousMenu = 2 };

MenuItem values(char letter, const char* text, int backTo, std::function<bool(Prompter&)> prompts) {
  MenuItem item = menuItem(letter, text, MenuItem::Action::Values, backTo);
  item.values = std::move(prompts);
  return item;
}

using Action = MenuItem::Action;

Menu mainMenu(CruncherAttributes& a) {
  Menu main;
  main.items.push_back(menuItem('A', "A. Define essential attributes", Action::OpenMenu, kEssentialMenu));
  main.items.push_back(menuItem('B', "B. Define miscellaneous attributes", Action::OpenMenu, kMiscellaneousMenu));
  MenuItem listing = menuItem('C', "C. View attributes", Action::Listing);
  listing.listing = [&a](std::ostream& out) { a.printListing(out); };
  main.items.push_back(listing);
  main.items.push_back(menuItem('D', "D. Do the number crunching", Action::ConfirmAction));
  main.items.push_back(menuItem('X', "X. Exit Zorvel-cruncher", Action::ConfirmQuit));
  return main;
}

Menu essentialMenu(CruncherAttributes& a) {
  Menu essential;
  essential.items.push_back(values('A', "A. Define color map", kEssentialMenu,
                                   [&a](Prompter& p) { return p.readWord("Color map:", a.pColorMap); }));
  essential.items.push_back(values('B', "B. Define pixel scatter volume scalar", kEssentialMenu, [&a](Prompter& p) {
    Vector3 v;
    if (!p.readNumber("Scatter volume scalar X:", v.x) || !p.readNumber("Scatter volume scalar Y:", v.y) ||
        !p.readNumber("Scatter volume scalar Z:", v.z))
      return false;
    a.setScatterVolumeScalar(v, p.out());
    return true;
  }));
  essential.items.push_back(menuItem('X', "X. Show main menu", Action::OpenMenu, kMainMenu));
  return essential;
}

Menu miscellaneousMenu(CruncherAttributes& a) {
  Menu misc;
  misc.items.push_back(values('A', "A. Define opacity map", kMiscellaneousMenu,
                              [&a](Prompter& p) { return p.readWord("Opacity map:", a.pOpacityMap); }));
  misc.items.push_back(values('B', "B. Define opacity constant", kMiscellaneousMenu, [&a](Prompter& p) {
    float value = 0.0f;
    if (!p.readNumber("Opacity constant:", value)) return false;
    a.setOpacityConstant(std::trunc(value), p.out());
    return true;
  }));
  misc.items.push_back(values('C', "C. Define velocity scalar map", kMiscellaneousMenu, [&a](Prompter& p) {
    if (!p.readWord("Velocity scalar map:", a.pVelocityMap) ||
        !p.readNumber("Velocity scalar MIN:", a.pVelocityMinConstant) ||
        !p.readNumber("Velocity scalar MAX:", a.pVelocityMaxConstant))
      return false;
    a.setVelocityMin(a.pVelocityMinConstant, p.out());
    a.setVelocityMax(a.pVelocityMaxConstant, p.out());
    return true;
  }));
  misc.items.push_back(values('D', "D. Define velocity scalar constant", kMiscellaneousMenu, [&a](Prompter& p) {
    if (!p.readNumber("Velocity scalar constant:", a.pVelocityConstant)) return false;
    a.setVelocityConstant(a.pVelocityConstant, p.out());
    return true;
  }));
  misc.items.push_back(values('E', "E. Define pixel scalar map", kMiscellaneousMenu,
                              [&a](Prompter& p) { return p.readWord("Pixel scalar map:", a.pScaleMap); }));
  misc.items.push_back(values('F', "F. Define pixel scalar constant", kMiscellaneousMenu, [&a](Prompter& p) {
    if (!p.readNumber("Pixel scalar constant:", a.pScaleConstant)) return false;
    a.setScaleConstant(a.pScaleConstant, p.out());
    return true;
  }));
  misc.items.push_back(values('G', "G. Define height displacement map", kMiscellaneousMenu, [&a](Prompter& p) {
    float value = 0.0f;
    if (!p.readWord("Height map:", a.pHeightMap) || !p.readNumber("Height map MAX:", value)) return false;
    a.setHeightMaxConstant(std::trunc(value), p.out());
    return true;
  }));
  misc.items.push_back(menuItem('X', "X. Show main menu", Action::OpenMenu, kMainMenu));
  return misc;
}

}  // namespace

MenuSystem cruncherMenus(CruncherAttributes& a) {
  MenuSystem system;
  system.style = {MenuStyle::ChoiceReset::EveryMenu, MenuStyle::AfterRead::PrintLineEnd, true, true, true, false};
  system.menus = {mainMenu(a), essentialMenu(a), miscellaneousMenu(a)};
  return system;
}

MenuResult showCruncherMainMenu(CruncherAttributes& attributes, std::istream& in, std::ostream& out) {
  return runMenus(cruncherMenus(attributes), attributes.menuChoice, in, out);
}

}  // namespace zorvel
