// Repetition rulings on real cycles: the moves are played with MakeMove on
// hand-built positions, the game's moves fill history[1..gamePly] and the
// search's moves follow from history[gamePly + 1], and the rulings are asked
// exactly as the searches ask them.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::PositionSnapshot;

constexpr int32_t kContemptRed = 11;
constexpr int32_t kContemptBlack = 23;
constexpr int32_t kDrawRedToMove = -kContemptBlack;
constexpr int32_t kDrawBlackToMove = -kContemptRed;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

uint32_t InCheckPiece() { return sideToMove == kRed ? RedKingAttacker() : BlackKingAttacker(); }

// Plays one legal move, recording the in-check piece as the search does.
::testing::AssertionResult Play(const std::string& text) {
  const Move m = testing_support::MoveFromText(text);
  const auto legal = testing_support::LegalMoves();
  if (std::find(legal.begin(), legal.end(), m) == legal.end())
    return ::testing::AssertionFailure() << text << " is not legal in "
                                         << testing_support::CurrentFen();
  if (MakeMove(m, static_cast<int32_t>(InCheckPiece())) != 1)
    return ::testing::AssertionFailure() << text << " refused";
  return ::testing::AssertionSuccess();
}

// Sets up the FEN, plays the game's moves, starts a search at the shown
// position (historyBase = &history[gamePly + 1], historyPly = 0) and plays
// the search's moves.
::testing::AssertionResult SetUpLine(const std::string& fen, const std::string& gameMoves,
                                     const std::string& searchMoves) {
  testing_support::SetUpFen(fen);
  contemptRed = kContemptRed;
  contemptBlack = kContemptBlack;
  for (const auto& m : Words(gameMoves))
    if (auto r = Play(m); !r) return r;
  gamePly = gameLength = historyPly;
  historyBase = &history[gamePly + 1];
  historyPly = 0;
  for (const auto& m : Words(searchMoves))
    if (auto r = Play(m); !r) return r;
  return ::testing::AssertionSuccess();
}

