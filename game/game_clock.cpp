// The game clock.
#include "game/game_clock.h"

#include <algorithm>
#include <cstdio>

#include "engine/bridge.h"

CGameClock gameClock;

namespace {

bool CountsDown(int mode) { return mode >= 2 && mode <= 4; }

bool IsSide(int32_t side) { return side == 0 || side == 1; }

// Appends one field of a clock text: "%d", with a "0" before values of 9 or
// less.
int AppendField(char* text, int at, int value, bool colon) {
  return at + std::snprintf(text + at, static_cast<size_t>(kClockTextSize - at),
                            value <= 9 ? "%s0%d" : "%s%d", colon ? ":" : "", value);
}

void FormatClockText(char* text, uint32_t ms, bool withHours) {
  const int hours = static_cast<int>(ms / 3600000u);
  const int minutes = static_cast<int>(ms / 60000u % 60u);
  const int seconds = static_cast<int>(ms / 1000u % 60u);
  int at = 0;
  if (withHours) at = AppendField(text, at, hours, false);
  at = AppendField(text, at, minutes, withHours);
  AppendField(text, at, seconds, true);
}

// The leading decimal digits of text, 0 when there are none.
int32_t LeadingNumber(const char* text) {
  int32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value > 100000000) break;
    value = value * 10 + (*text - '0');
  }
  return value;
}

}  // namespace

CGameClock::CGameClock()
    : paused(0),
      period1{},
      period2{},
      period3{},
      gameMinutes(0),
      gameSeconds(0),
      mode(kClockCountUp),
      pliesLeft(0),
      runningSide(-1),
      sideTimeMs{0, 0},
      elapsedMs(0),
      lastMoveMs(0),
      startTick(0) {
  Reset();
}

CGameClock::~CGameClock() = default;

void CGameClock::SetGameTime(int32_t minutes, int32_t seconds) {
  gameMinutes = minutes;
  gameSeconds = seconds;
  sideTimeMs[0] = sideTimeMs[1] = static_cast<uint32_t>(minutes * 60000);
  elapsedMs = 0;
  runningSide = -1;
}

void CGameClock::GetGameTime(int32_t* minutes, int32_t* seconds) const {
  *minutes = gameMinutes;
  *seconds = gameSeconds;
}

void CGameClock::SetMode(int32_t newMode) { mode = static_cast<int16_t>(newMode); }

void CGameClock::Reset() {
  paused = 0;
  pliesLeft = 2 * period1.moves;
  period1.entered = period2.entered = period3.entered = 0;
  if (mode == kClockCountUp) {
    sideTimeMs[0] = sideTimeMs[1] = 0;
  } else if (mode == kClockTournament) {
    sideTimeMs[0] = sideTimeMs[1] = static_cast<uint32_t>(period1.seconds * 1000);
  } else if (mode == kClockGameTime) {
    sideTimeMs[0] = sideTimeMs[1] = static_cast<uint32_t>(gameMinutes * 60000 + gameSeconds * 1000);
  }
  runningSide = -1;
  elapsedMs = 0;
  lastMoveMs = 0;
}

void CGameClock::Tick() {
  if (paused == 0) elapsedMs = GetTickMs() - startTick;
}

void CGameClock::RestartMoveTiming() {
  elapsedMs = 0;
  // While paused startTick holds the saved elapsed time, which Resume takes
  // back: a move begun during the pause starts from 0.
  startTick = paused != 0 ? 0 : GetTickMs();
}

void CGameClock::SwitchSide(int32_t nextSide) {
  // The move is charged first; a period it completes then adds its time, so
  // the move that ends a period costs what it took like any other.
  const TimePeriod* next = nullptr;
  if (mode == kClockTournament) {
    // The period's last ply begins the next period; period 3 begins again
    // each time its plies run out.
    if (--pliesLeft == 0) {
      next = period2.entered == 0 ? &period2 : period3.entered == 0 ? &period3 : nullptr;
    }
  } else {
    pliesLeft = 0;
  }
  HandOver(nextSide);
  if (next == nullptr) return;
  // A period begun again and again adds up to what the clock holds.
  for (uint32_t& time : sideTimeMs) {
    const int64_t added = int64_t{time} + int64_t{next->seconds} * 1000;
    time = static_cast<uint32_t>(std::clamp<int64_t>(added, 0, kMaxClockMs));
  }
  if (next == &period2) period2.entered = 1;
  pliesLeft = 2 * next->moves;
}

