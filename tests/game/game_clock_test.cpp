// The game clock under a fake tick: modes, periods, pause and text forms.
#include "game/game_clock.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/bridge.h"
#include "engine/search/new_game.h"
#include "tests/support/test_position.h"

namespace {

uint32_t fakeNow = 0;
uint32_t FakeTick() { return fakeNow; }

class GameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fakeNow = 1000000;
    tickSource = FakeTick;
  }
  void TearDown() override { tickSource = nullptr; }

  // Lets ms pass and ticks the clock as the one-second timer does.
  void Pass(CGameClock& clock, uint32_t ms) {
    fakeNow += ms;
    clock.Tick();
  }

  // Game-time mode with the given time per side, reset and not yet started.
  static void SetUpGameTime(CGameClock& clock, int32_t minutes, int32_t seconds) {
    clock.SetGameTime(minutes, seconds);
    clock.SetMode(kClockGameTime);
    clock.Reset();
  }

  static std::string SideText(const CGameClock& clock, int side) {
    char text[kClockTextSize];
    clock.FormatSideTime(side, text);
    return text;
  }
  static std::string MoveText(const CGameClock& clock, int side, int withHours) {
    char text[kClockTextSize];
    clock.FormatMoveTime(side, text, withHours);
    return text;
  }
};

TEST_F(GameClockTest, CountUpChargesEachSideItsMoves) {
  CGameClock clock;
  clock.SetMode(kClockCountUp);
  clock.Reset();
  clock.SwitchSide(0);  // the first switch only starts the clock
  Pass(clock, 4000);
  EXPECT_EQ(clock.GetSideTimeMs(0), 0);
  EXPECT_EQ(SideText(clock, 0), "00:00:04");  // the running move is shown
  EXPECT_EQ(SideText(clock, 1), "00:00:00");
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 4000);
  EXPECT_EQ(clock.runningSide, 1);
  Pass(clock, 65000);
  EXPECT_EQ(MoveText(clock, 1, 0), "01:05");
  EXPECT_EQ(MoveText(clock, 0, 0), "00:04");  // the previous move
  clock.SwitchSide(0);
  EXPECT_EQ(clock.GetSideTimeMs(1), 65000);
  EXPECT_EQ(clock.lastMoveMs, 65000u);
  Pass(clock, 2000);
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 6000);
  EXPECT_EQ(clock.GetMovesLeft(), 0);
}

TEST_F(GameClockTest, GameTimeCountsDownAndNeverBelowZero) {
  CGameClock clock;
  SetUpGameTime(clock, 1, 30);
  EXPECT_EQ(clock.GetSideTimeMs(0), 90000);
  EXPECT_EQ(clock.GetSideTimeMs(1), 90000);
  int32_t minutes, seconds;
  clock.GetGameTime(&minutes, &seconds);
  EXPECT_EQ(minutes, 1);
  EXPECT_EQ(seconds, 30);

  clock.SwitchSide(0);
  Pass(clock, 30000);
  EXPECT_EQ(SideText(clock, 0), "00:01:00");
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 60000);
  Pass(clock, 95000);  // more than black has
  EXPECT_EQ(SideText(clock, 1), "00:00:00");
  int32_t h, m, s;
  clock.GetSideTimeHms(1, &h, &m, &s);
  EXPECT_EQ(h + m + s, 0);
  clock.SwitchSide(0);
  EXPECT_EQ(clock.GetSideTimeMs(1), 0);  // no wrap-around
  EXPECT_EQ(SideText(clock, 1), "00:00:00");
}

TEST_F(GameClockTest, SetGameTimeGivesWholeMinutesUntilReset) {
  CGameClock clock;
  clock.SetMode(kClockGameTime);
  clock.SetGameTime(5, 20);
  EXPECT_EQ(clock.GetSideTimeMs(0), 300000);
  EXPECT_EQ(clock.runningSide, -1);
  clock.Reset();
  EXPECT_EQ(clock.GetSideTimeMs(0), 320000);
}

