// The selective steps of the inner nodes, each case a node searched twice:
// once as given and once with one condition of the step taken away (null
// move allowed, the last move extended, a threat two plies up, a hash move,
// following the line, the material balance, the extension limit). The null
// move, futility, internal iterative deepening, the threat, mate-threat and
// recapture extensions and the single-reply re-search each show in the
// node's extension, the search's trace and how the two results compare,
// never in node totals.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "engine/eval/evaluate.h"
#include "engine/search/search_internal.h"
#include "tests/engine/search/search_harness.h"
#include "tests/support/move_lists.h"

namespace {

using testing_support::MoveFromText;
using testing_support::MoveText;

constexpr int32_t kFull = kMateScore;

// What the second search of a case changes to take the feature away; the
// first runs the node as the case gives it.
enum class Toggle {
  kNullNotAllowed,       // the node is searched with nullAllowed 0
  kLastMoveExtended,     // the move that led to the node was extended
  kNoThreatTwoPliesUp,   // the node two plies up showed a threat in the first search only
  kHashMove,             // a shallow table entry gives the node a move to try first
  kOnTheLine,            // followPv is set (with no line moves to follow)
  kOffTheLine,           // the first search follows the line, the second does not
  kBalanceMoved,         // both follow the line; the balance moved 300 since the root
  kExtensionLimitAtPly,  // checkExtensionLimit is the node's ply
};

// How the two searches compare.
enum class Outcome {
  kSame,         // the feature was not tried: same score, move and node count
  kNullCut,      // first: a null-move cut (score >= beta, no move); second: a move
  kPrunedLow,    // first searches fewer nodes; both fail low
  kSameCapture,  // both find the same move above alpha
  kNotCompared,
};

struct NodeResult {
  int32_t extension;  // the node's extension after its search
  int32_t extended;   // its extended flag
  uint32_t count;     // the case's trace counter
};

struct NodeWindow {
  int32_t alpha, beta, depth16;
};

using NodeCounter = uint32_t SearchTrace::*;

struct NodeCase {
  const char* name;
  const char* fen;
  const char* moves;  // played to reach the node; without moves the node is at ply 1
  NodeWindow window;
  int32_t nullAllowed;
  int32_t iterationDepth;
  Toggle toggle;
  NodeCounter counter;  // nullptr: none read
  NodeResult first, second;
  Outcome outcome;
  // When set, the window is (eval + aboveEval, eval + aboveEval + 1): far
  // enough below alpha to prune, not so far that the evaluator's lazy cut
  // answers alpha itself.
  int32_t aboveEval = 0;
  int32_t extensionLimit = 96;  // checkExtensionLimit
};

constexpr int32_t kAny = -99;
constexpr NodeCounter kNone = nullptr;
constexpr NodeWindow kFullWindowOnePly{-kFull, kFull, 16};

// Red has both chariots, a knight and a cannon against a chariot: well
// above any beta below 2000, quiet, with four attacking pieces.
const char* const kWellAhead = "3aka3/9/7r1/9/9/9/9/1CN6/9/R3K3R w";
// The same in check from the chariot on e5.
const char* const kWellAheadInCheck = "3aka3/9/9/9/4r4/9/9/1CN6/9/R3K3R w";
// Red's a-chariot is attacked by black's: passing loses it, but red is
// still far ahead.
const char* const kChariotAttacked = "3aka3/9/9/9/r8/9/9/1CN6/9/R3K3R w";
// Red is ahead, but passing lets h9-h0 mate: the a1 chariot holds rank 1.
const char* const kMateThreat = "5k1r1/9/9/9/1RR6/9/9/1CN6/r8/4K4 w";
// Red's chariot takes black's on a9 and the knight takes back; red's pawns
// leave its king more than one reply.
const char* const kChariotTrade = "r3k4/9/1n7/9/9/9/6P1P/9/9/R2K5 w";
// A middle game with red a chariot down; in the second the red chariot can
// take black's on d5 for nothing.
const char* const kChariotDown = "r1bak1b1r/4a4/c7n/4p1p1p/1n7/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w";
const char* const kChariotDownButCapture =
    "r1bak1b2/4a4/c7n/4p1p1p/1n1r5/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w";
// Checked along the back rank, black can only step up with the king.
const char* const kOnlyKingStep = "R3k4/9/9/9/9/9/p1p1p4/n7n/9/3K5 b";
// Pawns and advisers only: no check or capture within five plies.
const char* const kQuietPawns = "3aka3/9/9/p3p3p/9/9/P3P3P/9/9/3AKA3 w";

// clang-format off
const NodeCase kNodeCases[] = {
    // Null move: a won quiet node cuts at once without a move; in check,
    // with two attacking pieces, from alpha 2000 or after an extended move
    // it is not tried.
    {"NullMoveCutsAWonNode", kWellAhead, "", {99, 100, 64}, 1, 4, Toggle::kNullNotAllowed,
     kNone, {kAny, kAny, 0}, {kAny, kAny, 0}, Outcome::kNullCut},
    {"NoNullMoveInCheck", kWellAheadInCheck, "", {99, 100, 64}, 1, 4, Toggle::kNullNotAllowed,
     kNone, {0, kAny, 0}, {0, kAny, 0}, Outcome::kSame, 0, /*no check extension*/ 0},
    {"NoNullMoveWithTwoAttackingPieces", "3aka3/9/7r1/9/9/9/9/9/9/R3K3R w", "", {99, 100, 64}, 1,
     4, Toggle::kNullNotAllowed, kNone, {kAny, kAny, 0}, {kAny, kAny, 0}, Outcome::kSame},
    {"NoNullMoveFromAlpha2000", kWellAhead, "", {2000, 2001, 64}, 1, 4, Toggle::kNullNotAllowed,
     kNone, {kAny, kAny, 0}, {kAny, kAny, 0}, Outcome::kSame},
    {"NoNullMoveAfterAnExtendedMove", kWellAhead, "", {99, 100, 64}, 1, 4,
     Toggle::kLastMoveExtended, kNone, {kAny, kAny, 0}, {kAny, kAny, 0}, Outcome::kNullCut},
    // A null move that gets mated extends the node by a ply.
    {"MateThreatExtendsByAPly", kMateThreat, "", {99, 100, 32}, 1, 4, Toggle::kNullNotAllowed,
     kNone, {16, 1, 0}, {0, 0, 0}, Outcome::kNotCompared},
    // A null move that loses a chariot marks a threat; with a threat two
    // plies up too, a move that beats alpha is searched again half a ply
    // deeper.
    {"ThreatNodeReSearchesHalfAPlyDeeper", kChariotAttacked, "", {1500, 1501, 32}, 1, 4,
     Toggle::kNoThreatTwoPliesUp, &SearchTrace::threatReSearches, {8, 0, 1}, {0, 0, 0},
     Outcome::kNotCompared},
    // Recaptures on the line: chariot for chariot in the first 3/4 of the
    // iteration 12, later 8; pawn for pawn 4; knight for pawn nothing; off
    // the line or with the balance moved nothing.
    {"ChariotRecaptureEarly", kChariotTrade, "a0a9 b7a9", kFullWindowOnePly, 0, 4, Toggle::kOffTheLine,
     &SearchTrace::recaptureExtensions, {12, 0, 1}, {0, 0, 0}, Outcome::kNotCompared},
    {"ChariotRecaptureLate", kChariotTrade, "a0a9 b7a9", kFullWindowOnePly, 0, 2, Toggle::kOffTheLine,
     &SearchTrace::recaptureExtensions, {8, 0, 1}, {0, 0, 0}, Outcome::kNotCompared},
    {"PawnRecapture", "2r1k4/9/9/2p6/2P6/9/9/9/9/3K4R w", "c5c6 c9c6", kFullWindowOnePly, 0, 4,
     Toggle::kOffTheLine, &SearchTrace::recaptureExtensions, {4, 0, 1}, {0, 0, 0},
     Outcome::kNotCompared},
    {"KnightForPawnIsNoRecapture", "2r1k4/9/6n2/2p6/2P6/9/9/9/9/3K2R2 w", "g0g7 c6c5", kFullWindowOnePly,
     0, 4, Toggle::kOffTheLine, &SearchTrace::recaptureExtensions, {0, 0, 0}, {0, 0, 0},
     Outcome::kNotCompared},
    {"NoRecaptureOnceTheBalanceMoved", kChariotTrade, "a0a9 b7a9", kFullWindowOnePly, 0, 4,
     Toggle::kBalanceMoved, &SearchTrace::recaptureExtensions, {12, 0, 1}, {0, 0, 0},
     Outcome::kNotCompared},
    // Futility: far below alpha only forcing moves are searched, and a
    // capture that restores the score is still found.
    {"FutilityPrunesAHopelessNode", kChariotDown, "", {0, 0, 32}, 1, 4, Toggle::kLastMoveExtended,
     &SearchTrace::prunedNodes, {0, 0, 1}, {0, 0, 0}, Outcome::kPrunedLow, 300},
    {"FutilityKeepsTheCapture", kChariotDownButCapture, "", {0, 0, 32}, 1, 4,
     Toggle::kLastMoveExtended, &SearchTrace::prunedNodes, {0, 0, 1}, {0, 0, 0},
     Outcome::kSameCapture, 300},
    // Internal iterative deepening: five plies without a move to try first;
    // not with a hash move, not at four plies, not on the line.
    {"DeepeningWithoutAHashMove", kQuietPawns, "", {-kFull, kFull, 80}, 0, 4, Toggle::kHashMove,
     &SearchTrace::internalDeepenings, {kAny, kAny, 1}, {kAny, kAny, 0}, Outcome::kNotCompared},
    {"NoDeepeningAtFourPlies", kQuietPawns, "", {-kFull, kFull, 64}, 0, 4, Toggle::kHashMove,
     &SearchTrace::internalDeepenings, {kAny, kAny, 0}, {kAny, kAny, 0}, Outcome::kNotCompared},
    {"NoDeepeningOnTheLine", kQuietPawns, "", {-kFull, kFull, 80}, 0, 4, Toggle::kOnTheLine,
     &SearchTrace::internalDeepenings, {kAny, kAny, 1}, {kAny, kAny, 0}, Outcome::kNotCompared},
    // A single reply is searched again a ply deeper while the extension is
    // at most a ply, the line is not decided and the ply is below the
    // extension limit: in check once (16 + 16), out of check until the
    // deeper search sees the mate.
    {"SingleReplyInCheck", kOnlyKingStep, "", kFullWindowOnePly, 0, 4, Toggle::kExtensionLimitAtPly,
     &SearchTrace::singleReplyReSearches, {32, 1, 1}, {16, 1, 0}, Outcome::kNotCompared},
    {"SingleReplyOutOfCheckUntilDecided", "3k5/R8/9/9/9/9/9/9/9/5K3 b", "", kFullWindowOnePly, 0, 4,
     Toggle::kExtensionLimitAtPly, &SearchTrace::singleReplyReSearches, {16, 1, 1}, {0, 1, 0},
     Outcome::kNotCompared},
    {"TwoRepliesAreNotExtended", "R3k4/4a4/9/9/9/2r6/9/9/9/3K5 b", "", kFullWindowOnePly, 0, 4,
     Toggle::kExtensionLimitAtPly, &SearchTrace::singleReplyReSearches, {16, 0, 0}, {16, 0, 0},
     Outcome::kNotCompared},
};
// clang-format on

struct NodeRun {
  int32_t score;
  Move move;  // the node's row move
  uint64_t nodes;
  int32_t extension;
  int32_t extended;
  SearchTrace trace;
  int32_t eval;  // the node's static evaluation
  int32_t alpha, beta;
};

// Whether the first or the second search of a case follows the line.
bool FollowsTheLine(Toggle toggle, bool second) {
  switch (toggle) {
    case Toggle::kOnTheLine:
      return second;
    case Toggle::kOffTheLine:
      return !second;
    case Toggle::kBalanceMoved:
      return true;
    default:
      return false;
  }
}

class NodeCaseTest : public ::testing::TestWithParam<NodeCase> {
 protected:
  // Sets the node up (after the case's moves, as if the root were the
  // position of the FEN), applies the toggle for the second search, and
  // searches it with the trace cleared.
  static NodeRun Search(const NodeCase& c, bool second) {
    search_harness::SetUpSearchFen(c.fen);
    // Records an earlier test's search left behind are no moves of this one.
    std::memset(&history[1], 0, 16 * sizeof(HistoryRecord));
    std::memset(threatFlags, 0, 16);
    std::istringstream moves(c.moves);
    for (std::string m; moves >> m;) EXPECT_EQ(testing_support::PlayMove(MoveFromText(m)), 1) << m;
    if (historyPly == 0) historyPly = 1;
    const int ply = historyPly;
    const int n = search_detail::RecordIndex();
    iterationDepth = c.iterationDepth;
    rootDepth16 = c.iterationDepth * 16;
    checkExtensionLimit = c.extensionLimit;
    quiescenceBasePly = c.iterationDepth;
    rootBalance = materialBalance;
    followPv = FollowsTheLine(c.toggle, second) ? 1 : 0;
    if (c.toggle == Toggle::kNoThreatTwoPliesUp && !second) threatFlags[n - 1] = 1;
    int32_t nullAllowed = c.nullAllowed;
    if (second) {
      switch (c.toggle) {
        case Toggle::kNullNotAllowed:
          nullAllowed = 0;
          break;
        case Toggle::kLastMoveExtended:
          history[n].extended = 1;
          break;
        case Toggle::kHashMove:
          StoreHashTable(1, 0, testing_support::LegalMoves().front(), -1, 1, 0);
          break;
        case Toggle::kBalanceMoved:
          rootBalance = materialBalance + 300;
          break;
        case Toggle::kExtensionLimitAtPly:
          checkExtensionLimit = ply;
          break;
        default:
          break;
      }
    }
    NodeRun r{};
    int32_t redTotal = 0;
    int32_t blackTotal = 0;
    r.eval = evaluator(-kFull, &redTotal, &blackTotal);
    r.alpha = c.aboveEval != 0 ? r.eval + c.aboveEval : c.window.alpha;
    r.beta = c.aboveEval != 0 ? r.alpha + 1 : c.window.beta;
    searchTrace = {};
    nodeCount = nodeCountHigh = pollBaseCount = 0;
    r.score = SearchNode(r.alpha, r.beta, c.window.depth16, nullAllowed, kNoEval, 0, 0);
    r.move = principalVariation[ply][ply];
    r.nodes = nodeCount;
    r.extension = historyBase[ply].extension;
    r.extended = static_cast<int32_t>(historyBase[ply].extended);
    r.trace = searchTrace;
    followPv = 0;
    return r;
  }
};

void ExpectResult(const NodeCase& c, const NodeRun& run, const NodeResult& want,
                  const char* which) {
  SCOPED_TRACE(which);
  if (want.extension != kAny) {
    EXPECT_EQ(run.extension, want.extension);
  }
  if (want.extended != kAny) {
    EXPECT_EQ(run.extended, want.extended);
  }
  if (c.counter != nullptr) {
    EXPECT_EQ(run.trace.*c.counter, want.count);
  }
}

TEST_P(NodeCaseTest, TheFeatureActsOnlyWhereItsConditionsHold) {
  const NodeCase& c = GetParam();
  const NodeRun a = Search(c, false);
  const NodeRun b = Search(c, true);
  ExpectResult(c, a, c.first, "first search");
  ExpectResult(c, b, c.second, "second search");
  switch (c.outcome) {
    case Outcome::kSame:
      // Meaningful only where the null move would pass the eval test.
      if (c.toggle == Toggle::kNullNotAllowed) {
        EXPECT_GE(a.eval, a.beta);
      }
      EXPECT_EQ(a.score, b.score);
      EXPECT_EQ(a.move, b.move);
      EXPECT_EQ(a.nodes, b.nodes);
      break;
    case Outcome::kNullCut:
      EXPECT_GE(a.score, a.beta);
      EXPECT_EQ(a.move, 0u) << "a null-move cut leaves no move";
      EXPECT_GE(b.score, a.beta);
      EXPECT_NE(b.move, 0u);
      EXPECT_LT(a.nodes, b.nodes);
      break;
    case Outcome::kPrunedLow:
      EXPECT_LE(a.score, a.alpha);
      EXPECT_LE(b.score, a.alpha);
      EXPECT_LT(a.nodes, b.nodes);
      break;
    case Outcome::kSameCapture:
      EXPECT_GT(a.score, a.alpha);
      EXPECT_GT(b.score, a.alpha);
      EXPECT_NE(a.move, 0u);
      EXPECT_EQ(a.move, b.move) << MoveText(a.move) << " / " << MoveText(b.move);
      break;
    case Outcome::kNotCompared:
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Node, NodeCaseTest, ::testing::ValuesIn(kNodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
