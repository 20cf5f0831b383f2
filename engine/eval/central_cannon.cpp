// The central cannon of the palace attack: an attacking cannon on the file
// of the defending king while that king stands on its home square (4, 0).
// Each cannon counts the men between it and the king and scores the open
// file, the own screens, the double screen, chariot entries along the back
// rank and the attacks on the two adviser squares, mates included. Told for
// red against the black king; black's rules are the exact rank mirror.
#include <cstdint>

#include "engine/eval/full_eval.h"
#include "engine/eval/side_view.h"
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

// A defending chariot has a clear line to s.
template <uint32_t kSide>
bool DefendingChariotReaches(Square s) {
  using V = SideView<kSide>;
  return ChariotAttacksSquare(V::Def(8), s) != 0 || ChariotAttacksSquare(V::Def(9), s) != 0;
}

// With both chariots: the first that stands on rank 1 and reaches the
// palace centre.
template <uint32_t kSide>
void RankOneChariotOnCentre(const AttackSideView<kSide>& v) {
  if (v.AttCount(kChariot) != 2) return;
  const Square centre = v.At(4, 1);
  for (const uint32_t c : {8u, 9u}) {
    if (v.OnRank(c, 1) && v.Reaches(c, centre)) {
      v.Add(v.AtMove(400, 300));
      return;
    }
  }
}

