// The rules of the palace attack chosen by the defending king's square: one
// block per palace square, scoring the attacking knights, pawns, chariots
// and cannons placed against a king standing there. Told for red against the
// black king; a block for a king on file 3 is the file mirror of the block
// for file 5, and black's blocks are the rank mirror of red's with the
// differences of KingSquareTwin.
#include "engine/eval/king_square_rules.h"

#include <cstdint>

#include "engine/eval/full_eval.h"
#include "engine/eval/side_view.h"
#include "engine/position/position.h"

namespace {

// The king on the palace-front corner (5, 2).
template <uint32_t kSide>
void KingOnFrontCorner(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const int32_t chariots = v.AttCount(kChariot);
  const Square front = v.At(4, 2);

  if (v.HoldsDef(front)) {
    v.Add(v.AttStrongAttacks(v.At(5, 1)) ? 50 + 50 * chariots : 50);
    if (chariots > 0) v.Add(100 * v.ZoneKnights());
  }

  if (v.AttCount(kKnight) > 0 && chariots > 0) {
    v.Add(50 * chariots + 50 * v.ZoneKnights());
    const Square knight = v.At(7, 2);
    if (v.AttOn(kKnight, knight) && !v.Guarded(knight)) {
      const Square beside = v.At(6, 2);
      if (v.EitherChariotReaches(beside) && !v.Guarded(beside)) v.Add(v.AtMove(200, 100));
      if (v.HoldsDef(front)) v.Add(50);
    }
  }

  if (v.AttCount(kPawn) == 0) return;

  if (v.ZonePawns() != 0) {
    if (v.AttAttackers() > 0) v.Add(66);
    if (chariots > 0 && v.DefCount(kAdviser) == 0 && v.AttOn(kPawn, 3, 1)) {
      if (v.OnFile(8, 4) || v.OnFile(9, 4)) v.Add(50);
      const Square home = v.At(4, 0);
      if (v.AttOn(kChariot, home) && v.KingLineTo(home) && v.Unattacked(v.At(5, 0)))
        v.Add(v.AtMove(600, 100));
    }
  }

  if (chariots > 0 && (v.AttOn(kPawn, 6, 1) || v.AttOn(kPawn, 4, 1)) && v.Empty(6, 2)) {
    const Square target = v.At(7, 2);
    if (v.EitherChariotReaches(target))
      v.Add(v.AttOn(kCannon, 8, 2) || !v.Guarded(target) ? v.AtMove(600, 300) : 50);
  }

  const Square pawn = Twin::kCornerPawnOnCentre ? v.At(4, 1) : v.At(3, 2);
  if (v.DefCount(kAdviser) == 0 && v.AttOn(kPawn, pawn)) v.Add(50);
}

// The king on the palace side square (5, 1).
template <uint32_t kSide>
void KingOnPalaceSide(const AttackSideView<kSide>& v) {
  const int32_t chariots = v.AttCount(kChariot);
  const Square centre = v.At(4, 1);

  // A knight before the palace and a chariot that would bear on the king
  // along its file.
  if (v.ZoneKnights() != 0 && chariots > 0 && v.Empty(3, 2) && v.AttOn(kKnight, 3, 3)) {
    const int kingFile = FileOf(v.DefKing());
    for (const uint32_t chariot : {8u, 9u}) {
      Square squares[2];
      v.LineAttackSquares(chariot, &squares[0], &squares[1]);
      for (const Square s : squares) {
        if (s == 0 || FileOf(s) != kingFile) continue;
        v.Add(v.Unattacked(s) ? v.AtMove(700, 100) : v.AtMove(100, 50));
      }
    }
  }

  if (v.DefOn(kAdviser, centre)) {
    const bool fewAttackers = v.AttAttackers() <= 1;
    if (v.DefOn(kAdviser, 5, 2)) v.Add(fewAttackers ? 25 : 50);
    if (v.DefOn(kAdviser, 5, 0)) v.Add(fewAttackers ? 50 : 100);
  }

  if (v.DefOn(kAdviser, 5, 0)) {
    const int32_t crowded = 50 * chariots + 25 * v.AttCount(kCannon) + 100 * v.ZoneKnights() / 3;
    if (v.DefOn(kAdviser, centre))
      v.Add(crowded);
    else if (v.HoldsDef(centre))
      v.Add(crowded + 50);
    else
      v.Add(50);
  }

  if (v.ZonePawns() != 0 && v.AttAttackers() > 0) {
    v.Add(66);
    if (chariots > 0 && v.AttOn(kPawn, 6, 2)) {
      const Square corner = v.At(7, 0);
      if (v.Empty(6, 0) && v.EitherChariotReaches(corner)) v.Add(v.Guarded(corner) ? 150 : 400);
      const Square side = v.At(7, 1);
      if (v.Empty(6, 1) && v.EitherChariotReaches(side))
        v.Add(v.AttOn(kCannon, 8, 1) || !v.Guarded(side) ? v.AtMove(600, 300) : 50);
    }
    if (v.AttOn(kPawn, 6, 3)) v.Add(50);
  }

  const Square knight = v.At(7, 1);
  if (v.AttOn(kKnight, knight)) {
    if (v.DefOn(kAdviser, centre)) v.Add(33);
    if (chariots > 0 && !v.Guarded(knight))
      v.Add(v.EitherChariotReaches(v.At(6, 1)) ? v.AtMove(400, 200) : 50);
  }

  if (v.AttCount(kCannon) > 0 && v.AttAttackers() > 1 && v.DefOn(kAdviser, centre) &&
      (v.OnFile(10, 5) || v.OnFile(11, 5)))
    v.Add(v.AttAttackers() > 2 ? v.AtMove(150, 75) : v.AtMove(100, 50));
}

// The king on the back-rank corner (5, 0).
template <uint32_t kSide>
void KingOnBackCorner(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  if (v.AttAttackers() == 0) return;
  const int32_t chariots = v.AttCount(kChariot);

  if (v.ZonePawns() != 0) {
    if (v.AttOn(kPawn, 6, 3) || v.AttOn(kPawn, 7, 2)) v.Add(66);
    if (v.AttOn(kPawn, 6, 1) || v.AttOn(kPawn, 6, 2) || v.AttOn(kPawn, 5, 2))
      v.Add(v.PalaceThreat());
    if (v.AttOn(kPawn, 4, 1)) {
      v.Add(100 + 100 * chariots);
      for (const uint32_t chariot : {8u, 9u}) {
        Square squares[2];
        v.LineAttackSquares(chariot, &squares[0], &squares[1]);
        for (const Square s : squares) {
          if (s == 0 || !v.Unattacked(s)) continue;
          const bool nextToKing = s == v.At(6, 0) || s == v.At(5, 1) || s == v.At(4, 0);
          v.Add(nextToKing ? v.AtMove(700, 300) : v.AtMove(400, 100));
        }
      }
    }
  }

  if (v.AttAttackers() < 3) return;
  if (chariots > 0 && v.HoldsDef(4, 0)) v.Add(50);
  const int secondCannonRank = v.FileMirrored() ? Twin::kLeftSecondCannonRank : 1;
  if (v.AttCount(kCannon) == 2 && chariots > 0 && v.AttOn(kCannon, 8, 0) &&
      v.AttOn(kCannon, 6, secondCannonRank)) {
    const Square corner = v.At(7, 0);
    const bool entry =
        (v.OnFile(8, 7) && v.Reaches(8, corner)) || (v.OnFile(9, 7) && v.Reaches(9, corner));
    if (entry) {
      const bool open = !v.Guarded(v.At(8, 1)) && !v.Guarded(corner) && !v.Guarded(v.At(7, 2));
      v.Add(open ? v.AtMove(700, 200) : 100);
    }
  }
}

// The king on the palace front (4, 2).
template <uint32_t kSide>
void KingOnPalaceFront(const AttackSideView<kSide>& v) {
  if (v.ZonePawns() != 0 && v.AttAttackers() > 0) v.Add(66);
  if (v.AttCount(kKnight) > 0 && v.AttCount(kChariot) > 0) {
    if (v.DefCount(kAdviser) == 0 && (v.AttOn(kKnight, 5, 3) || v.AttOn(kKnight, 3, 3))) v.Add(100);
    v.Add(50 * v.AttCount(kChariot) + 50 * v.ZoneKnights());
  }
}

// The king on the palace centre (4, 1).
template <uint32_t kSide>
void KingOnPalaceCentre(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const int32_t chariots = v.AttCount(kChariot);
  const int32_t knights = v.ZoneKnights();

  if (chariots > 0) {
    const bool doubled = chariots == 2 && knights != 0;
    if (Twin::kCentreChariotThirds)
      v.Add(doubled ? 100 * chariots + 50 * knights : 100 * chariots / 3 + 100 * knights / 3);
    else
      v.Add(doubled ? 50 * chariots + 50 * knights : 25 * chariots + 25 * knights);
    if (knights == 2) v.Add(100);
  }

  if (v.ZonePawns() != 0) {
    v.Add(66);
    if (Twin::kCentreCornerPattern && v.Empty(3, 2) &&
        (v.AttOn(kPawn, 5, 2) || v.AttOn(kChariot, 5, 2)) && v.AttOn(kChariot, 3, 0) &&
        v.AttOn(kKnight, 2, 1))
      v.Add(v.AtMove(300, 100));
  }

  if (knights != 0 && chariots > 0) {
    if (v.AttOn(kKnight, 3, 2) || v.AttOn(kKnight, 5, 2)) v.Add(v.HoldsDef(4, 2) ? 50 : 25);
    if (v.AttOn(kKnight, 6, 1)) v.Add(25);
    if (v.AttOn(kKnight, 2, 1)) v.Add(25);
    if (v.Empty(4, 2) && v.AttOn(kKnight, 4, 3)) v.Add(75);
  }
}

template <uint32_t kSide>
void KingSquareRules(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  const Square king = v.DefKing();
  // The squares are distinct, so the order of the tests is free: the home
  // square, by far the most frequent, is tried first.
  if (king == v.At(4, 0))
    KingOnHomeSquareRules<kSide>(s);
  else if (king == v.At(5, 2))
    KingOnFrontCorner(v);
  else if (king == v.At(3, 2))
    KingOnFrontCorner(v.Mirrored());
  else if (king == v.At(5, 1))
    KingOnPalaceSide(v);
  else if (king == v.At(3, 1))
    KingOnPalaceSide(v.Mirrored());
  else if (king == v.At(5, 0))
    KingOnBackCorner(v);
  else if (king == v.At(3, 0))
    KingOnBackCorner(v.Mirrored());
  else if (king == v.At(4, 2))
    KingOnPalaceFront(v);
  else if (king == v.At(4, 1))
    KingOnPalaceCentre(v);
}

}  // namespace

void KingSquareRulesRed(FullEvalState& s) { KingSquareRules<kRed>(s); }
void KingSquareRulesBlack(FullEvalState& s) { KingSquareRules<kBlack>(s); }
