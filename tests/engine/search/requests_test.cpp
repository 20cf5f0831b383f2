// Deferred requests: each request posted at a chosen poll while the engine
// thinks, ponders or analyses is carried out by the completion once the
// search has unwound, with the stored game intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/engine/search/driver_harness.h"

namespace {

using driver_harness::DriverTest;
using driver_harness::S;
using testing_support::CurrentFen;
using testing_support::LegalMoves;
using testing_support::MoveFromText;
using testing_support::MoveText;

// Every search ends by the time cap after about twenty polls at most.
constexpr uint32_t kMsPerPoll = 1000;

bool Saw(int event) {
  const auto& e = S().events;
  return std::find(e.begin(), e.end(), event) != e.end();
}

std::vector<int> Modes(std::initializer_list<int> modes) { return modes; }

// ---------------------------------------------------------------------------
// While thinking on the engine's move
// ---------------------------------------------------------------------------

// The user played four moves and went back two: the engine thinks at ply 2
// of a stored game of four moves.
class ThinkRequestTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    ResetScript(kMsPerPoll);
    for (const char* m : {"h2e2", "h9g7", "h0g2", "i9h9"}) UserMove(m);
    TakeBackOne();
    TakeBackOne();
    stored_ = GameRecords(4);
    fenAtPly2_ = CurrentFen();
  }
  void ThinkWith(int32_t request) {
    ResetScript(kMsPerPoll);
    At(0, 3, [request] { RequestStop(request); });
    Think(kThinkPlay, 0);
    EXPECT_EQ(S().searchModes, Modes({kEngineThinking}));
    EXPECT_EQ(engineState, kEngineIdle);
  }
  std::vector<HistoryRecord> stored_;
  std::string fenAtPly2_;
};

TEST_F(ThinkRequestTest, NewGame) {
  ThinkWith(kRequestNewGame);
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(gameLength, 0);
  EXPECT_EQ(CurrentFen(), testing_support::kStartFen);
}

TEST_F(ThinkRequestTest, TakeBackOneAndAllKeepTheStoredGame) {
  ThinkWith(kRequestTakeBackOne);
  EXPECT_EQ(gamePly, 1);
  EXPECT_EQ(gameLength, 4);
  EXPECT_TRUE(SameRecords(stored_, 1, 4));

  ReplayOne();
  ThinkWith(kRequestTakeBackAll);
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(CurrentFen(), testing_support::kStartFen);
  EXPECT_TRUE(SameRecords(stored_, 1, 4));
}

TEST_F(ThinkRequestTest, ReplayOneAndAllReplayTheStoredMoves) {
  ThinkWith(kRequestReplayOne);
  EXPECT_EQ(gamePly, 3);
  EXPECT_EQ(history[3].move, MoveFromText("h0g2"));
  EXPECT_TRUE(SameRecords(stored_, 1, 4));

  TakeBackOne();
  ThinkWith(kRequestReplayAll);
  EXPECT_EQ(gamePly, 4);
  EXPECT_EQ(history[4].move, MoveFromText("i9h9"));
  EXPECT_TRUE(SameRecords(stored_, 1, 4));
  EXPECT_TRUE(HistoryPointerAtShownPly());
}

TEST_F(ThinkRequestTest, StopPlayNowAndNextBestPlayTheMoveFound) {
  for (int32_t request : {kRequestNone, kRequestPlayNow, kRequestNextBestMove}) {
    TakeBackAll();
    ReplayOne();
    ReplayOne();
    ThinkWith(request);
    ASSERT_EQ(gamePly, 3) << request;
    EXPECT_EQ(gameLength, 3);
    EXPECT_EQ(history[3].engineMove, 1);
    EXPECT_NE(history[3].move, 0u);
    EXPECT_TRUE(SameRecords(stored_, 1, 2));
    EXPECT_TRUE(HistoryPointerAtShownPly());
  }
}

TEST_F(ThinkRequestTest, LoadRequestsHandTheCommandBack) {
  ThinkWith(kRequestLoadGame);
  EXPECT_TRUE(Saw(kEventLoadGame));
  ThinkWith(kRequestLoadDatabaseGame);
  EXPECT_TRUE(Saw(kEventRefreshAfterLoad));
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(CurrentFen(), fenAtPly2_);
  EXPECT_TRUE(SameRecords(stored_, 1, 4));
}

