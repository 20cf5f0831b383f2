// Making and unmaking moves: exact restoration, the refusal rules (facing
// kings, own king attacked, iron pawn), the incremental keys, counters and
// balance against recomputation over random games, null moves and the trial
// test that the legal-move test relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::MoveFromText;
using testing_support::MoveText;
using testing_support::PositionSnapshot;
using testing_support::SetUpFen;

// The same position with the colours exchanged and the board turned over
// (rank r becomes rank 9 - r), the other side to move.
std::string SwapFen(const std::string& fen) {
  const auto space = fen.find(' ');
  std::string placement = fen.substr(0, space);
  const char side = fen[space + 1];
  std::vector<std::string> ranks;
  size_t start = 0;
  for (size_t slash; (slash = placement.find('/', start)) != std::string::npos; start = slash + 1)
    ranks.push_back(placement.substr(start, slash - start));
  ranks.push_back(placement.substr(start));
  std::reverse(ranks.begin(), ranks.end());
  std::string out;
  for (size_t i = 0; i < ranks.size(); ++i) {
    if (i) out += '/';
    for (char c : ranks[i])
      out += std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c))
                                                         : static_cast<char>(std::toupper(c));
  }
  return out + (side == 'b' ? " w" : " b");
}

// The move text on the turned-over board.
std::string SwapMoveText(std::string text) {
  text[1] = static_cast<char>('0' + '9' - text[1]);
  text[3] = static_cast<char>('0' + '9' - text[3]);
  return text;
}

int Make(const std::string& text) {
  return MakeMove(MoveFromText(text), static_cast<int32_t>(FindChecker(sideToMove)));
}

int Trial(const std::string& text) {
  const Move m = MoveFromText(text);
  return IsLegalByTrial(MoveFrom(m), MoveTo(m));
}

// Fills both banks with distinct values per type and square (kings included)
// so that every balance term is checked, then recomputes the balance.
void FillRandomBanks(std::mt19937& rng) {
  std::uniform_int_distribution<int32_t> value(-400, 1600);
  for (int t = 1; t <= 7; ++t) {
    for (int s = 0; s < 176; ++s) {
      pieceSquareRed[t][s] = value(rng);
      pieceSquareBlack[t][s] = value(rng);
    }
  }
  materialBalance = RecomputeBalance();
}

class MakeMoveTest : public ::testing::Test {
 protected:
  void TearDown() override {
    redIronPawn = 0;
    blackIronPawn = 0;
  }
};

// Red can capture one black piece of every type; SwapFen gives black the
// same captures of red pieces.
constexpr const char* kCaptureFen = "4ka3/4a4/r5N1n/3p5/2bP5/5c2R/P8/C8/9/4KAB2 w";
struct CaseMove {
  const char* text;
  uint32_t victimType;  // colourless, 0 for a quiet move
};
constexpr CaseMove kCaseMoves[] = {
    {"d5d6", kPawn},    {"g7e8", kAdviser}, {"g7f9", kAdviser}, {"d5c5", kElephant},
    {"i4i7", kKnight},  {"i4f4", kCannon},  {"a2a7", kChariot}, {"i4h4", 0},
    {"f0e1", 0},        {"g0e2", 0},        {"e0e1", 0},        {"a3a4", 0},
    {"g7h5", 0},        {"a2b2", 0},
};

TEST_F(MakeMoveTest, UnmakeRestoresEveryVariableForQuietMovesAndAllCaptureTypes) {
  std::mt19937 rng(7);
  for (int swapped = 0; swapped < 2; ++swapped) {
    const std::string fen = swapped ? SwapFen(kCaptureFen) : kCaptureFen;
    SetUpFen(fen);
    FillRandomBanks(rng);
    reversibleMoves = 17;
    const PositionSnapshot before = PositionSnapshot::Take();
    const uint32_t mover = sideToMove;
    const uint32_t victimSide = 1 - mover;
    for (const CaseMove& c : kCaseMoves) {
      const std::string text = swapped ? SwapMoveText(c.text) : c.text;
      SCOPED_TRACE(fen + " " + text);
      const Move m = MoveFromText(text);
      const uint32_t victim = static_cast<uint32_t>(board[MoveTo(m)]);
      ASSERT_EQ(victim != 0 ? pieceTypeOf[victim] : 0u, c.victimType);

      ASSERT_EQ(MakeMove(m, 5), 1);
      const HistoryRecord& r = history[1];
      EXPECT_EQ(r.move, m);
      EXPECT_EQ(r.captured, victim);
      EXPECT_EQ(r.checker, 5);
      EXPECT_EQ(r.lock, before.positionLock);
      EXPECT_EQ(r.key, before.positionKey);
      EXPECT_EQ(r.reversibleMoves, 17u);
      EXPECT_EQ(r.balance, before.materialBalance);
      EXPECT_EQ(historyPly, 1);
      EXPECT_EQ(sideToMove, 1 - mover);
      EXPECT_EQ(reversibleMoves, victim ? 0u : 18u);
      // Keys, counters and balance against a recount from the piece list.
      EXPECT_EQ(CheckPositionConsistency(), 1);
      if (victim) {
        EXPECT_EQ(posPiece[victim], 0u);
        EXPECT_EQ(pieceCount[victimSide][c.victimType - 1],
                  before.pieceCount[victimSide][c.victimType - 1] - 1);
      }

      UnmakeMove();
      EXPECT_TRUE(PositionSnapshot::Take() == before);
    }
  }
}

