#include "app/level_ops.h"

#include "app/main_frame.h"
#include "engine/search/time_control.h"
#include "game/game_clock.h"
#include "windows/digital_clock_wnd.h"
#include "windows/mini_clock_dlg.h"
#include "windows/side_windows.h"

void SetTimePerMove(int32_t ms) {
  levelMode = 1;
  thinkingTime = ms;
  gameClock.SetMode(kClockCountUp);
  gameClock.Reset();
}

void SetGameTime(int32_t minutes, int32_t seconds) {
  gameClock.SetGameTime(minutes, seconds);
  gameClock.SetMode(kClockGameTime);
  gameClock.Reset();
  levelMode = 3;
  RefreshClockWindows();
}

void RefreshClockWindows() {
  const int32_t flipped = pMainFrame != nullptr ? pMainFrame->rotation : 0;
  if (digitalClockWnd != nullptr) digitalClockWnd->Refresh(1, flipped);
  if (miniClockDlg != nullptr) miniClockDlg->Refresh(flipped);
}