struct Verdict {
  int cycle = 0;  // the cycle that gave the ruling, 0 none
  int32_t score = 0;
  bool operator==(const Verdict&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Verdict& v) {
  return os << "{cycle " << v.cycle << ", score " << v.score << "}";
}

int CurrentN() { return gamePly + historyPly; }

// One call of the ruling; the position must come back unchanged.
int Adjudicate(int c, int n, uint32_t inCheck, int32_t* score) {
  const auto before = PositionSnapshot::Take();
  const int r = AdjudicateRepetition(c, n, inCheck, score);
  EXPECT_TRUE(before == PositionSnapshot::Take()) << "position changed, cycle " << c;
  EXPECT_EQ(CheckPositionConsistency(), 1);
  return r;
}

// The repetition test of the searches at the current node.
Verdict Probe() {
  const int n = CurrentN();
  EXPECT_GE(reversibleMoves, 4u);
  EXPECT_TRUE(history[n].move != 0 && history[n - 1].move != 0 && history[n - 2].move != 0);
  const uint32_t inCheck = InCheckPiece();
  for (int c : {4, 6, 8, 10}) {
    if (n < c || history[n + 1 - c].lock != positionLock) continue;
    int32_t score = 0;
    if (Adjudicate(c, n, inCheck, &score) == 1) return {c, score};
  }
  return {};
}

struct LineCase {
  const char* name;
  const char* fen;
  const char* gameMoves;
  const char* searchMoves;
  Verdict expected;
};

// Red checks with every move; black's king shuffles.
constexpr const char* kPerpetualFen = "4k4/8R/9/9/9/9/9/9/9/3K5 w";
constexpr const char* kPerpetual8 = "i8i9 e9e8 i9i8 e8e9 i8i9 e9e8 i9i8 e8e9";
// Every move both escapes check and gives check.
constexpr const char* kMutualFen = "3rc4/4k4/4c4/9/R3R4/9/9/4C4/9/3K5 w";
// Red checks with every move, black only with every other one.
constexpr const char* kMixedFen = "9/5k3/5c3/2C6/9/5R3/3r5/2r6/3R5/5K3 w";
// Two chariots shuffle out of each other's way.
constexpr const char* kPlainFen = "r3k4/9/9/9/9/9/9/9/9/3K4R w";
constexpr const char* kPlain4 = "i0i1 a9a8 i1i0 a8a9";
// Black's knight attacks red's chariot on c3 and on c6; red's pawn on f7
// guards e7 but not d5.
constexpr const char* kKnightFen = "3k5/9/5P3/9/3n5/9/2R6/9/9/4K4 w";
constexpr const char* kKnight8 = "c3c6 d5e7 c6c3 e7d5 c3c6 d5e7 c6c3 e7d5";
// Red's chariot on the a-file chases black's cannon along the g-file.
constexpr const char* kChaseFen = "4k4/9/9/9/9/6c2/9/R8/9/3K5 w";
constexpr const char* kChase6 = "a2a4 g4g6 a4a6 g6g2 a6a2 g2g4";

const LineCase kLines[] = {
    // Perpetual check: the checker loses at its node, the checked side wins.
    {"PerpetualCheckerNode", kPerpetualFen, "", "i8i9 e9e8 i9i8 e8e9", {4, 4 - 3199999}},
    {"PerpetualCheckedNode", kPerpetualFen, "", "i8i9 e9e8 i9i8 e8e9 i8i9", {4, 3199999 - 5}},
    {"PerpetualCheckedAtPlyOne", kPerpetualFen, "i8i9 e9e8 i9i8 e8e9 i8i9 e9e8", "i9i8",
     {4, 3199999 - 1}},
    {"MutualChecksRedNode", kMutualFen, "", "e5d5 e7d7 d5e5 d7e7", {4, kDrawRedToMove}},
    {"MutualChecksBlackNode", kMutualFen, "", "e5d5 e7d7 d5e5 d7e7 e5d5", {4, kDrawBlackToMove}},
    // Red not in check, its last move checked, black's move before checked too.
    {"CheckAfterCounterCheck", kMixedFen, "", "c6f6 f7e7 f6c6 e7f7 c6f6 f7e7",
     {4, kDrawRedToMove}},
    {"CheckerOfEveryMoveLoses", kMixedFen, "", "c6f6 f7e7 f6c6 e7f7 c6f6 f7e7 f6c6",
     {4, 3199999 - 7}},
    // Black's check after a quiet move: a draw, except at ply 1 where the
    // four-ply rule finds no ruling.
    {"SingleCheckAgainstSideToMove", "4k4/9/8R/9/9/9/9/9/9/3K5 w", "", "i7i9 e9e8 i9i7 e8e9 i7i9",
     {4, kDrawBlackToMove}},
    {"SingleCheckAtPlyOne", "4k4/9/8R/9/9/9/9/9/9/3K5 w", "i7i9 e9e8 i9i7 e8e9", "i7i9", {}},
    // Red's last move checked, once in the cycle: no perpetual check, no draw.
    {"SingleCheckNoRuling", "4k4/9/8R/9/9/9/9/9/9/3K5 w", "", "i7i9 e9e8 i9i7 e8e9 i7i9 e9e8",
     {}},
    // Plain repetition: a draw from ply 5 on; below that only when the
    // position also stood 2c plies back.
    {"PlainRedNodePly8", kPlainFen, "", "i0i1 a9a8 i1i0 a8a9 i0i1 a9a8 i1i0 a8a9",
     {4, kDrawRedToMove}},
    {"PlainBlackNodePly5", kPlainFen, "", "i0i1 a9a8 i1i0 a8a9 i0i1", {4, kDrawBlackToMove}},
    {"PlainPly4Once", kPlainFen, "", kPlain4, {}},
    {"PlainPly4Twice", kPlainFen, kPlain4, kPlain4, {4, kDrawRedToMove}},
    {"PlainBlackPly4Twice", kPlainFen, "i0i1 a9a8 i1i0 a8a9 i0i1", "a9a8 i1i0 a8a9 i0i1",
     {4, kDrawBlackToMove}},
    // A chariot chased by a knight: decided by whether red's other pieces
    // attacked the knight's starting square (e7 yes, d5 no).
    {"ChariotChasedGuardedStart", kKnightFen, "", "c3c6 d5e7 c6c3 e7d5", {4, 3199998 - 4}},
    {"ChariotChasedUnguardedStart", kKnightFen, "", "c3c6 d5e7 c6c3 e7d5 c3c6 d5e7",
     {4, kDrawRedToMove}},
    {"ChariotChasedTwice", kKnightFen, "", kKnight8, {4, 3199999 - 8}},
    {"ChariotChasedAtPlyOne", kKnightFen, "c3c6 d5e7 c6c3", "e7d5", {4, 3199998 - 1}},
    {"ChariotChasedNoPawnGuard", "3k5/9/9/9/3n5/9/2R6/9/9/4K4 w", "", "c3c6 d5e7 c6c3 e7d5",
     {4, kDrawRedToMove}},
    // At the chaser's node a four-ply chase needs the second occurrence.
    {"KnightChaserFourCycleOnce", kKnightFen, "", "c3c6 d5e7 c6c3 e7d5 c3c6", {}},
    {"KnightChaserFourCycleTwice", kKnightFen, "", "c3c6 d5e7 c6c3 e7d5 c3c6 d5e7 c6c3 e7d5 c3c6",
     {4, 9 - 3199998}},
    // A cannon chased by a knight: undefended it counts, defended it does not.
    {"UndefendedCannonChased", "3k5/9/9/9/3n5/9/2C6/9/9/4K4 w", "", "c3c6 d5e7 c6c3 e7d5",
     {4, 3199998 - 4}},
    {"DefendedCannonChased", "3k5/9/9/9/3n5/9/R1C6/9/9/4K4 w", "", "c3c6 d5e7 c6c3 e7d5",
     {4, kDrawRedToMove}},
    {"DefendedCannonChaserNode", "3k5/9/9/9/3n5/9/R1C6/9/9/4K4 w", "", "c3c6 d5e7 c6c3 e7d5 c3c6",
     {4, kDrawBlackToMove}},
    {"UndefendedCannonChasedAtPlyOne", "3k5/9/9/9/3n5/9/2C6/9/9/4K4 w", "c3c6 d5e7 c6c3", "e7d5",
     {4, 3199998 - 1}},
    {"DefendedCannonChasedAtPlyOne", "3k5/9/9/9/3n5/9/R1C6/9/9/4K4 w", "c3c6 d5e7 c6c3", "e7d5", {}},
    {"CannonGuardedOnItsEarlierSquareAtPlyOne", "3k5/9/9/R8/3n5/9/2C6/9/9/4K4 w",
     "c3c6 d5e7 c6c3", "e7d5", {}},
    // Black's chariot chases red's knight: not counted when the knight was
    // guarded where it stood before, or was not attacked there, or itself
    // threatened the chariot's square; the four-ply rule decides instead.
    {"ChasedKnightGuardedBefore", "2C2k3/9/9/4r4/9/4N4/2c6/5K3/2R6/9 w", "",
     "e4c5 e6c6 c5e4 c6e6", {4, kDrawRedToMove}},
    {"ChasedKnightGuardedBeforePly3", "2C2k3/9/9/4r4/9/4N4/2c6/5K3/2R6/9 w", "e4c5",
     "e6c6 c5e4 c6e6", {}},
    {"ChasedKnightNotAttackedBefore", "3k5/6C2/4r4/1r7/9/9/9/9/9/1N1K5 w", "",
     "b0c2 b6b5 c2b0 b5b6", {4, kDrawRedToMove}},
    {"ChasedKnightThreatensBack", "4k4/9/9/3nrN3/9/9/9/9/5K3/9 w", "", "f6e8 e6e4 e8f6 e4e6",
     {4, kDrawRedToMove}},
    // Red's knight chases: a draw when black answered with a check, or when
    // the chased cannon is guarded where it lands.
    {"ChaseAnsweredWithCheck", "3k5/7c1/9/r4N3/9/9/9/9/4K4/9 w", "", "f6e4 h8e8 e4f6 e8h8",
     {4, kDrawRedToMove}},
    {"ChasedCannonGuardedOnArrival", "4k4/9/3C3c1/2N4r1/9/9/9/9/3K5/9 w", "",
     "c6b8 h7e7 b8c6 e7h7", {4, kDrawRedToMove}},
    // Chasing an undefended piece round a six-ply cycle.
    {"SixCycleChaserNode", kChaseFen, "", kChase6, {6, 6 - 1600000}},
    {"SixCycleChasedNode", kChaseFen, "", "a2a4 g4g6 a4a6 g6g2 a6a2 g2g4 a2a4", {6, 3199998 - 7}},
    {"FourCycleChaseOnce", kChaseFen, "", "a2a4 g4g2 a4a2 g2g4", {}},
    {"FourCycleChaseTwice", kChaseFen, "", "a2a4 g4g2 a4a2 g2g4 a2a4 g4g2 a4a2 g2g4",
     {4, 8 - 3199998}},
    // The chased chariot attacks its chaser back: a draw at both nodes.
    {"AttackedBackChaserNode", "4k4/9/9/9/9/6r2/9/R8/9/3K5 w", "", kChase6, {6, kDrawRedToMove}},
    {"AttackedBackChasedNode", "4k4/9/9/9/9/6r2/9/R8/9/3K5 w", "",
     "a2a4 g4g6 a4a6 g6g2 a6a2 g2g4 a2a4", {6, kDrawBlackToMove}},
    // The same shuffle chased by a chariot, a pawn and a king: only the
    // chariot's chase counts; the others are plain repetitions.
    {"ChariotChase", "5k3/9/3c5/2R6/9/9/9/9/9/4K4 w", "c6d6 d7c7 d6c6 c7d7",
     "c6d6 d7c7 d6c6 c7d7", {4, 4 - 3199998}},
    {"PawnChase", "5k3/9/3c5/2P6/9/9/9/9/9/4K4 w", "c6d6 d7c7 d6c6 c7d7", "c6d6 d7c7 d6c6 c7d7",
     {4, kDrawRedToMove}},
    {"PawnChaseChasedNode", "5k3/9/3c5/2P6/9/9/9/9/9/4K4 w", "c6d6 d7c7 d6c6 c7d7",
     "c6d6 d7c7 d6c6", {}},
    {"KingChase", "5k3/9/9/9/9/9/9/9/3c5/4K4 w", "e0d0 d1e1 d0e0 e1d1", "e0d0 d1e1 d0e0 e1d1",
     {4, kDrawRedToMove}},
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class RepetitionLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(RepetitionLines, RulingAtLastNode) {
  const LineCase& c = GetParam();
  ASSERT_TRUE(SetUpLine(c.fen, c.gameMoves, c.searchMoves));
  EXPECT_EQ(Probe(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cycles, RepetitionLines, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Repetition, LongerCyclesNeedEveryCheck) {
  // Red checks with every move; asked directly for the longer cycles.
  ASSERT_TRUE(SetUpLine(kPerpetualFen, "", kPerpetual8));
  ASSERT_TRUE(Play("i8i9"));  // n = 9, black in check
  int32_t score = 0;
  ASSERT_EQ(Adjudicate(6, 9, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, 3199999 - 9);  // R(2) was in check too
  ASSERT_EQ(Adjudicate(8, 9, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, 3199998 - 9);
  ASSERT_TRUE(Play("e9e8"));
  ASSERT_TRUE(Play("i9i8"));  // n = 11
  ASSERT_EQ(Adjudicate(8, 11, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, 3199999 - 11);
  ASSERT_EQ(Adjudicate(10, 11, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, 3199998 - 11);
  // Two quiet moves first: R(2) has no check.
  ASSERT_TRUE(SetUpLine("4k4/9/8R/9/9/9/9/9/9/3K5 w", "",
                        "i7i8 e9f9 i8i9 f9f8 i9i8 f8f9 i8i9 f9f8 i9i8"));
  ASSERT_EQ(Adjudicate(4, 9, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, 3199999 - 9);
  ASSERT_EQ(Adjudicate(6, 9, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, 3199998 - 9);
  ASSERT_EQ(Adjudicate(8, 9, InCheckPiece(), &score), 1);
  EXPECT_EQ(score, kDrawBlackToMove);
}

TEST(Repetition, CallsOutsideTheContractRuleNothing) {
  ASSERT_TRUE(SetUpLine(kPerpetualFen, "", kPerpetual8));
  ASSERT_TRUE(Play("i8i9"));  // n = 9
  int32_t score = 12345;
  // Cycles longer than the record and cycles the search never tries.
  EXPECT_EQ(Adjudicate(10, 9, InCheckPiece(), &score), 0);
  EXPECT_EQ(Adjudicate(10, 8, InCheckPiece(), &score), 0);
  EXPECT_EQ(Adjudicate(5, 9, InCheckPiece(), &score), 0);
  EXPECT_EQ(score, 12345);
}

TEST(Repetition, FourCycleDrawRule) {
  const auto four = [](const char* game, const char* search) {
    EXPECT_TRUE(SetUpLine(kPlainFen, game, search));
    int32_t score = 0;
    const auto before = PositionSnapshot::Take();
    const int r = RepetitionDrawFourCycle(CurrentN(), &score);
    EXPECT_TRUE(before == PositionSnapshot::Take());
    return r == 1 ? score : 1;  // 1 marks "no ruling"
  };
  // Up to ply 3 the position must also stand 8 plies back.
  EXPECT_EQ(four("i0i1 a9a8 i1i0", "a8a9"), 1);
  EXPECT_EQ(four("i0i1 a9a8 i1i0 a8a9 i0i1 a9a8 i1i0", "a8a9"), kDrawRedToMove);
  EXPECT_EQ(four("i0i1", "a9a8 i1i0 a8a9"), 1);
  EXPECT_EQ(four("i0i1 a9a8 i1i0 a8a9 i0i1", "a9a8 i1i0 a8a9"), kDrawRedToMove);
  EXPECT_EQ(four("", "i0i1 a9a8 i1i0 a8a9"), kDrawRedToMove);
  EXPECT_EQ(four("", "i0i1 a9a8 i1i0 a8a9 i0i1"), kDrawBlackToMove);
  // The side to move's last move gave check: no ruling.
  ASSERT_TRUE(SetUpLine(kPerpetualFen, "", kPerpetual8));
  int32_t score = 0;
  EXPECT_EQ(RepetitionDrawFourCycle(CurrentN(), &score), 0);
}

Square Sq(const char* text) {
  return MakeSquare('i' - text[0], 9 - (text[1] - '0'));
}

TEST(PieceAttacksTarget, LinePieces) {
  testing_support::SetUpFen("4k4/9/9/9/2R1p1c2/9/9/9/9/3K5 w");  // R c5, p e5, c g5
  const PieceIndex chariot = static_cast<PieceIndex>(board[Sq("c5")]);
  const PieceIndex cannon = static_cast<PieceIndex>(board[Sq("g5")]);
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("c5"), Sq("d5")), chariot);
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("c5"), Sq("e5")), chariot);  // occupied target
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("c5"), Sq("f5")), 0u);       // behind the pawn
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("c5"), Sq("c0")), chariot);
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("c5"), Sq("d4")), 0u);
  EXPECT_EQ(PieceAttacksTarget(cannon, Sq("g5"), Sq("c5")), cannon);
  EXPECT_EQ(PieceAttacksTarget(cannon, Sq("g5"), Sq("b5")), 0u);  // two pieces between
  EXPECT_EQ(PieceAttacksTarget(cannon, Sq("g5"), Sq("d5")), cannon);
  EXPECT_EQ(PieceAttacksTarget(cannon, Sq("g5"), Sq("f5")), 0u);  // no screen
  // The piece need not stand on from: the test places it there.
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("a5"), Sq("c5")), chariot);
  EXPECT_EQ(PieceAttacksTarget(cannon, Sq("a5"), Sq("e5")), cannon);
  // Square 0 (a null move's squares) is never attacked nor attacks.
  EXPECT_EQ(PieceAttacksTarget(chariot, 0, Sq("c5")), 0u);
  EXPECT_EQ(PieceAttacksTarget(chariot, Sq("c5"), 0), 0u);
  EXPECT_EQ(PieceAttacksTarget(17, Sq("e9"), Sq("e8")), 0u);  // the king never
}

