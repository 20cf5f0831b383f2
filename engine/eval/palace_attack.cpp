// The attack on the enemy palace: the fixed order of its rule groups, the
// attacking cannons on the back rank (the defenders they pin, and the
// batteries with the chariots), the defending knight that screens its own
// king, and the file-side table. The other groups live in
// palace_attack_groups_*.cpp and in the files of the king-square, central
// cannon, back-rank and closing-attack rules.
#include <array>
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/eval/king_square_rules.h"
#include "engine/eval/palace_attack_groups.h"
#include "engine/position/position.h"

// Side of the board by file, on every rank: 1 on files 5..8, 2 on files
// 0..3, 3 on the central file 4.
const uint8_t fileSide[kBoardSize] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 0, 0, 0,  // file 0
    0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 0, 0, 0,  // file 1
    0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 0, 0, 0,  // file 2
    0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 0, 0, 0,  // file 3
    0, 0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0,  // file 4
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,  // file 5
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,  // file 6
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,  // file 7
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,  // file 8
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

namespace palace_attack {

namespace {

// Group 3's score of the defending piece on a back-rank square in line
// with an attacking cannon: a cannon v, a chariot 3v/2, and on black's right
// wing a knight v.
template <uint32_t kSide>
int32_t PinnedPieceValue(Square sq, int32_t v, bool rightWing) {
  using P = Attack<kSide>;
  if (P::DefOn(kCannon, sq)) return v;
  if (P::DefOn(kChariot, sq)) return 3 * v / 2;
  if (P::kRightPinScoresKnight && rightWing && P::DefOn(kKnight, sq)) return v;
  return 0;
}

// 1 on the back-rank squares (0, 0), (1, 0), (7, 0) and (8, 0) of kSide's
// attack; square 0, where an absent piece stands, is 0.
template <uint32_t kSide>
constexpr std::array<uint8_t, kBoardSize> kBackRankWingSquares = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (const int file : {0, 1, 7, 8}) t[Attack<kSide>::Sq(file, 0)] = 1;
  return t;
}();

// An attacking cannon stands on one of the back-rank squares (0, 0), (1, 0),
// (7, 0) and (8, 0). The back-rank cannon rules all ask for one; it is rare,
// so they test it before anything else, by looking up the squares of the
// two attacking cannons rather than reading the four board squares.
template <uint32_t kSide>
bool CannonOnBackRankWing() {
  using P = Attack<kSide>;
  const std::array<uint8_t, kBoardSize>& wing = kBackRankWingSquares<kSide>;
  return (wing[P::AttSquare(10)] | wing[P::AttSquare(11)]) != 0;
}

// What a defending chariot's square asks of the last rules of
// BackRankPinsGroup, as bits: the shut-in edge chariot asks for one on
// (0, 2) or (8, 2), the chariot behind the attacker's elephants for one on
// (0, 9) or (8, 9). Indexed by board square, 0 (a captured chariot) carries
// none.
enum ShutInChariotSquare : uint8_t {
  kChariotOnEdge = 1,
  kChariotInFarCorner = 2,
};
template <uint32_t kSide>
constexpr std::array<uint8_t, kBoardSize> kShutInChariotSquares = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (const int file : {0, 8}) {
    t[Attack<kSide>::Sq(file, 2)] = kChariotOnEdge;
    t[Attack<kSide>::Sq(file, 9)] = kChariotInFarCorner;
  }
  return t;
}();

}  // namespace