TEST_F(GameClockTest, TournamentPeriodsAddTime) {
  CGameClock clock;
  clock.period1 = {2, 60, 0};
  clock.period2 = {1, 30, 0};
  clock.period3 = {1, 10, 0};
  clock.SetMode(kClockTournament);
  clock.Reset();
  EXPECT_EQ(clock.GetSideTimeMs(0), 60000);
  EXPECT_EQ(clock.pliesLeft, 4);
  EXPECT_EQ(clock.GetMovesLeft(), 2);

  clock.SwitchSide(1);  // starts the clock and counts one ply
  EXPECT_EQ(clock.pliesLeft, 3);
  Pass(clock, 5000);
  clock.SwitchSide(0);
  EXPECT_EQ(clock.GetSideTimeMs(1), 55000);
  Pass(clock, 7000);
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 53000);
  EXPECT_EQ(clock.pliesLeft, 1);
  EXPECT_EQ(clock.GetMovesLeft(), 1);
  Pass(clock, 4000);
  // The fourth switch begins period 2: the move that ends the period is
  // charged, then each side gets 30 s more.
  clock.SwitchSide(0);
  EXPECT_EQ(clock.GetSideTimeMs(0), 83000);
  EXPECT_EQ(clock.GetSideTimeMs(1), 81000);
  EXPECT_EQ(clock.period2.entered, 1);
  EXPECT_EQ(clock.pliesLeft, 2);
  EXPECT_EQ(clock.lastMoveMs, 4000u);
  EXPECT_EQ(MoveText(clock, 1, 0), "00:04");
  // Red's move runs from the hand-over on.
  Pass(clock, 1000);
  EXPECT_EQ(SideText(clock, 0), "00:01:22");

  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 82000);
  Pass(clock, 1000);
  clock.SwitchSide(0);  // period 3 begins
  EXPECT_EQ(clock.GetSideTimeMs(0), 92000);
  EXPECT_EQ(clock.GetSideTimeMs(1), 90000);
  EXPECT_EQ(clock.lastMoveMs, 1000u);
  EXPECT_EQ(clock.pliesLeft, 2);
  EXPECT_EQ(clock.period3.entered, 0);
  clock.SwitchSide(1);
  clock.SwitchSide(0);  // and again after each 2 * period3.moves plies
  EXPECT_EQ(clock.GetSideTimeMs(0), 102000);
  EXPECT_EQ(clock.GetSideTimeMs(1), 100000);
  EXPECT_EQ(clock.pliesLeft, 2);

  clock.Reset();
  EXPECT_EQ(clock.period2.entered, 0);
  EXPECT_EQ(clock.pliesLeft, 4);
  EXPECT_EQ(clock.GetSideTimeMs(1), 60000);
  EXPECT_EQ(clock.runningSide, -1);
}

TEST_F(GameClockTest, PeriodsBegunAgainStopAtTheLongestClockTime) {
  CGameClock clock;
  clock.period1 = {1, kMaxPeriodSeconds, 0};
  clock.period2 = {1, kMaxPeriodSeconds, 0};
  clock.period3 = {1, kMaxPeriodSeconds, 0};
  clock.SetMode(kClockTournament);
  clock.Reset();
  clock.SwitchSide(1);
  for (int ply = 0; ply < 8; ++ply) {
    clock.SwitchSide(ply % 2);
    for (int side = 0; side < 2; ++side) {
      EXPECT_GT(clock.GetSideTimeMs(side), 2000000000) << ply;
      EXPECT_LE(clock.GetSideTimeMs(side), kMaxClockMs) << ply;
    }
  }
  EXPECT_EQ(clock.GetSideTimeMs(0), kMaxClockMs);
  EXPECT_EQ(SideText(clock, 1), "596:31:23");
}

TEST_F(GameClockTest, MovesLeftRoundsUp) {
  CGameClock clock;
  clock.pliesLeft = 5;
  EXPECT_EQ(clock.GetMovesLeft(), 3);
  clock.pliesLeft = 0;
  EXPECT_EQ(clock.GetMovesLeft(), 0);
  clock.pliesLeft = 1;
  EXPECT_EQ(clock.GetMovesLeft(), 1);
}

