// Menus built from the menu resources and the commands they post.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "platform/command_target.h"
#include "platform/menu.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "tests/support/offscreen_app.h"

namespace {

QApplication* App() { return testing_support::OffscreenApplication(); }

// A target with a handler for Exit, an update handler (checked, renamed) for
// Ponder, and an update handler alone for New game that disables it.
class Target : public QObject, public CCmdTarget {
 public:
  void OnExit() { ran.push_back(kCmdExit); }
  void OnPonder() { ran.push_back(kCmdPonder); }
  void OnUpdatePonder(CCmdUI* ui) {
    ui->SetCheck(ponder);
    ui->SetText("Ponder (on)");
  }
  void OnUpdateNewGame(CCmdUI* ui) { ui->Enable(false); }

  bool OnCmdMsg(int id) override { return DispatchCommand(this, kMap, id); }
  void OnUpdateCmdUI(CCmdUI& ui) override { DispatchUpdate(this, kMap, ui); }

  std::vector<int> ran;
  int ponder = 1;
  static const CommandMapEntry<Target> kMap[3];
};

const CommandMapEntry<Target> Target::kMap[3] = {
    {kCmdExit, &Target::OnExit, nullptr},
    {kCmdPonder, &Target::OnPonder, &Target::OnUpdatePonder},
    {kCmdNewGame, nullptr, &Target::OnUpdateNewGame},
};

// Every command id of a menu in order, sub-menus included, with 0 marking
// each sub-menu's title and -1 each separator.
void CollectIds(QMenu* menu, std::vector<int>& ids) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      ids.push_back(-1);
    } else if (action->menu() != nullptr) {
      ids.push_back(0);
      CollectIds(action->menu(), ids);
    } else {
      ids.push_back(ActionCommandId(action));
    }
  }
}

std::vector<int> BarIds(QMenuBar* bar) {
  std::vector<int> ids;
  for (QAction* top : bar->actions()) {
    ids.push_back(0);
    if (top->menu() != nullptr) CollectIds(top->menu(), ids);
  }
  return ids;
}

QAction* FindAction(QMenu* menu, int id) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) {
      if (QAction* found = FindAction(action->menu(), id)) return found;
    } else if (ActionCommandId(action) == id) {
      return action;
    }
  }
  return nullptr;
}

QAction* FindInBar(QMenuBar* bar, int id) {
  for (QAction* top : bar->actions()) {
    if (top->menu() != nullptr) {
      if (QAction* found = FindAction(top->menu(), id)) return found;
    }
  }
  return nullptr;
}

TEST(MenuTest, TheSixMenuBarsHaveTheSameItemsInTheSamePlaces) {
  App();
  Target target;
  CMenu english;
  ASSERT_TRUE(english.LoadMenu(kMenuEnglish, &target, &target));
  const std::vector<int> reference = BarIds(english.GetMenuBar());
  ASSERT_GT(reference.size(), 100u);
  for (int id : {kMenuFrench, kMenuGerman, kMenuSpanish, kMenuSimplifiedChinese,
                 kMenuTraditionalChinese}) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(id, &target, &target)) << id;
    EXPECT_EQ(BarIds(menu.GetMenuBar()), reference) << id;
  }
}

TEST(MenuTest, MenuTextsAreThoseOfTheMenusLanguage) {
  App();
  Target target;
  CMenu french;
  ASSERT_TRUE(french.LoadMenu(kMenuFrench, &target, &target));
  const QList<QAction*> tops = french.GetMenuBar()->actions();
  ASSERT_FALSE(tops.isEmpty());
  EXPECT_EQ(tops.front()->text(), MenuTextString(kMenuTextFile, kLanguageFrench));
  EXPECT_NE(tops.front()->text(), MenuTextString(kMenuTextFile, kLanguageEnglish));
  QAction* exit = FindInBar(french.GetMenuBar(), kCmdExit);
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->text(), MenuTextString(kMenuTextExit, kLanguageFrench));
}

TEST(MenuTest, UnknownMenuIdsLoadNothing) {
  App();
  Target target;
  CMenu menu;
  EXPECT_FALSE(menu.LoadMenu(99, &target, &target));
  EXPECT_EQ(menu.GetMenuBar(), nullptr);
  EXPECT_EQ(menu.GetResourceId(), 0);
}

TEST(MenuTest, OpeningAMenuGreysCommandsWithoutHandlersAndRunsUpdateHandlers) {
  App();
  Target target;
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuEnglish, &target, &target));
  QAction* exit = FindInBar(menu.GetMenuBar(), kCmdExit);
  QAction* ponder = FindInBar(menu.GetMenuBar(), kCmdPonder);
  QAction* newGame = FindInBar(menu.GetMenuBar(), kCmdNewGame);
  QAction* loadGame = FindInBar(menu.GetMenuBar(), kCmdLoadGame);
  ASSERT_TRUE(exit && ponder && newGame && loadGame);
  for (QAction* top : menu.GetMenuBar()->actions()) UpdateMenuItems(top->menu(), &target);
  EXPECT_TRUE(exit->isEnabled());
  EXPECT_FALSE(loadGame->isEnabled()) << "no handler: greyed";
  EXPECT_FALSE(newGame->isEnabled()) << "its update handler disables it";
  EXPECT_TRUE(ponder->isEnabled());
  EXPECT_TRUE(ponder->isChecked());
  EXPECT_EQ(ponder->text(), "Ponder (on)");
  target.ponder = 0;
  UpdateMenuItems(qobject_cast<QMenu*>(ponder->parent()), &target);
  EXPECT_FALSE(ponder->isChecked());
}

TEST(MenuTest, ChosenCommandsArePostedAndRunFromTheEventLoop) {
  App();
  Target target;
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuEnglish, &target, &target));
  FindInBar(menu.GetMenuBar(), kCmdExit)->trigger();
  FindInBar(menu.GetMenuBar(), kCmdPonder)->trigger();
  FindInBar(menu.GetMenuBar(), kCmdLoadGame)->trigger();  // no handler: nothing
  EXPECT_TRUE(target.ran.empty()) << "nothing runs on the menu's own stack";
  QCoreApplication::processEvents();
  EXPECT_EQ(target.ran, (std::vector<int>{kCmdExit, kCmdPonder}));
}

TEST(MenuTest, APostedCommandIsDroppedWhenItsWindowIsGone) {
  App();
  auto* context = new QObject();
  Target target;
  PostCommand(context, &target, kCmdExit);
  delete context;
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.ran.empty());
}

TEST(MenuTest, PopupMenusCarryTheirCommands) {
  App();
  Target target;
  const MenuNodeList board = BoardPopupMenu(true);
  QMenu* popup = BuildPopupMenu(board.nodes, board.nodeCount, kLanguageEnglish, &target, &target,
                                nullptr);
  std::vector<int> ids;
  CollectIds(popup, ids);
  size_t items = 0;
  for (size_t i = 0; i < board.nodeCount; ++i) {
    if (board.nodes[i].kind == MenuNodeKind::kItem) {
      ++items;
      EXPECT_NE(FindAction(popup, board.nodes[i].command), nullptr) << board.nodes[i].command;
    }
  }
  EXPECT_GT(items, 10u);
  delete popup;
}

}  // namespace