template <uint32_t kSide>
void BackRankPinsGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);

  // An attacking cannon on the back rank bearing on the adviser square; the
  // wings are valued differently.
  if (CannonOnBackRankWing<kSide>() && P::DefCount(kAdviser) > 0 && P::AttCount(kCannon) > 0 &&
      P::DefAttackers() > 0) {
    const Square king = P::DefKing();
    for (int wing = 0; wing < 2; ++wing) {
      const bool right = wing == 1;
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::Occupied(f(3), 0) || !(P::AttOn(kCannon, f(0), 0) || P::AttOn(kCannon, f(1), 0)))
        continue;
      int32_t v = 0;
      if (P::Empty(4, 1)) {
        v = 100 * P::AttCount(kChariot);
      } else if (king == P::Sq(4, 0)) {
        v = right ? 75 : 150;
      } else if (king == P::Sq(f(5), 0)) {
        v = right ? 50 : 75;
      }
      if (P::DefCount(kElephant) == 0) v = right ? 3 * v / 2 : 6 * v;
      if (v == 0) continue;
      const auto score = [&](int file) {
        total += PinnedPieceValue<kSide>(P::Sq(file, 0), v, right);
      };
      if (P::AttOn(kCannon, f(0), 0)) {
        if (P::Empty(f(1), 0) && P::Occupied(f(2), 0)) score(f(2));
        if (P::Empty(f(2), 0) && P::Occupied(f(1), 0)) score(f(1));
        score(f(3));
      }
      if (P::AttOn(kCannon, f(1), 0)) {
        if (P::Occupied(f(2), 0)) score(f(2));
        if (P::Occupied(f(3), 0)) score(f(3));
      }
    }
  }

  // The defending chariot, cannon and knight tangled in the corner. The
  // squares are rarely so held, so they are read before the piece counts.
  const auto tangleCounts = [] {
    return P::DefCount(kChariot) > 0 && P::DefCount(kKnight) > 0 && P::AttCount(kCannon) > 0;
  };
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (P::DefOn(kCannon, f(1), 0) && P::DefOn(kChariot, f(0), 0) && tangleCounts())
      total += P::DefOn(kKnight, f(0), 1) ? 100 : 50;
    if (P::DefOn(kKnight, f(0), 1) && P::AttOn(kCannon, f(1), 1) && P::DefOn(kChariot, f(1), 0) &&
        tangleCounts())
      total += P::HoldsDef(f(0), 0) ? 100 : 50;
  }

  // A defending chariot shut in on the edge over its own pawn, and one in the
  // attacker's corner behind the attacker's elephants. Each rule asks for a
  // chariot on a square of its own, so the two chariots' squares are read
  // once for both instead of four board squares.
  const auto& shutIn = kShutInChariotSquares<kSide>;
  const uint32_t chariotsOn = shutIn[P::DefSquare(8)] | shutIn[P::DefSquare(9)];
  for (int wing = 0; (chariotsOn & kChariotOnEdge) != 0 && wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (!P::DefOn(kChariot, f(8), 2) || !P::DefOn(kPawn, f(8), 3)) continue;
    if (P::Occupied(f(7), 2))
      total += P::Occupied(f(6), 2) ? 75 : 50;
    else if (P::Occupied(f(6), 2))
      total += 25;
  }
  for (int wing = 0; (chariotsOn & kChariotInFarCorner) != 0 && wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (P::AttOn(kElephant, f(8), 7) && P::AttOn(kElephant, f(6), 9) && P::DefOn(kChariot, f(8), 9))
      total += 100;
  }
}

namespace {

// A cannon on the back rank behind a chariot on the adviser file, the
// other chariot on the far adviser file: scored by how thinly the palace
// centre and the adviser square are defended.
template <uint32_t kSide>
void ThinDefenceOfAdviserSquare(FullEvalState& s, int wing) {
  using P = Attack<kSide>;
  const auto f = [wing](int file) { return WingFile(wing, file); };
  const bool adviserSideOpen = P::DefCount(kAdviser) == 0 || P::DefOn(kAdviser, f(3), 0);
  if (P::DefKing() == P::Sq(4, 2) || !adviserSideOpen || !P::AttOn(kChariot, f(5), 1)) return;
  const int32_t a = P::DefAttackCount(P::Sq(4, 1));
  const int32_t b = P::DefAttackCount(P::Sq(f(3), 0));
  int32_t& total = P::Total(s);
  total += a < 3 ? 200 : 100;
  if (b < 2)
    total += 200;
  else if (b == 2)
    total += 100;
  if (a < 3 && b < 3) total += 300;
}

// The rules of BackRankBatteryGroup once an attacking cannon stands on a
// back-rank wing square. Out of line: that is rare, and the caller's test
// then costs no call.
template <uint32_t kSide>
[[gnu::noinline]] void BackRankBatteries(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);

