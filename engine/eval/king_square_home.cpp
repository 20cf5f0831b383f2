// The palace-attack rules for the defending king on its home square (4, 0):
// chariots against the palace centre and the adviser squares, rank-1
// chariots backed by pawns, knights beside the palace with wing chariots and
// cannons, and corner cannons behind a back-rank entry. Told for red against
// the black king, as the rest of the king-square rules.
#include <cstdint>

#include "engine/eval/attack_side_view.h"
#include "engine/eval/king_square_rules.h"
#include "engine/position/position.h"

namespace {

// Both chariots against the adviser square (3, 0): one on (3, 1), the other
// anywhere on the back rank beyond it.
template <uint32_t kSide>
void DoubledOnAdviserSquare(const AttackSideView<kSide>& v) {
  const Square adviserSquare = v.At(3, 0);
  if (!v.HoldsFoe(adviserSquare) || !v.IsOwn(v.At(3, 1), kChariot)) return;
  if (!v.IsOwn(v.At(2, 0), kChariot) && !v.IsOwn(v.At(1, 0), kChariot) &&
      !v.IsOwn(v.At(0, 0), kChariot))
    return;
  v.Add(v.FoeAttacks(adviserSquare) ? 100 : 500);
}

// A chariot on (3, 1) beside the palace centre, with a pawn on (5, 1) or,
// against thin advisers, the other chariot on the centre.
template <uint32_t kSide>
void ChariotOnRankOne(const AttackSideView<kSide>& v) {
  const Square post = v.At(3, 1);
  const Square centre = v.At(4, 1);
  const int32_t advisers = v.Foe(kAdviser);
  for (int i = 0; i < 2; ++i) {
    if (v.SquareOf(v.OwnChariot(i)) != post) continue;
    if (!v.IsOwn(v.At(5, 1), kPawn) && !(advisers <= 1 && v.Reaches(v.OwnChariot(1 - i), centre)))
      continue;
    if (v.OwnAttackCount(centre) < advisers) continue;
    if (v.OwnKingOnFile(3) && v.KingLineTo(post)) {
      if (advisers == 0)
        v.Add(v.Pair(1000, 500));
      else if (advisers == 1)
        v.Add(v.Pair(700, 300));
    } else {
      v.Add(100);
    }
    if (advisers == 0) v.Add(100);
  }
}

// Pawn on (3, 1): the nearest back-rank piece beyond (3, 0) is a chariot,
// and the nearest rank-1 piece beyond the centre on the other side is the
// other chariot.
template <uint32_t kSide>
void ChariotsAcrossThePalace(const AttackSideView<kSide>& v) {
  bool backRank = false;
  for (const int file : {2, 1, 0}) {
    const Square s = v.At(file, 0);
    if (v.Empty(s)) continue;
    backRank = v.IsOwn(s, kChariot);
    break;
  }
  if (!backRank) return;
  bool rankOne = false;
  for (const int file : {5, 6, 7, 8}) {
    const Square s = v.At(file, 1);
    if (v.Empty(s)) continue;
    rankOne = v.IsOwn(s, kChariot);
    break;
  }
  if (!rankOne) {
    v.Add(100);
    return;
  }
  v.Add(v.Pair(700, 400));
  if (v.Empty(v.At(4, 1)) || v.Own(kCannon) > 0) v.Add(100);
}

// A knight on (6, 2) beside the palace, with chariots and cannons on its
// wing and a chariot that can take the adviser square (5, 0).
template <uint32_t kSide>
void WingKnight(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const Square near = v.At(5, 0);
  const Square far = v.At(3, 0);
  if (v.HoldsFoe(far) && !v.IsFoe(far, kCannon)) v.Add(50);

  const int32_t advisers = Twin::kWingKnightCountsOwnAdvisers ? v.Own(kAdviser) : v.Foe(kAdviser);
  if (advisers <= 1 || v.Empty(near)) {
    for (int i = 0; i < 2; ++i) {
      const Square s = v.SquareOf(v.OwnChariot(i));
      if (!v.OnWing(s, 1)) continue;
      if (FileOf(s) != v.File(6) || s == v.At(6, 0) || s == v.At(6, 1)) v.Add(100);
      if (v.OwnAttackers() >= 4) v.Add(50);
      if (v.ZonePawns() != 0) v.Add(100);
    }
    if (v.Empty(v.At(6, 1)) && v.Empty(v.At(5, 2)) && !v.FoeAttacks(near))
      v.Add(v.EitherChariotCanGo(near) ? v.Pair(700, 200) : 50);
  }

  if (v.IsOwn(v.At(7, 0), kCannon) || v.IsOwn(v.At(6, 0), kCannon) ||
      (v.IsOwn(v.At(8, 0), kCannon) && v.Empty(v.At(7, 0)))) {
    const bool bothOnWing = v.Own(kCannon) == 2 && v.OnWing(v.SquareOf(v.OwnCannon(0)), 1) &&
                            v.OnWing(v.SquareOf(v.OwnCannon(1)), 1);
    v.Add(bothOnWing ? 100 : 50);
    for (int i = 0; i < 2; ++i) {
      const PieceIndex c = v.OwnChariot(i);
      if (!v.OnFile(c, 5) || !v.CanGo(c, near)) continue;
      if (v.HoldsFoe(far)) v.Add(v.IsFoe(far, kAdviser) ? v.Pair(500, 300) : v.Pair(400, 200));
      break;
    }
  }
}

// A chariot on file 3 that can take the adviser square (3, 0), backed on the
// file by the own king or the other chariot.
template <uint32_t kSide>
void BackedChariotOnAdviserFile(const AttackSideView<kSide>& v) {
  const Square target = v.At(3, 0);
  for (int i = 0; i < 2; ++i) {
    const PieceIndex x = v.OwnChariot(i);
    const PieceIndex y = v.OwnChariot(1 - i);
    if (!v.OnFile(x, 3) || !v.CanGo(x, target)) continue;
    const Square xs = v.SquareOf(x);
    const bool backed =
        (v.OwnKingOnFile(3) && v.KingLineTo(xs)) || (v.OnFile(y, 3) && v.Reaches(y, xs));
    if (backed) v.Add(v.FoeAttacks(target) ? v.Pair(200, 100) : v.Pair(700, 200));
  }
}

// A cannon in the corner behind an empty back rank that a chariot reaches,
// with a chariot or pawn on (3, 1).
template <uint32_t kSide>
void CornerCannonBehindEntry(const AttackSideView<kSide>& v) {
  const Square post = v.At(3, 1);
  if (!v.IsOwn(post, kChariot) && !v.IsOwn(post, kPawn)) return;
  const Square a = v.At(1, 0);
  const Square b = v.At(2, 0);
  if ((v.IsOwn(v.At(0, 0), kCannon) || v.IsOwn(v.At(0, 1), kCannon)) && v.Empty(a) && v.Empty(b) &&
      (v.EitherChariotReaches(a) || v.EitherChariotReaches(b)))
    v.Add(200);
  if ((v.IsOwn(a, kCannon) || v.IsOwn(v.At(1, 1), kCannon)) && v.Empty(b) &&
      v.EitherChariotReaches(b))
    v.Add(200);
}

}  // namespace

