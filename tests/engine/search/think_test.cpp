// The think driver: determinism, the level modes and their budgets under a
// fake tick, the lowest levels, the book path, the hint, and the faults the
// driver guards against (stale requests, stops before any root move, moves
// that are not valid here, records written over the game).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/search/new_game.h"
#include "game/comments.h"
#include "tests/engine/search/driver_harness.h"

namespace {

using driver_harness::DriverTest;
using driver_harness::S;
using testing_support::MoveFromText;
using testing_support::SetUpFen;

const char* kMiddleGame = "r1bak1b1r/4a4/c7n/4p1pRp/1n7/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w";

uint64_t Nodes() { return static_cast<uint64_t>(nodeCountHigh) * kNodeCountFold + nodeCount; }

struct Played {
  Move move;
  int32_t score;
  uint64_t nodes;
};

// One think in play mode; the engine's move is read back from the game.
Played ThinkOnce() {
  const int32_t before = gamePly;
  Think(kThinkPlay, 0);
  Played p{0, 0, Nodes()};
  if (gamePly == before + 1) {
    p.move = history[gamePly].move;
    p.score = history[gamePly].engineScore;
  }
  return p;
}

using ThinkTest = DriverTest;

TEST_F(ThinkTest, FixedDepthSearchIsDeterministic) {
  searchDepth = 4;
  SetUpFen(kMiddleGame);
  const Played first = ThinkOnce();
  ASSERT_NE(first.move, 0u);
  EXPECT_GT(first.nodes, 1000u);
  EXPECT_EQ(history[gamePly].engineMove, 1);
  EXPECT_EQ(gameLength, 1);
  for (int run = 0; run < 2; ++run) {
    SetUpFen(kMiddleGame);
    const Played again = ThinkOnce();
    EXPECT_EQ(again.move, first.move);
    EXPECT_EQ(again.score, first.score);
    EXPECT_EQ(again.nodes, first.nodes);
  }
}

TEST_F(ThinkTest, NewGameResetsEveryTable) {
  searchDepth = 4;
  ResetGameState(1);
  const Played first = ThinkOnce();
  ASSERT_NE(first.move, 0u);
  // A different game in between leaves its traces in every table.
  SetUpFen(kMiddleGame);
  UserMove("h6h9");
  ThinkOnce();
  ThinkOnce();
  ResetGameState(1);
  const Played again = ThinkOnce();
  EXPECT_EQ(again.move, first.move);
  EXPECT_EQ(again.nodes, first.nodes);
  EXPECT_EQ(again.score, first.score);
}

TEST_F(ThinkTest, ALineLeftToFollowByTheSearchBeforeChangesNothing) {
  searchDepth = 4;
  SetUpFen(kMiddleGame);
  followPv = 0;
  const Played clean = ThinkOnce();
  ASSERT_NE(clean.move, 0u);
  // A search that ended on its principal variation leaves followPv set; the
  // next think clears the lines to follow, and the flag with them.
  SetUpFen(kMiddleGame);
  followPv = 1;
  const Played after = ThinkOnce();
  EXPECT_EQ(after.move, clean.move);
  EXPECT_EQ(after.score, clean.score);
  EXPECT_EQ(after.nodes, clean.nodes);
}

// Runs a think in play mode with the tick advancing per poll: the elapsed
// time at the poll that stopped it (0 when none did) and the clock budget
// the search began with.
struct Timed {
  uint32_t stoppedAt = 0;
  uint32_t budget = 0;
};

Timed RunTimed(uint32_t msPerPoll, const std::function<void()>& setUp = nullptr) {
  S() = driver_harness::State{};
  S().msPerPoll = msPerPoll;
  Timed t;
  bool budgetSeen = false;
  S().everyPoll = [&] {
    if (S().searchIndex != 0 || S().pollIndex == 0) return;
    if (!budgetSeen) {
      budgetSeen = true;
      t.budget = clockBudgetMs;
    }
    if (stopRequested && t.stoppedAt == 0) t.stoppedAt = GetTickMs() - searchStartTick;
  };
  SetUpFen(kMiddleGame);
  if (setUp) setUp();
  Think(kThinkPlay, 0);
  S().everyPoll = nullptr;
  return t;
}

TEST_F(ThinkTest, ExcludedMoveIsNeverPlayed) {
  searchDepth = 3;
  SetUpFen(kMiddleGame);
  const Played first = ThinkOnce();
  ASSERT_NE(first.move, 0u);
  SetUpFen(kMiddleGame);
  Think(kThinkPlay, first.move);
  ASSERT_EQ(gamePly, 1);
  EXPECT_NE(history[1].move, first.move);
  for (int i = 0; i < rootMoveCount; ++i) EXPECT_NE(rootMoves[i].move, first.move);
}

TEST_F(ThinkTest, LevelMode1StopsAtTheFirstPollAfterThinkingTime) {
  levelMode = kLevelTimePerMove;
  thinkingTime = 2000;
  exactTime = 1;
  EXPECT_EQ(RunTimed(100).stoppedAt, 2100u);
  EXPECT_EQ(gamePly, 1);  // the move of the last completed iteration is played
  EXPECT_NE(history[1].move, 0u);
}

TEST_F(ThinkTest, LevelMode2EndsAfterTheLevel) {
  levelMode = kLevelSearchDepth;
  searchDepth = 3;
  S().msPerPoll = 1;
  SetUpFen(kMiddleGame);
  Think(kThinkPlay, 0);
  int done = 0;
  for (int i = 0; i < iterationLogCount; ++i)
    if (iterationLog[i].score == kMarkerIterationDone) ++done;
  EXPECT_EQ(done, 3);
  EXPECT_EQ(stopRequested, 0);
  EXPECT_EQ(history[1].engineDepth, 4);  // the loop counter past the level
}

// A clock-based think stops at the first poll past its budget, or earlier at
// the end of an iteration once two thirds of the budget are spent.
void ExpectStopsAtBudget(const Timed& t, uint32_t budget, uint32_t msPerPoll) {
  EXPECT_EQ(t.budget, budget);
  if (t.stoppedAt != 0) {
    EXPECT_EQ(t.stoppedAt, budget + msPerPoll);
  } else {
    EXPECT_GT(GetTickMs() - searchStartTick, budget * 2 / 3);
    EXPECT_LE(GetTickMs() - searchStartTick, budget + msPerPoll);
  }
  EXPECT_EQ(gamePly, 1);
}

TEST_F(ThinkTest, LevelMode3KeepsToAThirtiethOfTheClock) {
  levelMode = kLevelGameClock;
  const Timed t = RunTimed(100, [] { gameClock.sideTimeMs[kRed] = 60000; });
  ExpectStopsAtBudget(t, 2000, 100);
}

TEST_F(ThinkTest, LevelMode4DividesTheClockByTheMovesLeft) {
  levelMode = kLevelMovesInTime;
  const Timed five = RunTimed(500, [] {
    gameClock.sideTimeMs[kRed] = 60000;
    gameClock.pliesLeft = 10;  // 5 moves left
  });
  ExpectStopsAtBudget(five, 10000, 500);
  const Timed many = RunTimed(100, [] {
    gameClock.sideTimeMs[kRed] = 60000;
    gameClock.pliesLeft = 62;  // 31 moves left: a thirtieth
  });
  ExpectStopsAtBudget(many, 2000, 100);
}

TEST_F(ThinkTest, BudgetsByModeAndLevelMode) {
  int32_t level = 7;
  int32_t fromClock = -1;
  levelMode = kLevelMovesInTime;
  EXPECT_EQ(ThinkBudgetMs(kThinkPlay, 60000, 5, &level, &fromClock), 10000u);
  EXPECT_EQ(fromClock, 1);
  EXPECT_EQ(ThinkBudgetMs(kThinkPlay, 60000, 31, &level, &fromClock), 2000u);
  EXPECT_EQ(ThinkBudgetMs(kThinkPlay, 60000, -1, &level, &fromClock), 2000u);
  EXPECT_EQ(ThinkBudgetMs(kThinkPonder, 60000, 0, &level, &fromClock), 60000u);
  levelMode = kLevelSearchDepth;
  EXPECT_EQ(ThinkBudgetMs(kThinkPlay, 60000, 5, &level, &fromClock), 1000000000u);
  EXPECT_EQ(fromClock, 0);
  EXPECT_EQ(level, 7);
  EXPECT_EQ(ThinkBudgetMs(kThinkPonder, 60000, 5, &level, &fromClock), 1000000000u);
  EXPECT_EQ(level, 128);
  levelMode = kLevelTimePerMove;
  thinkingTime = 3000;
  EXPECT_EQ(ThinkBudgetMs(kThinkPlayNoBook, 60000, 5, &level, &fromClock), 3000u);
  EXPECT_EQ(ThinkBudgetMs(kThinkAnalysis, 60000, 5, &level, &fromClock), 3000u);
  EXPECT_EQ(ThinkBudgetMs(kThinkPonder, 60000, 5, &level, &fromClock), 2000u);
  EXPECT_EQ(fromClock, 1);
}

TEST_F(ThinkTest, ClockBudgetAfterBookMovesIsATwentieth) {
  levelMode = kLevelGameClock;
  gameClock.Reset();
  const char* moves[] = {"h2e2", "h9g7", "h0g2", "i9h9", "i0h0", "b9c7", "b0c2", "b7b3", "a0a1",
                         "c6c5", "c3c4"};
  for (const char* m : moves) UserMove(m);
  ASSERT_EQ(gamePly, 11);
  gameClock.sideTimeMs[kBlack] = 60000;
  uint32_t budget = 0;
  S().everyPoll = [&] {
    if (budget == 0 && S().pollIndex > 0) budget = clockBudgetMs;
  };
  history[gamePly - 3].searchFlag = 1;  // the engine's move two moves back came from a book
  S().msPerPoll = 50;
  Think(kThinkPlay, 0);
  EXPECT_EQ(budget, 3000u);
  EXPECT_EQ(history[11].searchFlag, 0);  // the user's last move is no book move
}

TEST_F(ThinkTest, SearchDepthBelowMinusTwoIsClamped) {
  searchDepth = -7;
  Think(kThinkPlay, 0);
  EXPECT_EQ(searchDepth, -2);
  ASSERT_EQ(gamePly, 1);
  EXPECT_NE(history[1].move, 0u);
  EXPECT_EQ(engineState, kEngineIdle);
}

TEST_F(ThinkTest, LevelZeroPlaysTheFirstBestRootScore) {
  searchDepth = 0;
  SetUpFen(kMiddleGame);
  Think(kThinkPlay, 0);
  ASSERT_EQ(gamePly, 1);
  int best = -1;
  for (int i = 0; i < rootMoveCount; ++i)
    if (rootMoves[i].move != 0 && rootMoves[i].score != -kMateScore &&
        (best < 0 || rootMoves[i].score > rootMoves[best].score))
      best = i;
  ASSERT_GE(best, 0);
  EXPECT_EQ(history[1].move, rootMoves[best].move);
  EXPECT_EQ(history[1].engineScore, rootMoves[best].score);
  EXPECT_EQ(nodeCount, Nodes());
}

TEST_F(ThinkTest, LevelMinusOneNeverPlaysAnExcludedOrIllegalMove) {
  searchDepth = -1;
  // Only one legal reply to the check; every other root entry is illegal.
  SetUpFen("2Raka3/3R5/9/p2N5/4p1b1p/C2r5/P2r4P/9/4A4/1c1AKN3 w");
  Think(kThinkPlay, 0);
  ASSERT_EQ(gamePly, 1);
  EXPECT_EQ(history[1].move, MoveFromText("c9c0"));
}

TEST_F(ThinkTest, StopBeforeAnyRootMovePlaysTheBestRootScore) {
  searchDepth = 6;
  pollInterval = 1;
  SetUpFen(kMiddleGame);
  searchedRootMove = 0;
  bool fired = false;
  S().everyPoll = [&] {
    // "Stop thinking !" during the first root move of the first iteration.
    if (!fired && searchedRootMove != 0) {
      fired = true;
      stopRequested = 1;
    }
  };
  Think(kThinkPlay, 0);
  ASSERT_TRUE(fired);
  ASSERT_EQ(gamePly, 1) << "the engine declared itself lost";
  int best = -1;
  for (int i = 0; i < rootMoveCount; ++i)
    if (rootMoves[i].move != 0 && rootMoves[i].score != -kMateScore &&
        (best < 0 || rootMoves[i].score > rootMoves[best].score))
      best = i;
  ASSERT_GE(best, 0);
  EXPECT_EQ(history[1].move, rootMoves[best].move);
}

TEST_F(ThinkTest, RequestPostedBeforeTheSearchIsCarriedOut) {
  searchDepth = 4;
  UserMove("h2e2");
  // At the poll Think makes before it scores the root moves.
  At(0, 0, [] { RequestStop(kRequestTakeBackOne); });
  Think(kThinkPlay, 0);
  EXPECT_EQ(gamePly, 0);  // taken back instead of answered
  EXPECT_EQ(gameLength, 1);
  EXPECT_EQ(engineState, kEngineIdle);
}

TEST_F(ThinkTest, RequestPostedWhileRootMovesAreScoredStopsTheSearch) {
  searchDepth = 5;
  pollInterval = 1;
  UserMove("h2e2");
  bool posted = false;
  S().everyPoll = [&] {
    if (!posted && S().pollIndex > 0 && iterationLogCount == 0 && searchedRootMove == 0) {
      posted = true;
      RequestStop(kRequestTakeBackOne);
    }
  };
  searchedRootMove = 0;
  Think(kThinkPlay, 0);
  ASSERT_TRUE(posted);
  EXPECT_EQ(gamePly, 0);
  EXPECT_LE(iterationLogCount, 1);  // no iteration ran after the request
  EXPECT_EQ(engineState, kEngineIdle);
}

TEST_F(ThinkTest, StaleRequestsAreClearedWhenAThinkStarts) {
  UserMove("h2e2");
  pendingRequest = kRequestTakeBackAll;
  stopRequested = 1;
  Think(kThinkPlay, 0);
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(history[2].engineMove, 1);
}

TEST_F(ThinkTest, CompleteThinkRefusesAMoveThatIsNotValidHere) {
  UserMove("h2e2");
  const auto before = testing_support::PositionSnapshot::Take();
  principalVariation[0][0] = MakeMoveCode(MakeSquare(4, 4), MakeSquare(4, 5));  // empty square
  engineState = kEngineThinking;
  pendingRequest = kRequestNone;
  BackupGameRecord();
  CompleteThink(kEngineThinking, 0, 1);
  EXPECT_TRUE(before == testing_support::PositionSnapshot::Take());
  EXPECT_EQ(gamePly, 1);
  EXPECT_EQ(bestScore, kMateScore);
  EXPECT_EQ(engineState, kEngineIdle);
}

TEST_F(ThinkTest, ExpectedReplyOnlyOffersValidMoves) {
  UserMove("h2e2");
  principalVariation[0][1] = MakeMoveCode(MakeSquare(4, 4), MakeSquare(4, 5));
  EXPECT_EQ(ExpectedReply(), 0u);
  principalVariation[0][1] = MoveFromText("h7e7");
  EXPECT_EQ(ExpectedReply(), MoveFromText("h7e7"));
  EXPECT_TRUE(HistoryPointerAtShownPly());
  principalVariation[0][1] = 0;
  EXPECT_EQ(ExpectedReply(), 0u);
}

TEST_F(ThinkTest, AFallingScoreIsLearntAndTheUsersMoveAnnotated) {
  searchDepth = 4;
  UserMove("h2e2");
  UserMove("h9g7");
  // The engine (red) had thought itself far ahead with its previous move.
  history[1].engineMove = 1;
  history[1].engineScore = 5000;
  UserMove("h0g2");
  UserMove("i9h9");
  history[3].engineMove = 1;
  history[3].engineScore = 5000;
  learnMoves = 1;
  Think(kThinkPlay, 0);
  learnMoves = 0;
  ASSERT_EQ(gamePly, 5);
  const Move played = history[5].move;
  EXPECT_EQ(history[5].engineDepth, 5);
  // The user's last move was much better than the engine expected.
  EXPECT_EQ(moveComments[4].annotation, kMarkBrilliant);
  TakeBackOne();
  const LearningRecord* learnt = ProbeLearning();
  ASSERT_NE(learnt, nullptr);
  EXPECT_EQ(learnt->move, played);
  EXPECT_EQ(learnt->depth, 3);  // the depth learnt (iterations - 1) less one
  EXPECT_TRUE(std::filesystem::file_size(dir_ + "/V4QelPos3.bin") > 4);
}

TEST_F(ThinkTest, NothingIsLearntWithoutAFall) {
  searchDepth = 4;
  UserMove("h2e2");
  UserMove("h9g7");
  history[1].engineMove = 1;
  history[1].engineScore = -20000;  // below the floor of learning
  UserMove("h0g2");
  UserMove("i9h9");
  history[3].engineMove = 1;
  history[3].engineScore = -20000;
  learnMoves = 1;
  Think(kThinkPlay, 0);
  learnMoves = 0;
  ASSERT_EQ(gamePly, 5);
  EXPECT_EQ(moveComments[4].annotation, kMarkNone);
  TakeBackOne();
  EXPECT_EQ(ProbeLearning(), nullptr);
}

// Writes a one-position book: the current position with the given moves.
void WriteBook(const std::string& path, const std::vector<Move>& moves) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite("VKBOOK01", 1, 8, f);
  const uint8_t side = static_cast<uint8_t>(sideToMove);
  std::fwrite(&side, 1, 1, f);
  uint8_t pieces[32];
  BookPieceList(pieces);
  std::fwrite(pieces, 1, 32, f);
  const uint32_t count = static_cast<uint32_t>(moves.size());
  std::fwrite(&count, 4, 1, f);
  for (Move m : moves) {
    const BookMove b{m, 1, 0, 0};
    std::fwrite(&b, sizeof b, 1, f);
  }
  std::fclose(f);
}