TEST_F(MakeMoveTest, FacingKingsAndAttackedKingAreRefusedWithNothingChanged) {
  struct Refusal {
    const char* fen;
    const char* refused;  // leaves the kings facing or the king attacked
    const char* allowed;  // a comparable move that is made
  };
  const Refusal cases[] = {
      // The red king steps onto the open file of the black king.
      {"4k4/9/9/9/9/9/9/9/9/5K3 w", "f0e0", "f0f1"},
      // The only piece between the kings leaves the file; along it is fine.
      {"4k4/9/9/9/4C4/9/9/9/9/4K4 w", "e5d5", "e5e2"},
      // The same with the screen leaving by a capture.
      {"4k4/9/9/9/3nR4/9/9/9/9/4K4 w", "e5d5", "e5e8"},
      // A pinned chariot leaves the line of the attacking chariot.
      {"3k5/9/9/9/9/4r4/9/4R4/9/4K4 w", "e2d2", "e2e4"},
      // In check from a knight: a move that ignores it, and the capture.
      {"3k5/9/9/9/9/9/9/R2n5/9/4K4 w", "a2a3", "a2d2"},
      // The king walks into a cannon's line behind a screen.
      {"3k5/9/9/3c5/9/9/9/9/3A5/4K4 w", "e0d0", "e0e1"},
  };
  for (const auto& c : cases) {
    for (int swapped = 0; swapped < 2; ++swapped) {
      const std::string fen = swapped ? SwapFen(c.fen) : c.fen;
      const std::string refused = swapped ? SwapMoveText(c.refused) : c.refused;
      const std::string allowed = swapped ? SwapMoveText(c.allowed) : c.allowed;
      SCOPED_TRACE(fen);
      SetUpFen(fen);
      const PositionSnapshot before = PositionSnapshot::Take();
      const HistoryRecord recordBefore = history[1];
      EXPECT_EQ(Trial(refused), 0) << refused;
      EXPECT_EQ(Make(refused), 0) << refused;
      EXPECT_TRUE(PositionSnapshot::Take() == before);
      EXPECT_EQ(std::memcmp(&history[1], &recordBefore, sizeof recordBefore), 0);
      EXPECT_EQ(Trial(allowed), 1) << allowed;
      EXPECT_TRUE(PositionSnapshot::Take() == before);
      EXPECT_EQ(Make(allowed), 1) << allowed;
      UnmakeMove();
      EXPECT_TRUE(PositionSnapshot::Take() == before);
    }
  }
}

// Captures of a pawn with the iron-pawn option of the pawn's side set.
struct IronCase {
  const char* fen;  // red to move; the twin for black comes from SwapFen
  const char* move;
  bool madeWithOption;
};
constexpr IronCase kIronCases[] = {
    {"9/3k5/9/4p4/9/5N3/9/9/9/4K4 w", "f4e6", true},            // knight, with check
    {"3k5/9/9/4p4/9/5N3/9/9/9/4K4 w", "f4e6", false},           // knight, no check
    {"4k4/9/9/4p3R/9/9/9/9/9/5K3 w", "i6e6", true},             // chariot, with check
    {"5k3/9/9/4p3R/9/9/9/9/9/4K4 w", "i6e6", false},            // chariot, no check
    {"4k4/4a4/9/4p4/9/9/4P4/4C4/9/5K3 w", "e2e6", true},        // cannon, with check
    {"4k4/9/9/4p4/9/9/4P4/4C4/9/5K3 w", "e2e6", false},         // cannon, no check
    {"5k3/9/9/4p4/4P4/9/9/9/9/4K4 w", "e5e6", true},            // a pawn may take it
    {"5k3/9/9/6p1R/9/9/9/9/9/4K4 w", "i6g6", true},             // a pawn elsewhere
    {"5k3/9/9/4n3R/9/9/9/9/9/4K4 w", "i6e6", true},             // not a pawn
};

