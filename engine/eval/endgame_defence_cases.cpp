// The case routines of the defence-only endings: the lone cannon with pawns,
// the single adviser against pieces and pawns, and the tails for cannons and
// knights that no earlier rule decided. Each writes a verdict or leaves the
// verdict at flag None. Written for red defending; black's are rank mirrors.
#include <initializer_list>
#include <utility>

#include "engine/eval/endgame.h"
#include "engine/eval/endgame_defence_only.h"

namespace defence_only {
namespace {

template <uint32_t kDef>
bool AttPawnOnAny(std::initializer_list<std::pair<int, int>> squares, bool mirrored = false) {
  for (const auto& [file, rank] : squares)
    if (View<kDef>::AttOn(mirrored ? 8 - file : file, rank, kPawn)) return true;
  return false;
}

// --- The cannon tail's fortresses -------------------------------------------

// A cannon on red's second rank beside the king, shut in by its own pawns,
// with the advisers raised: the wing form (cannon on (3, 8)); the mirrored
// form has the cannon on (5, 8).
template <uint32_t kDef>
bool ShutInWingCannon(bool mirrored) {
  using V = View<kDef>;
  auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
  if (!V::AttOn(f(3), 8, kCannon) || !(V::DefKingAt(f(3), 9) || V::DefKingAt(4, 9))) return false;
  if (V::DefOn(2, 9, kElephant) || V::DefOn(6, 9, kElephant)) return false;
  if (!V::AttOn(f(2), 8, kPawn)) return false;
  if (AttPawnOnAny<kDef>({{5, 8}, {6, 8}, {7, 8}, {8, 8}, {5, 9}}, mirrored) &&
      V::DefOn(f(5), 7, kAdviser) && V::DefOn(f(3), 7, kAdviser))
    return true;
  return !V::AttOn(f(5), 8, kPawn) && V::DefOn(f(3), 7, kAdviser) && V::DefOn(4, 8, kAdviser);
}

// A cannon on (4, 8) under the king, with pawns on both sides of it.
template <uint32_t kDef>
bool ShutInCentreCannon() {
  using V = View<kDef>;
  if (!V::AttOn(4, 8, kCannon) || !V::DefKingAt(4, 9)) return false;
  if (!V::DefOn(5, 7, kAdviser) || !V::DefOn(3, 7, kAdviser)) return false;
  if (V::DefOn(2, 9, kElephant) || V::DefOn(6, 9, kElephant)) return false;
  return ((V::AttOn(2, 8, kPawn) || V::AttOn(3, 8, kPawn)) && V::AttOn(5, 8, kPawn)) ||
         ((V::AttOn(5, 8, kPawn) || V::AttOn(6, 8, kPawn)) && V::AttOn(3, 8, kPawn));
}

// Against all four defenders: the pawns that have reached red's second rank
// around the king.
template <uint32_t kDef>
int32_t FullDefenceValue() {
  using V = View<kDef>;
  if (V::DefKingAt(4, 9) && V::AttOn(5, 8, kPawn) && V::AttOn(3, 8, kPawn)) {
    if (!V::AttOnFile(4, 4, 6, kCannon)) return 192000;
    if (V::AttKingFile() == 3 && V::Empty(3, 7)) return V::Occupied(3, 2) ? 193500 : 194000;
    if (V::AttKingFile() == 5 && V::Empty(5, 7)) return V::Occupied(5, 2) ? 193500 : 194000;
    if (V::AttKingFile() == 4) return V::Occupied(3, 0) && V::Occupied(5, 0) ? 192500 : 193000;
    return 192500;
  }
  if (V::DefKingAt(3, 9) && V::AttOn(5, 8, kPawn) && V::AttOn(2, 8, kPawn))
    return V::AttOn(6, 8, kCannon) ? 191500 : 191000;
  if (V::DefKingAt(5, 9) && V::AttOn(6, 8, kPawn) && V::AttOn(3, 8, kPawn))
    return V::AttOn(2, 8, kCannon) ? 191500 : 191000;
  if (V::DefKingAt(3, 8) && V::AttOn(5, 8, kPawn) && V::AttOn(2, 7, kPawn))
    return V::AttOn(6, 8, kCannon) ? 190500 : 190000;
  if (V::DefKingAt(5, 8) && V::AttOn(3, 8, kPawn) && V::AttOn(6, 7, kPawn))
    return V::AttOn(2, 8, kCannon) ? 190500 : 190000;
  return 0;
}

// --- The knight tail's fortresses -------------------------------------------
// They hold only against a single knight; each names a position from which
// the knight side cannot make progress.

// Which fortresses the knight tail knows. Each entry is one shape of
// position; the squares are listed in the functions below it.
//   kElephantsGuardCrossing: knight and one pawn against two elephants; the
//     pawn has not crossed on file 2 or 6 and both elephants guard its
//     crossing square ((2, 5) from (0, 7) and (4, 7), or (6, 5) from (4, 7)
//     and (8, 7)), so the pawn can never cross, even supported by the knight.
//   kKnightPinnedBeforeKing: the knight on (3, 7), (4, 7) or (5, 7) right in
//     front of the defending king with a defending adviser on (4, 8) and the
//     attacking king on the same file on rank 1 or 2 with the file clear down
//     to the knight: on files 3 and 5 the knight is pinned between the
//     kings, on file 4 it is stuck in front of the adviser.
//   kLowPawnAgainstAdvisers: knight and one pawn that has reached red's
//     second or back rank (a low or bottom pawn) against two advisers on
//     (4, 8) and (3, 9) or (5, 9), the king on (4, 9) and at least one
//     elephant: the pawn no longer attacks the palace from the front and
//     the knight alone cannot break the defence.
template <uint32_t kDef>
bool SingleKnight() {
  using V = View<kDef>;
  return V::Att(kKnight) == 1 && V::AttAttackers() == 1;
}

template <uint32_t kDef>
bool ElephantsGuardCrossing() {
  using V = View<kDef>;
  if (!SingleKnight<kDef>() || V::Att(kPawn) != 1 || V::Def(kElephant) != 2) return false;
  for (const int file : {2, 6}) {
    if (!V::AttOn(file, 3, kPawn) && !V::AttOn(file, 4, kPawn)) continue;
    if (V::DefOn(file - 2, 7, kElephant) && V::Empty(file - 1, 6) &&
        V::DefOn(file + 2, 7, kElephant) && V::Empty(file + 1, 6))
      return true;
  }
  return false;
}

template <uint32_t kDef>
bool KnightPinnedBeforeKing() {
  using V = View<kDef>;
  if (!SingleKnight<kDef>() || !V::DefOn(4, 8, kAdviser)) return false;
  for (const int file : {3, 4, 5}) {
    if (!V::AttOn(file, 7, kKnight)) continue;
    const bool kingBehind =
        file == 4 ? V::DefKingAt(4, 9)
                  : V::DefKingAt(file, 8) || (V::DefKingAt(file, 9) && V::Empty(file, 8));
    if (!kingBehind) continue;
    int kingRank;
    if (V::AttKingAt(file, 2))
      kingRank = 2;
    else if (V::AttKingAt(file, 1))
      kingRank = 1;
    else
      continue;
    bool clear = true;
    for (int r = kingRank + 1; r < 7; ++r) clear = clear && V::Empty(file, r);
    if (clear) return true;
  }
  return false;
}

template <uint32_t kDef>
bool LowPawnAgainstAdvisers() {
  using V = View<kDef>;
  if (!SingleKnight<kDef>() || V::Att(kPawn) != 1 || V::Def(kAdviser) != 2 ||
      V::Def(kElephant) == 0)
    return false;
  if (!V::DefKingAt(4, 9) || !V::DefOn(4, 8, kAdviser) ||
      !(V::DefOn(3, 9, kAdviser) || V::DefOn(5, 9, kAdviser)))
    return false;
  const PieceIndex first = V::AttPawnFirst();
  for (PieceIndex p = first; p < first + 5; ++p)
    if (posPiece[p] != 0) return V::Rank(posPiece[p]) >= 8;
  return false;
}

// The win graded by the attacker's palace: most when its king stands on the
// centre file behind neither an adviser on (4, 1) nor an elephant on (4, 2).
template <uint32_t kDef>
int32_t PalaceLadder(int32_t base) {
  using V = View<kDef>;
  if (V::AttKingFile() != 4) return base;
  if (V::AttOn(4, 1, kAdviser)) return base + 500;
  if (V::AttOn(4, 2, kElephant)) return base + 1000;
  return base + 1500;
}

}  // namespace

template <uint32_t kDef>
void CannonCase(EndgameVerdict* v) {
  using V = View<kDef>;
  if (V::DefKingAt(4, 9)) {
    const bool aims = V::AttCannonAimsDownCentre();
    if (V::DefOn(4, 8, kAdviser) && V::DefOn(5, 9, kAdviser) && V::DefOn(4, 7, kElephant) && aims &&
        V::AttOn(3, 8, kPawn)) {
      V::AttWins(V::AttKingFile() == 3 ? 199500 : 199000, v);
      return;
    }
    if (V::DefOn(4, 8, kAdviser) && V::DefOn(3, 9, kAdviser) && V::DefOn(4, 7, kElephant) && aims &&
        V::AttOn(5, 8, kPawn)) {
      V::AttWins(V::AttKingFile() == 5 ? 199500 : 199000, v);
      return;
    }
    const bool wingsHeld = (V::Occupied(2, 9) || V::Occupied(2, 5) || V::Occupied(0, 7)) &&
                           (V::Occupied(6, 5) || V::Occupied(8, 7) || V::Occupied(6, 9));
    if (V::DefOn(5, 9, kAdviser) && V::DefOn(3, 9, kAdviser) && V::Empty(4, 7) &&
        (aims || wingsHeld)) {
      int k =
          V::AttOn(5, 2, kAdviser) || V::AttOn(3, 2, kAdviser) || V::AttOn(4, 1, kAdviser) ? 3 : 2;
      if (!V::AttOn(4, 2, kElephant)) --k;
      if (V::Rank(V::AttKing()) != 0) --k;
      for (const int file : {3, 5}) {
        if (V::AttOn(file, 8, kPawn)) {
          V::AttWins((V::AttKingFile() == file ? 198500 : 198000) - 500 * k, v);
          return;
        }
      }
    }
  }
  if (V::Att(kPawn) <= 1 && V::Att(kAdviser) == 0 && V::Att(kElephant) == 0 &&
      V::Def(kElephant) >= 1 && V::Def(kAdviser) == 0) {
    V::DefCannotLose(v);
    return;
  }
  if (V::Def(kAdviser) != 0 || V::Att(kAdviser) == 0) return;
  // The first pawn still short of red's back rank; with none, only a
  // single elephant is worth the attack.
  PieceIndex pawn = 0;
  const PieceIndex first = V::AttPawnFirst();
  for (PieceIndex p = first; p < first + 5 && pawn == 0; ++p)
    if (posPiece[p] != 0 && V::AttPawnRankCode(posPiece[p]) > 1) pawn = p;
  if (pawn == 0 && V::Def(kElephant) != 1) return;
  const bool pawnOffCentre = pawn == 0 || FileOf(posPiece[pawn]) != 4;
  int k = V::Att(kElephant) + (V::AttKingAt(4, 2) && pawnOffCentre ? 7 : 8);
  const Square cannon = posPiece[V::FirstOnBoard(V::AttCannon(0))];
  if (cannon != 0 && V::Rank(cannon) <= 1) --k;
  V::AttWins(200000 - 500 * k, v);
}

template <uint32_t kDef>
void OneDefenderCase(EndgameVerdict* v) {
  using V = View<kDef>;
  if (V::Att(kPawn) == 0) return;
  bool unadvanced = false;
  const PieceIndex first = V::AttPawnFirst();
  for (PieceIndex p = first; p < first + 5; ++p)
    if (posPiece[p] != 0 && V::AttPawnRankCode(posPiece[p]) >= 5) unadvanced = true;
  if (unadvanced) {
    if (V::AttOn(4, 7, kPawn)) V::AttWins(196500, v);
    return;
  }
  if (!V::AttOn(4, 7, kPawn) || !V::AttOn(4, 2, kElephant)) return;
  if (!V::AttKingAt(4, 0) && !V::AttKingAt(4, 1)) {
    V::AttWins(197000, v);
  } else if (V::DefOn(3, 9, kAdviser)) {
    if (V::AttOn(5, 7, kPawn)) V::AttWins(198500, v);
  } else if (!V::DefOn(5, 9, kAdviser) && !V::DefOn(4, 8, kAdviser)) {
    V::AttWins(197500, v);
  } else if (V::DefOn(5, 9, kAdviser)) {
    if (V::AttOn(3, 7, kPawn)) V::AttWins(198500, v);
  }
}

template <uint32_t kDef>
void CannonTail(EndgameVerdict* v) {
  using V = View<kDef>;
  if (V::Def(kAdviser) == 2 && V::Def(kElephant) >= 1 &&
      (ShutInWingCannon<kDef>(false) || ShutInCentreCannon<kDef>() ||
       ShutInWingCannon<kDef>(true))) {
    V::DefCannotLose(v);
    return;
  }
  const int32_t d = V::Defenders();
  if (d == 4) {
    const int32_t x = FullDefenceValue<kDef>();
    if (x != 0) {
      V::AttWins(x, v);
      return;
    }
  }
  int32_t n = 0;
  const int kingRank = V::Rank(V::DefKing());
  const PieceIndex first = V::AttPawnFirst();
  for (PieceIndex p = first; p < first + 5; ++p)
    if (posPiece[p] != 0 && V::Rank(posPiece[p]) <= kingRank) ++n;
  if (n < 2) return;
  int32_t right, centre, left;
  V::AttPawnWings(&right, &centre, &left);
  if ((right >= 1 && (centre > 0 || left > 0)) || (centre > 0 && left > 0))
    V::AttWins(193300 - 200 * d, v);
  else if (V::UsefulAttPawns(3) >= 1 && V::Att(kAdviser) >= 1)
    V::AttWins(190800 - 200 * d, v);
}

template <uint32_t kDef>
void KnightTail(EndgameVerdict* v) {
  using V = View<kDef>;
  if (ElephantsGuardCrossing<kDef>() || KnightPinnedBeforeKing<kDef>() ||
      LowPawnAgainstAdvisers<kDef>()) {
    V::DefCannotLose(v);
    return;
  }
  int32_t base;
  if (V::UsefulAttPawns(1) < 2 && V::Def(kElephant) == 0)
    base = 192500;
  else if (V::Defenders() < 3)
    base = V::DefPawn() == 0 ? 191000 : 190500;
  else
    base = 192000;
  V::AttWins(PalaceLadder<kDef>(base), v);
}

template void CannonCase<kRed>(EndgameVerdict*);
template void CannonCase<kBlack>(EndgameVerdict*);
template void OneDefenderCase<kRed>(EndgameVerdict*);
template void OneDefenderCase<kBlack>(EndgameVerdict*);
template void CannonTail<kRed>(EndgameVerdict*);
template void CannonTail<kBlack>(EndgameVerdict*);
template void KnightTail<kRed>(EndgameVerdict*);
template void KnightTail<kBlack>(EndgameVerdict*);

}  // namespace defence_only

