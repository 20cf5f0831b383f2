// The attack on the enemy palace: each rule group scored on hand-built
// positions with either side to move, black's twin checked on the
// colour-swapped position, and the places where black's attack is scored
// differently from red's.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/eval/palace_attack_groups.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

namespace pa = palace_attack;
using eval_testing::At;
using eval_testing::Fen;
using testing_support::SetUpFen;

using GroupFn = void (*)(FullEvalState&);
struct Group {
  GroupFn red;
  GroupFn black;
};
// The attacker's gain with the attacker to move, and with the defender to
// move.
using Amount = std::pair<int32_t, int32_t>;

// The working values that the full evaluator's set-up hands to the term
// groups, with both totals at 0.
FullEvalState PreparedState() {
  FullEvalState s{};
  const uint32_t ra = attackerCount[kRed], ba = attackerCount[kBlack];
  const uint32_t rp = pieceCount[kRed][kPawn - 1], bp = pieceCount[kBlack][kPawn - 1];
  s.middlegameLevel = ra >= 5 && ba >= 5 && rp >= 3 && bp >= 3 ? 2 : 1;
  if (ra <= 3 || ba <= 3) s.middlegameLevel = 0;
  s.redZonePawns = CountPalaceZonePawnsRed();
  s.blackZonePawns = CountPalaceZonePawnsBlack();
  for (int i = 0; i < 2; ++i) {
    s.redZoneKnights += redKnightTargetSquares[posPiece[6 + i]] != 0 ? 1 : 0;
    s.blackZoneKnights += blackKnightTargetSquares[posPiece[22 + i]] != 0 ? 1 : 0;
  }
  s.redAttackStrength = attackWeight[kRed] + s.redZonePawns;
  s.blackAttackStrength = attackWeight[kBlack] + s.blackZonePawns;
  s.redCanWin = s.blackCanWin = 1;
  return s;
}

// Runs one group on the engine position and returns the attacker's gain;
// the defender's total must not move, nor the position.
int32_t RunGroup(GroupFn group, uint32_t attacker) {
  const auto before = testing_support::PositionSnapshot::Take();
  FullEvalState s = PreparedState();
  group(s);
  EXPECT_TRUE(before == testing_support::PositionSnapshot::Take());
  EXPECT_EQ(attacker == kRed ? s.blackTotal : s.redTotal, 0);
  return attacker == kRed ? s.redTotal : s.blackTotal;
}

Amount RedAmount(const std::vector<At>& pieces, const Group& g) {
  SetUpFen(Fen(pieces, 'w'));
  const int32_t onMove = RunGroup(g.red, kRed);
  SetUpFen(Fen(pieces, 'b'));
  return {onMove, RunGroup(g.red, kRed)};
}

// Black's gain on the position with colours swapped and ranks mirrored
// (red to move in the original becomes black to move).
Amount MirroredBlackAmount(const std::vector<At>& pieces, const Group& g) {
  int32_t result[2];
  for (const char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    SwapColours();
    PrepareEvaluation();
    result[side == 'b'] = RunGroup(g.black, kBlack);
  }
  return {result[0], result[1]};
}

// Red's gain, checked against black's on the mirrored position.
Amount Mirrored(const std::vector<At>& pieces, const Group& g) {
  const Amount red = RedAmount(pieces, g);
  EXPECT_EQ(MirroredBlackAmount(pieces, g), red) << Fen(pieces);
  return red;
}

Amount Same(int32_t v) { return {v, v}; }

// "k40 K49 n75": piece letter (upper case red), file, rank; rank 0 is
// black's back rank.
std::vector<At> Pieces(const char* text) {
  std::vector<At> out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == ' ') continue;
    out.push_back({p[0], p[1] - '0', p[2] - '0'});
    p += 2;
  }
  return out;
}

std::vector<At> With(std::vector<At> pieces, const std::vector<At>& more) {
  pieces.insert(pieces.end(), more.begin(), more.end());
  return pieces;
}

const Group kHemmed{pa::HemmedDefendersGroup<kRed, RuleSet::kFull>,
                    pa::HemmedDefendersGroup<kBlack, RuleSet::kFull>};
const Group kOffCentre{pa::OffCentreKingGroup<kRed>, pa::OffCentreKingGroup<kBlack>};
const Group kDefKnights{pa::DefendingKnightsGroup<kRed, RuleSet::kFull>,
                        pa::DefendingKnightsGroup<kBlack, RuleSet::kFull>};
const Group kPins{pa::BackRankPinsGroup<kRed>, pa::BackRankPinsGroup<kBlack>};
const Group kKnightWing{[](FullEvalState& s) { pa::KnightWingGroup<kRed>(s); },
                        [](FullEvalState& s) { pa::KnightWingGroup<kBlack>(s); }};
const Group kStrengthRightWing{[](FullEvalState& s) { pa::AttackStrengthGroup<kRed>(s, 1); },
                               [](FullEvalState& s) { pa::AttackStrengthGroup<kBlack>(s, 1); }};
const Group kStrengthLeftWing{[](FullEvalState& s) { pa::AttackStrengthGroup<kRed>(s, 2); },
                              [](FullEvalState& s) { pa::AttackStrengthGroup<kBlack>(s, 2); }};
