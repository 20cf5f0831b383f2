// The palace-attack rules for the defending king on its home square (4, 0):
// chariots against the palace centre and the adviser squares, rank-1
// chariots backed by pawns, knights beside the palace with wing chariots and
// cannons, and corner cannons behind a back-rank entry. Told for red against
// the black king, as the rest of the king-square rules.
#include <array>
#include <cstdint>

#include "engine/eval/king_square_rules.h"
#include "engine/eval/side_view.h"
#include "engine/position/position.h"

namespace {

// Both chariots against the adviser square (3, 0): one on (3, 1), the other
// anywhere on the back rank beyond it.
template <uint32_t kSide>
void DoubledOnAdviserSquare(const AttackSideView<kSide>& v) {
  const Square adviserSquare = v.At(3, 0);
  if (!v.AttOn(kChariot, 3, 1) || !v.HoldsDef(adviserSquare)) return;
  if (!v.AttOn(kChariot, 2, 0) && !v.AttOn(kChariot, 1, 0) && !v.AttOn(kChariot, 0, 0)) return;
  v.Add(v.Unattacked(adviserSquare) ? 500 : 100);
}

// A chariot on (3, 1) beside the palace centre, with a pawn on (5, 1) or,
// against thin advisers, the other chariot on the centre.
template <uint32_t kSide>
void ChariotOnRankOne(const AttackSideView<kSide>& v) {
  const Square post = v.At(3, 1);
  const Square centre = v.At(4, 1);
  const int32_t advisers = v.DefCount(kAdviser);
  for (const uint32_t chariot : {8u, 9u}) {
    const uint32_t other = chariot == 8 ? 9 : 8;
    if (v.AttSquare(chariot) != post) continue;
    if (!v.AttOn(kPawn, 5, 1) && !(advisers <= 1 && v.Reaches(other, centre))) continue;
    if (v.AttAttackCount(centre) < advisers) continue;
    if (v.AttKingOnFile(3) && v.KingLineTo(post)) {
      if (advisers == 0)
        v.Add(v.AtMove(1000, 500));
      else if (advisers == 1)
        v.Add(v.AtMove(700, 300));
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
    backRank = v.AttOn(kChariot, s);
    break;
  }
  if (!backRank) return;
  bool rankOne = false;
  for (const int file : {5, 6, 7, 8}) {
    const Square s = v.At(file, 1);
    if (v.Empty(s)) continue;
    rankOne = v.AttOn(kChariot, s);
    break;
  }
  if (!rankOne) {
    v.Add(100);
    return;
  }
  v.Add(v.AtMove(700, 400));
  if (v.Empty(4, 1) || v.AttCount(kCannon) > 0) v.Add(100);
}

// A knight on (6, 2) beside the palace, with chariots and cannons on its
// wing and a chariot that can take the adviser square (5, 0).
template <uint32_t kSide>
void WingKnight(const AttackSideView<kSide>& v) {
  using Twin = KingSquareTwin<kSide>;
  const Square near = v.At(5, 0);
  const Square far = v.At(3, 0);
  if (v.HoldsDef(far) && !v.DefOn(kCannon, far)) v.Add(50);

  const int32_t advisers =
      Twin::kWingKnightCountsOwnAdvisers ? v.AttCount(kAdviser) : v.DefCount(kAdviser);
  if (advisers <= 1 || v.Empty(near)) {
    for (const uint32_t chariot : {8u, 9u}) {
      const Square s = v.AttSquare(chariot);
      if (!v.OnWing(s, 1)) continue;
      if (FileOf(s) != v.File(6) || s == v.At(6, 0) || s == v.At(6, 1)) v.Add(100);
      if (v.AttAttackers() >= 4) v.Add(50);
      if (v.ZonePawns() != 0) v.Add(100);
    }
    if (v.Empty(6, 1) && v.Empty(5, 2) && v.Unattacked(near))
      v.Add(v.EitherChariotCanGo(near) ? v.AtMove(700, 200) : 50);
  }

  if (v.AttOn(kCannon, 7, 0) || v.AttOn(kCannon, 6, 0) ||
      (v.AttOn(kCannon, 8, 0) && v.Empty(7, 0))) {
    const bool bothOnWing =
        v.AttCount(kCannon) == 2 && v.OnWing(v.AttSquare(10), 1) && v.OnWing(v.AttSquare(11), 1);
    v.Add(bothOnWing ? 100 : 50);
    for (const uint32_t c : {8u, 9u}) {
      if (!v.OnFile(c, 5) || !v.CanGo(c, near)) continue;
      if (v.HoldsDef(far)) v.Add(v.DefOn(kAdviser, far) ? v.AtMove(500, 300) : v.AtMove(400, 200));
      break;
    }
  }
}

// A chariot on file 3 that can take the adviser square (3, 0), backed on the
// file by the own king or the other chariot.
template <uint32_t kSide>
void BackedChariotOnAdviserFile(const AttackSideView<kSide>& v) {
  const Square target = v.At(3, 0);
  for (const uint32_t x : {8u, 9u}) {
    const uint32_t y = x == 8 ? 9 : 8;
    if (!v.OnFile(x, 3) || !v.CanGo(x, target)) continue;
    const Square xs = v.AttSquare(x);
    const bool backed =
        (v.AttKingOnFile(3) && v.KingLineTo(xs)) || (v.OnFile(y, 3) && v.Reaches(y, xs));
    if (backed) v.Add(v.Unattacked(target) ? v.AtMove(700, 200) : v.AtMove(200, 100));
  }
}

// A cannon in the corner behind an empty back rank that a chariot reaches,
// with a chariot or pawn on (3, 1).
// Inlined into both wings' calls, where the told squares are constants.
template <uint32_t kSide>
[[gnu::always_inline]] inline void CornerCannonBehindEntry(const AttackSideView<kSide>& v) {
  const Square post = v.At(3, 1);
  if (!v.AttOn(kChariot, post) && !v.AttOn(kPawn, post)) return;
  const Square a = v.At(1, 0);
  const Square b = v.At(2, 0);
  if ((v.AttOn(kCannon, 0, 0) || v.AttOn(kCannon, 0, 1)) && v.Empty(a) && v.Empty(b) &&
      (v.EitherChariotReaches(a) || v.EitherChariotReaches(b)))
    v.Add(200);
  if ((v.AttOn(kCannon, a) || v.AttOn(kCannon, 1, 1)) && v.Empty(b) && v.EitherChariotReaches(b))
    v.Add(200);
}

// The wings on which an attacking cannon on square s takes part in
// CornerCannonBehindEntry: bit 0 on (0, 0), (0, 1), (1, 0) or (1, 1), bit 1
// on their file mirrors. Every rule there asks for such a cannon, so a wing
// without one is not looked at. Square 0 (a captured cannon) is on neither.
template <uint32_t kSide>
inline constexpr std::array<uint8_t, kBoardSize> cornerCannonWings = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (const int file : {0, 1}) {
    for (const int rank : {0, 1}) {
      t[SideView<kSide>::Sq(file, rank)] = 1;
      t[SideView<kSide>::Sq(8 - file, rank)] = 2;
    }
  }
  return t;
}();

// Zone pawns with chariots: pawns on (3, 1) and (5, 1), and the chariots on
// rank 1 they support. Out of line, as are the knights below: both are rare,
// and inlined they would cost every call of the home-square rules their
// register saves.
template <uint32_t kSide>
[[gnu::noinline]] void PawnsBesideTheCentre(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  const AttackSideView<kSide> w = v.Mirrored();
  const int32_t chariots = v.AttCount(kChariot);
  const bool pawnLeft = v.AttOn(kPawn, 3, 1);
  const bool pawnRight = v.AttOn(kPawn, 5, 1);
  if (pawnLeft && pawnRight && v.EitherChariotReaches(v.At(4, 1))) v.Add(300);
  ChariotOnRankOne(v);
  ChariotOnRankOne(w);
  if (chariots == 2) {
    if (pawnLeft) ChariotsAcrossThePalace(v);
    if (pawnRight) ChariotsAcrossThePalace(w);
  }
}

// Zone knights with chariots: knights beside the palace and the knight in
// front of the king.
template <uint32_t kSide>
[[gnu::noinline]] void KnightsAroundThePalace(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  const AttackSideView<kSide> w = v.Mirrored();
  if (v.AttOn(kKnight, 6, 2)) WingKnight(v);
  if (v.AttOn(kKnight, 2, 2)) WingKnight(w);
  if (v.AttOn(kKnight, 4, 2)) {
    // The knight in front of the king is hemmed in by what stands round it.
    int32_t hemmed = 0;
    for (const Square q : {v.At(5, 2), v.At(3, 2), v.At(4, 3)}) {
      if (v.Empty(q)) continue;
      v.AddToDefender(50);
      ++hemmed;
    }
    if (hemmed == 3) v.AddToDefender(100);
    v.Add(v.Empty(4, 1) ? 150 : 100);
    if (v.AttCount(kChariot) == 2) v.Add(50);
  }
}

// BackedChariotOnAdviserFile on both wings, with a knight on the palace
// centre.
template <uint32_t kSide>
[[gnu::noinline]] void BackedChariotsOnBothAdviserFiles(FullEvalState& s) {
  const AttackSideView<kSide> v(s, false);
  BackedChariotOnAdviserFile(v);
  BackedChariotOnAdviserFile(v.Mirrored());
}

}  // namespace

