// The menu engine on small menus of its own, in the styles the programs use.

#include <gtest/gtest.h>

#include <sstream>

#include "common/ConsoleMenu.h"

namespace zorvel::test {
namespace {

class MenuEngine : public ::testing::Test {
 protected:
  MenuEngine() {
    MenuItem open = menuItem('A', "A. Open", MenuItem::Action::OpenMenu, 1);
    MenuItem value = menuItem('V', "V. Value", MenuItem::Action::Values, 0);
    value.values = [this](Prompter& p) { return p.readNumber("Number:", number); };
    MenuItem listing = menuItem('L', "L. List", MenuItem::Action::Listing);
    listing.listing = [this](std::ostream& out) { out << "number\t" << number << "\n"; };
    MenuItem go = menuItem('G', "G. Go", MenuItem::Action::ConfirmAction);
    MenuItem leave = menuItem('B', "B. Leave", MenuItem::Action::Leave);
    leave.shown = [this] { return leaveShown; };
    MenuItem quit = menuItem('X', "X. Quit", MenuItem::Action::ConfirmQuit);
    system.menus.push_back(Menu{{open, value, listing, go, leave, quit}});
    MenuItem back = menuItem('X', "X. Back", MenuItem::Action::OpenMenu, 0);
    system.menus.push_back(Menu{{back}});
  }

  MenuResult run(const std::string& input) {
    std::istringstream in(input);
    out.str("");
    return runMenus(system, choice, in, out);
  }

  MenuSystem system;
  std::ostringstream out;
  char choice = '?';
  float number = 0;
  bool leaveShown = false;
  char seen = 0;
};

const std::string kMain = "A. Open\nV. Value\nL. List\nG. Go\nX. Quit\n\nMenu item:";
const std::string kMainWithLeave = "A. Open\nV. Value\nL. List\nG. Go\nB. Leave\nX. Quit\n\nMenu item:";
const std::string kSub = "X. Back\n\nMenu item:";

TEST_F(MenuEngine, LettersChooseCaseInsensitivelyAndConfirmationsTakeYOrN) {
  EXPECT_EQ(run("a\nx\ng\nn\nG\nY\n"), MenuResult::Confirmed);
  EXPECT_EQ(out.str(), kMain + "\n" + kSub + "\n" + kMain + "\n" + "Are you sure? (Y / N)\n\nMenu item:\n" + kMain +
                           "\n" + "Are you sure? (Y / N)\n\nMenu item:\n");
  EXPECT_EQ(run("x\ny"), MenuResult::Quit);
}

TEST_F(MenuEngine, NonAsciiAndPunctuationAreUndefinedItems) {
  EXPECT_EQ(run("\xE1\n?\n"), MenuResult::EndOfInput);
  EXPECT_EQ(out.str(),
            kMain + "\n" + "\nMenu-item not defined.\n\n" + kMain + "\n" + "\nMenu-item not defined.\n\n" + kMain);
  EXPECT_EQ(choice, ' ');  // the notice and the main menu both reset it
}

TEST_F(MenuEngine, HiddenItemsAreNeitherPrintedNorChosen) {
  EXPECT_EQ(run("b\n"), MenuResult::EndOfInput);
  EXPECT_EQ(out.str(), kMain + "\n" + "\nMenu-item not defined.\n\n" + kMain);
  leaveShown = true;
  EXPECT_EQ(run("b\n"), MenuResult::Confirmed);
  EXPECT_EQ(out.str(), kMainWithLeave + "\n");
}

TEST_F(MenuEngine, ValuesAndListingsReturnWhereTheyShould) {
  EXPECT_EQ(run("v\n2.5\nl\n"), MenuResult::EndOfInput);
  EXPECT_EQ(number, 2.5f);
  EXPECT_EQ(out.str(), kMain + "\n" + "Number:\n" + kMain + "\n" + "----------------------------------------\n" +
                           "number\t2.5\n" + "----------------------------------------\n\n" + kMain);
}

TEST_F(MenuEngine, TheViewerStyleDiscardsOneCharacterAndPrintsNothing) {
  system.style.afterChoice = MenuStyle::AfterRead::DiscardCharacter;
  system.style.lineEndAfterQuitAnswer = false;
  system.style.emptyLineBeforeListing = true;
  // "ab": a opens the sub-menu, b is discarded; then "xl": x goes back, l is discarded.
  EXPECT_EQ(run("ab\nxl\nl\nx\nn"), MenuResult::EndOfInput);
  EXPECT_EQ(out.str(), kMain + kSub + kMain + "\n----------------------------------------\nnumber\t0\n" +
                           "----------------------------------------\n\n" + kMain +
                           "Sure you want to quit? (Y / N)\n\nMenu item:" + kMain);
}

TEST_F(MenuEngine, ChoiceResetsFollowTheStyle) {
  system.style.resetBeforeMenu = MenuStyle::ChoiceReset::Never;
  system.menus[0].items[0].action = MenuItem::Action::Values;  // A: reads a number, no choice reset
  system.menus[0].items[0].values = [this](Prompter&) {
    seen = choice;
    return true;
  };
  system.menus[0].items[0].nextMenu = 0;
  run("a\n");
  EXPECT_EQ(seen, 'a');
  EXPECT_EQ(choice, 'a');  // kept at the main menu shown again
  system.style.resetBeforeMenu = MenuStyle::ChoiceReset::MainMenuOnly;
  run("a\n");
  EXPECT_EQ(choice, ' ');
}

TEST_F(MenuEngine, EndOfInputInsideAValuePromptStopsAtOnce) {
  EXPECT_EQ(run("v\n"), MenuResult::EndOfInput);
  EXPECT_EQ(out.str(), kMain + "\nNumber:");
}

TEST_F(MenuEngine, TextAtANumberPromptIsNamedAndAskedForAgainUntilTheInputEnds) {
  number = 9;
  EXPECT_EQ(run("v\nnine and more\n4\nv\nagain"), MenuResult::EndOfInput);
  EXPECT_EQ(number, 4.0f);
  // The input ends inside the second non-number's line: nothing more is printed.
  EXPECT_EQ(out.str(),
            kMain + "\nNumber:Not a number: \"nine\".\nNumber:\n" + kMain + "\nNumber:Not a number: \"again\".\n");
}

}  // namespace
}  // namespace zorvel::test