// The game is saved as shown, the user's last move included.
TEST_F(ThinkRequestTest, SaveKeepsTheShownGame) {
  ThinkWith(kRequestSaveGame);
  EXPECT_TRUE(Saw(kEventSaveGame));
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(CurrentFen(), fenAtPly2_);
  EXPECT_TRUE(SameRecords(stored_, 1, 4));
}

// ---------------------------------------------------------------------------
// While pondering on the predicted reply
// ---------------------------------------------------------------------------

// The user plays h2e2; the engine answers and ponders on its prediction.
// The first legal move other than the prediction is kept at the ponder's
// first poll, for requests that play a different user move.
class PonderRequestTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    Ponder = 1;
    SetUpFenAndMove();
  }
  // The start position, the user's h2e2 and a fresh script.
  void SetUpFenAndMove() {
    ResetScript(kMsPerPoll);
    testing_support::SetUpFen(testing_support::kStartFen);
    UserMove("h2e2");
    S().everyPoll = [this] {
      if (engineState != kEnginePondering || S().pollIndex != 0) return;
      predicted_ = static_cast<Move>(ponderMove);
      enginePly_ = gamePly - 1;
      UnmakeMove();
      fenBeforePrediction_ = CurrentFen();
      alternative_ = 0;
      for (Move m : LegalMoves())
        if (m != predicted_) {
          alternative_ = m;
          break;
        }
      MakeMove(predicted_, static_cast<int32_t>(FindChecker(sideToMove)));
    };
  }
  void PonderWith(int32_t request) {
    At(1, 3, [request] { RequestStop(request); });
    Think(kThinkPlay, 0);
    ASSERT_GE(S().searchModes.size(), 2u);
    EXPECT_EQ(S().searchModes[1], kEnginePondering);
    EXPECT_EQ(engineState, kEngineIdle);
  }
  Move predicted_ = 0;
  Move alternative_ = 0;
  int enginePly_ = 0;
  std::string fenBeforePrediction_;
};

TEST_F(PonderRequestTest, StopAndOtherRequestsTakeThePredictionBack) {
  for (int32_t request : {kRequestNone, kRequestReplayOne, kRequestReplayAll}) {
    SetUpFenAndMove();
    PonderWith(request);
    EXPECT_EQ(S().searchModes, Modes({kEngineThinking, kEnginePondering})) << request;
    EXPECT_EQ(gamePly, 2);
    EXPECT_EQ(gameLength, 2);
    EXPECT_EQ(CurrentFen(), fenBeforePrediction_);
    EXPECT_EQ(history[2].engineMove, 1);
    EXPECT_TRUE(HistoryPointerAtShownPly());
  }
}

TEST_F(PonderRequestTest, NextBestMoveStopsAndHandsTheCommandBack) {
  PonderWith(kRequestNextBestMove);
  EXPECT_TRUE(Saw(kEventNextBestMove));
  EXPECT_EQ(gamePly, 2);
  EXPECT_EQ(CurrentFen(), fenBeforePrediction_);
}

TEST_F(PonderRequestTest, UserMoveInsteadIsPlayedAndAnswered) {
  Move played = 0;
  At(1, 3, [this, &played] {
    played = alternative_;
    pendingUserMove = alternative_;
    RequestStop(kRequestUserMoveInstead);
  });
  At(3, 1, [] { RequestStop(kRequestNone); });
  Think(kThinkPlay, 0);
  EXPECT_EQ(S().searchModes,
            Modes({kEngineThinking, kEnginePondering, kEngineThinking, kEnginePondering}));
  ASSERT_NE(played, 0u);
  EXPECT_EQ(gamePly, 4);
  EXPECT_EQ(gameLength, 4);
  EXPECT_EQ(history[3].move, played);
  EXPECT_EQ(history[3].engineMove, 0);
  EXPECT_EQ(history[4].engineMove, 1);
  EXPECT_EQ(engineState, kEngineIdle);
}

