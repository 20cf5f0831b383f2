// The toolbars built from the toolbar resources: pictures and tooltips in
// every language, the update pass, posted commands, drop-down buttons and
// the narrowing of buttons on a small band.
#include "platform/toolbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <vector>

#include "platform/command_target.h"
#include "res/menus.h"
#include "res/toolbars.h"
#include "tests/support/offscreen_app.h"

namespace {

QApplication* App() { return testing_support::OffscreenApplication(); }

// Handlers for New game, Hint and Change board size; No computer mode has
// an update handler that follows `idle` and `noComputer`. Hint switches the
// mode off, which the buttons must show without being asked.
class Target : public QObject, public CCmdTarget {
 public:
  void OnNewGame() { ran.push_back(kCmdNewGame); }
  void OnHint() {
    ran.push_back(kCmdHint);
    noComputer = 0;
  }
  void OnChangeBoardSize() { ran.push_back(kCmdChangeBoardSize); }
  void OnNoComputerMode() {}
  void OnUpdateNoComputerMode(CCmdUI* ui) {
    ui->Enable(idle);
    ui->SetCheck(noComputer);
  }
  bool OnCmdMsg(int id) override { return DispatchCommand(this, kMap, id); }
  void OnUpdateCmdUI(CCmdUI& ui) override { DispatchUpdate(this, kMap, ui); }

  std::vector<int> ran;
  bool idle = true;
  int noComputer = 1;
  static const CommandMapEntry<Target> kMap[4];
};

const CommandMapEntry<Target> Target::kMap[4] = {
    {kCmdNewGame, &Target::OnNewGame, nullptr},
    {kCmdHint, &Target::OnHint, nullptr},
    {kCmdChangeBoardSize, &Target::OnChangeBoardSize, nullptr},
    {kCmdNoComputerMode, &Target::OnNoComputerMode, &Target::OnUpdateNoComputerMode},
};

class LanguageGuard {
 public:
  ~LanguageGuard() { currentLanguage = saved_; }

 private:
  int32_t saved_ = currentLanguage;
};

bool HasChinese(const QString& text) {
  for (QChar c : text)
    if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
  return false;
}

TEST(ToolBarTest, EveryButtonHasItsPictureAndATooltipInEachLanguage) {
  App();
  LanguageGuard guard;
  Target target;
  for (size_t r = 0; r < kToolbarResourceCount; ++r) {
    const ToolbarResource& resource = kToolbarResources[r];
    SCOPED_TRACE(resource.id);
    CToolBar bar(nullptr);
    ASSERT_TRUE(bar.LoadToolBar(resource.id, &target, &target));
    EXPECT_EQ(bar.ResourceId(), resource.id);
    EXPECT_EQ(bar.height(), CToolBar::kRowHeight);
    for (int language = 0; language < kLanguageCount; ++language) {
      currentLanguage = language;
      bar.RefreshTexts();
      int right = -1;
      for (size_t i = 0; i < resource.buttonCount; ++i) {
        const ToolbarButton& entry = resource.buttons[i];
        if (entry.command == 0) continue;
        SCOPED_TRACE(testing::Message() << entry.command << " language " << language);
        QToolButton* button = bar.Button(entry.command);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->icon().availableSizes().contains(QSize(24, 24)));
        EXPECT_GT(button->x(), right) << "buttons stand in list order";
        right = button->geometry().right();
        const QString tip = button->toolTip();
        EXPECT_FALSE(tip.isEmpty());
        EXPECT_FALSE(tip.contains(QChar::ReplacementCharacter));
        if (language >= kLanguageSimplifiedChinese) {
          EXPECT_TRUE(HasChinese(tip)) << tip.toStdString();
        }
      }
    }
  }
  currentLanguage = kLanguageEnglish;
  CToolBar game(nullptr);
  ASSERT_TRUE(game.LoadToolBar(kToolbarGame, &target, &target));
  EXPECT_EQ(game.Button(kCmdNewGame)->toolTip(), "New game");
  EXPECT_EQ(game.Button(kCmdHint)->toolTip(), "Hint");
  EXPECT_EQ(game.Button(kCmdTiming)->toolTip(), "Time control");
  // A language change reaches the tooltips through the update pass.
  currentLanguage = kLanguageGerman;
  game.OnUpdateCmdUI();
  EXPECT_EQ(game.Button(kCmdNewGame)->toolTip(), "Neue Partie");
}

TEST(ToolBarTest, UnknownResourceIdsLoadNothing) {
  App();
  Target target;
  CToolBar bar(nullptr);
  ASSERT_TRUE(bar.LoadToolBar(kToolbarGame, &target, &target));
  EXPECT_FALSE(bar.LoadToolBar(99, &target, &target));
  EXPECT_EQ(bar.ResourceId(), 0);
  EXPECT_EQ(bar.Button(kCmdNewGame), nullptr);
  EXPECT_EQ(bar.Button(0), nullptr);
}

