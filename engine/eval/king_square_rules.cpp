// The rules of the palace attack chosen by the defending king's square: one
// block per palace square, scoring the attacking knights, pawns, chariots
// and cannons placed against a king standing there. Told for red against the
// black king; a block for a king on file 3 is the file mirror of the block
// for file 5, and black's blocks are the rank mirror of red's with the
// differences of KingSquareTwin.
#include "engine/eval/king_square_rules.h"

#include <cstdint>

#include "engine/eval/attack_side_view.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

namespace {

// The king on the palace-front corner (5, 2).
template <uint32_t kSide>
void KingOnFrontCorner(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const int32_t chariots = v.Own(kChariot);
  const Square front = v.At(4, 2);

  if (v.HoldsFoe(front)) {
    v.Add(v.OwnStrongAttacker(v.At(5, 1)) ? 50 + 50 * chariots : 50);
    if (chariots > 0) v.Add(100 * v.ZoneKnights());
  }

  if (v.Own(kKnight) > 0 && chariots > 0) {
    v.Add(50 * chariots + 50 * v.ZoneKnights());
    const Square knight = v.At(7, 2);
    if (v.IsOwn(knight, kKnight) && !v.Guarded(knight)) {
      const Square beside = v.At(6, 2);
      if (v.EitherChariotReaches(beside) && !v.Guarded(beside)) v.Add(v.Pair(200, 100));
      if (v.HoldsFoe(front)) v.Add(50);
    }
  }

  if (v.Own(kPawn) == 0) return;

  if (v.ZonePawns() != 0) {
    if (v.OwnAttackers() > 0) v.Add(66);
    if (chariots > 0 && v.Foe(kAdviser) == 0 && v.IsOwn(v.At(3, 1), kPawn)) {
      if (v.OnFile(v.OwnChariot(0), 4) || v.OnFile(v.OwnChariot(1), 4)) v.Add(50);
      const Square home = v.At(4, 0);
      if (v.IsOwn(home, kChariot) && v.KingLineTo(home) && !v.FoeAttacks(v.At(5, 0)))
        v.Add(v.Pair(600, 100));
    }
  }

  if (chariots > 0 && (v.IsOwn(v.At(6, 1), kPawn) || v.IsOwn(v.At(4, 1), kPawn)) &&
      v.Empty(v.At(6, 2))) {
    const Square target = v.At(7, 2);
    if (v.EitherChariotReaches(target))
      v.Add(v.IsOwn(v.At(8, 2), kCannon) || !v.Guarded(target) ? v.Pair(600, 300) : 50);
  }

  const Square pawn = Twin::kCornerPawnOnCentre ? v.At(4, 1) : v.At(3, 2);
  if (v.Foe(kAdviser) == 0 && v.IsOwn(pawn, kPawn)) v.Add(50);
}

// The king on the palace side square (5, 1).
template <uint32_t kSide>
void KingOnPalaceSide(const AttackSideView<kSide>& v) {
  const int32_t chariots = v.Own(kChariot);
  const Square centre = v.At(4, 1);

  // A knight before the palace and a chariot that would bear on the king
  // along its file.
  if (v.ZoneKnights() != 0 && chariots > 0 && v.Empty(v.At(3, 2)) && v.IsOwn(v.At(3, 3), kKnight)) {
    const int kingFile = FileOf(v.FoeKingSquare());
    for (int i = 0; i < 2; ++i) {
      Square squares[2];
      v.LineAttackSquares(v.OwnChariot(i), &squares[0], &squares[1]);
      for (const Square s : squares) {
        if (s == 0 || FileOf(s) != kingFile) continue;
        v.Add(v.FoeAttacks(s) ? v.Pair(100, 50) : v.Pair(700, 100));
      }
    }
  }

  if (v.IsFoe(centre, kAdviser)) {
    const bool fewAttackers = v.OwnAttackers() <= 1;
    if (v.IsFoe(v.At(5, 2), kAdviser)) v.Add(fewAttackers ? 25 : 50);
    if (v.IsFoe(v.At(5, 0), kAdviser)) v.Add(fewAttackers ? 50 : 100);
  }

  if (v.IsFoe(v.At(5, 0), kAdviser)) {
    const int32_t crowded = 50 * chariots + 25 * v.Own(kCannon) + 100 * v.ZoneKnights() / 3;
    if (v.IsFoe(centre, kAdviser))
      v.Add(crowded);
    else if (v.HoldsFoe(centre))
      v.Add(crowded + 50);
    else
      v.Add(50);
  }

  if (v.ZonePawns() != 0 && v.OwnAttackers() > 0) {
    v.Add(66);
    if (chariots > 0 && v.IsOwn(v.At(6, 2), kPawn)) {
      const Square corner = v.At(7, 0);
      if (v.Empty(v.At(6, 0)) && v.EitherChariotReaches(corner))
        v.Add(v.Guarded(corner) ? 150 : 400);
      const Square side = v.At(7, 1);
      if (v.Empty(v.At(6, 1)) && v.EitherChariotReaches(side))
        v.Add(v.IsOwn(v.At(8, 1), kCannon) || !v.Guarded(side) ? v.Pair(600, 300) : 50);
    }
    if (v.IsOwn(v.At(6, 3), kPawn)) v.Add(50);
  }

  const Square knight = v.At(7, 1);
  if (v.IsOwn(knight, kKnight)) {
    if (v.IsFoe(centre, kAdviser)) v.Add(33);
    if (chariots > 0 && !v.Guarded(knight))
      v.Add(v.EitherChariotReaches(v.At(6, 1)) ? v.Pair(400, 200) : 50);
  }

  if (v.Own(kCannon) > 0 && v.OwnAttackers() > 1 && v.IsFoe(centre, kAdviser) &&
      (v.OnFile(v.OwnCannon(0), 5) || v.OnFile(v.OwnCannon(1), 5)))
    v.Add(v.OwnAttackers() > 2 ? v.Pair(150, 75) : v.Pair(100, 50));
}

// The king on the back-rank corner (5, 0).
template <uint32_t kSide>
void KingOnBackCorner(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  if (v.OwnAttackers() == 0) return;
  const int32_t chariots = v.Own(kChariot);

  if (v.ZonePawns() != 0) {
    if (v.IsOwn(v.At(6, 3), kPawn) || v.IsOwn(v.At(7, 2), kPawn)) v.Add(66);
    if (v.IsOwn(v.At(6, 1), kPawn) || v.IsOwn(v.At(6, 2), kPawn) || v.IsOwn(v.At(5, 2), kPawn))
      v.Add(v.PalaceThreat());
    if (v.IsOwn(v.At(4, 1), kPawn)) {
      v.Add(100 + 100 * chariots);
      for (int i = 0; i < 2; ++i) {
        Square squares[2];
        v.LineAttackSquares(v.OwnChariot(i), &squares[0], &squares[1]);
        for (const Square s : squares) {
          if (s == 0 || v.FoeAttacks(s)) continue;
          const bool nextToKing = s == v.At(6, 0) || s == v.At(5, 1) || s == v.At(4, 0);
          v.Add(nextToKing ? v.Pair(700, 300) : v.Pair(400, 100));
        }
      }
    }
  }

  if (v.OwnAttackers() < 3) return;
  if (chariots > 0 && v.HoldsFoe(v.At(4, 0))) v.Add(50);
  const int secondCannonRank = v.FileMirrored() ? Twin::kLeftSecondCannonRank : 1;
  if (v.Own(kCannon) == 2 && chariots > 0 && v.IsOwn(v.At(8, 0), kCannon) &&
      v.IsOwn(v.At(6, secondCannonRank), kCannon)) {
    const Square corner = v.At(7, 0);
    const bool entry = (v.OnFile(v.OwnChariot(0), 7) && v.Reaches(v.OwnChariot(0), corner)) ||
                       (v.OnFile(v.OwnChariot(1), 7) && v.Reaches(v.OwnChariot(1), corner));
    if (entry) {
      const bool open = !v.Guarded(v.At(8, 1)) && !v.Guarded(corner) && !v.Guarded(v.At(7, 2));
      v.Add(open ? v.Pair(700, 200) : 100);
    }
  }
}

// The king on the palace front (4, 2).
template <uint32_t kSide>
void KingOnPalaceFront(const AttackSideView<kSide>& v) {
  if (v.ZonePawns() != 0 && v.OwnAttackers() > 0) v.Add(66);
  if (v.Own(kKnight) > 0 && v.Own(kChariot) > 0) {
    if (v.Foe(kAdviser) == 0 && (v.IsOwn(v.At(5, 3), kKnight) || v.IsOwn(v.At(3, 3), kKnight)))
      v.Add(100);
    v.Add(50 * v.Own(kChariot) + 50 * v.ZoneKnights());
  }
}

// The king on the palace centre (4, 1).
template <uint32_t kSide>
void KingOnPalaceCentre(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const int32_t chariots = v.Own(kChariot);
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
    if (Twin::kCentreCornerPattern && v.Empty(v.At(3, 2)) &&
        (v.IsOwn(v.At(5, 2), kPawn) || v.IsOwn(v.At(5, 2), kChariot)) &&
        v.IsOwn(v.At(3, 0), kChariot) && v.IsOwn(v.At(2, 1), kKnight))
      v.Add(v.Pair(300, 100));
  }

  if (knights != 0 && chariots > 0) {
    if (v.IsOwn(v.At(3, 2), kKnight) || v.IsOwn(v.At(5, 2), kKnight))
      v.Add(v.HoldsFoe(v.At(4, 2)) ? 50 : 25);
    if (v.IsOwn(v.At(6, 1), kKnight)) v.Add(25);
    if (v.IsOwn(v.At(2, 1), kKnight)) v.Add(25);
    if (v.Empty(v.At(4, 2)) && v.IsOwn(v.At(4, 3), kKnight)) v.Add(75);
  }
}

template <uint32_t kSide>
void KingSquareRules(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  const Square king = v.FoeKingSquare();
  if (king == v.At(5, 2))
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
  else if (king == v.At(4, 0))
    KingOnHomeSquareRules(v);
}

}  // namespace

void KingSquareRulesRed(FullEvalState& s) { KingSquareRules<kRed>(s); }
void KingSquareRulesBlack(FullEvalState& s) { KingSquareRules<kBlack>(s); }
