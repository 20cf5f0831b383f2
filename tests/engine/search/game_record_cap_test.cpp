// The engine at the end of the game record: no think, ponder, hint or
// analysis adds a move past kMaxGameMoves, and nothing is written into the
// records behind the full game.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/engine/search/driver_harness.h"

namespace {

using driver_harness::DriverTest;
using driver_harness::S;

constexpr uint8_t kUntouched = 0xA5;

class GameRecordCapTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    ResetScript(20);
  }

  // The knights' round h0g2 h9g7 g2h0 g7h9 up to `plies` game moves (no
  // repetition ruling ends a game of it), then the records behind the
  // longest game are marked.
  void PlayRound(int plies) {
    static const char* const kRound[] = {"h0g2", "h9g7", "g2h0", "g7h9"};
    for (int ply = 0; ply < plies; ++ply) UserMove(kRound[ply % 4]);
    ASSERT_EQ(gamePly, plies);
    std::memset(&history[kMaxGameMoves + 1], kUntouched,
                sizeof(HistoryRecord) * (kHistorySize - kMaxGameMoves - 1));
  }

  // The game never passed the cap and the records behind it are as marked.
  static void ExpectWithinRecord(const std::string& what) {
    EXPECT_LE(gamePly, kMaxGameMoves) << what;
    EXPECT_LE(gameLength, kMaxGameMoves) << what;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&history[kMaxGameMoves + 1]);
    const size_t size = sizeof(HistoryRecord) * (kHistorySize - kMaxGameMoves - 1);
    size_t changed = 0;
    for (size_t i = 0; i < size; ++i) changed += bytes[i] != kUntouched ? 1 : 0;
    EXPECT_EQ(changed, 0u) << what << ": bytes written behind the game record";
    EXPECT_EQ(engineState, kEngineIdle) << what;
    EXPECT_TRUE(HistoryPointerAtShownPly()) << what;
  }
};

TEST_F(GameRecordCapTest, TheEnginePlaysTheLastMoveAndNoneAfterIt) {
  PlayRound(kMaxGameMoves - 1);
  HintSearch();
  EXPECT_NE(ponderMove, 0) << "a hint for the last move";
  ponderMove = 0;
  Think(kThinkPlay, 0);
  EXPECT_EQ(gamePly, kMaxGameMoves);
  EXPECT_EQ(gameLength, kMaxGameMoves);
  EXPECT_EQ(history[kMaxGameMoves].engineMove, 1);
  ExpectWithinRecord("the last move");

  // Every search the interface can start, again and again, at the full record.
  const Move last = history[kMaxGameMoves].move;
  const int searches = static_cast<int>(S().searchModes.size());
  const std::pair<const char*, std::function<void()>> starts[] = {
      {"think", [] { Think(kThinkPlay, 0); }},
      {"think without books", [] { Think(kThinkPlayNoBook, 0); }},
      {"think again", [] { Think(kThinkPlay, 0); }},
      {"ponder",
       [] {
         // Any predicted move: the search must not start before it looks.
         ponderMove = static_cast<int32_t>(history[kMaxGameMoves - 1].move);
         Think(kThinkPonder, 0);
         ponderMove = 0;
       }},
      {"analysis", [] { Think(kThinkAnalysis, 0); }},
      {"mate search", [] { Think(kThinkMateSearch, 0); }},
      {"hint", [] { HintSearch(); }},
  };
  for (const auto& [what, start] : starts) {
    start();
    EXPECT_EQ(gamePly, kMaxGameMoves) << what;
    EXPECT_EQ(history[kMaxGameMoves].move, last) << what;
    EXPECT_EQ(ponderMove, 0) << what;
    ExpectWithinRecord(what);
  }
  EXPECT_EQ(static_cast<int>(S().searchModes.size()), searches) << "a search started";
}

// Pondering puts the predicted move on the record and, on a ponder hit,
// plays the engine's answer: both must fit.
TEST_F(GameRecordCapTest, PonderingOnlyWhereThePredictionAndTheAnswerFit) {
  struct Case {
    int startPly;
    bool ponders;
  } const cases[] = {{kMaxGameMoves - 2, false}, {kMaxGameMoves - 3, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.startPly);
    testing_support::SetUpFen(testing_support::kStartFen);
    ResetScript(20);
    Ponder = 1;
    PlayRound(c.startPly);
    // A ponder hit: the user plays the predicted move.
    At(1, 3, [] {
      engineState = kEngineThinking;
      moveTimeLimitMs = static_cast<uint32_t>(thinkingTime);
    });
    At(2, 1, [] { RequestStop(kRequestNone); });
    Think(kThinkPlay, 0);
    const std::vector<int> once = {kEngineThinking};
    const std::vector<int> withHit = {kEngineThinking, kEnginePondering};
    EXPECT_EQ(S().searchModes, c.ponders ? withHit : once);
    const int32_t end = c.ponders ? kMaxGameMoves : c.startPly + 1;
    EXPECT_EQ(gamePly, end);
    EXPECT_EQ(gameLength, end);
    EXPECT_EQ(history[end].engineMove, 1);
    ExpectWithinRecord("after pondering");
  }
}

}  // namespace