template <uint32_t kSide>
void KingOnHomeSquareRules(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const AttackSideView<kSide> w = v.Mirrored();
  const int32_t chariots = v.Own(kChariot);
  const Square centre = v.At(4, 1);
  const Square front = v.At(4, 2);
  const Square left = v.At(3, 0);
  const Square right = v.At(5, 0);

  // A thin defence with both advisers at home and a piece of its own on the
  // palace centre.
  if (v.Foe(kElephant) <= 1 && chariots > 0 && v.Foe(kAdviser) == 2 && v.IsFoe(left, kAdviser) &&
      v.IsFoe(right, kAdviser)) {
    const int32_t missing = 6 - v.FoeAttackers();
    if (v.IsFoe(centre, kKnight)) {
      for (int i = 0; i < 2; ++i) {
        const PieceIndex c = v.OwnChariot(i);
        if (!v.OnFile(c, 4) || !v.Reaches(c, centre)) continue;
        v.Add(v.Foe(kElephant) == 0 ? 150 + 50 * missing : 100 + 100 * missing / 3);
        break;
      }
    }
    if (v.IsFoe(centre, kCannon) && v.Foe(kElephant) == 0 && v.IsOwn(front, kChariot)) {
      v.Add(75 + 100 * missing / 3);
      if (v.HoldsOwn(v.At(4, 7)) && v.HoldsOwn(v.At(4, 8))) v.Add(33);
    }
  }

  if (v.ZonePawns() != 0 && v.Foe(kAdviser) <= 1) v.Add(v.AdvancedPawn(4) != 0 ? 100 : 33);

  if (chariots == 2) {
    DoubledOnAdviserSquare(v);
    DoubledOnAdviserSquare(w);
  }

  if (v.ZonePawns() != 0 && chariots > 0) {
    const bool pawnLeft = v.IsOwn(v.At(3, 1), kPawn);
    const bool pawnRight = v.IsOwn(v.At(5, 1), kPawn);
    if (pawnLeft && pawnRight && v.EitherChariotReaches(centre)) v.Add(300);
    ChariotOnRankOne(v);
    ChariotOnRankOne(w);
    if (chariots == 2) {
      if (pawnLeft) ChariotsAcrossThePalace(v);
      if (pawnRight) ChariotsAcrossThePalace(w);
    }
  }

  if (v.ZoneKnights() != 0 && chariots > 0) {
    if (v.IsOwn(v.At(6, 2), kKnight)) WingKnight(v);
    if (v.IsOwn(v.At(2, 2), kKnight)) WingKnight(w);
    if (v.IsOwn(front, kKnight)) {
      // The knight in front of the king is hemmed in by what stands round it.
      int32_t hemmed = 0;
      for (const Square s : {v.At(5, 2), v.At(3, 2), v.At(4, 3)}) {
        if (v.Empty(s)) continue;
        v.FoeTotal() += 50;
        ++hemmed;
      }
      if (hemmed == 3) v.FoeTotal() += 100;
      v.Add(v.Empty(centre) ? 150 : 100);
      if (chariots == 2) v.Add(50);
    }
  }

  const bool knightOnCentre =
      Twin::kBackedFileOwnKnight ? v.IsOwn(centre, kKnight) : v.IsFoe(centre, kKnight);
  if (chariots > 0 && knightOnCentre) {
    BackedChariotOnAdviserFile(v);
    BackedChariotOnAdviserFile(w);
  }

  if (v.ZoneKnights() != 0 && v.Empty(centre) && chariots > 0 && v.IsFoe(left, kAdviser) &&
      v.IsFoe(right, kAdviser)) {
    const bool firstOnRankOne = v.OnTellRank(v.OwnChariot(0), 1);
    const bool secondOnRankOne = v.OnTellRank(v.OwnChariot(1), 1);
    if (!firstOnRankOne && !secondOnRankOne) {
      v.Add(25);
    } else {
      if (firstOnRankOne && v.Reaches(v.OwnChariot(0), centre)) v.Add(v.Pair(100, 50));
      if (secondOnRankOne && v.Reaches(v.OwnChariot(1), centre)) v.Add(v.Pair(100, 50));
      v.Add(50);
    }
  }

  if (v.Own(kCannon) > 0 && chariots > 0) {
    CornerCannonBehindEntry(v);
    CornerCannonBehindEntry(w);
  }

  if (v.Empty(centre) && v.IsOwn(front, kPawn)) v.Add(v.PalaceThreat());
}

template void KingOnHomeSquareRules<kRed>(const AttackSideView<kRed>& v);
template void KingOnHomeSquareRules<kBlack>(const AttackSideView<kBlack>& v);
