#pragma once

// One menu engine for all three programs. A program describes its menus as data
// (items, letters, texts, what each item does) plus a MenuStyle holding the few
// details in which the programs differ; runMenus() then drives the screens as a loop,
// so any number of menu steps runs in constant stack depth.
//
// Every line end the engine prints is a newline followed by a flush. Prompts end
// without a line end. When the input ends at any read, the engine stops at once and
// prints nothing further.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "common/Prompter.h"

namespace zorvel {

struct MenuItem {
  enum class Action {
    OpenMenu,       // show menu `nextMenu`
    Values,         // run `values` (prompts and setters), then show menu `nextMenu`
    Listing,        // print the attribute listing with `listing`, then the main menu
    ConfirmAction,  // "Are you sure?"; Y leaves the menus with MenuResult::Confirmed
    ConfirmQuit,    // "Sure you want to quit?"; Y leaves with MenuResult::Quit
    Leave,          // leaves the menus with MenuResult::Confirmed, no confirmation
  };

  char letter = 'A';  // upper-case; chosen case-insensitively
  std::string text;   // the whole printed line, "A. ..."
  Action action = Action::OpenMenu;
  int nextMenu = 0;
  // Values: when true the engine prints one empty line after `values` returns.
  bool blankLineAfterValues = true;
  // Values: prompts, setters and their messages; returns false when the input ended.
  std::function<bool(Prompter&)> values;
  // Listing: the labelled entries printed between the two rule lines.
  std::function<void(std::ostream&)> listing;
  // When set and returning false, the item is neither printed nor selectable.
  std::function<bool()> shown;
};

// An item with its letter, printed line, action and follow-up menu.
MenuItem menuItem(char letter, std::string text, MenuItem::Action action, int nextMenu = 0);

struct Menu {
  std::vector<MenuItem> items;
};

// Where the programs differ.
// How a program's menus read and print. Each program gives all six, in this order.
struct MenuStyle {
  enum class ChoiceReset { EveryMenu, MainMenuOnly, Never };
  enum class AfterRead { PrintLineEnd, DiscardCharacter, Nothing };

  ChoiceReset resetBeforeMenu = ChoiceReset::EveryMenu;
  // After the character read at a menu screen and at the action confirmation.
  AfterRead afterChoice = AfterRead::PrintLineEnd;
  bool resetBeforeActionConfirm = true;
  bool resetBeforeQuitConfirm = true;
  bool lineEndAfterQuitAnswer = true;
  bool emptyLineBeforeListing = false;
};

struct MenuSystem {
  MenuStyle style;
  std::vector<Menu> menus;  // menus[0] is the main menu
};

enum class MenuResult { Confirmed, Quit, EndOfInput };

// Shows menu `firstMenu` and runs the chain of screens until an action is confirmed,
// a quit is confirmed or the input ends. `menuChoice` is the program's attribute-record
// field that holds the last character read at "Menu item:".
MenuResult runMenus(const MenuSystem& system, char& menuChoice, std::istream& in, std::ostream& out, int firstMenu = 0);

}  // namespace zorvel
