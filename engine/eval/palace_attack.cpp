// The attack on the enemy palace: the fixed order of its rule groups, the
// back-rank cannon-and-chariot batteries, the defending knight that screens
// its own king, and the file-side table. The other groups live in
// palace_attack_groups_*.cpp and in the files of the king-square, central
// cannon, back-rank and closing-attack rules.
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
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

// A cannon on the back rank behind a chariot on the adviser file, the
// other chariot on the far adviser file: scored by how thinly the palace
// centre and the adviser square are defended.
template <uint32_t kSide>
void ThinDefenceOfAdviserSquare(FullEvalState& s, int wing) {
  using P = Attack<kSide>;
  const auto f = [wing](int file) { return WingFile(wing, file); };
  const bool adviserSideOpen = P::DefCount(kAdviser) == 0 || P::IsDef(kAdviser, f(3), 0);
  if (P::DefKing() == P::Sq(4, 2) || !adviserSideOpen || !P::IsAtt(kChariot, f(5), 1)) return;
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

}  // namespace

template <uint32_t kSide>
void BackRankBatteryGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);

  // Both chariots and a cannon against an occupied palace centre: the
  // corner cannon (8, 0) and (7, 0) first, then (0, 0) and (1, 0).
  if (P::Occupied(4, 1) && P::AttCount(kChariot) == 2) {
    for (const int wing : {1, 0}) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsAtt(kChariot, f(3), 1)) continue;
      if (P::IsAtt(kCannon, f(0), 0)) {
        if (P::IsAtt(kChariot, f(1), 0) || P::IsAtt(kChariot, f(2), 0)) total += 200;
        if (P::Occupied(f(1), 0) != P::Occupied(f(2), 0))
          ThinDefenceOfAdviserSquare<kSide>(s, wing);
      }
      if (P::IsAtt(kCannon, f(1), 0)) {
        if (P::IsAtt(kChariot, f(2), 0)) total += 200;
        ThinDefenceOfAdviserSquare<kSide>(s, wing);
      }
    }
  }

  // Cannons on the back rank against an adviser still at home, the king at
  // home and the palace centre held by a defender.
  if (P::DefKing() != P::Sq(4, 0)) return;
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (!P::IsDef(kAdviser, f(3), 0)) continue;
    for (const int cannonFile : {f(0), f(1)}) {
      if (!P::IsAtt(kCannon, cannonFile, 0)) continue;
      if (!P::IsDef(kAdviser, 4, 1) && !P::IsDef(kCannon, 4, 1) && !P::IsDef(kChariot, 4, 1))
        continue;
      total += 25;
      if (P::DefCount(kElephant) > 0 && (P::IsDef(kElephant, 4, 2) || P::IsDef(kElephant, f(0), 2)))
        continue;
      if (P::AttCount(kChariot) == 0) continue;
      total += 100 * P::AttCount(kChariot);
      const bool chariotBetween =
          P::IsAtt(kChariot, f(2), 0) || (cannonFile == f(0) && P::IsAtt(kChariot, f(1), 0));
      if (chariotBetween) total += 150;
    }
  }
}

template <uint32_t kSide>
void ScreeningKnightGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  if (P::DefCount(kKnight) == 0 || P::DefAttackers() > 4) return;
  for (const uint32_t knight : {P::DefPiece(6), P::DefPiece(7)}) {
    const Square sq = posPiece[knight];
    if (sq == 0) continue;
    const int file = FileOf(sq);
    if (P::Rank(sq) > 2 && (file < 3 || file > 5)) continue;
    // Lift the knight off board only (the masks keep it), ask the board-scan
    // test, and put it back.
    board[sq] = 0;
    const bool exposed = P::AttStrongAttacksByScan(P::DefKing());
    board[sq] = static_cast<int8_t>(knight);
    if (exposed) P::Total(s) += P::AtMove(150, 75);
  }
}

template void BackRankBatteryGroup<kRed>(FullEvalState&);
template void BackRankBatteryGroup<kBlack>(FullEvalState&);
template void ScreeningKnightGroup<kRed>(FullEvalState&);
template void ScreeningKnightGroup<kBlack>(FullEvalState&);

namespace {

// Every group of one side's attack, in order.
template <uint32_t kSide>
void PalaceAttack(FullEvalState& s) {
  using P = Attack<kSide>;
  HemmedDefendersGroup<kSide>(s);
  OffCentreKingGroup<kSide>(s);
  DefendingKnightsGroup<kSide>(s);
  BackRankPinsGroup<kSide>(s);
  if constexpr (kSide == kRed)
    KingSquareRulesRed(s);
  else
    KingSquareRulesBlack(s);
  const int32_t w = KnightWingGroup<kSide>(s);
  if (w != 0) AttackStrengthGroup<kSide>(s, w);
  if constexpr (kSide == kRed)
    CentralCannonRed(s);
  else
    CentralCannonBlack(s);
  // The back-rank rules hold only while the defending king is at home.
  if (P::DefKing() == P::Sq(4, 0)) {
    if constexpr (kSide == kRed)
      BackRankRulesRed(s);
    else
      BackRankRulesBlack(s);
  }
  BackRankBatteryGroup<kSide>(s);
  ScreeningKnightGroup<kSide>(s);
  if constexpr (kSide == kRed)
    ClosingAttackRed(s);
  else
    ClosingAttackBlack(s);
}

}  // namespace

}  // namespace palace_attack

void RedPalaceAttack(FullEvalState& s) { palace_attack::PalaceAttack<kRed>(s); }
void BlackPalaceAttack(FullEvalState& s) { palace_attack::PalaceAttack<kBlack>(s); }