const Group kBattery{pa::BackRankBatteryGroup<kRed>, pa::BackRankBatteryGroup<kBlack>};
const Group kScreen{pa::ScreeningKnightGroup<kRed>, pa::ScreeningKnightGroup<kBlack>};

// The wing code that group 5 hands to group 6 on the position.
int32_t WingCode(const std::vector<At>& pieces) {
  SetUpFen(Fen(pieces));
  FullEvalState s = PreparedState();
  return pa::KnightWingGroup<kRed>(s);
}

TEST(PalaceAttackTables, FileSideByFile) {
  for (int rank = 0; rank <= 9; ++rank) {
    EXPECT_EQ(fileSide[MakeSquare(0, rank)], 2);
    EXPECT_EQ(fileSide[MakeSquare(3, rank)], 2);
    EXPECT_EQ(fileSide[MakeSquare(4, rank)], 3);
    EXPECT_EQ(fileSide[MakeSquare(5, rank)], 1);
    EXPECT_EQ(fileSide[MakeSquare(8, rank)], 1);
  }
  EXPECT_EQ(fileSide[0], 0);
  EXPECT_EQ(fileSide[MakeSquare(0, 0) - 1], 0);
  EXPECT_EQ(fileSide[MakeSquare(8, 9) + 16], 0);
}

// --- Group 0 -------------------------------------------------------------

TEST(PalaceAttackHemmed, KnightBesideRiverElephant) {
  const std::vector<At> base = Pieces("k40 K49 n75 B65");
  EXPECT_EQ(Mirrored(base, kHemmed), Same(33 + 50));  // no black chariot: 50 more
  EXPECT_EQ(Mirrored(With(base, Pieces("N55")), kHemmed), Same(50 + 50));
  // A black chariot in red's corner takes away the 50 and scores nothing itself.
  EXPECT_EQ(Mirrored(With(base, Pieces("r09")), kHemmed), Same(33));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n15 B25"), kHemmed), Same(83));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n15 B65"), kHemmed), Same(0));
}

TEST(PalaceAttackHemmed, ElephantsInCentralFormation) {
  const std::vector<At> right = Pieces("k40 K49 b42 b60 P51");
  EXPECT_EQ(Mirrored(right, kHemmed), Same(25));
  EXPECT_EQ(Mirrored(With(right, Pieces("N63")), kHemmed), Same(91));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 b42 b20 P31"), kHemmed), Same(25));
  // The square beside the palace centre must be occupied.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 b42 b60"), kHemmed), Same(0));
}

TEST(PalaceAttackHemmed, ChariotStuckInCorner) {
  // The chariot's own mobility term counts the red pawn three ranks ahead: 20.
  const std::vector<At> left = Pieces("k40 K49 r10 P13 C77");
  EXPECT_EQ(Mirrored(With(left, Pieces("R33")), kHemmed), Same(33 + 25 + 20));
  EXPECT_EQ(Mirrored(With(left, Pieces("R23 n22")), kHemmed), Same(33 + 33 + 20));
  // Without a red cannon only the mobility term is left.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r10 P13 R33"), kHemmed), Same(20));
  // Right corner: the pawn right in front of the chariot adds 33 of mobility.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r72 P73 R53 C17"), kHemmed), Same(33 + 25 + 33));
  // The red chariot on (3,3), and the red chariot on (2,3) beside the black
  // knight, score without a red piece on (1,3) as well.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r10 R33 C77"), kHemmed), Same(25));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r00 R23 n22 C77"), kHemmed), Same(33));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r80 R53 C17"), kHemmed), Same(25));
}

TEST(PalaceAttackHemmed, ChariotMobility) {
  // The central file always scores both file-distance terms.
  EXPECT_EQ(Mirrored(Pieces("k30 K49 r45"), kHemmed), Same(58));
  EXPECT_EQ(Mirrored(Pieces("k30 K49 r42 a41 P43"), kHemmed), Same(58 + 33));
  // Home half: pieces one and three ranks ahead, and a piece beside it.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r00 N01 P03 n10"), kHemmed), Same(33 + 20 + 20));
  // Deep in red's half the amounts are smaller.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r88 B87 P85 N78"), kHemmed), Same(16 + 10 + 20));
  EXPECT_EQ(Mirrored(Pieces("k40 K39 r27 P26 P25 P24"), kHemmed), Same(16 + 12 + 10));
  // On ranks 4 and 5 only the piece beside an edge-side chariot counts.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r14 P15 P13"), kHemmed), Same(0));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 r14 P24"), kHemmed), Same(20));
}

TEST(PalaceAttackHemmed, StartPositionCornerChariots) {
  // Each black chariot has its pawn three ranks ahead and its knight beside.
  SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(RunGroup(kHemmed.red, kRed), 80);
  EXPECT_EQ(RunGroup(kHemmed.black, kBlack), 80);
}

// --- Group 1 -------------------------------------------------------------

