#include "viewer/ViewerAttributes.h"

#include <ostream>

#include "common/ConsoleText.h"

namespace zorvel {

namespace {

MenuItem fileItem(char letter, const char* text, const char* prompt, std::string& field) {
  MenuItem item = menuItem(letter, text, MenuItem::Action::Values);
  item.values = [prompt, &field](Prompter& p) { return p.readWord(prompt, field); };
  return item;
}

}  // namespace

void ViewerAttributes::setScaleMin(double value, std::ostream& out) {
  pScaleMin = clampWithMessage(value, kPixelScaleRange, "Pixel scalar constant MIN", out);
}

void ViewerAttributes::setScaleMax(double value, std::ostream& out) {
  storeMaxOverMin(clampWithMessage(value, kPixelScaleRange, "Pixel scalar constant MAX", out), pScaleMin, pScaleMax,
                  "Pixel scalar constant", out);
}

void ViewerAttributes::printListing(std::ostream& out) const {
  out << "pPathFile:\t\t" << nameOrUndefined(pPathFile) << std::endl;
  out << "RTG-file:\t\t" << nameOrUndefined(rtgFile) << std::endl;
  out << "pColorFile:\t\t" << nameOrUndefined(pColorFile) << std::endl;
  out << "pOpacityFile:\t\t" << nameOrUndefined(pOpacityFile) << std::endl;
  out << "pScaleFile:\t\t" << nameOrUndefined(pScaleFile) << std::endl;
}

MenuSystem viewerMenus(ViewerAttributes& a) {
  using Action = MenuItem::Action;
  MenuSystem system;
  system.style = {
      MenuStyle::ChoiceReset::MainMenuOnly, MenuStyle::AfterRead::DiscardCharacter, false, false, false, true};

  Menu main;
  main.items.push_back(fileItem('A', "A. Define pPath-file", "pPath-file:", a.pPathFile));
  main.items.push_back(fileItem('B', "B. Define custom object file. (RTG-file)", "RTG-file:", a.rtgFile));
  main.items.push_back(fileItem('C', "C. Define pColor-file", "pColor-file:", a.pColorFile));
  main.items.push_back(fileItem('D', "D. Define pOpacity-file", "pOpacity-file:", a.pOpacityFile));
  MenuItem scale = menuItem('E', "E. Define pScale-file", Action::Values);
  scale.blankLineAfterValues = false;  // the line end comes after the name, before the range
  scale.values = [&a](Prompter& p) {
    if (!p.readWord("pScale-file:", a.pScaleFile)) return false;
    p.out() << std::endl;
    double min = 0, max = 0;
    if (!p.readNumber("Pixel scalar MIN:", min) || !p.readNumber("Pixel scalar MAX:", max)) return false;
    a.setScaleMin(min, p.out());
    a.setScaleMax(max, p.out());
    return true;
  };
  main.items.push_back(scale);
  MenuItem listing = menuItem('F', "F. View attribute files", Action::Listing);
  listing.listing = [&a](std::ostream& out) { a.printListing(out); };
  main.items.push_back(listing);
  main.items.push_back(menuItem('G', "G. View animation", Action::ConfirmAction));
  main.items.push_back(menuItem('X', "X. Exit Zorvel-viewer", Action::ConfirmQuit));
  system.menus = {main};
  return system;
}

}  // namespace zorvel