  // Both chariots and a cannon against an occupied palace centre: the
  // corner cannon (8, 0) and (7, 0) first, then (0, 0) and (1, 0).
  if (P::Occupied(4, 1) && P::AttCount(kChariot) == 2) {
    for (const int wing : {1, 0}) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::AttOn(kChariot, f(3), 1)) continue;
      if (P::AttOn(kCannon, f(0), 0)) {
        if (P::AttOn(kChariot, f(1), 0) || P::AttOn(kChariot, f(2), 0)) total += 200;
        if (P::Occupied(f(1), 0) != P::Occupied(f(2), 0))
          ThinDefenceOfAdviserSquare<kSide>(s, wing);
      }
      if (P::AttOn(kCannon, f(1), 0)) {
        if (P::AttOn(kChariot, f(2), 0)) total += 200;
        ThinDefenceOfAdviserSquare<kSide>(s, wing);
      }
    }
  }

  // Cannons on the back rank against an adviser still at home, the king at
  // home and the palace centre held by a defender.
  if (P::DefKing() != P::Sq(4, 0)) return;
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (!P::DefOn(kAdviser, f(3), 0)) continue;
    for (const int cannonFile : {f(0), f(1)}) {
      if (!P::AttOn(kCannon, cannonFile, 0)) continue;
      if (!P::DefOn(kAdviser, 4, 1) && !P::DefOn(kCannon, 4, 1) && !P::DefOn(kChariot, 4, 1))
        continue;
      total += 25;
      if (P::DefCount(kElephant) > 0 && (P::DefOn(kElephant, 4, 2) || P::DefOn(kElephant, f(0), 2)))
        continue;
      if (P::AttCount(kChariot) == 0) continue;
      total += 100 * P::AttCount(kChariot);
      const bool chariotBetween =
          P::AttOn(kChariot, f(2), 0) || (cannonFile == f(0) && P::AttOn(kChariot, f(1), 0));
      if (chariotBetween) total += 150;
    }
  }
}

}  // namespace

template <uint32_t kSide>
void BackRankBatteryGroup(FullEvalState& s) {
  if (CannonOnBackRankWing<kSide>()) BackRankBatteries<kSide>(s);
}

namespace {

// One defending knight near its palace that screens its own king.
template <uint32_t kSide>
void KnightScreen(FullEvalState& s, uint32_t knight) {
  using P = Attack<kSide>;
  const Square sq = posPiece[knight];
  if (sq == 0) return;
  const int file = FileOf(sq);
  if (P::Rank(sq) > 2 && (file < 3 || file > 5)) return;
  // Lift the knight off board only (the masks keep it), ask the board-scan
  // test, and put it back.
  board[sq] = 0;
  const bool exposed = P::AttStrongAttacksByScan(P::DefKing());
  board[sq] = static_cast<int8_t>(knight);
  if (exposed) P::Total(s) += P::AtMove(150, 75);
}

// An attacking knight a knight's step from s, or an attacking chariot or
// cannon on another square of the file or rank of s. Without one the
// board-scan test finds no attacker of s, whatever stands in between.
template <uint32_t kSide>
bool StrongAttackerLinedUp(Square s) {
  using P = Attack<kSide>;
  // knightLeg has no entry for square 0, where a captured knight stands.
  const auto knightStep = [s](uint32_t redIndex) {
    return knightLeg[P::AttSquare(redIndex)][s] != 0;
  };
  // Squares are 16 * (file + 2) + rank + 2: two squares of one file differ
  // only in the low four bits, two of one rank only above them. Square 0 (a
  // captured piece) shares neither with a board square.
  const auto sameLine = [s](uint32_t redIndex) {
    const uint32_t d = P::AttSquare(redIndex) ^ s;
    return d != 0 && (d < 16 || (d & 15) == 0);
  };
  return knightStep(6) || knightStep(7) || sameLine(8) || sameLine(9) || sameLine(10) ||
         sameLine(11);
}

// Both knights, written out one by one rather than as a loop over a list,
// which the compiler keeps in memory; out of line so that the caller's test
// stays cheap. Lifting a knight can expose the king only to a piece already
// lined up with it, so without one neither knight needs its scan.
template <uint32_t kSide>
[[gnu::noinline]] void KnightScreens(FullEvalState& s) {
  using P = Attack<kSide>;
  if (!StrongAttackerLinedUp<kSide>(P::DefKing())) return;
  KnightScreen<kSide>(s, P::Def(6));
  KnightScreen<kSide>(s, P::Def(7));
}

}  // namespace