TEST(PalaceAttackOffCentreKing, KnightAndElephantAgainstChariot) {
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n47 r58 B69 N37"), kOffCentre), Same(200));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n47 r38 B29 N57"), kOffCentre), Same(200));
  // The elephant must stand on the chariot's side.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n47 r58 B29 N37"), kOffCentre), Same(0));
}

TEST(PalaceAttackOffCentreKing, KnightAgainstCornerKing) {
  const std::vector<At> base = Pieces("k50 K49 N32 R09");
  EXPECT_EQ(Mirrored(base, kOffCentre), Same(50 + 50));
  EXPECT_EQ(Mirrored(Pieces("k30 K49 N52 R09"), kOffCentre), Same(100));
  // One adviser off the centre leaves the cover thin; one on the centre not.
  EXPECT_EQ(Mirrored(With(base, Pieces("a30")), kOffCentre), Same(100));
  EXPECT_EQ(Mirrored(With(base, Pieces("a41")), kOffCentre), Same(0));
  // Too little attack strength: a lone knight.
  EXPECT_EQ(Mirrored(Pieces("k50 K49 N32"), kOffCentre), Same(0));
}

TEST(PalaceAttackOffCentreKing, PawnOnCentreDiffersForBlack) {
  const std::vector<At> pieces = Pieces("k50 K49 N32 R09 P41");
  EXPECT_EQ(RedAmount(pieces, kOffCentre), Same(300 + 50));
  EXPECT_EQ(MirroredBlackAmount(pieces, kOffCentre), Same(150 + 50));
}

TEST(PalaceAttackOffCentreKing, KnightOnBackRankAgainstFrontCornerKing) {
  // Pawn on (6,3) 200, pawn on (4,4) 100, 50 + 50 for the chariot, and the
  // chariot on rank 1 lands on (5,1) next to the king: 500|200.
  const std::vector<At> base = Pieces("k52 K49 N30 P63 P44");
  EXPECT_EQ(Mirrored(With(base, Pieces("R01")), kOffCentre), Amount(900, 600));
  // On a palace-zone square the chariot adds 200 more (no black adviser).
  EXPECT_EQ(Mirrored(With(base, Pieces("R21")), kOffCentre), Amount(1100, 800));
  // A black knight attacking the landing square spoils the landing.
  EXPECT_EQ(Mirrored(With(base, Pieces("R01 n72")), kOffCentre), Same(400));
  // The mirror: king on (3,2), knight on (5,0).
  EXPECT_EQ(Mirrored(Pieces("k32 K49 N50 P23 P44 R81"), kOffCentre), Amount(900, 600));
}

TEST(PalaceAttackOffCentreKing, KnightBehindEmptySquareDiffersForBlack) {
  // A second knight on a target square opens the group.
  const std::vector<At> common = Pieces("K49 N00 R09");
  EXPECT_EQ(Mirrored(With(common, Pieces("k52 N34")), kOffCentre), Same(50));
  // With the king on (3,2) red still looks at file 3, black at file 5.
  const std::vector<At> file3 = With(common, Pieces("k32 N34"));
  EXPECT_EQ(RedAmount(file3, kOffCentre), Same(50));
  EXPECT_EQ(MirroredBlackAmount(file3, kOffCentre), Same(0));
  const std::vector<At> file5 = With(common, Pieces("k32 N54"));
  EXPECT_EQ(RedAmount(file5, kOffCentre), Same(0));
  EXPECT_EQ(MirroredBlackAmount(file5, kOffCentre), Same(50));
  // The square in front of the knight must be empty.
  EXPECT_EQ(Mirrored(With(common, Pieces("k52 N34 p33")), kOffCentre), Same(0));
}

TEST(PalaceAttackOffCentreKing, KnightBesideFrontCornerKing) {
  // Two advisers: only these tests run. 50 + 50 for the open squares, 100 for
  // the chariot, 75 for it on the wing, 75 for the cannon on the edge file.
  const std::vector<At> base = Pieces("k32 a41 a50 K49 N23");
  EXPECT_EQ(Mirrored(With(base, Pieces("R03 C02")), kOffCentre), Same(350));
  EXPECT_EQ(Mirrored(With(base, Pieces("R03 C02 N00")), kOffCentre), Same(350 + 150));
  // A cannon behind on file 3 instead of on the wing.
  EXPECT_EQ(Mirrored(With(base, Pieces("R03 C38")), kOffCentre), Same(275 + 100));
  // (3,3) blocked: the first 50 needs a black piece on (4,2) instead.
  EXPECT_EQ(Mirrored(With(base, Pieces("R03 C02 p33")), kOffCentre), Same(300));
  EXPECT_EQ(Mirrored(With(base, Pieces("R03 C02 p33 b42")), kOffCentre), Same(350));
  // No chariot and one cannon.
  EXPECT_EQ(Mirrored(With(base, Pieces("C02")), kOffCentre), Same(50 + 50 + 50));
  // The right-wing twin.
  EXPECT_EQ(Mirrored(Pieces("k52 a41 a30 K49 N63 R83 C82"), kOffCentre), Same(350));
}

// --- Group 2 -------------------------------------------------------------