class ThinkBookTest : public DriverTest {
 protected:
  void TearDown() override {
    bookMode1 = kBookOff;
    FreeBooks();
    DriverTest::TearDown();
  }
  void UseBook(const std::vector<Move>& moves) {
    WriteBook(dir_ + "/driverbook.bin", moves);
    std::strcpy(bookFile1, "driverbook.bin");
    std::strcpy(bookFile2, "nobook.bin");
    bookMode1 = kBookNormal;
    LoadBooks();
  }
};

TEST_F(ThinkBookTest, BookMoveIsPlayedAfterTheShownPlyWithoutASearch) {
  UserMove("h2e2");
  UserMove("h9g7");
  // The user went back one move: the stored game goes on beyond the shown ply.
  TakeBackOne();
  const auto stored = GameRecords(2);
  UseBook({MoveFromText("h9g7")});
  nodeCount = 12345;
  Think(kThinkPlay, 0);
  ASSERT_EQ(gamePly, 2);
  EXPECT_EQ(gameLength, 2);
  EXPECT_TRUE(SameRecords(stored, 1, 1));
  EXPECT_EQ(history[2].move, MoveFromText("h9g7"));
  EXPECT_EQ(history[2].engineMove, 1);
  EXPECT_EQ(history[2].searchFlag, 1);
  EXPECT_EQ(history[2].engineScore, 0);
  EXPECT_STRNE(history[2].wxfText, "");
  EXPECT_EQ(nodeCount, 12345u);  // no search ran
  EXPECT_EQ(engineState, kEngineIdle);
  EXPECT_EQ(ponderMove, 0);
  EXPECT_TRUE(HistoryPointerAtShownPly());
}