template <uint32_t kSide>
void KingOnHomeSquareRules(FullEvalState& s) {
  using Twin = KingSquareTwin<kSide>;
  const AttackSideView<kSide> v(s, false);
  const AttackSideView<kSide> w = v.Mirrored();
  const int32_t chariots = v.AttCount(kChariot);
  const Square centre = v.At(4, 1);
  const Square front = v.At(4, 2);
  const Square left = v.At(3, 0);
  const Square right = v.At(5, 0);

  // A thin defence with both advisers at home and a piece of its own on the
  // palace centre.
  if (v.DefCount(kElephant) <= 1 && chariots > 0 && v.DefCount(kAdviser) == 2 &&
      v.DefOn(kAdviser, left) && v.DefOn(kAdviser, right)) {
    const int32_t missing = 6 - v.DefAttackers();
    if (v.DefOn(kKnight, centre)) {
      for (const uint32_t c : {8u, 9u}) {
        if (!v.OnFile(c, 4) || !v.Reaches(c, centre)) continue;
        v.Add(v.DefCount(kElephant) == 0 ? 150 + 50 * missing : 100 + 100 * missing / 3);
        break;
      }
    }
    if (v.DefOn(kCannon, centre) && v.DefCount(kElephant) == 0 && v.AttOn(kChariot, front)) {
      v.Add(75 + 100 * missing / 3);
      if (v.HoldsAtt(v.At(4, 7)) && v.HoldsAtt(v.At(4, 8))) v.Add(33);
    }
  }

  if (v.ZonePawns() != 0 && v.DefCount(kAdviser) <= 1) v.Add(v.AdvancedPawn(4) != 0 ? 100 : 33);

  if (chariots == 2) {
    DoubledOnAdviserSquare(v);
    DoubledOnAdviserSquare(w);
  }

  // Each rule of the two blocks asks for an attacking pawn or chariot on
  // (3, 1) or (5, 1), an attacking knight on (2, 2), (6, 2) or (4, 2)
  // respectively: tested here, the usual case makes no call.
  if (v.ZonePawns() != 0 && chariots > 0 &&
      (v.AttChariotOrPawn(v.At(3, 1)) || v.AttChariotOrPawn(v.At(5, 1))))
    PawnsBesideTheCentre<kSide>(s);
  if (v.ZoneKnights() != 0 && chariots > 0 &&
      (v.AttOn(kKnight, 6, 2) || v.AttOn(kKnight, 2, 2) || v.AttOn(kKnight, 4, 2)))
    KnightsAroundThePalace<kSide>(s);

  const bool knightOnCentre =
      Twin::kBackedFileOwnKnight ? v.AttOn(kKnight, centre) : v.DefOn(kKnight, centre);
  if (chariots > 0 && knightOnCentre) BackedChariotsOnBothAdviserFiles<kSide>(s);

  if (v.ZoneKnights() != 0 && v.Empty(centre) && chariots > 0 && v.DefOn(kAdviser, left) &&
      v.DefOn(kAdviser, right)) {
    const bool firstOnRankOne = v.OnRank(8, 1);
    const bool secondOnRankOne = v.OnRank(9, 1);
    if (!firstOnRankOne && !secondOnRankOne) {
      v.Add(25);
    } else {
      if (firstOnRankOne && v.Reaches(8, centre)) v.Add(v.AtMove(100, 50));
      if (secondOnRankOne && v.Reaches(9, centre)) v.Add(v.AtMove(100, 50));
      v.Add(50);
    }
  }

  if (chariots > 0) {
    const auto& wing = cornerCannonWings<kSide>;
    const uint32_t cannonWings = wing[v.AttSquare(10)] | wing[v.AttSquare(11)];
    if ((cannonWings & 1) != 0) CornerCannonBehindEntry(v);
    if ((cannonWings & 2) != 0) CornerCannonBehindEntry(w);
  }

  if (v.Empty(centre) && v.AttOn(kPawn, front)) v.Add(v.PalaceThreat());
}

template void KingOnHomeSquareRules<kRed>(FullEvalState& s);
template void KingOnHomeSquareRules<kBlack>(FullEvalState& s);