TEST(PalaceAttackDefendingKnights, KnightsBesideOccupiedCentre) {
  EXPECT_EQ(Mirrored(Pieces("k40 a41 n51 n31 K49"), kDefKnights), Same(50));
  EXPECT_EQ(Mirrored(Pieces("k40 n51 n31 K49"), kDefKnights), Same(0));
}

TEST(PalaceAttackDefendingKnights, KnightInCornerBehindAttacker) {
  const std::vector<At> base = Pieces("k40 K49 n70 b42");
  // Elephant beside with the other on the centre: 75, no black chariot 50,
  // red cannon 50.
  EXPECT_EQ(Mirrored(With(base, Pieces("C71 b60")), kDefKnights), Same(175));
  EXPECT_EQ(Mirrored(With(base, Pieces("C71")), kDefKnights), Same(33));
  EXPECT_EQ(Mirrored(With(base, Pieces("C71 P60")), kDefKnights), Same(133));
  EXPECT_EQ(Mirrored(With(base, Pieces("N71 b60 r00")), kDefKnights), Same(75));
  EXPECT_EQ(Mirrored(With(base, Pieces("P71 b60 R09")), kDefKnights), Same(250));
  EXPECT_EQ(Mirrored(With(base, Pieces("P71 R09")), kDefKnights), Same(150));
  EXPECT_EQ(Mirrored(With(base, Pieces("p71 b60 R09")), kDefKnights), Same(150));
  // Red needs an attacking piece.
  EXPECT_EQ(Mirrored(With(base, Pieces("P71 b60")), kDefKnights), Same(0));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n10 b42 C11 b20"), kDefKnights), Same(175));
}

TEST(PalaceAttackDefendingKnights, PawnsAgainstKnights) {
  const std::vector<At> kings = Pieces("k40 K49");
  EXPECT_EQ(Mirrored(With(kings, Pieces("a41 P12 n10")), kDefKnights), Same(100));
  EXPECT_EQ(Mirrored(With(kings, Pieces("a41 a32 P12 n10")), kDefKnights), Same(100 + 150));
  // The knight on (3,1) also scores 25 beside the occupied centre.
  EXPECT_EQ(Mirrored(With(kings, Pieces("a41 P22 n31")), kDefKnights), Same(100 + 25));
  // Edge knight on its elephant square and a pawn coming down the file.
  EXPECT_EQ(Mirrored(With(kings, Pieces("n82 P84")), kDefKnights), Same(75));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n82 P84 R73")), kDefKnights), Same(150));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n82 P85")), kDefKnights), Same(75));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n82 P85 p84")), kDefKnights), Same(0));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n82 P84 p83")), kDefKnights), Same(0));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n02 P04 R13")), kDefKnights), Same(150));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n81 P83")), kDefKnights), Same(75));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n10 P03")), kDefKnights), Same(75));
  // Knight boxed in on the edge behind its own pawn, the pawn beside it.
  EXPECT_EQ(Mirrored(With(kings, Pieces("n82 P72 p83 b60")), kDefKnights), Same(150));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n02 P12 p03 a41 a32")), kDefKnights), Same(150));
  EXPECT_EQ(Mirrored(With(kings, Pieces("n70 P72 a41 a52")), kDefKnights), Same(100 + 150));
}

// Each square on which a defending knight can meet an attacking pawn's rule,
// one rule each, so that no square of the block is left unscored.
TEST(PalaceAttackDefendingKnights, PawnRuleOnEveryKnightSquare) {
  struct Row {
    const char* pieces;
    int32_t gain;
  };
  // A knight beside the occupied centre adds 25 of its own.
  const Row rows[] = {
      {"a41 P12 n10", 100}, {"a41 P22 n31", 125}, {"a41 P62 n51", 125}, {"a41 P72 n70", 100},
      {"n82 P84", 75},      {"n02 P04", 75},      {"n81 P83", 75},      {"n01 P03", 75},
      {"n70 P83", 75},      {"n10 P03", 75},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pieces);
    EXPECT_EQ(Mirrored(With(Pieces("k40 K49"), Pieces(row.pieces)), kDefKnights), Same(row.gain));
  }
}

TEST(PalaceAttackDefendingKnights, KnightBehindOwnPawn) {
  const std::vector<At> base = Pieces("k40 K49 p63 n62");
  EXPECT_EQ(Mirrored(With(base, Pieces("N54")), kDefKnights), Same(33));
  EXPECT_EQ(Mirrored(With(base, Pieces("N54 N74")), kDefKnights), Same(58));
  EXPECT_EQ(Mirrored(With(base, Pieces("N54 p53")), kDefKnights), Same(0));
}

TEST(PalaceAttackDefendingKnights, EdgeCannonOverItsPawn) {
  const std::vector<At> base = Pieces("k40 K49 c84 p83");
  EXPECT_EQ(Mirrored(With(base, Pieces("P85 P74")), kDefKnights), Same(300));
  EXPECT_EQ(Mirrored(With(base, Pieces("P85 P74 P64")), kDefKnights), Amount(600, 400));
  // (7,4) attacked by the red chariot only, a black pawn on (6,4).
  const std::vector<At> open = With(base, Pieces("R79 p64"));
  EXPECT_EQ(Mirrored(With(open, Pieces("P85")), kDefKnights), Amount(300, 200));
  EXPECT_EQ(Mirrored(With(open, Pieces("P86")), kDefKnights), Same(150));
  // A black knight guarding (7,4) takes it away.
  EXPECT_EQ(Mirrored(With(open, Pieces("P86 n53")), kDefKnights), Same(0));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 c04 p03 P06 R14"), kDefKnights), Same(300));
}