TEST_F(ThinkBookTest, BookMovesThatAreNotValidHereAreSkipped) {
  // A chariot jumping over its own pawn, and a move from an empty square.
  UseBook({MoveFromText("a0a5"), MakeMoveCode(MakeSquare(4, 4), MakeSquare(4, 5))});
  searchDepth = 2;
  Think(kThinkPlay, 0);
  ASSERT_EQ(gamePly, 1);
  EXPECT_EQ(history[1].searchFlag, 0);
  EXPECT_GT(Nodes(), 0u);
  EXPECT_TRUE(CheckPositionConsistency());
}

TEST_F(ThinkBookTest, HintTakesTheBookMoveAndKeepsTheGame) {
  UserMove("h2e2");
  UseBook({MoveFromText("h9g7")});
  const auto stored = GameRecords(1);
  HintSearch();
  EXPECT_EQ(ponderMove, static_cast<int32_t>(MoveFromText("h9g7")));
  EXPECT_TRUE(SameRecords(stored, 1, 1));
  EXPECT_TRUE(HistoryPointerAtShownPly());
}

TEST_F(ThinkTest, HintSearchesAboutOneSecondAndLeavesTheGameAlone) {
  SetUpFen(kMiddleGame);
  UserMove("h6h9");
  UserMove("a7a8");
  const auto stored = GameRecords(2);
  const auto position = testing_support::PositionSnapshot::Take();
  S().msPerPoll = 50;
  levelMode = kLevelGameClock;
  HintSearch();
  EXPECT_NE(ponderMove, 0);
  const auto legal = testing_support::LegalMoves();
  EXPECT_NE(std::find(legal.begin(), legal.end(), static_cast<Move>(ponderMove)), legal.end());
  EXPECT_TRUE(SameRecords(stored, 1, 2));
  EXPECT_TRUE(HistoryPointerAtShownPly());
  EXPECT_EQ(levelMode, kLevelGameClock);
  EXPECT_EQ(engineState, kEngineIdle);
  EXPECT_LE(GetTickMs() - searchStartTick, 1100u);
  // The same position, the history pointer now at the shown ply itself and
  // the balance of the banks the hint prepared.
  auto after = testing_support::PositionSnapshot::Take();
  after.historyBase = position.historyBase;
  after.historyPly = position.historyPly;
  after.materialBalance = position.materialBalance;
  EXPECT_TRUE(position == after);
  // The interface makes the user's next move where the history points: it
  // lands after the game, not on its last move.
  const HistoryRecord last = history[2];
  ASSERT_TRUE(MakeMove(static_cast<Move>(ponderMove), static_cast<int32_t>(FindChecker(sideToMove))));
  EXPECT_EQ(std::memcmp(&last, &history[2], sizeof last), 0);
  EXPECT_EQ(history[3].move, static_cast<Move>(ponderMove));
  UnmakeMove();
}

TEST_F(ThinkTest, HintDoesNothingWhileTheEngineWorks) {
  ponderMove = 77;
  engineState = kEnginePondering;
  HintSearch();
  EXPECT_EQ(ponderMove, 77);
  engineState = kEngineIdle;
}

TEST_F(ThinkTest, MateSearchFindsAMateAndLeavesTheGameAlone) {
  SetUpFen("3k5/9/9/9/9/9/9/9/9/4K3R w");
  UserMove("i0i1");
  UserMove("d9d8");
  searchDepth = 2;
  Think(kThinkPlayNoBook, 0);  // leaves the root list of this position
  TakeBackOne();
  const auto stored = GameRecords(3);
  const auto position = testing_support::PositionSnapshot::Take();
  Think(kThinkMateSearch, 0);
  EXPECT_EQ(engineState, kEngineIdle);
  EXPECT_GT(bestScore, kMateScoreBound);
  EXPECT_TRUE(SameRecords(stored, 1, 3));
  EXPECT_TRUE(position == testing_support::PositionSnapshot::Take());
}

}  // namespace