TEST_F(PonderRequestTest, PonderHitTurnsThePonderIntoTheThink) {
  Move hit = 0;
  At(1, 3, [this, &hit] {
    hit = predicted_;
    // What the interface does when the user plays the predicted move.
    engineState = kEngineThinking;
    moveTimeLimitMs = static_cast<uint32_t>(thinkingTime);
  });
  At(2, 1, [] { RequestStop(kRequestNone); });
  Think(kThinkPlay, 0);
  EXPECT_EQ(S().searchModes, Modes({kEngineThinking, kEnginePondering, kEnginePondering}));
  EXPECT_EQ(gamePly, 4);
  EXPECT_EQ(gameLength, 4);
  ASSERT_NE(hit, 0u);
  EXPECT_EQ(history[3].move, hit);
  EXPECT_EQ(history[4].engineMove, 1);
  // The level ends the think once the ponder hit made it one.
  EXPECT_LE(history[4].engineDepth, searchDepth + 1);
}

// However early the think on the engine's move is stopped (at the poll
// before its search, as Stop thinking given with the user's move is, or
// while its root moves are scored, before any iteration), it plays and then
// ponders on the reply it predicts.
TEST_F(PonderRequestTest, AThinkStoppedBeforeItsIterationsStillPonders) {
  for (const int poll : {0, 1, 2}) {
    SetUpFenAndMove();
    predicted_ = 0;
    At(0, poll, [] { RequestStop(kRequestNone); });
    At(1, 1, [] { RequestStop(kRequestNone); });
    Think(kThinkPlay, 0);
    EXPECT_EQ(S().searchModes, Modes({kEngineThinking, kEnginePondering})) << "poll " << poll;
    EXPECT_NE(predicted_, 0u) << "poll " << poll;
    EXPECT_EQ(gamePly, 2);
    EXPECT_EQ(history[2].engineMove, 1);
    EXPECT_EQ(CurrentFen(), fenBeforePrediction_);
  }
}

TEST_F(PonderRequestTest, PlayNowMakesTheEnginePlayTheUsersSide) {
  At(3, 1, [] { RequestStop(kRequestNone); });
  PonderWith(kRequestPlayNow);
  EXPECT_EQ(S().searchModes,
            Modes({kEngineThinking, kEnginePondering, kEngineThinking, kEnginePondering}));
  EXPECT_EQ(gamePly, 3);
  EXPECT_EQ(history[2].engineMove, 1);
  EXPECT_EQ(history[3].engineMove, 1);
}

TEST_F(PonderRequestTest, NewGame) {
  PonderWith(kRequestNewGame);
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(CurrentFen(), testing_support::kStartFen);
}

TEST_F(PonderRequestTest, TakeBackOneTakesBackTwoGameMoves) {
  PonderWith(kRequestTakeBackOne);
  EXPECT_EQ(gamePly, 1);
  EXPECT_EQ(gameLength, 2);
  EXPECT_EQ(history[1].move, MoveFromText("h2e2"));
}

TEST_F(PonderRequestTest, TakeBackAll) {
  PonderWith(kRequestTakeBackAll);
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(CurrentFen(), testing_support::kStartFen);
}

TEST_F(PonderRequestTest, LoadAndSaveLeaveNoPredictedMoveInTheGame) {
  struct Case {
    int32_t request;
    int event;
  };
  for (const Case c : {Case{kRequestLoadGame, kEventLoadGame},
                       Case{kRequestLoadDatabaseGame, kEventRefreshAfterLoad},
                       Case{kRequestSaveGame, kEventSaveGame}}) {
    SetUpFenAndMove();
    PonderWith(c.request);
    EXPECT_EQ(gamePly, 2) << c.request;
    EXPECT_EQ(gameLength, 2);
    EXPECT_EQ(CurrentFen(), fenBeforePrediction_);
    EXPECT_TRUE(Saw(c.event)) << c.request;
  }
}

// A long game of engine move, ponder, different user move, think: every
// search starts from the same stack depth.
TEST_F(PonderRequestTest, LongGamesDoNotDeepenTheStack) {
  constexpr int kCycles = 6;
  int cycles = 0;
  const auto keep = S().everyPoll;
  S().everyPoll = [&, keep] {
    keep();
    if (engineState != kEnginePondering || S().pollIndex != 2) return;
    if (++cycles < kCycles) {
      pendingUserMove = alternative_;
      RequestStop(kRequestUserMoveInstead);
    } else {
      RequestStop(kRequestNone);
    }
  };
  Think(kThinkPlay, 0);
  EXPECT_EQ(cycles, kCycles);
  ASSERT_EQ(S().stackAt.size(), static_cast<size_t>(2 * kCycles));
  for (uintptr_t at : S().stackAt) EXPECT_EQ(at, S().stackAt[0]);
  EXPECT_EQ(gamePly, 1 + 2 * kCycles - 1);
  EXPECT_EQ(engineState, kEngineIdle);
}