TEST_F(GameClockTest, PauseFreezesTheRunningMove) {
  CGameClock clock;
  SetUpGameTime(clock, 10, 0);
  clock.SwitchSide(0);
  Pass(clock, 3000);
  clock.Pause();
  Pass(clock, 50000);
  EXPECT_EQ(clock.elapsedMs, 3000u);
  EXPECT_EQ(SideText(clock, 0), "00:09:57");
  clock.Resume();
  Pass(clock, 2000);
  EXPECT_EQ(clock.elapsedMs, 5000u);
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 595000);
}

TEST_F(GameClockTest, SwitchWhilePausedChargesNothing) {
  CGameClock clock;
  SetUpGameTime(clock, 10, 0);
  clock.SwitchSide(0);
  Pass(clock, 3000);
  clock.Pause();
  Pass(clock, 20000);
  clock.SwitchSide(1);
  EXPECT_EQ(clock.runningSide, 1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 600000);
  EXPECT_EQ(clock.lastMoveMs, 3000u);
  EXPECT_EQ(clock.elapsedMs, 0u);
  // Black's move starts from 0 when the clock goes on.
  Pass(clock, 7000);
  clock.Resume();
  EXPECT_EQ(clock.elapsedMs, 0u);
  Pass(clock, 1000);
  EXPECT_EQ(clock.elapsedMs, 1000u);
  clock.SwitchSide(0);
  EXPECT_EQ(clock.GetSideTimeMs(1), 599000);
}

TEST_F(GameClockTest, FirstSwitchDuringAPause) {
  CGameClock clock;
  clock.SetMode(kClockCountUp);
  clock.Reset();
  clock.Pause();
  Pass(clock, 9000);
  clock.SwitchSide(1);
  EXPECT_EQ(clock.runningSide, 1);
  clock.Resume();
  Pass(clock, 2000);
  EXPECT_EQ(clock.elapsedMs, 2000u);
}

TEST_F(GameClockTest, ResumeWithoutPauseChangesNothing) {
  CGameClock clock;
  clock.SwitchSide(0);
  Pass(clock, 1500);
  clock.Resume();
  EXPECT_EQ(clock.elapsedMs, 1500u);
  Pass(clock, 500);
  EXPECT_EQ(clock.elapsedMs, 2000u);
}

TEST_F(GameClockTest, OtherModesChargeAndShowNothing) {
  CGameClock clock;
  clock.SetMode(1);
  clock.Reset();
  clock.SetSideTimeMs(0, 5000);
  clock.SwitchSide(0);
  EXPECT_EQ(clock.runningSide, -1);
  Pass(clock, 3000);
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 5000);
  EXPECT_EQ(SideText(clock, 0), "00:00:00");
}

TEST_F(GameClockTest, ModeThreeCountsDownButResetKeepsTimes) {
  CGameClock clock;
  clock.SetMode(3);
  clock.SetSideTimeMs(0, 20000);
  clock.SetSideTimeMs(1, 30000);
  clock.Reset();
  EXPECT_EQ(clock.GetSideTimeMs(0), 20000);
  clock.SwitchSide(0);
  Pass(clock, 5000);
  EXPECT_EQ(SideText(clock, 0), "00:00:15");
  clock.SwitchSide(1);
  EXPECT_EQ(clock.GetSideTimeMs(0), 15000);
}

TEST_F(GameClockTest, SideTimesInHoursMinutesSeconds) {
  CGameClock clock;
  clock.SetMode(kClockGameTime);
  clock.SetSideTimeHms(0, 12, 3, 9);
  EXPECT_EQ(clock.GetSideTimeMs(0), 12 * 3600000 + 3 * 60000 + 9000);
  int32_t h, m, s;
  clock.GetSideTimeHms(0, &h, &m, &s);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(m, 3);
  EXPECT_EQ(s, 9);
  EXPECT_EQ(SideText(clock, 0), "12:03:09");
  clock.SetSideTimeMs(1, 65000);
  EXPECT_EQ(SideText(clock, 1), "00:01:05");
  clock.SetSideTimeHms(1, 150, 59, 10);
  EXPECT_EQ(SideText(clock, 1), "150:59:10");
}

