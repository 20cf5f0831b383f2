#include "app/level_ops.h"

#include "engine/search/time_control.h"
#include "game/game_clock.h"

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
  // The digital clock and the mini clock refresh here once they exist
  // (they show the frame's turning of the board).
}