TEST(ToolBarTest, UpdatePassGreysButtonsWithoutHandlerAndFollowsUpdateHandlers) {
  App();
  Target target;
  CToolBar bar(nullptr);
  ASSERT_TRUE(bar.LoadToolBar(kToolbarGame, &target, &target));
  bar.OnUpdateCmdUI();
  QToolButton* noComputer = bar.Button(kCmdNoComputerMode);
  EXPECT_TRUE(bar.Button(kCmdNewGame)->isEnabled());
  EXPECT_FALSE(bar.Button(kCmdLoadGame)->isEnabled()) << "no handler: greyed";
  EXPECT_FALSE(bar.Button(kCmdNewGame)->isChecked());
  EXPECT_TRUE(noComputer->isEnabled());
  EXPECT_TRUE(noComputer->isChecked());
  target.idle = false;
  target.noComputer = 0;
  bar.OnUpdateCmdUI();
  EXPECT_FALSE(noComputer->isEnabled());
  EXPECT_FALSE(noComputer->isChecked());
}

TEST(ToolBarTest, ClickedButtonsPostTheirCommandsAndTheButtonsFollow) {
  App();
  Target target;
  CToolBar bar(nullptr);
  ASSERT_TRUE(bar.LoadToolBar(kToolbarGame, &target, &target));
  bar.OnUpdateCmdUI();
  bar.Button(kCmdNewGame)->click();
  bar.Button(kCmdHint)->click();
  bar.Button(kCmdLoadGame)->click();  // greyed: nothing
  EXPECT_TRUE(target.ran.empty()) << "nothing runs on the button's own stack";
  EXPECT_TRUE(bar.Button(kCmdNoComputerMode)->isChecked());
  QCoreApplication::processEvents();
  EXPECT_EQ(target.ran, (std::vector<int>{kCmdNewGame, kCmdHint}));
  EXPECT_FALSE(bar.Button(kCmdNoComputerMode)->isChecked()) << "updated after the command";
}

TEST(ToolBarTest, DropDownArrowCallsItsCallbackAndTheMenuOpensBelowTheButton) {
  App();
  Target target;
  QWidget band;
  band.resize(600, 60);
  band.move(40, 30);
  auto* bar = new CToolBar(&band);
  ASSERT_TRUE(bar->LoadToolBar(kToolbarDesign, &target, &target));
  std::vector<int> dropped;
  for (int command : {kCmdPiecesStyle, kCmdBoardStyle, kCmdChangeLanguages, kCmdChangeBoardSize})
    bar->SetDropDown(command, [&dropped](int c) { dropped.push_back(c); });
  band.show();
  // Showing the bar ran the update pass: no handler, greyed.
  EXPECT_FALSE(bar->Button(kCmdVerticalSymmetry)->isEnabled());
  EXPECT_EQ(bar->DropDownArrow(kCmdVerticalSymmetry), nullptr);
  bar->SetDropDown(0, [](int) {});  // no button: nothing
  bar->SetDropDown(kCmdNewGame, [](int) {});
  QToolButton* size = bar->Button(kCmdChangeBoardSize);
  QToolButton* arrow = bar->DropDownArrow(kCmdChangeBoardSize);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow->x(), size->geometry().right() + 1);
  arrow->click();
  EXPECT_EQ(dropped, std::vector<int>{kCmdChangeBoardSize});
  size->click();  // the button itself runs its command
  QCoreApplication::processEvents();
  EXPECT_EQ(target.ran, std::vector<int>{kCmdChangeBoardSize});
  EXPECT_EQ(dropped.size(), 1u);

  QMenu menu;
  menu.addAction("Small");
  menu.addAction("Big");
  bar->PopupMenuBelow(kCmdChangeBoardSize, &menu);
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(menu.pos(), size->mapToGlobal(QPoint(0, size->height())));
  menu.close();
  // At the bottom of the screen the menu opens above the button.
  band.move(40, band.screen()->availableGeometry().bottom() - 40);
  QCoreApplication::processEvents();
  bar->PopupMenuBelow(kCmdChangeBoardSize, &menu);
  EXPECT_EQ(menu.geometry().bottom() + 1, size->mapToGlobal(QPoint(0, 0)).y());
  EXPECT_EQ(menu.x(), size->mapToGlobal(QPoint(0, 0)).x());
  menu.close();
}

TEST(ToolBarTest, ButtonsNarrowToStayWithinASmallBand) {
  App();
  Target target;
  QWidget band;
  band.resize(800, 60);
  auto* bar = new CToolBar(&band);
  ASSERT_TRUE(bar->LoadToolBar(kToolbarGame, &target, &target));
  band.show();
  EXPECT_EQ(bar->Button(kCmdNewGame)->width(), CToolBar::kButtonWidth);
  for (int width : {380, 300}) {
    band.resize(width, 60);
    QCoreApplication::processEvents();
    SCOPED_TRACE(width);
    EXPECT_LE(bar->width(), width);
    EXPECT_LE(bar->Button(kCmdTiming)->geometry().right(), width - 1);
    EXPECT_GE(bar->Button(kCmdNewGame)->width(), CToolBar::kMinButtonWidth);
  }
  band.resize(800, 60);
  QCoreApplication::processEvents();
  EXPECT_EQ(bar->Button(kCmdNewGame)->width(), CToolBar::kButtonWidth);
}

}  // namespace