// Setting a side's time while a side's move runs: the clock shows exactly
// the time set, for the running side too, and the running move counts on
// from there; the other side keeps its time.
TEST_F(GameClockTest, SetTimeWhileRunningShowsTheTimeSet) {
  struct Case {
    int16_t mode;
    bool paused;
    const char* afterTenSeconds;  // the running side, 10 s after setting
  } const cases[] = {
      {kClockCountUp, false, "00:01:10"},
      {kClockGameTime, false, "00:00:50"},
      {kClockGameTime, true, "00:01:00"},  // a paused move stands still
  };
  for (const Case& c : cases) {
    CGameClock clock;
    SetUpGameTime(clock, 10, 0);
    clock.SetMode(c.mode);
    clock.Reset();
    clock.SwitchSide(0);
    Pass(clock, 8000);
    clock.SwitchSide(1);
    Pass(clock, 5000);  // Black's move runs
    if (c.paused) clock.Pause();
    const std::string red = SideText(clock, 0);
    clock.SetSideTimeHms(1, 0, 1, 0);
    clock.SetSideTimeHms(0, 0, 2, 6);
    clock.Tick();
    EXPECT_EQ(SideText(clock, 1), "00:01:00") << c.mode;
    EXPECT_EQ(SideText(clock, 0), "00:02:06") << c.mode;
    EXPECT_NE(red, "00:02:06");
    Pass(clock, 10000);
    EXPECT_EQ(SideText(clock, 1), c.afterTenSeconds) << c.mode;
    EXPECT_EQ(SideText(clock, 0), "00:02:06") << c.mode;
    if (c.paused) clock.Resume();
    clock.SwitchSide(0);
    EXPECT_EQ(SideText(clock, 1), c.afterTenSeconds) << c.mode;
  }
}

TEST_F(GameClockTest, MoveTimeTexts) {
  CGameClock clock;
  clock.SwitchSide(1);
  Pass(clock, 3725000);
  EXPECT_EQ(MoveText(clock, 1, 0), "02:05");
  EXPECT_EQ(MoveText(clock, 1, 1), "01:02:05");
  EXPECT_EQ(MoveText(clock, 0, 1), "00:00:00");
  clock.SwitchSide(0);
  EXPECT_EQ(MoveText(clock, 1, 0), "02:05");
  EXPECT_EQ(MoveText(clock, 0, 0), "00:00");
}

TEST_F(GameClockTest, ParseClockText) {
  int32_t h = -1, m = -1, s = -1;
  char text[] = "1:02:35";
  EXPECT_EQ(CGameClock::ParseClockText(text, &h, &m, &s), 1);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(m, 2);
  EXPECT_EQ(s, 35);
  EXPECT_STREQ(text, "1");  // the colons became NULs
  EXPECT_STREQ(text + 2, "02");
  char odd[] = "12:x:7z";
  CGameClock::ParseClockText(odd, &h, &m, &s);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(s, 7);
  char bare[] = "42";
  CGameClock::ParseClockText(bare, &h, &m, &s);
  EXPECT_EQ(h, 42);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(s, 0);
}

// The full reset at start-up puts the program's clock back to idle.
TEST_F(GameClockTest, FullResetStopsTheProgramClock) {
  gameClock.SetMode(kClockCountUp);
  gameClock.SwitchSide(0);
  Pass(gameClock, 1000);
  gameClock.SwitchSide(1);
  ASSERT_EQ(gameClock.GetSideTimeMs(0), 1000);
  ResetGameState(0);  // a new game leaves the clock to its callers
  EXPECT_EQ(gameClock.runningSide, 1);
  testing_support::InitEngine();
  EXPECT_EQ(gameClock.GetSideTimeMs(0), 0);
  EXPECT_EQ(gameClock.runningSide, -1);
}

}  // namespace