TEST(PieceAttacksTarget, KnightLegs) {
  testing_support::SetUpFen("4k4/9/9/9/4N4/9/9/9/9/3K5 w");  // N e5
  const PieceIndex knight = static_cast<PieceIndex>(board[Sq("e5")]);
  for (const char* t : {"d7", "f7", "d3", "f3", "c6", "c4", "g6", "g4"})
    EXPECT_EQ(PieceAttacksTarget(knight, Sq("e5"), Sq(t)), knight) << t;
  EXPECT_EQ(PieceAttacksTarget(knight, Sq("e5"), Sq("e7")), 0u);
  // One blocker per leg square: e6 blocks d7 and f7, d5 blocks c6 and c4.
  testing_support::SetUpFen("4k4/9/9/4p4/3pN4/9/9/9/9/3K5 w");
  const PieceIndex k2 = static_cast<PieceIndex>(board[Sq("e5")]);
  for (const char* t : {"d7", "f7", "c6", "c4"})
    EXPECT_EQ(PieceAttacksTarget(k2, Sq("e5"), Sq(t)), 0u) << t;
  for (const char* t : {"d3", "f3", "g6", "g4"})
    EXPECT_EQ(PieceAttacksTarget(k2, Sq("e5"), Sq(t)), k2) << t;
}