TEST_F(MakeMoveTest, IronPawnRefusesOnlyCapturesOfTheCentralPawnWithoutCheck) {
  for (const IronCase& c : kIronCases) {
    for (int swapped = 0; swapped < 2; ++swapped) {
      const std::string fen = swapped ? SwapFen(c.fen) : c.fen;
      const std::string move = swapped ? SwapMoveText(c.move) : c.move;
      SCOPED_TRACE(fen + " " + move);
      uint32_t& protectingOption = swapped ? redIronPawn : blackIronPawn;
      uint32_t& otherOption = swapped ? blackIronPawn : redIronPawn;
      SetUpFen(fen);
      const PositionSnapshot before = PositionSnapshot::Take();

      // Without the option, or with only the other side's option, every
      // case is an ordinary capture.
      for (int other = 0; other < 2; ++other) {
        protectingOption = 0;
        otherOption = static_cast<uint32_t>(other);
        EXPECT_EQ(Trial(move), 1);
        ASSERT_EQ(Make(move), 1);
        UnmakeMove();
        EXPECT_TRUE(PositionSnapshot::Take() == before);
      }

      protectingOption = 1;
      otherOption = 0;
      EXPECT_EQ(Trial(move), c.madeWithOption ? 1 : 0);
      EXPECT_TRUE(PositionSnapshot::Take() == before);
      EXPECT_EQ(Make(move), c.madeWithOption ? 1 : 0);
      if (c.madeWithOption) UnmakeMove();
      EXPECT_TRUE(PositionSnapshot::Take() == before);
      protectingOption = 0;
    }
  }
}

// Red's only legal move is the cannon taking the black central pawn without
// check: with the option set red has no legal move at all.
TEST_F(MakeMoveTest, HasLegalMoveObeysTheIronPawnOptions) {
  const std::string fen = "3k5/9/9/4p4/4p4/3pCp3/4p4/3n5/r8/5K3 w";
  for (int swapped = 0; swapped < 2; ++swapped) {
    SetUpFen(swapped ? SwapFen(fen) : fen);
    uint32_t& option = swapped ? redIronPawn : blackIronPawn;
    const PositionSnapshot before = PositionSnapshot::Take();
    option = 0;
    const auto legal = testing_support::LegalMoves();
    ASSERT_EQ(legal.size(), 1u);
    EXPECT_EQ(MoveText(legal[0]), swapped ? "e5e3" : "e4e6");
    EXPECT_EQ(HasLegalMove(), 1);
    option = 1;
    EXPECT_TRUE(testing_support::LegalMoves().empty());
    EXPECT_EQ(HasLegalMove(), 0);
    EXPECT_TRUE(PositionSnapshot::Take() == before);
    option = 0;
  }
}

TEST_F(MakeMoveTest, NullMoveRecordsTheCurrentValuesAndChangesOnlyTheSide) {
  SetUpFen(testing_support::kStartFen);
  ASSERT_EQ(Make("h2e2"), 1);
  ASSERT_EQ(Make("h9g7"), 1);
  const PositionSnapshot before = PositionSnapshot::Take();
  history[3].captured = 9;
  history[3].checker = 9;
  MakeNullMove();
  const HistoryRecord& r = history[3];
  EXPECT_EQ(r.move, 0u);
  EXPECT_EQ(r.captured, 0u);
  EXPECT_EQ(r.checker, 0);
  EXPECT_EQ(r.lock, positionLock);
  EXPECT_EQ(r.key, positionKey);
  EXPECT_EQ(r.reversibleMoves, 2u);
  EXPECT_EQ(r.balance, materialBalance);
  EXPECT_EQ(historyPly, 3);
  EXPECT_EQ(sideToMove, before.sideToMove ^ 1);
  // The search undoes a null move by hand.
  sideToMove ^= 1;
  --historyPly;
  EXPECT_TRUE(PositionSnapshot::Take() == before);
  UnmakeMove();
  UnmakeMove();
  EXPECT_EQ(reversibleMoves, 0u);
  EXPECT_EQ(historyPly, 0);
}