namespace {

// The case routines on their own: flag None first, then the routine.
void RunCase(void (*routine)(EndgameVerdict*), EndgameVerdict* verdict) {
  ClearVerdict(verdict);
  routine(verdict);
}

}  // namespace

void DefenceOnlyCannonCaseRed(EndgameVerdict* v) { RunCase(defence_only::CannonCase<kRed>, v); }
void DefenceOnlyCannonCaseBlack(EndgameVerdict* v) { RunCase(defence_only::CannonCase<kBlack>, v); }
void DefenceOnlyOneDefenderCaseRed(EndgameVerdict* v) {
  RunCase(defence_only::OneDefenderCase<kRed>, v);
}
void DefenceOnlyOneDefenderCaseBlack(EndgameVerdict* v) {
  RunCase(defence_only::OneDefenderCase<kBlack>, v);
}
void DefenceOnlyCannonTailRed(EndgameVerdict* v) { RunCase(defence_only::CannonTail<kRed>, v); }
void DefenceOnlyCannonTailBlack(EndgameVerdict* v) { RunCase(defence_only::CannonTail<kBlack>, v); }
void DefenceOnlyKnightTailRed(EndgameVerdict* v) { RunCase(defence_only::KnightTail<kRed>, v); }
void DefenceOnlyKnightTailBlack(EndgameVerdict* v) { RunCase(defence_only::KnightTail<kBlack>, v); }
