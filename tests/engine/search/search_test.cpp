// The main search: mates found at their exact distance with a mating first
// move (confirmed by an independent brute-force solver), mated and
// stalemated roots, determinism, repetition rulings reaching the root
// score, and the ply-relative mate scores of the inner nodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/eval/evaluate.h"
#include "tests/engine/search/search_harness.h"
#include "tests/support/move_lists.h"

namespace {

using search_harness::RunFixedDepth;
using search_harness::SearchResult;
using search_harness::SetUpSearchFen;
using testing_support::LegalMoves;
using testing_support::MoveFromText;
using testing_support::MoveText;

// ---------------------------------------------------------------------------
// Independent brute-force mate solver over MakeMove / UnmakeMove. A side
// without a legal move has lost (mate and stalemate alike).
// ---------------------------------------------------------------------------
bool DefenderLosesWithin(int attackerMoves);

// The side to move mates within `moves` of its own moves.
bool CanMateWithin(int moves) {
  if (moves <= 0) return false;
  for (const Move m : LegalMoves()) {
    EXPECT_EQ(testing_support::PlayMove(m), 1);
    const bool mates = DefenderLosesWithin(moves - 1);
    UnmakeMove();
    if (mates) return true;
  }
  return false;
}

// Every defence of the side to move loses within `attackerMoves` moves of
// the other side.
bool DefenderLosesWithin(int attackerMoves) {
  const std::vector<Move> moves = LegalMoves();
  if (moves.empty()) return true;
  for (const Move m : moves) {
    EXPECT_EQ(testing_support::PlayMove(m), 1);
    const bool lost = CanMateWithin(attackerMoves);
    UnmakeMove();
    if (!lost) return false;
  }
  return true;
}

// The shortest forced mate of the side to move, 0 when none within limit.
int ShortestMate(int limit) {
  for (int n = 1; n <= limit; ++n)
    if (CanMateWithin(n)) return n;
  return 0;
}

struct MateCase {
  const char* name;
  const char* fen;
  int mateIn;  // moves of the mating side, checked by the solver
};

// Hand-built mates, also confirmed with fairy-stockfish ("score mate N").
const MateCase kMateCases[] = {
    {"MateInOne", "4k4/R8/1R7/9/9/9/9/9/9/3K5 w", 1},
    {"MateInTwo", "4k4/9/9/9/9/9/9/9/R8/1R1K5 w", 2},
    {"MateInThree", "4k4/3a5/9/9/9/9/9/9/R8/1R1K5 w", 3},
    {"BlackMatesInTwo", "1r1k5/r8/9/9/9/9/9/9/9/4K4 b", 2},
};

class MateSearchTest : public ::testing::TestWithParam<MateCase> {};

TEST_P(MateSearchTest, FindsTheShortestMateWithItsExactScore) {
  const MateCase& c = GetParam();
  SetUpSearchFen(c.fen);
  const int mateIn = ShortestMate(3);
  ASSERT_EQ(mateIn, c.mateIn) << "the solver disagrees with the hand-built mate";

  const SearchResult r = RunFixedDepth(2 * mateIn + 3);
  EXPECT_EQ(r.score, kMateScore - (2 * mateIn - 1));
  EXPECT_EQ(bestScore, r.score);
  ASSERT_FALSE(r.line.empty());

  // The first move keeps a forced mate in the remaining moves.
  const Move first = r.line[0];
  ASSERT_EQ(historyPly, 0);
  ASSERT_EQ(testing_support::PlayMove(first), 1) << MoveText(first);
  EXPECT_TRUE(DefenderLosesWithin(mateIn - 1)) << MoveText(first) << " does not mate in time";
  UnmakeMove();
}

INSTANTIATE_TEST_SUITE_P(HandBuilt, MateSearchTest, ::testing::ValuesIn(kMateCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Through the driver: a depth-limited think plays the mating move and
// records its exact score in the game.
TEST(Driver, ThinkPlaysTheMateInTwo) {
  SetUpSearchFen("4k4/9/9/9/9/9/9/9/R8/1R1K5 w");
  Ponder = 0;
  saveOnEachMove = 0;
  levelMode = kLevelSearchDepth;
  searchDepth = 4;
  Think(kThinkPlayNoBook, 0);
  EXPECT_EQ(engineState, kEngineIdle);
  ASSERT_EQ(gamePly, 1);
  EXPECT_EQ(history[1].engineScore, kMateScore - 3);
  EXPECT_EQ(bestScore, kMateScore - 3);
  // Black to move now loses within one more red move.
  EXPECT_TRUE(DefenderLosesWithin(1));
}

// ---------------------------------------------------------------------------
// Roots without a legal move
// ---------------------------------------------------------------------------
TEST(RootWithoutMoves, MatedSideScoresMateAtTheRoot) {
  // Red has just mated: Rb9 checks along rank 9 and Ra8 covers rank 8.
  SetUpSearchFen("1R2k4/R8/9/9/9/9/9/9/9/3K5 b");
  ASSERT_TRUE(LegalMoves().empty());
  ASSERT_NE(FindChecker(sideToMove), 0u);
  search_harness::PrepareRootSearch();
  iterationDepth = 1;
  EXPECT_EQ(SearchRoot(-kMateScore, kMateScore, 16), -kMateScore);
  EXPECT_EQ(bestScore, -kMateScore);
  EXPECT_EQ(rootForced, 1);
}

TEST(RootWithoutMoves, StalematedSideLosesLikeAMatedOne) {
  // Black king e9 is not in check; d9, f9 and e8 are all covered.
  SetUpSearchFen("4k4/9/4P4/9/3R1R3/9/9/9/9/3K5 b");
  ASSERT_TRUE(LegalMoves().empty());
  ASSERT_EQ(FindChecker(sideToMove), 0u);
  search_harness::PrepareRootSearch();
  iterationDepth = 1;
  EXPECT_EQ(SearchRoot(-kMateScore, kMateScore, 16), -kMateScore);
  EXPECT_EQ(bestScore, -kMateScore);
  EXPECT_EQ(rootForced, 1);

  // Inside the tree the same node is lost at its own ply.
  historyPly = 0;
  EXPECT_EQ(SearchNode(-kMateScore, kMateScore, 32, 0, kNoEval, 0, 0), -kMateScore);
}

TEST(RootWithoutMoves, SingleLegalMoveForcesTheRoot) {
  // In check from Ra9, the black king's only move is e9-e8.
  SetUpSearchFen("R3k4/9/9/9/9/9/9/9/9/3K5 b");
  ASSERT_EQ(LegalMoves().size(), 1u);
  search_harness::PrepareRootSearch();
  iterationDepth = 1;
  SearchRoot(-kMateScore, kMateScore, 16);
  EXPECT_EQ(rootForced, 1);
  EXPECT_EQ(principalVariation[0][0], MoveFromText("e9e8"));
}

// ---------------------------------------------------------------------------
// Determinism
// ---------------------------------------------------------------------------
TEST(Determinism, FixedDepthSearchRepeatsExactly) {
  const char* fen = "r1bakab1r/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b";
  SetUpSearchFen(fen);
  const SearchResult a = RunFixedDepth(5);
  const auto logCountA = iterationLogCount;
  SetUpSearchFen(fen);
  const SearchResult b = RunFixedDepth(5);
  EXPECT_EQ(a.depth, 5);
  EXPECT_EQ(a.score, b.score);
  EXPECT_EQ(a.line, b.line);
  EXPECT_EQ(a.nodes, b.nodes);
  EXPECT_EQ(logCountA, iterationLogCount);
  EXPECT_GT(a.nodes, 1000u);
  ASSERT_FALSE(a.line.empty());
  // The chosen move is one of the position's legal moves.
  const std::vector<Move> legal = LegalMoves();
  EXPECT_NE(std::find(legal.begin(), legal.end(), a.line[0]), legal.end());
}

TEST(Determinism, SearchLeavesThePositionAsItFoundIt) {
  SetUpSearchFen(testing_support::kStartFen);
  const auto before = testing_support::PositionSnapshot::Take();
  RunFixedDepth(4);
  EXPECT_TRUE(testing_support::PositionSnapshot::Take() == before);
}

// ---------------------------------------------------------------------------
// Repetition rulings reach the root score
// ---------------------------------------------------------------------------
class PerpetualCheckTest : public ::testing::Test {
 protected:
  // Red's chariot has checked the black king up and down the a-file: a9+,
  // Ke8, a8+, Ke9, a9+. Black to move; Ke8 repeats the position after
  // black's first king move, and red can only go on checking.
  void SetUp() override {
    SetUpSearchFen("4k4/9/R8/9/9/9/9/9/9/3K5 w");
    for (const char* text : {"a7a9", "e9e8", "a9a8", "e8e9", "a8a9"}) {
      const Move m = MoveFromText(text);
      ASSERT_EQ(testing_support::PlayMove(m), 1) << text;
    }
    gamePly = gameLength = historyPly;
    historyBase = &history[gamePly + 1];
    historyPly = 0;
    ASSERT_EQ(sideToMove, static_cast<uint32_t>(kBlack));
  }
};

TEST_F(PerpetualCheckTest, CheckingSideLosesByTheRuling) {
  const SearchResult r = RunFixedDepth(4);
  // Black's king step repeats the cycle; red, in turn, has checked
  // perpetually and loses at ply 1: 3,199,999 - 1 from black's side.
  EXPECT_EQ(r.score, 3199998);
  ASSERT_FALSE(r.line.empty());
  EXPECT_EQ(r.line[0], MoveFromText("e9e8"));
}

TEST_F(PerpetualCheckTest, WithoutTheEarlierCycleTheCheckedSideIsMated) {
  // The same position set up fresh has no history to repeat: the chariot
  // and king mate the bare king (fairy-stockfish: mate -2).
  SetUpSearchFen("R3k4/9/9/9/9/9/9/9/9/3K5 b");
  const SearchResult r = RunFixedDepth(6);
  EXPECT_EQ(r.score, -(kMateScore - 4));
}

// ---------------------------------------------------------------------------
// Inner nodes: mate scores relative to the ply, check extension
// ---------------------------------------------------------------------------
void SetUpInnerNode(const char* fen, int ply) {
  SetUpSearchFen(fen);
  checkExtensionLimit = 96;
  rootDepth16 = 64;
  quiescenceBasePly = 2;
  iterationDepth = 4;
  historyPly = ply;  // below the root, without moves in between
}

TEST(InnerNode, ExactMateScoresAreRelativeToThePly) {
  // Mate in two from a node at ply 1: mated at ply 4.
  SetUpInnerNode("4k4/9/9/9/9/9/9/9/R8/1R1K5 w", 1);
  EXPECT_EQ(SearchNode(-kMateScore, kMateScore, 64, 0, kNoEval, 0, 0), kMateScore - 4);
  const HashEntry* entry = ProbeHashTable();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->bound & ~kBoundExtended, kBoundExact);
  // Two plies deeper the same node reads the entry back as the same mate,
  // two plies further from the root, without searching.
  historyPly = 3;
  nodeCount = 0;
  EXPECT_EQ(SearchNode(-kMateScore, kMateScore, 64, 0, kNoEval, 0, 0), kMateScore - 6);
  EXPECT_LE(nodeCount, 1u);
}

TEST(InnerNode, NoNodeBeatsTheMateDistanceOfItsPly) {
  // Mate in one found at ply 1 meets the mate-distance beta and is stored
  // as a lower bound of 3,199,998; read back at ply 5 it must not claim
  // more than mating at ply 6.
  SetUpInnerNode("4k4/R8/1R7/9/9/9/9/9/9/3K5 w", 1);
  EXPECT_EQ(SearchNode(-kMateScore, kMateScore, 32, 0, kNoEval, 0, 0), kMateScore - 2);
  historyPly = 5;
  EXPECT_EQ(SearchNode(-kMateScore, kMateScore, 32, 0, kNoEval, 0, 0), 3199994);
  historyPly = 5;
  EXPECT_LE(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), 3199994);
}

TEST(InnerNode, NodeInCheckIsExtendedByOnePly) {
  // Black is in check from the chariot on a9 and may step e9-e8 or block
  // with the adviser or the chariot.
  SetUpSearchFen("R3k4/4a4/9/9/9/2r6/9/9/9/3K5 b");
  ASSERT_NE(FindChecker(sideToMove), 0u);
  ASSERT_GE(LegalMoves().size(), 2u);
  checkExtensionLimit = 96;
  iterationDepth = 1;
  historyPly = 1;
  SearchNode(-kMateScore, kMateScore, 16, 0, kNoEval, 0, 0);
  EXPECT_GE(historyBase[1].extension, 16);

  // Beyond the limit the check earns nothing.
  SetUpSearchFen("R3k4/4a4/9/9/9/2r6/9/9/9/3K5 b");
  checkExtensionLimit = 0;
  historyPly = 1;
  SearchNode(-kMateScore, kMateScore, 16, 0, kNoEval, 0, 0);
  EXPECT_EQ(historyBase[1].extension, 0);
}

TEST(InnerNode, StopDuringTheSearchStoresNothing) {
  // A stop raised at the first poll: every level returns at once and the
  // table stays empty.
  SetUpSearchFen("r1bakab1r/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b");
  search_harness::PrepareRootSearch();
  ClearHashTables();
  static int polls;
  polls = 0;
  pumpMessagesHook = [] {
    ++polls;
    stopRequested = 1;
  };
  pollInterval = 50;
  nodeCount = pollBaseCount = 0;
  iterationDepth = 6;
  SearchRoot(-kMateScore, kMateScore, 6 * 16);
  pumpMessagesHook = nullptr;
  pollInterval = kPollIntervalNormal;
  EXPECT_EQ(polls, 1);
  EXPECT_EQ(stopRequested, 1);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  EXPECT_LE(nodeCount, 52u) << "the search unwound at the poll";
  // With the stop still set every level returns at once: the inner nodes
  // with beta, the quiescence search with 0, the root with 0.
  historyPly = 1;
  EXPECT_EQ(SearchNode(-50, 77, 48, 1, kNoEval, 0, 0), 77);
  EXPECT_EQ(QuiescenceSearch(-50, 77, kNoEval), 0);
  historyPly = 0;
  EXPECT_EQ(SearchRoot(-50, 77, 48), 0);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  stopRequested = 0;
}

// ---------------------------------------------------------------------------
// Root move scoring and ordering
// ---------------------------------------------------------------------------
TEST(RootScoring, AMateEndsTheScan) {
  SetUpSearchFen("4k4/R8/1R7/9/9/9/9/9/9/3K5 w");
  search_harness::PrepareRootSearch();
  // The scan stops at the first move scoring 3,199,997 or more (a mate the
  // one-ply search sees); the entries after it stay unscored.
  int first = -1;
  for (int i = 0; i < rootMoveCount && first < 0; ++i)
    if (rootMoves[i].score >= 3199997) first = i;
  ASSERT_GE(first, 0);
  EXPECT_EQ(rootMoves[first].lastScore, rootMoves[first].score);
  for (int i = first + 1; i < rootMoveCount; ++i) {
    EXPECT_EQ(rootMoves[i].score, 0) << MoveText(rootMoves[i].move);
    EXPECT_EQ(rootMoves[i].lastScore, 0);
  }
  // Before it, every legal move has a real score and no line beyond 7.
  for (int i = 0; i < first; ++i) {
    EXPECT_LT(rootMoves[i].score, 3199997);
    EXPECT_EQ(rootMoves[i].line[kRootLineWords - 1], 0u);
  }
}

TEST(RootScoring, StopDuringScoringIsKeptAndScoresStayComplete) {
  SetUpSearchFen(testing_support::kStartFen);
  static int polls;
  polls = 0;
  pumpMessagesHook = [] {
    if (++polls == 1) stopRequested = 1;
  };
  pollInterval = 20;
  search_harness::UsePrivateDataFolder();
  iterationLogCount = 0;
  historyBase = &history[1];
  historyPly = 0;
  const std::vector<Move> moves = testing_support::GeneratedMoves(GenerateAllMoves);
  rootMoveCount = static_cast<int32_t>(moves.size());
  for (int i = 0; i < rootMoveCount; ++i) rootMoves[i] = RootMoveEntry{moves[i], {}, 0, 0, 0};
  ScoreRootMoves(rootMoves, rootMoveCount);
  pumpMessagesHook = nullptr;
  pollInterval = kPollIntervalNormal;
  ASSERT_GE(polls, 1);
  EXPECT_EQ(stopRequested, 1) << "the stop waits for the search";
  for (int i = 0; i < rootMoveCount; ++i) {
    EXPECT_GT(rootMoves[i].score, -kDecidedBound) << MoveText(rootMoves[i].move);
    EXPECT_LT(rootMoves[i].score, kDecidedBound) << MoveText(rootMoves[i].move);
  }
  stopRequested = 0;
}

TEST(RootOrdering, NewestLoggedLinesComeFirstThenScores) {
  SetUpSearchFen(testing_support::kStartFen);
  rootMoveCount = 4;
  const Move a = MoveFromText("h2e2"), b = MoveFromText("b2e2"), c = MoveFromText("h0g2"),
             d = MoveFromText("c3c4");
  rootMoves[0] = RootMoveEntry{a, {}, 10, 10, 0};
  rootMoves[1] = RootMoveEntry{b, {}, 5, 100, 0};
  rootMoves[2] = RootMoveEntry{c, {}, 0, 50, 0};
  rootMoves[3] = RootMoveEntry{d, {}, 0, 60, 0};
  // One logged line starting with d; markers are ignored.
  iterationLogCount = 2;
  iterationLog[0] = IterationLogRecord{};
  iterationLog[0].score = 20;
  iterationLog[0].depthOrScore = 1;
  iterationLog[0].lineLength = 1;
  iterationLog[0].line[0] = d;
  iterationLog[1] = IterationLogRecord{};
  iterationLog[1].score = kMarkerIterationDone;
  ReorderRootMoves();
  EXPECT_EQ(rootMoves[0].move, d);  // promoted from the log
  EXPECT_EQ(rootMoves[1].move, b);  // 100
  // c (50) and a (10): 50 > 10 + 33 puts c first.
  EXPECT_EQ(rootMoves[2].move, c);
  EXPECT_EQ(rootMoves[3].move, a);
}

// A log line with first move m at the given depth.
IterationLogRecord LogLine(Move m, int32_t depth) {
  IterationLogRecord r{};
  r.score = 5;
  r.depthOrScore = depth;
  r.lineLength = 1;
  r.line[0] = m;
  return r;
}

TEST(RootOrdering, CloseScoresFollowTheNewestDeepLogLine) {
  SetUpSearchFen(testing_support::kStartFen);
  const Move a = MoveFromText("h2e2"), b = MoveFromText("b2e2"), other = MoveFromText("c3c4");
  // The three newest lines start with a move outside the list, so nothing
  // is promoted; b's score is within 33 above a's, so the log decides.
  auto run = [&](Move olderDeepLine) {
    rootMoveCount = 2;
    rootMoves[0] = RootMoveEntry{a, {}, 0, 10, 0};
    rootMoves[1] = RootMoveEntry{b, {}, 0, 30, 0};
    iterationLog[0] = LogLine(olderDeepLine, 3);
    iterationLog[1] = LogLine(olderDeepLine == a ? b : a, 2);  // too shallow to count
    for (int i = 2; i < 5; ++i) iterationLog[i] = LogLine(other, 4);
    iterationLogCount = 5;
    ReorderRootMoves();
    return rootMoves[0].move;
  };
  EXPECT_EQ(run(a), a);
  EXPECT_EQ(run(b), b);
}

}  // namespace
