// A harness for the think driver tests: a fake tick that advances at every
// poll, a script of actions run at chosen polls of chosen searches, the
// engine events seen, and a quiet engine (no books, learning or autosave)
// with its data files in a temporary folder. Every test starts from the same
// engine settings, whether it runs alone or after others, and no test can
// hang: a test whose searches keep polling is failed and its searches are
// stopped by the fake tick.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/new_game.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"
#include "game/game_clock.h"
#include "tests/support/engine_hooks.h"
#include "tests/support/test_position.h"

namespace driver_harness {

struct Action {
  int search;  // 0 = the first search of the test
  int poll;    // 0 = the poll Think makes before the search
  std::function<void()> act;
};

struct State {
  uint32_t now = 1000;
  uint32_t msPerPoll = 0;
  int searchIndex = -1;
  int pollIndex = 0;
  std::vector<int> searchModes;     // engineState at the start of each search
  std::vector<uintptr_t> stackAt;   // frame address of the first poll of each search
  std::vector<Action> actions;
  std::vector<int> events;
  std::function<void()> everyPoll;  // runs at every poll after the actions
};

inline State& S() {
  static State s;
  return s;
}

inline uint32_t FakeTick() { return S().now; }

// The polls of all searches of one test. No test needs nearly as many; past
// the limit the test has failed (a search that does not end) and every
// further poll stops the running search at once, with the time cap of the
// fake tick, so that the searches unwind and the test ends. Should even that
// not end it, the test process aborts.
constexpr int kPollLimit = 20000;
inline int& PollsThisTest() {
  static int polls = 0;
  return polls;
}

inline bool PollLimitReached() {
  const int polls = ++PollsThisTest();
  if (polls <= kPollLimit) return false;
  if (polls == kPollLimit + 1)
    ADD_FAILURE() << "the searches of this test did not end after " << kPollLimit << " polls";
  if (polls > 2 * kPollLimit) {
    std::fprintf(stderr, "driver_harness: the searches do not stop; aborting\n");
    std::fflush(stdout);
    std::abort();
  }
  S().now += kSearchTimeCapMs + 1;
  stopRequested = 1;
  return true;
}

// Think clears nodeCount right before its first poll; every poll inside a
// search comes after a counted node.
__attribute__((noinline)) inline void Poll() {
  if (PollLimitReached()) return;
  State& s = S();
  if (nodeCount == 0 && nodeCountHigh == 0) {
    ++s.searchIndex;
    s.pollIndex = 0;
    s.searchModes.push_back(engineState);
    s.stackAt.push_back(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
  } else {
    ++s.pollIndex;
  }
  for (const Action& a : s.actions)
    if (a.search == s.searchIndex && a.poll == s.pollIndex) a.act();
  if (s.everyPoll) s.everyPoll();
  // The time passes after the poll has looked at it.
  s.now += s.msPerPoll;
}

inline void RecordEvent(int code) { S().events.push_back(code); }

// The fixture: start position, quiet engine, level mode 2 at a small depth,
// a fake tick (msPerPoll per poll) and frequent polls.
class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Key tables first: the first engine set-up of the process must not
    // point the data folder elsewhere once the test has chosen its own.
    testing_support::InitTestProcess();
    char pattern[] = "/tmp/vorelk_driver_XXXXXX";
    const char* dir = mkdtemp(pattern);
    ASSERT_NE(dir, nullptr);
    dir_ = dir;
    std::strcpy(installDirectory, dir_.c_str());
    // The learning files of the test are opened in its folder by the full
    // reset of SetUpFen below; no book is loaded.
    CloseLearningFiles();
    FreeBooks();
    bookMode1 = kBookOff;
    bookMode2 = kBookOff;
    useLearning = 0;
    learnMoves = 0;
    Ponder = 0;
    saveOnEachMove = 0;
    enginePlaysSide0 = 1;
    enginePlaysSide1 = 1;
    saved_ = {levelMode, searchDepth, thinkingTime, exactTime, pollInterval};
    levelMode = kLevelSearchDepth;
    searchDepth = 3;
    thinkingTime = 2000;
    exactTime = 1;
    pollInterval = 150;
    Handicap = 0;
    ponderMove = 0;
    followPv = 0;
    pendingUserMove = 0;
    // The smallest table: the same for every test and every machine (the
    // automatic size follows the machine's memory), and cheap to clear.
    SetHashSize(0);
    S() = State{};
    PollsThisTest() = 0;
    testing_support::SetEngineHooks(FakeTick, Poll, RecordEvent);
    testing_support::SetUpFen(testing_support::kStartFen);
    engineState = kEngineIdle;
    stopRequested = 0;
    pendingRequest = kRequestNone;
  }

  void TearDown() override {
    testing_support::ClearEngineHooks();
    levelMode = saved_.levelMode;
    searchDepth = saved_.searchDepth;
    thinkingTime = saved_.thinkingTime;
    exactTime = saved_.exactTime;
    pollInterval = saved_.pollInterval;
    Ponder = 0;
    CloseLearningFiles();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // The user plays a move on the shown position, as the interface does.
  static void UserMove(const std::string& text) {
    const Move m = testing_support::MoveFromText(text);
    ASSERT_TRUE(MakeMoveAfterShownPly(m)) << text;
    RecordMadeMove();
    ShowGamePosition();
  }

  // A fresh script; the tick then advances msPerPoll at every poll.
  static void ResetScript(uint32_t msPerPoll) {
    S() = State{};
    S().msPerPoll = msPerPoll;
  }

  static void At(int search, int poll, std::function<void()> act) {
    S().actions.push_back({search, poll, std::move(act)});
  }

  static std::vector<HistoryRecord> GameRecords(int count) {
    return std::vector<HistoryRecord>(&history[1], &history[1] + count);
  }

  // Records from..from+count-1 are those of a (taken from record 1 on). The
  // balance is left out: a move that is replayed records the balance of the
  // banks of the last preparation.
  static bool SameRecords(const std::vector<HistoryRecord>& a, int from, int count) {
    for (int i = 0; i < count; ++i) {
      HistoryRecord now = history[from + i];
      now.balance = a[from - 1 + i].balance;
      if (std::memcmp(&a[from - 1 + i], &now, sizeof(HistoryRecord)) != 0) return false;
    }
    return true;
  }

  // The game position is consistent: the next record MakeMove writes is
  // game record gamePly + 1.
  static bool HistoryPointerAtShownPly() {
    return historyBase + historyPly == &history[gamePly + 1];
  }

  std::string dir_;
  struct Saved {
    int32_t levelMode, searchDepth, thinkingTime, exactTime, pollInterval;
  } saved_{};
};

}  // namespace driver_harness