// --- Group 3 -------------------------------------------------------------

TEST(PalaceAttackBackRankPins, LeftWingCannon) {
  const std::vector<At> base = Pieces("k40 a41 K49 C00 c20");
  // King at home and the centre occupied: V = 150; the cannon pinned on
  // (2,0) scores V, the adviser on (3,0) nothing.
  EXPECT_EQ(Mirrored(With(base, Pieces("a30 b64")), kPins), Same(150));
  // A chariot on (3,0) scores 3V/2.
  EXPECT_EQ(Mirrored(With(base, Pieces("r30 b64")), kPins), Same(150 + 225));
  // No black elephant: V = 900.
  EXPECT_EQ(Mirrored(With(base, Pieces("r30")), kPins), Same(900 + 1350));
  // Empty centre: V = 100 per red chariot, here none.
  EXPECT_EQ(Mirrored(Pieces("k40 a30 K49 C00 c20 b64"), kPins), Same(0));
  EXPECT_EQ(Mirrored(Pieces("k40 a30 K49 C00 c20 b64 R89"), kPins), Same(100));
  // Cannon on (1,0): the piece on (2,0), then the one on (3,0).
  EXPECT_EQ(Mirrored(Pieces("k50 a41 K49 C10 c20 r30 b64"), kPins), Same(75 + 112));
}

TEST(PalaceAttackBackRankPins, RightWingValuesAndBlackKnight) {
  const std::vector<At> base = Pieces("k40 a41 K49 C80 r50");
  EXPECT_EQ(Mirrored(With(base, Pieces("c60 b24")), kPins), Same(75 + 112));
  // No black elephant: V = 3 * 75 / 2 = 112.
  EXPECT_EQ(Mirrored(With(base, Pieces("c60")), kPins), Same(112 + 168));
  // King on (3,0): V = 50.
  EXPECT_EQ(Mirrored(Pieces("k30 a41 K49 C80 r50 c60 b24"), kPins), Same(50 + 75));
  // A knight pinned on the right wing scores only in black's attack.
  const std::vector<At> knight = With(base, Pieces("n60 b24"));
  EXPECT_EQ(RedAmount(knight, kPins), Same(112));
  EXPECT_EQ(MirroredBlackAmount(knight, kPins), Same(75 + 112));
  // On the left wing it scores for neither.
  const std::vector<At> left = Pieces("k40 a41 K49 C00 n20 r30 b64");
  EXPECT_EQ(Mirrored(left, kPins), Same(225));
}

TEST(PalaceAttackBackRankPins, CornerTangleAndEdgeChariots) {
  EXPECT_EQ(Mirrored(Pieces("k40 K49 c10 r00 n01 C77"), kPins), Same(100));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 c10 r00 n44 C77"), kPins), Same(50));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 n81 C71 r70 p80"), kPins), Same(100));
  const std::vector<At> edge = Pieces("k40 K49 r82 p83");
  EXPECT_EQ(Mirrored(With(edge, Pieces("p72 P62")), kPins), Same(75));
  EXPECT_EQ(Mirrored(With(edge, Pieces("p72")), kPins), Same(50));
  EXPECT_EQ(Mirrored(With(edge, Pieces("P62")), kPins), Same(25));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 B87 B69 r89"), kPins), Same(100));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 B07 B29 r09"), kPins), Same(100));
}

// --- Groups 5 and 6 ------------------------------------------------------

TEST(PalaceAttackKnightWing, KnightsAgainstElephants) {
  // King on (3,0): no knight block and no home-king pattern.
  const std::vector<At> base = Pieces("k30 K49 R09");
  EXPECT_EQ(Mirrored(With(base, Pieces("N23")), kKnightWing), Same(33));
  EXPECT_EQ(Mirrored(With(base, Pieces("N23 N02")), kKnightWing), Same(83));
  EXPECT_EQ(Mirrored(With(base, Pieces("N23 b02")), kKnightWing), Same(0));
  // An elephant on file 2 shuts the wing unless red holds (1,1) and (1,2)
  // is empty.
  EXPECT_EQ(Mirrored(With(base, Pieces("N23 N02 b20")), kKnightWing), Same(0));
  EXPECT_EQ(Mirrored(With(base, Pieces("N23 N02 b20 P11")), kKnightWing), Same(83));
  EXPECT_EQ(Mirrored(With(base, Pieces("N63")), kKnightWing), Same(33));
  EXPECT_EQ(WingCode(With(base, Pieces("N23"))), 0);
}

TEST(PalaceAttackKnightWing, RightEdgeKnightDiffersForBlack) {
  const std::vector<At> pieces = Pieces("k30 K49 R09 N82");
  EXPECT_EQ(RedAmount(pieces, kKnightWing), Same(50));
  EXPECT_EQ(MirroredBlackAmount(pieces, kKnightWing), Same(33));
}