// ---------------------------------------------------------------------------
// While analysing
// ---------------------------------------------------------------------------

class AnalysisRequestTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    ResetScript(kMsPerPoll);
    for (const char* m : {"h2e2", "h9g7", "h0g2"}) UserMove(m);
    TakeBackOne();
    TakeBackOne();
    stored_ = GameRecords(3);
  }
  void AnalyseWith(int32_t request) {
    At(0, 3, [request] { RequestStop(request); });
    Think(kThinkAnalysis, 0);
    ASSERT_GE(S().searchModes.size(), 1u);
    EXPECT_EQ(S().searchModes[0], kEngineAnalysing);
    EXPECT_EQ(engineState, kEngineIdle);
  }
  std::vector<HistoryRecord> stored_;
};

TEST_F(AnalysisRequestTest, TheEndOfTheAnalysisKeepsTheGame) {
  Think(kThinkAnalysis, 0);
  EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing}));
  EXPECT_EQ(gamePly, 1);
  EXPECT_EQ(gameLength, 3);
  // The stored move after the shown ply carries the analysis result.
  EXPECT_EQ(history[2].engineScore, bestScore);
  EXPECT_EQ(history[2].engineDepth, iterationDepth);
  EXPECT_EQ(history[2].move, stored_[1].move);
  EXPECT_TRUE(SameRecords(stored_, 3, 1));
}

TEST_F(AnalysisRequestTest, UserMoveIsPlayedThenTheEngineAnswers) {
  At(0, 3, [] { pendingUserMove = MoveFromText("b9c7"); });
  AnalyseWith(kRequestPlayNow);
  EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing, kEngineThinking}));
  EXPECT_EQ(gamePly, 3);
  EXPECT_EQ(gameLength, 3);
  EXPECT_EQ(history[2].move, MoveFromText("b9c7"));
  EXPECT_EQ(history[3].engineMove, 1);
}

TEST_F(AnalysisRequestTest, WithoutComputerSidesTheAnalysisGoesOn) {
  enginePlaysSide0 = 0;
  enginePlaysSide1 = 0;
  At(0, 3, [] { pendingUserMove = MoveFromText("b9c7"); });
  AnalyseWith(kRequestPlayNow);
  EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing, kEngineAnalysing}));
  EXPECT_EQ(gamePly, 2);
}

TEST_F(AnalysisRequestTest, SpacePlaysTheAnalysedMove) {
  Move analysed = 0;
  S().everyPoll = [&analysed] {
    if (analysed == 0 && S().pollIndex > 0 && analysisBestMove != 0) {
      analysed = analysisBestMove;
      RequestStop(kRequestPlayAnalysedMove);
    }
  };
  Think(kThinkAnalysis, 0);
  ASSERT_NE(analysed, 0u);
  EXPECT_EQ(history[2].move, analysed);
  EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing, kEngineThinking}));
}

TEST_F(AnalysisRequestTest, RefusedUserMoveLeavesTheEngineIdle) {
  At(0, 3, [] { pendingUserMove = MoveFromText("a0a5"); });
  AnalyseWith(kRequestPlayNow);
  EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing}));
  EXPECT_EQ(gamePly, 1);
  EXPECT_EQ(history[2].move, stored_[1].move);
  EXPECT_TRUE(SameRecords(stored_, 3, 1));
}

TEST_F(AnalysisRequestTest, SteppingRequestsAnalyseTheNewPosition) {
  struct Case {
    int32_t request;
    int32_t ply;
  };
  for (const Case c : {Case{kRequestTakeBackOne, 0}, Case{kRequestReplayOne, 2},
                       Case{kRequestReplayAll, 3}, Case{kRequestTakeBackAll, 0},
                       Case{kRequestSaveGame, 1}, Case{kRequestLoadGame, 1}}) {
    TakeBackAll();
    ReplayOne();
    ResetScript(kMsPerPoll);
    AnalyseWith(c.request);
    EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing, kEngineAnalysing})) << c.request;
    EXPECT_EQ(gamePly, c.ply) << c.request;
    EXPECT_EQ(gameLength, 3);
    EXPECT_EQ(history[2].move, stored_[1].move);
    EXPECT_EQ(history[3].move, stored_[2].move);
  }
}