TEST(PieceAttacksTarget, PawnsAdvisersElephantsTakeColourFromTheBoard) {
  // Red pawns c3 (home side) and c6 (crossed); black pawns g6 (home), g3
  // (crossed); advisers on the palace centres; elephants on e2 and e7 with
  // the eye d8 blocked by a black pawn.
  testing_support::SetUpFen("4k4/3pa4/4b4/2P3p2/9/9/2p3P2/4B4/4A4/3K5 w");
  const auto at = [](const char* s) { return static_cast<PieceIndex>(board[Sq(s)]); };
  const PieceIndex redHome = at("g3"), redCrossed = at("c6");
  const PieceIndex blackHome = at("g6"), blackCrossed = at("c3");
  EXPECT_EQ(PieceAttacksTarget(redHome, Sq("g3"), Sq("g4")), redHome);
  EXPECT_EQ(PieceAttacksTarget(redHome, Sq("g3"), Sq("f3")), 0u);
  EXPECT_EQ(PieceAttacksTarget(redHome, Sq("g3"), Sq("g2")), 0u);
  EXPECT_EQ(PieceAttacksTarget(redCrossed, Sq("c6"), Sq("b6")), redCrossed);
  EXPECT_EQ(PieceAttacksTarget(redCrossed, Sq("c6"), Sq("c7")), redCrossed);
  EXPECT_EQ(PieceAttacksTarget(blackHome, Sq("g6"), Sq("g5")), blackHome);
  EXPECT_EQ(PieceAttacksTarget(blackHome, Sq("g6"), Sq("f6")), 0u);
  EXPECT_EQ(PieceAttacksTarget(blackCrossed, Sq("c3"), Sq("d3")), blackCrossed);
  EXPECT_EQ(PieceAttacksTarget(blackCrossed, Sq("c3"), Sq("c4")), 0u);
  // A black pawn tested from an empty square moves as a red one.
  EXPECT_EQ(PieceAttacksTarget(blackHome, Sq("a6"), Sq("a7")), blackHome);
  EXPECT_EQ(PieceAttacksTarget(blackHome, Sq("a6"), Sq("a5")), 0u);

  const PieceIndex redAdviser = at("e1"), blackAdviser = at("e8");
  for (const char* t : {"d0", "f0", "d2", "f2"})
    EXPECT_EQ(PieceAttacksTarget(redAdviser, Sq("e1"), Sq(t)), redAdviser) << t;
  EXPECT_EQ(PieceAttacksTarget(redAdviser, Sq("d0"), Sq("e1")), redAdviser);
  EXPECT_EQ(PieceAttacksTarget(redAdviser, Sq("d0"), Sq("d1")), 0u);
  EXPECT_EQ(PieceAttacksTarget(blackAdviser, Sq("e8"), Sq("f9")), blackAdviser);
  EXPECT_EQ(PieceAttacksTarget(blackAdviser, Sq("e8"), Sq("f0")), 0u);
  // From an empty corner the black adviser follows red's palace.
  EXPECT_EQ(PieceAttacksTarget(blackAdviser, Sq("d9"), Sq("e8")), 0u);
  EXPECT_EQ(PieceAttacksTarget(blackAdviser, Sq("d9"), Sq("e1")), blackAdviser);

  const PieceIndex redElephant = at("e2"), blackElephant = at("e7");
  EXPECT_EQ(PieceAttacksTarget(redElephant, Sq("e2"), Sq("c4")), redElephant);
  EXPECT_EQ(PieceAttacksTarget(redElephant, Sq("e2"), Sq("g0")), redElephant);
  EXPECT_EQ(PieceAttacksTarget(blackElephant, Sq("e7"), Sq("g5")), blackElephant);
  EXPECT_EQ(PieceAttacksTarget(blackElephant, Sq("e7"), Sq("c9")), 0u);  // eye d8 blocked
  EXPECT_EQ(PieceAttacksTarget(blackElephant, Sq("e7"), Sq("g9")), blackElephant);
  // A black elephant tested from an empty square uses red's squares.
  EXPECT_EQ(PieceAttacksTarget(blackElephant, Sq("c5"), Sq("e7")), 0u);
  EXPECT_EQ(PieceAttacksTarget(blackElephant, Sq("e3"), Sq("c5")), 0u);
  EXPECT_EQ(PieceAttacksTarget(redElephant, Sq("e3"), Sq("g1")), 0u);  // not an elephant point
  EXPECT_EQ(PieceAttacksTarget(blackElephant, Sq("e6"), Sq("g4")), blackElephant);
}

}  // namespace