TEST(PalaceAttackKnightWing, KnightBlockOnAdviserRank) {
  const std::vector<At> kings = Pieces("k40 K49");
  EXPECT_EQ(Mirrored(With(kings, Pieces("N21")), kKnightWing), Same(33));
  EXPECT_EQ(WingCode(With(kings, Pieces("N21"))), 2);
  // A black chariot on (3,1) with a red pawn on (2,2): 100; with the king at
  // home it adds 50 x 2 red attacking pieces - 50.
  EXPECT_EQ(Mirrored(With(kings, Pieces("N21 r31 P22 R09")), kKnightWing), Same(150));
  // A black cannon on (5,1), black without a chariot: 25 + 150.
  EXPECT_EQ(Mirrored(With(kings, Pieces("N61 c51")), kKnightWing), Same(175));
  EXPECT_EQ(WingCode(With(kings, Pieces("N61 c51"))), 1);
  // Both knights: both blocks run and the left wing wins the code.
  EXPECT_EQ(Mirrored(With(kings, Pieces("N61 N21")), kKnightWing), Same(66));
  EXPECT_EQ(WingCode(With(kings, Pieces("N61 N21"))), 2);
  // A red chariot in front of the knight.
  EXPECT_EQ(Mirrored(With(kings, Pieces("N21 R31")), kKnightWing), Amount(225, 125));
  // Advisers at home and a knight on the centre add 100.
  EXPECT_EQ(Mirrored(With(kings, Pieces("N21 a30 a50 n41")), kKnightWing), Same(133));
  // King on (5,1): no knight block, no pattern, no group 6.
  EXPECT_EQ(Mirrored(Pieces("k51 K49 N21"), kKnightWing), Same(0));
  EXPECT_EQ(WingCode(Pieces("k51 K49 N21")), 0);
}

TEST(PalaceAttackKnightWing, HomeKingPatternsDifferForBlack) {
  const std::vector<At> left = Pieces("k40 a41 a30 n50 K49 N33");
  EXPECT_EQ(RedAmount(left, kKnightWing), Amount(350, 150));
  EXPECT_EQ(MirroredBlackAmount(left, kKnightWing), Amount(500, 200));
  EXPECT_EQ(WingCode(left), 2);
  const std::vector<At> withChariot = With(left, Pieces("R51"));
  EXPECT_EQ(RedAmount(withChariot, kKnightWing), Amount(700, 300));
  EXPECT_EQ(MirroredBlackAmount(withChariot, kKnightWing), Amount(1000, 400));
  // A black cannon with a clear line to (3,1): in the mirror a red cannon
  // bears on the adviser-file square and black scores 100 and 150.
  const std::vector<At> covered = With(withChariot, Pieces("c01"));
  EXPECT_EQ(RedAmount(covered, kKnightWing), Amount(700, 300));
  EXPECT_EQ(MirroredBlackAmount(covered, kKnightWing), Same(250));
  // The right pattern.
  const std::vector<At> right = Pieces("k40 a41 a50 n30 K49 N53");
  EXPECT_EQ(RedAmount(right, kKnightWing), Amount(350, 150));
  EXPECT_EQ(MirroredBlackAmount(right, kKnightWing), Amount(500, 200));
  EXPECT_EQ(WingCode(right), 1);
  // A black knight guarding (2,1) spoils the left pattern; the right one
  // does not match either.
  const std::vector<At> guarded = Pieces("k40 a41 a30 n50 n00 K49 N33");
  EXPECT_EQ(Mirrored(guarded, kKnightWing), Same(0));
  EXPECT_EQ(WingCode(guarded), 0);
}

TEST(PalaceAttackStrength, StrengthAndPawnBesideKing) {
  // Attack strength 15 with a chariot: 3 x 15.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 R09 N05"), kStrengthLeftWing), Same(45));
  EXPECT_EQ(Mirrored(Pieces("k40 K49 N05 N85 C07"), kStrengthLeftWing), Same(15));
  // Below 7 nothing, below 11 only the pawn rule.
  EXPECT_EQ(Mirrored(Pieces("k40 K49 N05"), kStrengthLeftWing), Same(0));
  // Strength 11 (chariot and a zone pawn); the pawn on (3,1) fits the right
  // wing only.
  const std::vector<At> pawn = Pieces("k40 K49 R09 P31");
  EXPECT_EQ(Mirrored(pawn, kStrengthRightWing), Amount(433, 133));
  EXPECT_EQ(Mirrored(pawn, kStrengthLeftWing), Same(33));
}

TEST(PalaceAttackStrength, ChariotOntoEmptyCentre) {
  const std::vector<At> base = Pieces("k40 a30 a50 K49 R01 N05");
  EXPECT_EQ(Mirrored(base, kStrengthLeftWing), Amount(245, 145));
  // A black cannon covering (5,1) shuts the right wing only.
  const std::vector<At> covered = With(base, Pieces("P51 c81"));
  EXPECT_EQ(Mirrored(covered, kStrengthRightWing), Same(48));
  // On the left wing the pawn on (5,1) beside the king adds 400|100 too.
  EXPECT_EQ(Mirrored(covered, kStrengthLeftWing), Amount(48 + 200 + 400, 48 + 100 + 100));
}

