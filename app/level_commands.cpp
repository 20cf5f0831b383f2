// The level commands of the frame: a search level, a fixed time per move or
// a game clock, each checked while it is the level in force.
#include "app/bridge_window.h"
#include "app/frame_commands.h"
#include "app/level_ops.h"
#include "app/main_frame.h"
#include "engine/search/engine_state.h"
#include "engine/search/time_control.h"
#include "game/game_clock.h"
#include "res/menus.h"
#include "windows/options_sheet.h"
#include "windows/timing_sheet.h"

namespace {

enum class LevelKind { kSearchLevel, kTimePerMove, kGameTime };

struct LevelItem {
  int command;
  LevelKind kind;
  int32_t value;  // search level, milliseconds a move, or minutes a game
};

constexpr LevelItem kLevelItems[] = {
    {kCmdLevelFirstSteps1, LevelKind::kSearchLevel, -2},
    {kCmdLevelFirstSteps2, LevelKind::kSearchLevel, -1},
    {kCmdLevelFirstSteps3, LevelKind::kSearchLevel, 0},
    {kCmdLevelBeginner1300, LevelKind::kSearchLevel, 1},
    {kCmdLevelBeginner1400, LevelKind::kSearchLevel, 2},
    {kCmdLevelBeginner1500, LevelKind::kSearchLevel, 3},
    {kCmdLevelMiddlePlayer, LevelKind::kSearchLevel, 4},
    {kCmdLevelConfirmedPlayer, LevelKind::kSearchLevel, 6},
    {kCmdLevelAdvancedPlayer, LevelKind::kSearchLevel, 8},
    {kCmdLevel1SecondPerMove, LevelKind::kTimePerMove, 1000},
    {kCmdLevel2SecondsPerMove, LevelKind::kTimePerMove, 2000},
    {kCmdLevel5SecondsPerMove, LevelKind::kTimePerMove, 5000},
    {kCmdLevel2MinPerGame, LevelKind::kGameTime, 2},
    {kCmdLevel5MinPerGame, LevelKind::kGameTime, 5},
};

const LevelItem* FindLevelItem(int command) {
  for (const LevelItem& item : kLevelItems) {
    if (item.command == command) return &item;
  }
  return nullptr;
}

void ApplyLevel(const LevelItem& item) {
  switch (item.kind) {
    case LevelKind::kSearchLevel:
      // Only the level: the clock is not touched.
      levelMode = 2;
      searchDepth = item.value;
      break;
    case LevelKind::kTimePerMove:
      SetTimePerMove(item.value);
      break;
    case LevelKind::kGameTime:
      SetGameTime(item.value, 0);
      break;
  }
}

bool LevelInForce(const LevelItem& item) {
  switch (item.kind) {
    case LevelKind::kSearchLevel:
      return levelMode == 2 && searchDepth == item.value;
    case LevelKind::kTimePerMove:
      return levelMode == 1 && thinkingTime == item.value;
    case LevelKind::kGameTime: {
      int32_t minutes = 0, seconds = 0;
      gameClock.GetGameTime(&minutes, &seconds);
      return levelMode == 3 && minutes == item.value && seconds == 0;
    }
  }
  return false;
}

// The timing sheet's values become the level in force.
void ApplyTiming(CTimingSheet& sheet) {
  const CTimingPage& page = sheet.page;
  exactTime = page.exactTime;
  switch (page.mode) {
    case kTimingSecondsPerMove:
      SetTimePerMove(page.secondsPerMove * 1000);
      break;
    case kTimingFixedDepth:
      levelMode = 2;
      searchDepth = page.level;
      break;
    case kTimingGameTime:
      SetGameTime(page.gameMinutes, page.gameSeconds);
      break;
    case kTimingPeriods:
      gameClock.period1 = page.period1;
      gameClock.period2 = page.period2;
      gameClock.period3 = page.period3;
      gameClock.SetMode(kClockTournament);
      gameClock.Reset();
      levelMode = 4;
      RefreshClockWindows();
      break;
    default:
      break;
  }
}

// Command 110: the timing sheet, filled from the level in force.
void OnTiming(CMainFrame* frame) {
  CTimingSheet sheet(frame);
  CTimingPage& page = sheet.page;
  page.gameMinutes = 5;
  page.gameSeconds = 0;
  page.secondsPerMove = 5;
  page.level = 5;
  page.mode = levelMode;
  page.exactTime = exactTime;
  page.period1 = gameClock.period1;
  page.period2 = gameClock.period2;
  page.period3 = gameClock.period3;
  switch (levelMode) {
    case 1:
      page.secondsPerMove = thinkingTime / 1000;
      break;
    case 2:
      page.level = searchDepth;
      break;
    case 3:
      gameClock.GetGameTime(&page.gameMinutes, &page.gameSeconds);
      break;
    default:
      break;
  }
  sheet.applyTiming = [](CTimingSheet& s) { ApplyTiming(s); };
  if (sheet.DoModal() == IDOK) ApplyTiming(sheet);
  frame->UpdateToolbars();
}

}  // namespace

// The level commands change only settings, so they are enabled while the
// engine thinks (a new level counts from its next search), but not in
// engine state 4.
bool RunLevelCommand(CMainFrame* frame, int id) {
  // The sheet may resize the hash and learning tables: never under a
  // search that is waiting in the message pump. A ponder search, or a think
  // on the engine's own move, is stopped first; the think starts again
  // once the sheet is closed.
  if (id == kCmdProperties) {
    if (frame->setupMode != 0 || DeferUntilSearchStops(kCmdProperties)) return true;
    if (engineState == kEngineIdle) RunOptionsSheet(frame);
    return true;
  }
  if (id == kCmdTiming) {
    if (engineState != kEngineThinkingNoBook) OnTiming(frame);
    return true;
  }
  const LevelItem* item = FindLevelItem(id);
  if (item == nullptr) return false;
  if (engineState == kEngineThinkingNoBook) return true;
  ApplyLevel(*item);
  frame->UpdateToolbars();
  return true;
}

bool UpdateLevelCommand(CMainFrame* frame, CCmdUI& ui) {
  if (ui.GetId() == kCmdProperties) {
    ui.Enable(frame->setupMode == 0 && EngineIdlePonderingOrThinking());
    return true;
  }
  if (ui.GetId() == kCmdTiming) {
    ui.Enable(engineState != kEngineThinkingNoBook);
    return true;
  }
  const LevelItem* item = FindLevelItem(ui.GetId());
  if (item == nullptr) return false;
  ui.Enable(engineState != kEngineThinkingNoBook);
  ui.SetCheck(LevelInForce(*item) ? 1 : 0);
  return true;
}