template <uint32_t kSide>
void ScreeningKnightGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  if (P::DefCount(kKnight) == 0 || P::DefAttackers() > 4) return;
  KnightScreens<kSide>(s);
}

template void BackRankPinsGroup<kRed>(FullEvalState&);
template void BackRankPinsGroup<kBlack>(FullEvalState&);
template void BackRankBatteryGroup<kRed>(FullEvalState&);
template void BackRankBatteryGroup<kBlack>(FullEvalState&);
template void ScreeningKnightGroup<kRed>(FullEvalState&);
template void ScreeningKnightGroup<kBlack>(FullEvalState&);

}  // namespace palace_attack

// Every group of one side's attack, in order. The central cannon and the
// cannons and chariots on the back rank (group 7 and group 8) are the full
// evaluator's alone.
template <uint32_t kSide, RuleSet kRules>
void PalaceAttack(FullEvalState& s) {
  using namespace palace_attack;
  using P = Attack<kSide>;
  constexpr bool kFull = kRules == RuleSet::kFull;
  HemmedDefendersGroup<kSide, kRules>(s);
  // Groups 1 and 5 score nothing without an attacking knight in the zone,
  // save group 1's rule for a defending knight on (4, 7); tested here, the
  // usual case makes no call.
  const bool zoneKnights = P::ZoneKnights(s) != 0;
  if (zoneKnights || (P::DefOn(kKnight, 4, 7) && P::AttCount(kKnight) != 0))
    OffCentreKingGroup<kSide>(s);
  DefendingKnightsGroup<kSide, kRules>(s);
  BackRankPinsGroup<kSide>(s);
  // The rules by the defending king's square; the home square, by far the
  // most frequent, is called directly rather than through the choice.
  if (P::DefKing() == P::Sq(4, 0))
    KingOnHomeSquareRules<kSide>(s);
  else if constexpr (kSide == kRed)
    KingSquareRulesRed(s);
  else
    KingSquareRulesBlack(s);
  if (zoneKnights) {
    const int32_t w = KnightWingGroup<kSide>(s);
    if (w != 0) AttackStrengthGroup<kSide>(s, w);
  }
  // The central cannon and the back-rank rules hold only while the defending
  // king is at home, and the central cannon only with an attacking cannon on
  // the central file (fileSide 3): tested here, the usual case makes no call.
  if constexpr (kFull) {
    if (P::DefKing() == P::Sq(4, 0)) {
      if (fileSide[P::AttSquare(10)] == 3 || fileSide[P::AttSquare(11)] == 3) {
        if constexpr (kSide == kRed)
          CentralCannonRed(s);
        else
          CentralCannonBlack(s);
      }
      if constexpr (kSide == kRed)
        BackRankRulesRed(s);
      else
        BackRankRulesBlack(s);
    }
    BackRankBatteryGroup<kSide>(s);
  }
  ScreeningKnightGroup<kSide>(s);
  ClosingAttack<kSide, kRules>(s);
}

template void PalaceAttack<kRed, RuleSet::kFull>(FullEvalState&);
template void PalaceAttack<kBlack, RuleSet::kFull>(FullEvalState&);
template void PalaceAttack<kRed, RuleSet::kMedium>(FullEvalState&);
template void PalaceAttack<kBlack, RuleSet::kMedium>(FullEvalState&);
