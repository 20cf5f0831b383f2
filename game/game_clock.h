// The game clock: both players' times for the game on the board, counted up,
// counted down from a game time, or under a tournament control of three
// periods. Times are milliseconds of GetTickMs.
#pragma once

#include <cstdint>

// Clock modes. 3 is treated as counting down like 2 and 4; any other value
// shows 0 and charges nothing.
enum ClockMode : int16_t {
  kClockCountUp = 0,      // each side's used time grows
  kClockGameTime = 2,     // counts down from gameMinutes and gameSeconds
  kClockTournament = 4,   // counts down; three periods add time
};

struct TimePeriod {
  int32_t moves;    // moves per side in the period
  int32_t seconds;  // time given to each side when the period begins
  int32_t entered;  // set once the period has begun
};

// The most a clock holds: its milliseconds stay within a signed 32-bit number.
constexpr int32_t kMaxClockMs = INT32_MAX;
// The longest game time and period that fit it, and the most moves a period
// can count (the clock counts them in plies).
constexpr int32_t kMaxGameMinutes = (kMaxClockMs - 59 * 1000) / 60000;
constexpr int32_t kMaxPeriodSeconds = kMaxClockMs / 1000;
constexpr int32_t kMaxPeriodMoves = INT32_MAX / 2;

// Text forms are "hh:mm:ss" or "mm:ss"; buffers of kClockTextSize suffice.
constexpr int kClockTextSize = 24;

class CGameClock {
 public:
  CGameClock();
  virtual ~CGameClock();

  // Stores the game time; each side gets minutes (the seconds count from the
  // next Reset on); nobody runs.
  void SetGameTime(int32_t minutes, int32_t seconds);
  void GetGameTime(int32_t* minutes, int32_t* seconds) const;
  void SetMode(int32_t newMode);
  // Back to idle: times by mode, periods not entered, nobody running.
  void Reset();
  // Unless paused, elapsedMs := now - startTick.
  void Tick();
  // After a move: charges the running side and starts nextSide's move; a
  // tournament period the move completes then adds its time to both sides.
  void SwitchSide(int32_t nextSide);
  // The clock runs for `side` from now on without a move being counted
  // (the game was stepped through, or a command changed the side to
  // move): the running side is charged its time so far. Nothing changes
  // while nobody runs or when `side` already runs.
  void RunFor(int32_t side);
  void SetSideTimeMs(int32_t side, uint32_t ms);
  int32_t GetSideTimeMs(int32_t side) const;
  // Sets the time the side shows; for the running side its current move
  // is timed again from now.
  void SetSideTimeHms(int32_t side, int32_t h, int32_t m, int32_t s);
  // The shown time of a side: used time plus the running move (count up), or
  // remaining time minus the running move, never below 0 (count down).
  void GetSideTimeHms(int32_t side, int32_t* h, int32_t* m, int32_t* s) const;
  void FormatSideTime(int32_t side, char* text) const;
  // The current move's time for the running side, the previous move's for
  // the other one, 0 while nobody runs; "mm:ss" or, withHours, "hh:mm:ss".
  void FormatMoveTime(int32_t side, char* text, int32_t withHours) const;
  // Moves left in the current period: (pliesLeft + 1) / 2.
  int32_t GetMovesLeft() const;
  void Pause();
  void Resume();
  // Splits "h:m:s" at its two colons (overwritten with NULs) and reads each
  // part's leading digits (0 when none). Returns 1; a text without two
  // colons reads the missing parts as 0.
  static int32_t ParseClockText(char* text, int32_t* h, int32_t* m, int32_t* s);

  int32_t paused;
  TimePeriod period1;
  TimePeriod period2;
  TimePeriod period3;
  int32_t gameMinutes;
  int32_t gameSeconds;
  int16_t mode;          // ClockMode
  int32_t pliesLeft;     // plies left in the current period (tournament)
  int32_t runningSide;   // 0 red, 1 black, -1 nobody yet
  uint32_t sideTimeMs[2];  // used time (count up) or remaining time
  uint32_t elapsedMs;    // time spent on the current move so far
  uint32_t lastMoveMs;   // time spent on the previous move
  uint32_t startTick;    // tick the current move began; while paused, the
                         // elapsed time saved by Pause

 private:
  uint32_t ShownTimeMs(int32_t side) const;
  // Charges the running side (nothing while paused) and starts nextSide's
  // move; the first hand-over starts the clock.
  void HandOver(int32_t nextSide);
  // elapsedMs := 0 and the current move starts now (while paused: the saved
  // elapsed time becomes 0).
  void RestartMoveTiming();
};

extern CGameClock gameClock;