void CGameClock::RunFor(int32_t side) {
  if (runningSide == -1 || runningSide == side) return;
  HandOver(side);
}

void CGameClock::HandOver(int32_t nextSide) {
  if (runningSide != -1 && paused != 0) {
    // Nothing is charged during a pause.
    runningSide = nextSide;
    lastMoveMs = elapsedMs;
    RestartMoveTiming();
    return;
  }

  Tick();
  if (mode != kClockCountUp && !CountsDown(mode)) return;
  if (runningSide == -1) {
    runningSide = nextSide;
    lastMoveMs = 0;
    RestartMoveTiming();
    return;
  }
  lastMoveMs = elapsedMs;
  if (IsSide(runningSide)) {
    uint32_t& time = sideTimeMs[runningSide];
    if (mode == kClockCountUp) {
      time += elapsedMs;
    } else {
      time = elapsedMs < time ? time - elapsedMs : 0;
    }
  }
  runningSide = nextSide;
  RestartMoveTiming();
}

void CGameClock::SetSideTimeMs(int32_t side, uint32_t ms) {
  if (!IsSide(side)) return;
  sideTimeMs[side] = ms;
  lastMoveMs = 0;
  RestartMoveTiming();
}

int32_t CGameClock::GetSideTimeMs(int32_t side) const {
  return IsSide(side) ? static_cast<int32_t>(sideTimeMs[side]) : 0;
}

void CGameClock::SetSideTimeHms(int32_t side, int32_t h, int32_t m, int32_t s) {
  if (!IsSide(side)) return;
  sideTimeMs[side] = static_cast<uint32_t>(h) * 3600000u + static_cast<uint32_t>(m) * 60000u +
                     static_cast<uint32_t>(s) * 1000u;
  // The shown time is the one set: the running side's current move counts
  // again from now, on top of it.
  if (side == runningSide) RestartMoveTiming();
}

uint32_t CGameClock::ShownTimeMs(int32_t side) const {
  if (!IsSide(side)) return 0;
  const uint32_t running = side == runningSide ? elapsedMs : 0;
  if (mode == kClockCountUp) return sideTimeMs[side] + running;
  if (CountsDown(mode)) return running < sideTimeMs[side] ? sideTimeMs[side] - running : 0;
  return 0;
}

void CGameClock::GetSideTimeHms(int32_t side, int32_t* h, int32_t* m, int32_t* s) const {
  const uint32_t ms = ShownTimeMs(side);
  *h = static_cast<int32_t>(ms / 3600000u);
  *m = static_cast<int32_t>(ms / 60000u % 60u);
  *s = static_cast<int32_t>(ms / 1000u % 60u);
}

void CGameClock::FormatSideTime(int32_t side, char* text) const {
  FormatClockText(text, ShownTimeMs(side), true);
}

void CGameClock::FormatMoveTime(int32_t side, char* text, int32_t withHours) const {
  uint32_t ms = 0;
  if (runningSide != -1) ms = side == runningSide ? elapsedMs : lastMoveMs;
  FormatClockText(text, ms, withHours != 0);
}

int32_t CGameClock::GetMovesLeft() const { return (pliesLeft + 1) / 2; }

void CGameClock::Pause() {
  if (paused != 0) return;
  paused = 1;
  startTick = elapsedMs;
}

void CGameClock::Resume() {
  if (paused == 0) return;
  paused = 0;
  elapsedMs = startTick;
  startTick = GetTickMs() - elapsedMs;
}

int32_t CGameClock::ParseClockText(char* text, int32_t* h, int32_t* m, int32_t* s) {
  char* parts[3] = {text, nullptr, nullptr};
  char* p = text;
  for (int i = 1; i < 3; ++i) {
    while (*p != '\0' && *p != ':') ++p;
    if (*p == '\0') break;
    *p++ = '\0';
    parts[i] = p;
  }
  *h = LeadingNumber(parts[0]);
  *m = parts[1] != nullptr ? LeadingNumber(parts[1]) : 0;
  *s = parts[2] != nullptr ? LeadingNumber(parts[2]) : 0;
  return 1;
}