TEST_F(MakeMoveTest, FindCheckerNamesThePieceCheckingThatSide) {
  SetUpFen("3k5/9/9/9/9/9/9/9/4r4/4K4 w");  // black chariot next to the red king
  EXPECT_EQ(FindChecker(kRed), 24u);
  EXPECT_EQ(FindChecker(kBlack), 0u);
  // Kings facing on an open file: each side is told the other king.
  SetUpFen("4k4/9/9/9/9/9/9/9/9/4K4 w");
  EXPECT_EQ(FindChecker(kRed), 17u);
  EXPECT_EQ(FindChecker(kBlack), 1u);
}

// Random games from several positions: at every ply each pseudo-legal move
// is tried, refused moves must leave the position untouched and agree with
// IsLegalByTrial, made moves must match the from-scratch keys, counters and
// balance, and unmaking must restore the position exactly. Every game is
// then taken back to its start.
TEST_F(MakeMoveTest, RandomGamesKeepEveryIncrementalValueExact) {
  const char* const starts[] = {
      testing_support::kStartFen,
      "2bak4/4a4/n3b1c2/p3p1R1p/2p6/9/P3P3P/2N1C1N2/4A4/2BAK1B2 w",
      "r1bakab1r/9/1cn4cn/p1p1p1p1p/9/9/P1P1P1P1P/1CN4CN/9/R1BAKAB1R b",
      "3k5/4a4/4b4/9/2p1c4/6R2/9/4C4/4A4/3AK4 w",
      "4k4/9/3a5/9/4P4/9/2n6/9/4A4/3K5 b",
  };
  std::mt19937 rng(20240611);
  int totalPlies = 0;
  int captures = 0;
  int refusals = 0;
  for (int game = 0; game < 20; ++game) {
    const std::string fen = starts[game % 5];
    SCOPED_TRACE("game " + std::to_string(game) + " from " + fen);
    SetUpFen(fen);
    FillRandomBanks(rng);
    redIronPawn = blackIronPawn = static_cast<uint32_t>(game / 5 % 2);
    const PositionSnapshot start = PositionSnapshot::Take();
    int ply = 0;
    for (; ply < 300; ++ply) {
      historyBase = &history[1 + ply];
      historyPly = 0;
      MovePicker& picker = movePickers[0];
      picker.next = 0;
      picker.count = 0;
      GenerateAllMoves();
      const std::vector<MoveEntry> entries(picker.entries, picker.entries + picker.count);
      const PositionSnapshot before = PositionSnapshot::Take();
      const int32_t checker = static_cast<int32_t>(FindChecker(sideToMove));
      std::vector<Move> legal;
      for (const MoveEntry& e : entries) {
        const Move m = e.move;
        const int trial = IsLegalByTrial(MoveFrom(m), MoveTo(m));
        ASSERT_TRUE(PositionSnapshot::Take() == before) << "trial " << MoveText(m);
        const int made = MakeMove(m, checker);
        ASSERT_EQ(made, trial) << MoveText(m);
        if (!made) {
          ++refusals;
          ASSERT_TRUE(PositionSnapshot::Take() == before) << "refused " << MoveText(m);
          continue;
        }
        legal.push_back(m);
        uint64_t lock, key;
        ComputePositionKeys(&lock, &key, posPiece);
        ASSERT_EQ(positionLock, lock) << MoveText(m);
        ASSERT_EQ(positionKey, key) << MoveText(m);
        ASSERT_EQ(materialBalance, RecomputeBalance()) << MoveText(m);
        ASSERT_EQ(CheckPositionConsistency(), 1) << MoveText(m);
        UnmakeMove();
        ASSERT_TRUE(PositionSnapshot::Take() == before) << "unmade " << MoveText(m);
      }
      ASSERT_EQ(HasLegalMove(), legal.empty() ? 0 : 1);
      if (legal.empty()) break;
      const Move chosen = legal[std::uniform_int_distribution<size_t>(0, legal.size() - 1)(rng)];
      if (board[MoveTo(chosen)] != 0) ++captures;
      ASSERT_EQ(MakeMove(chosen, checker), 1);
    }
    totalPlies += ply;
    for (int p = ply - 1; p >= 0; --p) {
      historyBase = &history[1 + p];
      historyPly = 1;
      UnmakeMove();
    }
    EXPECT_TRUE(PositionSnapshot::Take() == start);
  }
  EXPECT_GT(totalPlies, 2000);
  EXPECT_GT(captures, 100);
  EXPECT_GT(refusals, 100);
}

}  // namespace