TEST(PalaceAttackStrength, FileBesideKingDiffersForBlack) {
  // Centre held, adviser on (5,0): the file-3 attack.
  const std::vector<At> file3 = Pieces("k40 a41 a50 K49 R35 N05");
  EXPECT_EQ(RedAmount(file3, kStrengthLeftWing), Amount(145, 95));
  EXPECT_EQ(MirroredBlackAmount(file3, kStrengthLeftWing), Same(195));
  // The file-5 attack is an exact mirror.
  const std::vector<At> file5 = Pieces("k40 a41 a30 K49 R55 N05");
  EXPECT_EQ(Mirrored(file5, kStrengthLeftWing), Amount(145, 95));
  // A cannon behind and a chariot on the adviser-file square.
  EXPECT_EQ(Mirrored(Pieces("k40 a41 a30 K49 R51 C58 N05"), kStrengthLeftWing),
            Amount(60 + 100 + 200, 60 + 100 + 100));
  // An empty centre ends the group after the chariot rule.
  EXPECT_EQ(Mirrored(Pieces("k40 a50 K49 R35 N05"), kStrengthLeftWing), Same(45));
}

TEST(PalaceAttackStrength, CornerKingFile) {
  // 3 x 20, cannon behind 150 and 50 on the file, chariot on the file 50,
  // chariot in front with the cannon behind 150.
  EXPECT_EQ(Mirrored(Pieces("k30 K49 C38 R34 N05"), kStrengthLeftWing), Same(460));
  EXPECT_EQ(Mirrored(Pieces("k50 K49 C58 R54 N05"), kStrengthRightWing), Same(460));
  EXPECT_EQ(Mirrored(Pieces("k30 K49 C32 R31 N05"), kStrengthLeftWing), Same(60 + 50 + 50));
}

// --- Group 8 -------------------------------------------------------------

TEST(PalaceAttackBattery, CannonBehindBothChariots) {
  // King off home: part 2 only. Other chariot on (2,0): 200.
  const std::vector<At> base = Pieces("k50 a41 a30 K49 C10 R31");
  EXPECT_EQ(Mirrored(With(base, Pieces("R20")), kBattery), Same(200));
  // Other chariot on (5,1): both squares thinly held: 200 + 200 + 300.
  EXPECT_EQ(Mirrored(With(base, Pieces("R51")), kBattery), Same(700));
  // A second black guard of (3,0) (the knight on (1,1)): b = 2.
  EXPECT_EQ(Mirrored(With(base, Pieces("R51 n11")), kBattery), Same(200 + 100 + 300));
  // Cannon on (0,0) needs exactly one screen on (1,0), (2,0).
  const std::vector<At> far = Pieces("k50 a41 a30 K49 C00 R31 R51");
  EXPECT_EQ(Mirrored(With(far, Pieces("b20")), kBattery), Same(700));
  EXPECT_EQ(Mirrored(far, kBattery), Same(0));
  // Only one chariot: nothing.
  EXPECT_EQ(Mirrored(Pieces("k50 a41 a30 K49 C10 R31"), kBattery), Same(0));
  // Right wing.
  EXPECT_EQ(Mirrored(Pieces("k30 a41 a50 K49 C70 R51 R31"), kBattery), Same(700));
}

TEST(PalaceAttackBattery, CannonAgainstAdviserAtHome) {
  const std::vector<At> base = Pieces("k40 a41 a30 K49 C00");
  EXPECT_EQ(Mirrored(With(base, Pieces("R10")), kBattery), Same(25 + 100 + 150));
  EXPECT_EQ(Mirrored(With(base, Pieces("R89")), kBattery), Same(25 + 100));
  EXPECT_EQ(Mirrored(base, kBattery), Same(25));
  // An elephant on (0,2) or on the centre stops after the 25.
  EXPECT_EQ(Mirrored(With(base, Pieces("R10 b02")), kBattery), Same(25));
  EXPECT_EQ(Mirrored(With(base, Pieces("R10 b64")), kBattery), Same(275));
  // The centre must hold an adviser, cannon or chariot.
  EXPECT_EQ(Mirrored(Pieces("k40 n41 a30 K49 C00"), kBattery), Same(0));
  // Right wing, cannon on (7,0) with a chariot on (6,0).
  EXPECT_EQ(Mirrored(Pieces("k40 c41 a50 K49 C70 R60"), kBattery), Same(275));
}

