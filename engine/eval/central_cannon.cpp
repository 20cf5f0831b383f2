// The central cannon of the palace attack: an attacking cannon on the file
// of the defending king while that king stands on its home square (4, 0).
// Each cannon counts the men between it and the king and scores the open
// file, the own screens, the double screen, chariot entries along the back
// rank and the attacks on the two adviser squares, mates included. Told for
// red against the black king; black's rules are the exact rank mirror.
#include <cstdint>

#include "engine/eval/attack_side_view.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

namespace {

// A mate found by the evaluator outweighs any material.
constexpr int32_t kMateBonus = 198500;

// What stands between the cannon and the king.
struct Screens {
  int32_t foe = 0;          // defending men
  int32_t own = 0;          // attacking men, crossed pawns included
  int32_t ownChariots = 0;  // attacking chariots among them
  int32_t homePawns = 0;    // attacking pawns still on their own half
};

template <uint32_t kSide>
bool ChariotsReach(const AttackSideView<kSide>& v, Square s, bool foeChariots) {
  if (foeChariots) return v.Reaches(v.FoeChariot(0), s) || v.Reaches(v.FoeChariot(1), s);
  return v.EitherChariotReaches(s);
}

// With both chariots: the first that stands on rank 1 and reaches the
// palace centre.
template <uint32_t kSide>
void RankOneChariotOnCentre(const AttackSideView<kSide>& v) {
  if (v.Own(kChariot) != 2) return;
  const Square centre = v.At(4, 1);
  for (int i = 0; i < 2; ++i) {
    const PieceIndex c = v.OwnChariot(i);
    if (v.OnTellRank(c, 1) && v.Reaches(c, centre)) {
      v.Add(v.Pair(400, 300));
      return;
    }
  }
}

// Open file, strong attack, both adviser squares occupied.
template <uint32_t kSide>
void OpenFileAdvisersHome(const AttackSideView<kSide>& v, Square cannon) {
  const int32_t chariots = v.Own(kChariot);
  const Square centre = v.At(4, 1);
  if (v.MiddlegameLevel() != 0) v.Add(50);

  if (cannon == v.At(4, 2)) {
    if (chariots == 2) v.Add(50);
    int32_t attackers = 0;
    for (int i = 0; i < 2; ++i) {
      const Square s = v.SquareOf(v.OwnChariot(i));
      if (s == 0 || v.TellRank(s) > 4) continue;
      v.Add(50);
      ++attackers;
    }
    v.Add(50 * v.ZoneKnights());
    attackers += v.ZoneKnights();
    if (attackers > 1) v.Add(100 * attackers);
    RankOneChariotOnCentre(v);
    return;
  }

  // A knight ready to block the cannon, with the defender to move.
  if (cannon == v.At(4, 3) && sideToMove == v.kFoe &&
      ((v.IsFoe(v.At(6, 2), kKnight) && v.Empty(v.At(5, 2))) ||
       (v.IsFoe(v.At(2, 2), kKnight) && v.Empty(v.At(3, 2))))) {
    RankOneChariotOnCentre(v);
    return;
  }

  v.Add(150 + 33 + 75 * v.ZoneKnights());
  if (v.Foe(kCannon) == 2) v.Add(33);
  if (chariots > 0) {
    if (v.IsFoe(v.At(3, 0), kAdviser) && v.IsFoe(v.At(5, 0), kAdviser) &&
        (v.IsOwn(v.At(3, 1), kPawn) || v.IsOwn(v.At(5, 1), kPawn) ||
         v.EitherChariotReaches(centre))) {
      const int32_t n = v.OwnAttackCount(centre);
      if (n <= 2)
        v.Add(100 * chariots);
      else if (n > v.FoeAttackCount(centre) - 2)
        v.Add(v.Pair(700, 400));
    } else {
      v.Add(100 * chariots / 3);
      for (int i = 0; i < 2; ++i)
        if (v.Reaches(v.OwnChariot(i), v.At(4, 2))) v.Add(200);
    }
  }
  RankOneChariotOnCentre(v);
}

// Open file, strong attack, the adviser square (3, 0) empty and an adviser
// on (5, 0).
template <uint32_t kSide>
void OpenFileAdviserGap(const AttackSideView<kSide>& v) {
  if (v.IsOwn(v.At(2, 2), kKnight) && v.Empty(v.At(2, 1)) && v.Empty(v.At(3, 2))) {
    if (v.Own(kChariot) > 0) v.Add(v.IsOwn(v.At(3, 1), kChariot) ? 400 : 150);
    v.Add(50);
  }
  v.Add(100 * v.OwnStrength() / 20);
}

// Steps for a cannon whose scan met at most two defenders.
template <uint32_t kSide>
void SingleScreenAndOpenFile(const AttackSideView<kSide>& v, Square cannon, const Screens& n) {
  if (n.foe == 1 && n.homePawns == 0) v.Add(200);
  if (n.foe == 1 || n.foe == 2) return;
  const int32_t chariots = v.Own(kChariot);
  const int32_t attackers = v.OwnAttackers();
  if (n.homePawns != 0 || (attackers < 3 && chariots == 0)) return;

  const bool strong = attackers >= 4 || (attackers == 3 && (v.ZoneKnights() > 0 || chariots > 0));
  if (n.own > 0 || !strong) {
    const Square king = v.OwnKingSquare();
    v.Add(v.Occupied(king - 16) && v.Occupied(king + 16) ? 300 : 150);
    return;
  }
  if (v.Occupied(v.At(3, 0)) && v.Occupied(v.At(5, 0))) {
    OpenFileAdvisersHome(v, cannon);
  } else if (v.IsFoe(v.At(5, 0), kAdviser)) {
    OpenFileAdviserGap(v);
  } else if (v.IsFoe(v.At(3, 0), kAdviser)) {
    OpenFileAdviserGap(v.Mirrored());
  }
}

// The adviser square (3, 0), attacked `count` times by strong pieces.
template <uint32_t kSide>
void AdviserSquareAttack(const AttackSideView<kSide>& v, int32_t count) {
  const Square target = v.At(3, 0);
  const Square other = v.At(5, 0);
  const bool adviserOnOther = v.IsFoe(other, kAdviser);
  v.Add(adviserOnOther ? 75 * count : 50);

  if (v.OwnKingOnFile(3)) {
    const Square king = v.OwnKingSquare();
    for (int i = 0; i < 2; ++i) {
      const PieceIndex x = v.OwnChariot(i);
      const PieceIndex y = v.OwnChariot(1 - i);
      if (!v.OnFile(x, 3) || !v.CanGo(x, target)) continue;
      if (v.Reaches(x, king) ||
          (v.OnFile(y, 3) && v.Reaches(x, v.SquareOf(y)) && v.Reaches(y, king)))
        ++count;
    }
  }

  if (count < 2) {
    if (v.ZonePawns() == 0 || !adviserOnOther) return;
    if (v.IsOwn(v.At(3, 2), kPawn)) v.Add(100);
    if (v.IsOwn(v.At(2, 0), kPawn) && v.OwnKingOnFile(3) && v.KingLineTo(target))
      v.Add(v.Pair(kMateBonus, 200));
    const Square pawnFront = v.At(3, 1);
    if (v.IsOwn(pawnFront, kPawn) && v.OwnKingOnFile(3) && v.KingLineTo(pawnFront))
      v.Add(v.Pair(kMateBonus, 200));
    return;
  }

  const int32_t defenders = v.FoeAttackCount(target) - (v.IsFoe(v.At(4, 1), kAdviser) ? 1 : 0);
  if (count - defenders < 2) return;
  const int32_t mate = v.Pair(kMateBonus, count > 2 ? 500 : 400);
  if (v.Own(kChariot) == 0 && v.ZonePawns() == 0) {
    v.Add(50);
  } else if (v.CanGo(v.OwnChariot(0), target) || v.CanGo(v.OwnChariot(1), target)) {
    v.Add(mate);
  } else if (v.IsOwn(v.At(2, 0), kPawn) || v.IsOwn(v.At(3, 1), kPawn)) {
    if (v.OwnAttackCount(other) != 0 || (v.HoldsFoe(other) && !v.IsFoe(other, kCannon)))
      v.Add(mate);
    else if (v.IsFoe(other, kCannon))
      v.Add(100);
  }
}

// Exactly two men between cannon and king.
template <uint32_t kSide>
void DoubleScreen(const AttackSideView<kSide>& v, const Screens& n) {
  const int32_t chariots = v.Own(kChariot);
  const int32_t zonePawns = v.ZonePawns();
  const int32_t zoneKnights = v.ZoneKnights();
  if (v.OwnAttackers() < 2 && chariots == 0 && zonePawns == 0) return;
  if (n.homePawns != 0 || n.own + n.foe != 2) return;

  if (n.ownChariots > 0) {
    v.Add(75);
    RankOneChariotOnCentre(v);
  }
  const bool pawnBlocksSecondCannon =
      v.IsOwn(v.At(4, 5), kCannon) && (v.IsFoe(v.At(4, 3), kPawn) || v.IsFoe(v.At(4, 4), kPawn));
  v.Add(pawnBlocksSecondCannon ? -50 : 50);

  const Square centre = v.At(4, 1);
  const Square front = v.At(4, 2);
  const Square left = v.At(3, 0);
  const Square right = v.At(5, 0);
  if (!v.HoldsFoe(centre)) return;
  const bool advisersHome = v.IsFoe(left, kAdviser) && v.IsFoe(right, kAdviser);

  if (v.IsFoe(centre, kKnight)) {
    if (advisersHome) {
      v.Add(zoneKnights != 0 ? v.Pair(600, 400) : v.Own(kKnight) > 0 ? v.Pair(300, 250) : 200);
      if (v.IsOwn(front, kKnight)) v.Add(v.Empty(v.At(5, 2)) && v.Empty(v.At(3, 2)) ? 200 : 100);
      if (v.IsFoe(front, kChariot)) v.Add(150);
      if (v.FoeStrength() >= v.OwnStrength() + 4) v.Add(-100);
    } else {
      v.Add(100);
    }
  }
  if (v.IsFoe(front, kKnight)) v.Add(v.Pair(200, 150));

  if (v.OwnAttackers() < 3 && chariots == 0 && zonePawns == 0) return;
  const int32_t leftCount = v.OwnStrongAttackCount(left);
  const int32_t rightCount = v.OwnStrongAttackCount(right);
  if (zoneKnights != 0) v.Add(50);

  // Chariot entries along the back rank beside the adviser squares.
  for (int i = 0; i < 2; ++i) {
    const PieceIndex c = v.OwnChariot(i);
    if (v.SquareOf(c) == 0) continue;
    for (const AttackSideView<kSide>& w : {v, v.Mirrored()}) {
      if (!w.Empty(w.At(6, 0)) || !w.Empty(w.At(5, 0))) continue;
      w.EntryBonus(c, w.At(6, 0));
      w.EntryBonus(c, w.At(7, 0));
      if (w.Empty(w.At(7, 0))) w.EntryBonus(c, w.At(8, 0));
    }
  }

  if (v.Foe(kElephant) == 0) v.Add(100);
  if (chariots > 0 && v.Own(kPawn) > 0) {
    if (v.IsOwn(v.At(3, 1), kPawn) || v.IsOwn(v.At(5, 1), kPawn)) v.Add(150);
    if (v.IsOwn(v.At(3, 2), kPawn) || v.IsOwn(v.At(5, 2), kPawn)) v.Add(100);
  }
  if (v.IsFoe(centre, kChariot)) v.Add(advisersHome ? (zoneKnights != 0 ? 1100 : 600) : 300);

  // Empty adviser squares: the right one asks for a clear line, the left
  // one for a chariot move that keeps the own king covered.
  if (v.Empty(right)) {
    if (ChariotsReach(v, right, false))
      v.Add(50);
    else if (ChariotsReach(v, right, true))
      v.FoeTotal() += 25;
  }
  if (v.Empty(left)) {
    if (v.EitherChariotCanGo(left))
      v.Add(50);
    else if (ChariotsReach(v, left, true))
      v.FoeTotal() += 25;
  }

  if (v.Occupied(centre) && v.IsFoe(front, kCannon) && v.IsOwn(v.At(4, 3), kCannon) &&
      v.Foe(kChariot) == 0)
    v.Add(v.Foe(kKnight) == 0 ? 200 : 25);

  if (leftCount == 0 && rightCount == 0) return;
  if (v.IsOwn(v.At(4, 3), kCannon)) v.Add(v.Foe(kKnight) == 0 && v.Foe(kChariot) == 0 ? 100 : 50);
  if (leftCount > 0) AdviserSquareAttack(v, leftCount);
  if (rightCount > 0) AdviserSquareAttack(v.Mirrored(), rightCount);
}

template <uint32_t kSide>
void ScoreCentralCannon(const AttackSideView<kSide>& v, Square cannon) {
  Screens n;
  bool crowded = false;
  for (int rank = 1; rank < v.TellRank(cannon); ++rank) {
    const Square s = v.At(4, rank);
    if (v.Empty(s)) continue;
    if (v.HoldsFoe(s)) {
      if (++n.foe > 2) {
        crowded = true;
        break;
      }
    } else if (rank >= 5 && v.IsOwn(s, kPawn)) {
      ++n.homePawns;
    } else {
      ++n.own;
      if (v.IsOwn(s, kChariot)) ++n.ownChariots;
    }
  }
  if (!crowded) SingleScreenAndOpenFile(v, cannon, n);
  DoubleScreen(v, n);
}

template <uint32_t kSide>
void CentralCannon(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  if (v.FoeKingSquare() != v.At(4, 0) || v.Own(kCannon) == 0) return;
  const int32_t zonePawns = v.ZonePawns();
  const bool enough =
      v.OwnAttackers() > 1 || zonePawns >= 2 ||
      (zonePawns == 1 && (v.IsOwn(v.At(6, 0), kPawn) || v.IsOwn(v.At(2, 0), kPawn)));
  if (!enough) return;
  for (int i = 0; i < 2; ++i) {
    const Square cannon = v.SquareOf(v.OwnCannon(i));
    if (cannon == 0 || !v.OnFile(v.OwnCannon(i), 4) || v.TellRank(cannon) < 2) continue;
    ScoreCentralCannon(v, cannon);
  }
}

}  // namespace

void CentralCannonRed(FullEvalState& s) { CentralCannon<kRed>(s); }
void CentralCannonBlack(FullEvalState& s) { CentralCannon<kBlack>(s); }
