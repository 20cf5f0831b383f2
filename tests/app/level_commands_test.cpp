// The level commands: each sets the level mode with its depth, time per
// move or game clock, and carries the check mark while it is in force.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <vector>

#include "app/chess_app.h"
#include "app/level_ops.h"
#include "app/main_frame.h"
#include "engine/search/engine_state.h"
#include "engine/search/time_control.h"
#include "game/game_clock.h"
#include "res/dialogs.h"
#include "res/menus.h"
#include "windows/timing_sheet.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"

namespace {

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;

struct LevelCase {
  int command;
  int32_t mode;     // level mode after the command
  int32_t depth;    // searchDepth in mode 2
  int32_t timeMs;   // thinkingTime in mode 1
  int32_t minutes;  // game time in mode 3
};

constexpr LevelCase kLevels[] = {
    {kCmdLevelFirstSteps1, 2, -2, 0, 0},       {kCmdLevelFirstSteps2, 2, -1, 0, 0},
    {kCmdLevelFirstSteps3, 2, 0, 0, 0},        {kCmdLevelBeginner1300, 2, 1, 0, 0},
    {kCmdLevelBeginner1400, 2, 2, 0, 0},       {kCmdLevelBeginner1500, 2, 3, 0, 0},
    {kCmdLevelMiddlePlayer, 2, 4, 0, 0},       {kCmdLevelConfirmedPlayer, 2, 6, 0, 0},
    {kCmdLevelAdvancedPlayer, 2, 8, 0, 0},     {kCmdLevel1SecondPerMove, 1, 0, 1000, 0},
    {kCmdLevel2SecondsPerMove, 1, 0, 2000, 0}, {kCmdLevel5SecondsPerMove, 1, 0, 5000, 0},
    {kCmdLevel2MinPerGame, 3, 0, 0, 2},        {kCmdLevel5MinPerGame, 3, 0, 0, 5},
};

std::vector<int> CheckedLevels() {
  std::vector<int> checked;
  for (const LevelCase& c : kLevels) {
    CCmdUI ui(c.command);
    pMainFrame->OnUpdateCmdUI(ui);
    if (ui.IsChecked()) checked.push_back(c.command);
  }
  return checked;
}

bool LevelEnabled(int command) {
  CCmdUI ui(command);
  pMainFrame->OnUpdateCmdUI(ui);
  return ui.IsEnabled();
}

using LevelCommandsTest = testing_support::ScenarioTest;

TEST_F(LevelCommandsTest, EachLevelSetsItsModeAndAloneIsChecked) {
  RUN_SCENARIO({
    testing_support::OffscreenApplication();
    OpenStore()->WriteInt("Options", "Language", 1);
    theApp.InitInstance();
    for (const LevelCase& c : kLevels) {
      // A search depth equal to a level's value must not check a game-time
      // or per-move item, and the other way round.
      searchDepth = 2;
      pMainFrame->OnCmdMsg(c.command);
      bool ok = levelMode == c.mode;
      if (c.mode == 2) ok = ok && searchDepth == c.depth;
      if (c.mode == 1) ok = ok && thinkingTime == c.timeMs && gameClock.mode == kClockCountUp;
      if (c.mode == 3) {
        int32_t minutes = -1, seconds = -1;
        gameClock.GetGameTime(&minutes, &seconds);
        ok = ok && minutes == c.minutes && seconds == 0 && gameClock.mode == kClockGameTime;
      }
      Check(ok, "the level's mode and value");
      Check(CheckedLevels() == std::vector<int>{c.command}, "only its item is checked");
    }
    // A game clock of 2:30 checks no item.
    SetGameTime(2, 30);
    Check(CheckedLevels().empty(), "2:30 checks no level item");
    // Enabled while the engine thinks, not in engine state 4.
    engineState = kEngineThinking;
    Check(LevelEnabled(kCmdLevel2MinPerGame), "enabled while thinking");
    engineState = kEngineThinkingNoBook;
    Check(!LevelEnabled(kCmdLevel2MinPerGame), "greyed in state 4");
    engineState = kEngineIdle;
    CloseFrame();
  });
}

// The timing sheet opens with the level in force and OK makes its choice
// the level: here a game clock of 7:30 chosen over 2 seconds a move.
TEST_F(LevelCommandsTest, TheTimingSheetShowsAndSetsTheLevel) {
  RUN_SCENARIO({
    testing_support::OffscreenApplication();
    OpenStore()->WriteInt("Options", "Language", 1);
    theApp.InitInstance();
    pMainFrame->OnCmdMsg(kCmdLevel2SecondsPerMove);
    static bool shownPerMove = false;
    QTimer::singleShot(0, [] {
      auto* sheet = dynamic_cast<CTimingSheet*>(QApplication::activeModalWidget());
      if (sheet == nullptr) return;
      CTimingPage& page = sheet->page;
      shownPerMove = page.GetDlgItemText(kCtlTimingSecondsPerMove) == "2";
      qobject_cast<QAbstractButton*>(page.GetDlgItem(kCtlTimingModeGame))->click();
      page.SetDlgItemText(kCtlTimingGameMinutes, "7");
      page.SetDlgItemText(kCtlTimingGameSeconds, "30");
      sheet->PressOK();
    });
    pMainFrame->OnCmdMsg(kCmdTiming);
    Check(shownPerMove, "the sheet showed 2 seconds a move");
    int32_t minutes = 0, seconds = 0;
    gameClock.GetGameTime(&minutes, &seconds);
    Check(levelMode == 3 && minutes == 7 && seconds == 30, "a game clock of 7:30");
    Check(CheckedLevels().empty(), "no level item matches 7:30");
    CloseFrame();
  });
}

}  // namespace