// The back-rank rules start only with an attacking cannon on (0,0), (1,0),
// (7,0) or (8,0), whichever of the two cannons stands there.
TEST(PalaceAttackBattery, CannonOnEachWingSquareOpensTheRules) {
  const std::vector<At> base = Pieces("k40 c41 a30 a50 K49");
  const struct {
    const char* cannons;
    int32_t gain;
  } cases[] = {
      {"C00", 25},     {"C10", 25},     {"C70", 25},     {"C80", 25},
      {"C00 C44", 25}, {"C44 C10", 25}, {"C44 C70", 25}, {"C80 C44", 25},
      {"C00 C80", 50}, {"C20", 0},      {"C44", 0},      {"C01", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Mirrored(With(base, Pieces(c.cannons)), kBattery), Same(c.gain)) << c.cannons;
  // A defending cannon on a wing square does not count.
  EXPECT_EQ(Mirrored(Pieces("k40 c00 a30 a50 K49 C44"), kBattery), Same(0));
}

// --- Group 9 -------------------------------------------------------------

TEST(PalaceAttackScreen, KnightScreeningItsKing) {
  // RunGroup checks that the lifted knight is back on the board.
  EXPECT_EQ(Mirrored(Pieces("k40 n41 K39 R45"), kScreen), Amount(150, 75));
  // A cannon that would fire over a second screen once the knight is gone.
  EXPECT_EQ(Mirrored(Pieces("k40 n41 p42 K39 C45"), kScreen), Amount(150, 75));
  // A knight on a middle file far from home counts too.
  EXPECT_EQ(Mirrored(Pieces("k40 n43 K39 R46"), kScreen), Amount(150, 75));
  // Nothing behind the knight.
  EXPECT_EQ(Mirrored(Pieces("k40 n41 K39 R05"), kScreen), Same(0));
  // Five black attacking pieces close the group.
  EXPECT_EQ(Mirrored(Pieces("k40 n41 K39 R45 r00 r80 c02 c82"), kScreen), Same(0));
}

// Each kind of attacker that the lifted knight can let through: a chariot
// along the rank, a cannon along the rank over one remaining screen, a
// knight whose leg the knight blocked; and attackers not lined up with the
// king, which nothing can let through.
TEST(PalaceAttackScreen, ExposureByEveryKindOfAttacker) {
  struct Row {
    const char* pieces;
    Amount gain;
  };
  const Row rows[] = {
      {"k40 n30 K39 R00", Amount(150, 75)},
      {"k40 n30 b20 K39 C00", Amount(150, 75)},
      {"k40 n51 K39 N52", Amount(150, 75)},
      {"k40 n51 K39 N63 R15 C25", Same(0)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pieces);
    EXPECT_EQ(Mirrored(Pieces(row.pieces), kScreen), row.gain);
  }
}

// --- The whole section ---------------------------------------------------

// The other engineers' groups measured on their own, for the position on
// the board.
int32_t OtherGroups(uint32_t attacker) {
  const bool red = attacker == kRed;
  FullEvalState s = PreparedState();
  red ? KingSquareRulesRed(s) : KingSquareRulesBlack(s);
  red ? CentralCannonRed(s) : CentralCannonBlack(s);
  if (*(red ? blackKingSquarePtr : redKingSquarePtr) == (red ? kBlackKingHome : kRedKingHome))
    red ? BackRankRulesRed(s) : BackRankRulesBlack(s);
  red ? ClosingAttack<kRed, RuleSet::kFull>(s) : ClosingAttack<kBlack, RuleSet::kFull>(s);
  return red ? s.redTotal : s.blackTotal;
}

int32_t Section(uint32_t attacker) {
  const auto before = testing_support::PositionSnapshot::Take();
  FullEvalState s = PreparedState();
  attacker == kRed ? PalaceAttack<kRed, RuleSet::kFull>(s)
                   : PalaceAttack<kBlack, RuleSet::kFull>(s);
  EXPECT_TRUE(before == testing_support::PositionSnapshot::Take());
  return (attacker == kRed ? s.redTotal : s.blackTotal) - OtherGroups(attacker);
}

TEST(PalaceAttackSection, KnightBlockOpensAttackStrength) {
  // Knight block 33 (group 5), then 3 x strength 20 (group 6), and the black
  // chariot on (0,0) has a piece beside it (group 0: 20).
  const std::vector<At> pieces = Pieces("k40 K49 N21 R09 C17 r00 P10");
  SetUpFen(Fen(pieces));
  EXPECT_EQ(Section(kRed), 33 + 60 + 20);
  SwapColours();
  PrepareEvaluation();
  EXPECT_EQ(Section(kBlack), 33 + 60 + 20);
  // Without the knight on (2,1) neither group 5 nor group 6 scores.
  SetUpFen(Fen(Pieces("k40 K49 N05 R09 C17 r00 P10")));
  EXPECT_EQ(Section(kRed), 20);
}

TEST(PalaceAttackSection, GroupsAddUpInOneCall) {
  // Group 0 (cornered knight beside the elephant: 83) and group 9 (the
  // knight on the palace centre screens the king: 150|75).
  const std::vector<At> pieces = Pieces("k40 n41 n75 B65 K39 R46");
  SetUpFen(Fen(pieces, 'w'));
  EXPECT_EQ(Section(kRed), 83 + 150);
  SwapColours();
  PrepareEvaluation();
  EXPECT_EQ(Section(kBlack), 83 + 150);
  SetUpFen(Fen(pieces, 'b'));
  EXPECT_EQ(Section(kRed), 83 + 75);
}

TEST(PalaceAttackSection, StartPosition) {
  SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(Section(kRed), 80);
  EXPECT_EQ(Section(kBlack), 80);
}

}  // namespace
