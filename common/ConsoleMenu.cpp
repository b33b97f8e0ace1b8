#include "common/ConsoleMenu.h"

#include <cctype>
#include <istream>
#include <ostream>

#include "common/ConsoleText.h"

namespace zorvel {

MenuItem menuItem(char letter, std::string text, MenuItem::Action action, int nextMenu) {
  MenuItem item;
  item.letter = letter;
  item.text = std::move(text);
  item.action = action;
  item.nextMenu = nextMenu;
  return item;
}

namespace {

// The screens; each one names the next, and the loop in runMenus() follows them.
enum class Screen { Menu, UndefinedNotice, ConfirmAction, ConfirmQuit, Done };

struct MenuRun {
  const MenuSystem& system;
  char& menuChoice;
  std::istream& in;
  std::ostream& out;
  MenuResult result = MenuResult::Confirmed;

  const MenuStyle& style() const { return system.style; }

  // Reads one character, skipping white space; false when the input has ended.
  bool readChoice() {
    char c;
    if (!(in >> c)) return false;
    menuChoice = c;
    return true;
  }

  void finishRead(MenuStyle::AfterRead after) {
    switch (after) {
      case MenuStyle::AfterRead::PrintLineEnd: printLine(out); break;
      case MenuStyle::AfterRead::DiscardCharacter: in.get(); break;
      case MenuStyle::AfterRead::Nothing: break;
    }
  }

  static bool isShown(const MenuItem& item) { return !item.shown || item.shown(); }

  const MenuItem* find(const Menu& menu, char c) const {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (static_cast<unsigned char>(c) > 127) return nullptr;
    for (const MenuItem& item : menu.items)
      if (item.letter == upper && isShown(item)) return &item;
    return nullptr;
  }

  Screen inputEnded() {
    result = MenuResult::EndOfInput;
    return Screen::Done;
  }

  // The menu screen. Sets `menuIndex` when the chosen item opens another menu.
  Screen showMenu(int& menuIndex) {
    const bool reset = style().resetBeforeMenu == MenuStyle::ChoiceReset::EveryMenu ||
                       (style().resetBeforeMenu == MenuStyle::ChoiceReset::MainMenuOnly && menuIndex == 0);
    if (reset) menuChoice = ' ';
    const Menu& menu = system.menus[static_cast<std::size_t>(menuIndex)];
    for (const MenuItem& item : menu.items)
      if (isShown(item)) printLine(out, item.text);
    printLine(out);
    out << "Menu item:" << std::flush;
    if (!readChoice()) return inputEnded();
    finishRead(style().afterChoice);

    const MenuItem* item = find(menu, menuChoice);
    if (!item) return Screen::UndefinedNotice;
    switch (item->action) {
      case MenuItem::Action::OpenMenu: menuIndex = item->nextMenu; return Screen::Menu;
      case MenuItem::Action::Values: {
        Prompter prompter(in, out);
        if (!item->values(prompter)) return inputEnded();
        if (item->blankLineAfterValues) printLine(out);
        menuIndex = item->nextMenu;
        return Screen::Menu;
      }
      case MenuItem::Action::Listing:
        if (style().emptyLineBeforeListing) printLine(out);
        printLine(out, kRuleLine);
        item->listing(out);
        printLine(out, kRuleLine);
        printLine(out);
        menuIndex = 0;
        return Screen::Menu;
      case MenuItem::Action::ConfirmAction: return Screen::ConfirmAction;
      case MenuItem::Action::ConfirmQuit: return Screen::ConfirmQuit;
      case MenuItem::Action::Leave: result = MenuResult::Confirmed; return Screen::Done;
    }
    return Screen::UndefinedNotice;
  }

  Screen showUndefinedNotice(int& menuIndex) {
    menuChoice = ' ';
    printLine(out);
    printLine(out, "Menu-item not defined.");
    printLine(out);
    menuIndex = 0;
    return Screen::Menu;
  }

  // Both confirmations: Y leaves with `onYes`, N shows the main menu, anything else
  // the undefined-item notice.
  Screen showConfirmation(int& menuIndex, const char* question, bool reset, MenuStyle::AfterRead after,
                          MenuResult onYes) {
    if (reset) menuChoice = ' ';
    printLine(out, question);
    printLine(out);
    out << "Menu item:" << std::flush;
    if (!readChoice()) return inputEnded();
    finishRead(after);
    if (menuChoice == 'Y' || menuChoice == 'y') {
      result = onYes;
      return Screen::Done;
    }
    if (menuChoice == 'N' || menuChoice == 'n') {
      menuIndex = 0;
      return Screen::Menu;
    }
    return Screen::UndefinedNotice;
  }
};

}  // namespace

MenuResult runMenus(const MenuSystem& system, char& menuChoice, std::istream& in, std::ostream& out, int firstMenu) {
  MenuRun run{system, menuChoice, in, out};
  const MenuStyle& style = system.style;
  int menuIndex = firstMenu;
  Screen screen = Screen::Menu;
  while (screen != Screen::Done) {
    switch (screen) {
      case Screen::Menu: screen = run.showMenu(menuIndex); break;
      case Screen::UndefinedNotice: screen = run.showUndefinedNotice(menuIndex); break;
      case Screen::ConfirmAction:
        screen = run.showConfirmation(menuIndex, "Are you sure? (Y / N)", style.resetBeforeActionConfirm,
                                      style.afterChoice, MenuResult::Confirmed);
        break;
      case Screen::ConfirmQuit:
        screen = run.showConfirmation(
            menuIndex, "Sure you want to quit? (Y / N)", style.resetBeforeQuitConfirm,
            style.lineEndAfterQuitAnswer ? MenuStyle::AfterRead::PrintLineEnd : MenuStyle::AfterRead::Nothing,
            MenuResult::Quit);
        break;
      case Screen::Done: break;
    }
  }
  return run.result;
}

}  // namespace zorvel