// Open file, strong attack, both adviser squares occupied.
template <uint32_t kSide>
void OpenFileAdvisersHome(const AttackSideView<kSide>& v, Square cannon) {
  const int32_t chariots = v.AttCount(kChariot);
  const Square centre = v.At(4, 1);
  if (v.MiddlegameLevel() != 0) v.Add(50);

  if (cannon == v.At(4, 2)) {
    if (chariots == 2) v.Add(50);
    int32_t attackers = 0;
    for (const uint32_t c : {8u, 9u}) {
      const Square s = v.AttSquare(c);
      if (s == 0 || v.Rank(s) > 4) continue;
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
  if (cannon == v.At(4, 3) && sideToMove == v.kDef &&
      ((v.DefOn(kKnight, 6, 2) && v.Empty(5, 2)) || (v.DefOn(kKnight, 2, 2) && v.Empty(3, 2)))) {
    RankOneChariotOnCentre(v);
    return;
  }

  v.Add(150 + 33 + 75 * v.ZoneKnights());
  if (v.DefCount(kCannon) == 2) v.Add(33);
  if (chariots > 0) {
    if (v.DefOn(kAdviser, 3, 0) && v.DefOn(kAdviser, 5, 0) &&
        (v.AttOn(kPawn, 3, 1) || v.AttOn(kPawn, 5, 1) || v.EitherChariotReaches(centre))) {
      const int32_t n = v.AttAttackCount(centre);
      if (n <= 2)
        v.Add(100 * chariots);
      else if (n > v.DefAttackCount(centre) - 2)
        v.Add(v.AtMove(700, 400));
    } else {
      v.Add(100 * chariots / 3);
      for (const uint32_t c : {8u, 9u})
        if (v.Reaches(c, v.At(4, 2))) v.Add(200);
    }
  }
  RankOneChariotOnCentre(v);
}

// Open file, strong attack, the adviser square (3, 0) empty and an adviser
// on (5, 0).
template <uint32_t kSide>
void OpenFileAdviserGap(const AttackSideView<kSide>& v) {
  if (v.AttOn(kKnight, 2, 2) && v.Empty(2, 1) && v.Empty(3, 2)) {
    if (v.AttCount(kChariot) > 0) v.Add(v.AttOn(kChariot, 3, 1) ? 400 : 150);
    v.Add(50);
  }
  v.Add(100 * v.Strength() / 20);
}

// Steps for a cannon whose scan met at most two defenders.
template <uint32_t kSide>
void SingleScreenAndOpenFile(const AttackSideView<kSide>& v, Square cannon, const Screens& n) {
  if (n.foe == 1 && n.homePawns == 0) v.Add(200);
  if (n.foe == 1 || n.foe == 2) return;
  const int32_t chariots = v.AttCount(kChariot);
  const int32_t attackers = v.AttAttackers();
  if (n.homePawns != 0 || (attackers < 3 && chariots == 0)) return;

  const bool strong = attackers >= 4 || (attackers == 3 && (v.ZoneKnights() > 0 || chariots > 0));
  if (n.own > 0 || !strong) {
    const Square king = v.AttKing();
    v.Add(v.Occupied(king - 16) && v.Occupied(king + 16) ? 300 : 150);
    return;
  }
  if (v.Occupied(3, 0) && v.Occupied(5, 0)) {
    OpenFileAdvisersHome(v, cannon);
  } else if (v.DefOn(kAdviser, 5, 0)) {
    OpenFileAdviserGap(v);
  } else if (v.DefOn(kAdviser, 3, 0)) {
    OpenFileAdviserGap(v.Mirrored());
  }
}

// The adviser square (3, 0), attacked `count` times by strong pieces.
template <uint32_t kSide>
void AdviserSquareAttack(const AttackSideView<kSide>& v, int32_t count) {
  const Square target = v.At(3, 0);
  const Square other = v.At(5, 0);
  const bool adviserOnOther = v.DefOn(kAdviser, other);
  v.Add(adviserOnOther ? 75 * count : 50);

  if (v.AttKingOnFile(3)) {
    const Square king = v.AttKing();
    for (const uint32_t x : {8u, 9u}) {
      const uint32_t y = x == 8 ? 9 : 8;
      if (!v.OnFile(x, 3) || !v.CanGo(x, target)) continue;
      if (v.Reaches(x, king) ||
          (v.OnFile(y, 3) && v.Reaches(x, v.AttSquare(y)) && v.Reaches(y, king)))
        ++count;
    }
  }

  if (count < 2) {
    if (v.ZonePawns() == 0 || !adviserOnOther) return;
    if (v.AttOn(kPawn, 3, 2)) v.Add(100);
    if (v.AttOn(kPawn, 2, 0) && v.AttKingOnFile(3) && v.KingLineTo(target))
      v.Add(v.AtMove(kMateBonus, 200));
    const Square pawnFront = v.At(3, 1);
    if (v.AttOn(kPawn, pawnFront) && v.AttKingOnFile(3) && v.KingLineTo(pawnFront))
      v.Add(v.AtMove(kMateBonus, 200));
    return;
  }

  const int32_t defenders = v.DefAttackCount(target) - (v.DefOn(kAdviser, 4, 1) ? 1 : 0);
  if (count - defenders < 2) return;
  const int32_t mate = v.AtMove(kMateBonus, count > 2 ? 500 : 400);
  if (v.AttCount(kChariot) == 0 && v.ZonePawns() == 0) {
    v.Add(50);
  } else if (v.CanGo(8, target) || v.CanGo(9, target)) {
    v.Add(mate);
  } else if (v.AttOn(kPawn, 2, 0) || v.AttOn(kPawn, 3, 1)) {
    if (v.AttAttackCount(other) != 0 || (v.HoldsDef(other) && !v.DefOn(kCannon, other)))
      v.Add(mate);
    else if (v.DefOn(kCannon, other))
      v.Add(100);
  }
}

// Exactly two men between cannon and king.
template <uint32_t kSide>
void DoubleScreen(const AttackSideView<kSide>& v, const Screens& n) {
  const int32_t chariots = v.AttCount(kChariot);
  const int32_t zonePawns = v.ZonePawns();
  const int32_t zoneKnights = v.ZoneKnights();
  if (v.AttAttackers() < 2 && chariots == 0 && zonePawns == 0) return;
  if (n.homePawns != 0 || n.own + n.foe != 2) return;

  if (n.ownChariots > 0) {
    v.Add(75);
    RankOneChariotOnCentre(v);
  }
  const bool pawnBlocksSecondCannon =
      v.AttOn(kCannon, 4, 5) && (v.DefOn(kPawn, 4, 3) || v.DefOn(kPawn, 4, 4));
  v.Add(pawnBlocksSecondCannon ? -50 : 50);

  const Square centre = v.At(4, 1);
  const Square front = v.At(4, 2);
  const Square left = v.At(3, 0);
  const Square right = v.At(5, 0);
  if (!v.HoldsDef(centre)) return;
  const bool advisersHome = v.DefOn(kAdviser, left) && v.DefOn(kAdviser, right);

  if (v.DefOn(kKnight, centre)) {
    if (advisersHome) {
      v.Add(zoneKnights != 0          ? v.AtMove(600, 400)
            : v.AttCount(kKnight) > 0 ? v.AtMove(300, 250)
                                      : 200);
      if (v.AttOn(kKnight, front)) v.Add(v.Empty(5, 2) && v.Empty(3, 2) ? 200 : 100);
      if (v.DefOn(kChariot, front)) v.Add(150);
      if (v.DefStrength() >= v.Strength() + 4) v.Add(-100);
    } else {
      v.Add(100);
    }
  }
  if (v.DefOn(kKnight, front)) v.Add(v.AtMove(200, 150));

  if (v.AttAttackers() < 3 && chariots == 0 && zonePawns == 0) return;
  const int32_t leftCount = v.AttStrongAttackCount(left);
  const int32_t rightCount = v.AttStrongAttackCount(right);
  if (zoneKnights != 0) v.Add(50);

  // Chariot entries along the back rank beside the adviser squares.
  for (const uint32_t c : {8u, 9u}) {
    if (v.AttSquare(c) == 0) continue;
    for (const AttackSideView<kSide>& w : {v, v.Mirrored()}) {
      if (!w.Empty(6, 0) || !w.Empty(5, 0)) continue;
      w.EntryBonus(c, w.At(6, 0));
      w.EntryBonus(c, w.At(7, 0));
      if (w.Empty(7, 0)) w.EntryBonus(c, w.At(8, 0));
    }
  }

  if (v.DefCount(kElephant) == 0) v.Add(100);
  if (chariots > 0 && v.AttCount(kPawn) > 0) {
    if (v.AttOn(kPawn, 3, 1) || v.AttOn(kPawn, 5, 1)) v.Add(150);
    if (v.AttOn(kPawn, 3, 2) || v.AttOn(kPawn, 5, 2)) v.Add(100);
  }
  if (v.DefOn(kChariot, centre)) v.Add(advisersHome ? (zoneKnights != 0 ? 1100 : 600) : 300);

  // Empty adviser squares: the right one asks for a clear line, the left
  // one for a chariot move that keeps the own king covered.
  if (v.Empty(right)) {
    if (v.EitherChariotReaches(right))
      v.Add(50);
    else if (DefendingChariotReaches<kSide>(right))
      v.AddToDefender(25);
  }
  if (v.Empty(left)) {
    if (v.EitherChariotCanGo(left))
      v.Add(50);
    else if (DefendingChariotReaches<kSide>(left))
      v.AddToDefender(25);
  }

  if (v.Occupied(centre) && v.DefOn(kCannon, front) && v.AttOn(kCannon, 4, 3) &&
      v.DefCount(kChariot) == 0)
    v.Add(v.DefCount(kKnight) == 0 ? 200 : 25);

  if (leftCount == 0 && rightCount == 0) return;
  if (v.AttOn(kCannon, 4, 3))
    v.Add(v.DefCount(kKnight) == 0 && v.DefCount(kChariot) == 0 ? 100 : 50);
  if (leftCount > 0) AdviserSquareAttack(v, leftCount);
  if (rightCount > 0) AdviserSquareAttack(v.Mirrored(), rightCount);
}

template <uint32_t kSide>
void ScoreCentralCannon(const AttackSideView<kSide>& v, Square cannon) {
  Screens n;
  bool crowded = false;
  for (int rank = 1; rank < v.Rank(cannon); ++rank) {
    const Square s = v.At(4, rank);
    if (v.Empty(s)) continue;
    if (v.HoldsDef(s)) {
      if (++n.foe > 2) {
        crowded = true;
        break;
      }
    } else if (rank >= 5 && v.AttOn(kPawn, s)) {
      ++n.homePawns;
    } else {
      ++n.own;
      if (v.AttOn(kChariot, s)) ++n.ownChariots;
    }
  }
  if (!crowded) SingleScreenAndOpenFile(v, cannon, n);
  DoubleScreen(v, n);
}

// The cannons on the central file. The palace attack calls this only with
// the defending king at home and an attacking cannon on the central file,
// having tested both itself; without them nothing scores here.
template <uint32_t kSide>
void CannonsOnCentralFile(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  if (v.DefKing() != v.At(4, 0) || v.AttCount(kCannon) == 0) return;
  const int32_t zonePawns = v.ZonePawns();
  const bool enough = v.AttAttackers() > 1 || zonePawns >= 2 ||
                      (zonePawns == 1 && (v.AttOn(kPawn, 6, 0) || v.AttOn(kPawn, 2, 0)));
  if (!enough) return;
  for (const uint32_t c : {10u, 11u}) {
    const Square cannon = v.AttSquare(c);
    if (cannon == 0 || !v.OnFile(c, 4) || v.Rank(cannon) < 2) continue;
    ScoreCentralCannon(v, cannon);
  }
}

}  // namespace

void CentralCannonRed(FullEvalState& s) { CannonsOnCentralFile<kRed>(s); }
void CentralCannonBlack(FullEvalState& s) { CannonsOnCentralFile<kBlack>(s); }