TEST_F(AnalysisRequestTest, NewGameAnalysesTheStartPosition) {
  AnalyseWith(kRequestNewGame);
  EXPECT_EQ(S().searchModes, Modes({kEngineAnalysing, kEngineAnalysing}));
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(gameLength, 0);
}

// ---------------------------------------------------------------------------
// While the hint searches
// ---------------------------------------------------------------------------

// After h2e2 h9g7 the user, red, asks for a hint and moves while its search
// runs: the move stops the search and is made as after a ponder, and the
// engine answers it when it plays black. The fake tick stands still, so
// that only the move ends the hint's second.
using HintRequestTest = DriverTest;

TEST_F(HintRequestTest, AMoveDuringTheHintsSearchIsMadeAndAnswered) {
  struct Case {
    const char* name;
    const char* move;
    bool closeFirst;  // the main window asked to close before the move
    bool engineOnBlack;
    bool made, answered;
  };
  const Case cases[] = {
      {"a move", "h0g2", false, true, true, true},
      {"a move, no engine on black's side", "a3a4", false, false, true, false},
      {"a move the rules refuse", "a0a5", false, true, false, false},
      {"a close, then a move", "h0g2", true, true, false, false},
  };
  for (const Case& c : cases) {
    for (const int poll : {1, 2, 3}) {
      SCOPED_TRACE(std::string(c.name) + " at the hint's poll " + std::to_string(poll));
      testing_support::SetUpFen(testing_support::kStartFen);
      for (const char* m : {"h2e2", "h9g7"}) UserMove(m);
      enginePlaysSide1 = c.engineOnBlack ? 1 : 0;
      ResetScript(0);
      static int polls;
      static const Case* now;
      static int atPoll;
      polls = 0;
      now = &c;
      atPoll = poll;
      S().everyPoll = [] {
        if (!HintSearchRunning() || ++polls != atPoll) return;
        if (now->closeFirst) RequestStopForClose();
        HandUserMoveToSearch(MoveFromText(now->move));
      };
      const bool hintStood = HintSearch();
      EXPECT_GE(polls, poll) << "the hint's search polled";
      EXPECT_FALSE(HintSearchRunning());
      EXPECT_EQ(engineState, kEngineIdle);
      EXPECT_FALSE(UserMoveWaiting());
      // The window carries out a close itself once the hint returned; a
      // move, made or refused, was the hint's completion's.
      EXPECT_EQ(hintStood, c.closeFirst);
      EXPECT_EQ(gamePly, c.made ? (c.answered ? 4 : 3) : 2);
      EXPECT_EQ(gameLength, gamePly);
      if (c.made) {
        EXPECT_EQ(MoveText(history[3].move), c.move);
        EXPECT_EQ(history[3].engineMove, 0);
      }
      if (c.answered) {
        EXPECT_EQ(history[4].engineMove, 1);
      }
      EXPECT_EQ(S().searchModes, c.answered ? Modes({kEngineThinking}) : Modes({}));
      EXPECT_EQ(Saw(kEventUserMoveRefused), !c.made && !c.closeFirst);
      // The suggestion was for the position before the move.
      if (!c.closeFirst) {
        EXPECT_EQ(ponderMove, 0);
      }
      EXPECT_TRUE(HistoryPointerAtShownPly());
      closeRequested = 0;
      pendingRequest = kRequestNone;
    }
  }
}

// ---------------------------------------------------------------------------
// Closing the main window during a search
// ---------------------------------------------------------------------------

using CloseRequestTest = DriverTest;

TEST_F(CloseRequestTest, ClosingEndsTheProgramAfterTheSearch) {
  UserMove("h2e2");
  ResetScript(kMsPerPoll);
  At(0, 3, [] { RequestStopForClose(); });
  EXPECT_EXIT(Think(kThinkPlay, 0), ::testing::ExitedWithCode(0), "");
  ResetScript(kMsPerPoll);
  Ponder = 1;
  At(1, 3, [] { RequestStopForClose(); });
  EXPECT_EXIT(Think(kThinkPlay, 0), ::testing::ExitedWithCode(0), "");
  ResetScript(kMsPerPoll);
  At(0, 3, [] { RequestStopForClose(); });
  EXPECT_EXIT(Think(kThinkAnalysis, 0), ::testing::ExitedWithCode(0), "");
}

}  // namespace
