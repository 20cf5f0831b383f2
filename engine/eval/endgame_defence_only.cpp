// Endings of a side without knight, cannon or chariot and with at most one
// pawn against a side with attacking pieces. The defending side's loss is
// graded by its remaining advisers and elephants and by the attacker's
// material; known fortresses give "cannot lose"; anything else is marked
// drawish. The rules are written for red defending (ranks as red's view of
// the board, rank 0 black's back rank); black's evaluator is the rank mirror.
#include "engine/eval/endgame_defence_only.h"

#include <cstddef>

#include "engine/eval/endgame.h"

namespace defence_only {
namespace {

// The attacking side's material, by the kinds of force the rules name.
struct Force {
  int32_t knights, cannons, chariots;
  bool KnightsOnly() const { return knights >= 1 && cannons == 0 && chariots == 0; }
  bool LoneCannon() const { return cannons == 1 && knights == 0 && chariots == 0; }
  bool TwoCannons() const { return cannons == 2 && knights == 0 && chariots == 0; }
  bool KnightAndCannon() const { return knights >= 1 && cannons >= 1 && chariots == 0; }
};

template <uint32_t kDef>
Force AttackingForce() {
  using V = View<kDef>;
  return {V::Att(kKnight), V::Att(kCannon), V::Att(kChariot)};
}

// The defending pawn's rank as the rules count it; -1 without a pawn.
template <uint32_t kDef>
int DefPawnRank() {
  using V = View<kDef>;
  const PieceIndex p = V::DefPawn();
  return p == 0 ? -1 : V::Rank(posPiece[p]);
}

// The ladder by the defending pawn's advance: while the pawn is still on
// rank 3 or further back it may yet matter and nothing is decided; on ranks
// 2, 1 and 0 the attacker wins with 200,000 - 500k.
template <uint32_t kDef>
void PawnRankLadder(int kRank2, int kRank1, int kRank0, EndgameVerdict* v) {
  using V = View<kDef>;
  if (V::DefPawnNotBeyond(3) != 0) return;
  const int rank = DefPawnRank<kDef>();
  const int k = rank == 2 ? kRank2 : rank == 1 ? kRank1 : kRank0;
  V::AttWins(200000 - 500 * k, v);
}

// No attacking cannon on (4, lo) .. (4, hi).
template <uint32_t kDef>
bool NoCannonOnCentreFile(int lo, int hi) {
  return !View<kDef>::AttOnFile(4, lo, hi, kCannon);
}

// Exactly one attacking adviser and the defending pawn stuck beside the
// attacker's palace corner: the fortresses that hold against a cannon with a
// single adviser.
template <uint32_t kDef>
bool OneAdviserPawnFortress() {
  using V = View<kDef>;
  if (V::Att(kAdviser) != 1) return false;
  if (V::DefOn(4, 2, kPawn)) return true;
  if (!V::AttKingAt(4, 1)) return false;
  return (V::DefOn(5, 2, kPawn) && V::AttOn(5, 0, kAdviser)) ||
         (V::DefOn(3, 2, kPawn) && V::AttOn(3, 0, kAdviser));
}

// --- A lone knight without pawns -------------------------------------------

// The knight in front of the defending king with the attacking king behind
// it on the same file.
template <uint32_t kDef>
bool KnightBeforeKingSetUp() {
  using V = View<kDef>;
  for (const int file : {3, 5}) {
    if ((V::DefKingAt(file, 8) || V::DefKingAt(file, 9)) && V::AttOn(file, 7, kKnight) &&
        V::Defenders() > 0 && V::AttKingFacesDownFile(file))
      return true;
  }
  return V::AttOn(4, 7, kKnight) && V::AttKingFacesDownFile(4) &&
         (V::DefKingAt(4, 8) || (V::DefKingAt(4, 9) && V::Empty(4, 8)));
}

template <uint32_t kDef>
void LoneKnightStep(EndgameVerdict* v) {
  using V = View<kDef>;
  if (V::Def(kElephant) == 2 && V::Def(kAdviser) >= 1) {
    V::DefCannotLose(v);
    return;
  }
  if (V::DefPawn() == 0) return;
  if (V::Att(kAdviser) > 0 && V::DefOn(4, 2, kPawn)) return;
  if (V::UsefulDefPawns(1) != 0 && KnightBeforeKingSetUp<kDef>() && V::Att(kAdviser) == 0 &&
      V::Att(kElephant) == 0) {
    V::AttWins(193000, v);
    return;
  }
  V::DefCannotLose(v);
}

// --- A lone cannon -----------------------------------------------------------

struct LadderSquare {
  int file, rank, value;
};

// Values of the attacking pawns against the central-cannon set-up with the
// attacking king on file 5 and a defending adviser on (3, 9); the set-up with
// the king on file 3 reads every file mirrored (file f becomes 8 - f).
// The chain: the least advanced pawn on the king's wing (files 6 to 8).
constexpr LadderSquare kChainLadder[] = {
    {8, 3, 195000}, {8, 4, 195000}, {8, 5, 195000}, {7, 5, 195000}, {6, 5, 195000},
    {6, 6, 195500}, {7, 6, 195500}, {8, 6, 195500}, {6, 7, 196000}, {7, 7, 196000},
    {8, 7, 196000}, {6, 8, 196500}, {7, 8, 196500}, {8, 8, 196500},
};
// Pawns on the far wing (files 0 to 3), most valuable first.
constexpr LadderSquare kFarWingLadder[] = {
    {0, 6, 199000}, {1, 7, 199000}, {2, 7, 198500}, {1, 6, 198500}, {0, 5, 198500}, {2, 6, 198000},
    {1, 5, 198000}, {2, 5, 198000}, {3, 5, 198000}, {3, 6, 198000}, {3, 7, 198000},
};

// The value of the first square of the table holding an attacking pawn, 0
// when none does.
template <uint32_t kDef, size_t N>
int32_t FirstLadderValue(const LadderSquare (&table)[N], bool mirrored) {
  using V = View<kDef>;
  for (const LadderSquare& e : table) {
    const int file = mirrored ? 8 - e.file : e.file;
    if (V::AttOn(file, e.rank, kPawn)) return e.value;
  }
  return 0;
}

template <uint32_t kDef>
void CentralCannonLadder(bool mirrored, EndgameVerdict* v) {
  using V = View<kDef>;
  auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
  const bool farElephant =
      V::DefOn(f(2), 5, kElephant) || V::DefOn(f(0), 7, kElephant) || V::DefOn(f(2), 9, kElephant);
  if ((V::Def(kElephant) == 1 || farElephant) &&
      (V::AttOn(f(8), 9, kPawn) || V::AttOn(f(7), 9, kPawn) || V::AttOn(f(6), 9, kPawn))) {
    V::AttWins(199000, v);
    return;
  }
  int32_t x = FirstLadderValue<kDef>(kChainLadder, mirrored);
  if (x == 0 && !mirrored && V::AttOn(3, 8, kPawn)) x = 197000;
  if (x == 0 && V::UsefulAttPawns(2) >= 1 && farElephant)
    x = FirstLadderValue<kDef>(kFarWingLadder, mirrored);
  if (x != 0) V::AttWins(x, v);
}

template <uint32_t kDef>
void LoneCannonStep(EndgameVerdict* v) {
  using V = View<kDef>;
  const bool attPawns = V::Att(kPawn) > 0;
  if (attPawns && V::DefPawn() == 0) {
    if (V::Att(kPawn) == 1 && V::Def(kElephant) == 2 && V::DefOn(4, 8, kAdviser)) {
      auto pawnOnRows = [](int lo8, int hi8, int lo9, int hi9) {
        for (int file = lo8; file <= hi8; ++file)
          if (V::AttOn(file, 8, kPawn)) return true;
        for (int file = lo9; file <= hi9; ++file)
          if (V::AttOn(file, 9, kPawn)) return true;
        return false;
      };
      if ((V::DefOn(3, 9, kAdviser) && pawnOnRows(0, 3, 0, 2)) ||
          (V::DefOn(5, 9, kAdviser) && pawnOnRows(5, 8, 6, 8))) {
        V::DefCannotLose(v);
        return;
      }
    }
    if (V::DefKingAt(4, 9) && V::DefOn(4, 8, kAdviser) && V::DefOn(4, 7, kElephant) &&
        V::AttCannonAimsDownCentre()) {
      if (V::AttKingFacesDownFile(5) && V::DefOn(3, 9, kAdviser))
        CentralCannonLadder<kDef>(false, v);
      else if (V::AttKingFacesDownFile(3) && V::DefOn(5, 9, kAdviser))
        CentralCannonLadder<kDef>(true, v);
      if (Decided(v)) return;
    }
  }
  if (!attPawns) {
    // A cannon without pawns and without an adviser to screen it cannot
    // break a sound defence; nor can it win against two elephants or a
    // compact three-piece defence.
    const bool looseAdvisers = !V::DefOn(5, 9, kAdviser) && !V::DefOn(3, 9, kAdviser);
    if (V::Att(kAdviser) == 0 &&
        (V::Defenders() == 4 || V::Def(kAdviser) < 2 || looseAdvisers || V::Def(kElephant) == 2 ||
         (V::Defenders() == 3 && V::DefOn(4, 8, kAdviser)))) {
      V::DefCannotLose(v);
      return;
    }
  } else {
    CannonCase<kDef>(v);
    if (Decided(v)) return;
  }
  // Two elephants joined on the centre in front of the king hold against a
  // cannon with advisers.
  if (!attPawns && V::Def(kAdviser) == 0 && V::Def(kElephant) == 2 && V::DefOn(4, 7, kElephant) &&
      V::Rank(V::DefKing()) >= 8 &&
      ((V::Empty(5, 8) && V::DefOn(6, 9, kElephant)) ||
       (V::Empty(3, 8) && V::DefOn(2, 9, kElephant)) || V::DefOn(6, 5, kElephant) ||
       V::DefOn(2, 5, kElephant)))
    V::DefCannotLose(v);
}

// --- By the number of defenders ---------------------------------------------

template <uint32_t kDef>
void FourDefenders(const Force& a, bool pawn, int32_t u, EndgameVerdict* v) {
  using V = View<kDef>;
  if (a.chariots == 0) {
    if (a.KnightAndCannon())
      V::AttWins(pawn ? 194500 : 195000, v);
    else if (a.cannons >= 2 && u >= 1)
      V::AttWins(pawn ? 192500 : 193000, v);
    else if (a.knights >= 2 || (a.knights >= 1 && u == 2))
      V::AttWins(190500, v);
    else if (a.knights >= 1 && u >= 3)
      V::AttWins(191000, v);
    return;
  }
  if (a.chariots >= 2 || a.knights + a.cannons >= 1) {
    V::AttWins(195000, v);
    return;
  }
  if (u >= 1) {
    V::AttWins(194500, v);
    return;
  }
  // Both kings on one side file, a defending adviser in front of the king
  // and the chariot out on the wing.
  const int chariotFile = FileOf(posPiece[V::FirstOnBoard(V::AttChariot(0))]);
  for (const bool mirrored : {false, true}) {
    auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
    if (V::DefKingFile() != f(5) || V::AttKingFile() != f(5) || !V::DefOn(f(5), 7, kAdviser) ||
        (chariotFile != f(7) && chariotFile != f(8)))
      continue;
    if (V::DefOn(4, 8, kAdviser)) {
      V::AttWins(192000, v);
      return;
    }
    if (V::DefOn(f(3), 9, kAdviser) || V::DefOn(f(3), 7, kAdviser)) {
      V::AttWins(191500, v);
      return;
    }
  }
  if (V::Att(kPawn) == 0)
    V::DefCannotLose(v);
  else
    V::AttWins(191000, v);
}

template <uint32_t kDef>
void ThreeDefenders(const Force& a, bool pawn, EndgameVerdict* v) {
  using V = View<kDef>;
  if (a.chariots >= 1)
    V::AttWins(pawn ? 197000 : 197500, v);
  else if (a.KnightAndCannon())
    V::AttWins(pawn ? 195000 : 195500, v);
  else if (a.cannons >= 2 && a.knights == 0 && V::Att(kPawn) >= 1)
    V::AttWins(pawn ? 193500 : 194000, v);
}

template <uint32_t kDef>
void TwoDefenders(const Force& a, bool pawn, EndgameVerdict* v) {
  using V = View<kDef>;
  if (a.chariots >= 1)
    V::AttWins(pawn ? 197500 : 198000, v);
  else if (V::Def(kAdviser) == 2 && a.LoneCannon() && V::Att(kAdviser) >= 1 && !pawn)
    V::AttWins(192500, v);
  else if (V::Def(kAdviser) == 0 && a.LoneCannon() && V::AttOn(4, 1, kAdviser) &&
           (V::DefKingAt(3, 9) || V::DefKingAt(5, 9)))
    V::AttWins(199000, v);
  else if (a.KnightAndCannon())
    V::AttWins(pawn ? 195500 : 196000, v);
}

template <uint32_t kDef>
void OneDefender(const Force& a, bool pawn, EndgameVerdict* v) {
  using V = View<kDef>;
  if (a.chariots == 0 && V::Att(kElephant) >= 1 && V::Def(kElephant) == 0) {
    OneDefenderCase<kDef>(v);
    if (Decided(v)) return;
  }
  if (a.chariots >= 1) {
    V::AttWins(pawn ? 198000 : 198500, v);
    return;
  }
  const bool adviser = V::Def(kAdviser) == 1;
  const bool cannonWithAdviser = a.LoneCannon() && V::Att(kAdviser) >= 1;
  if (adviser && !pawn && cannonWithAdviser) {
    V::AttWins(196500, v);
  } else if (adviser && !pawn && a.KnightsOnly()) {
    V::AttWins(V::AttKingFile() == 4 ? 198000 : 197500, v);
  } else if (adviser && (a.TwoCannons() || cannonWithAdviser)) {
    if (!pawn)
      V::AttWins(196000, v);
    else
      PawnRankLadder<kDef>(11, 10, 9, v);
  } else if (!adviser && (a.TwoCannons() || (cannonWithAdviser && V::AttPawnNotBeyond(2) != 0))) {
    if (pawn) {
      PawnRankLadder<kDef>(12, 11, 10, v);
      return;
    }
    int32_t m = 0;
    if (V::AttKingAt(4, 2) && NoCannonOnCentreFile<kDef>(3, 6)) ++m;
    const Square c0 = posPiece[V::AttCannon(0)];
    const Square c1 = posPiece[V::AttCannon(1)];
    if (c0 != 0 && V::Rank(c0) <= 1) ++m;
    if (c1 != 0 && V::Rank(c1) <= 1) ++m;
    if (c0 != 0 && c1 != 0 && RankOf(c0) != RankOf(c1)) ++m;
    V::AttWins(195500 + 50 * m, v);
  } else if (a.KnightAndCannon()) {
    V::AttWins(pawn ? 196000 : 196500, v);
  } else if (!adviser && cannonWithAdviser) {
    if (pawn) {
      if (OneAdviserPawnFortress<kDef>())
        V::DefCannotLose(v);
      else
        PawnRankLadder<kDef>(9, 8, 7, v);
      return;
    }
    if (V::AttKingAt(4, 2) && V::Empty(4, 3) && V::Empty(4, 4) && V::Empty(4, 5)) {
      V::AttWins(197000, v);
      return;
    }
    int k = 9;
    if (V::DefKingFile() != 4 && V::AttKingAt(4, 2) && NoCannonOnCentreFile<kDef>(3, 6))
      k = 7;
    else if (V::AttOn(4, 1, kAdviser) && V::AttOn(4, 0, kCannon))
      k = 8;
    V::AttWins(200000 - 500 * k, v);
  }
}

template <uint32_t kDef>
void NoDefenders(const Force& a, bool pawn, EndgameVerdict* v) {
  using V = View<kDef>;
  if (a.chariots >= 1) {
    V::AttWins(pawn ? 198500 : 199000, v);
  } else if (a.KnightsOnly() && !pawn) {
    V::AttWins(V::AttKingFile() == 4 ? 198500 : 198000, v);
  } else if (a.KnightAndCannon() && pawn) {
    V::AttWins(196500, v);
  } else if (a.TwoCannons()) {
    if (!pawn)
      V::AttWins(197500, v);
    else
      PawnRankLadder<kDef>(8, 7, 6, v);
  } else if (a.LoneCannon() && V::Att(kAdviser) >= 1) {
    if (!pawn)
      V::AttWins(197500, v);
    else if (OneAdviserPawnFortress<kDef>())
      V::DefCannotLose(v);
    else
      PawnRankLadder<kDef>(8, 7, 6, v);
  }
}

}  // namespace

template <uint32_t kDef>
void EvalDefenceOnly(EndgameVerdict* v) {
  using V = View<kDef>;
  ClearVerdict(v);
  const Force a = AttackingForce<kDef>();
  const bool pawn = V::DefPawn() != 0;
  const int32_t u = V::UsefulAttPawns(1);

  if (a.chariots == 0 && a.cannons == 0 && a.knights == 1 && V::Att(kPawn) == 0) {
    LoneKnightStep<kDef>(v);
    if (Decided(v)) return;
  }
  if (a.LoneCannon()) {
    LoneCannonStep<kDef>(v);
    if (Decided(v)) return;
  }

  switch (V::Defenders()) {
    case 4:
      FourDefenders<kDef>(a, pawn, u, v);
      break;
    case 3:
      ThreeDefenders<kDef>(a, pawn, v);
      break;
    case 2:
      TwoDefenders<kDef>(a, pawn, v);
      break;
    case 1:
      OneDefender<kDef>(a, pawn, v);
      break;
    default:
      NoDefenders<kDef>(a, pawn, v);
      break;
  }
  if (Decided(v)) return;

  if (a.cannons >= 1) {
    if (u >= 1) {
      CannonTail<kDef>(v);
      if (Decided(v)) return;
    }
    if (V::Att(kAdviser) == 0 && V::Def(kAdviser) == 2 && pawn) {
      const int rank = DefPawnRank<kDef>();
      if ((V::Att(kElephant) > 0 && V::UsefulDefPawns(1) == 1 && rank >= 3) ||
          (V::Att(kElephant) == 0 && rank >= 2)) {
        V::DefCannotLose(v);
        return;
      }
    }
  }

  if (a.knights >= 1) {
    if (u >= 1 || (V::Att(kPawn) > 0 && V::UsefulDefPawns(1) == 0)) {
      KnightTail<kDef>(v);
      if (Decided(v)) return;
    }
    if (pawn && V::DefOn(4, 2, kPawn) && V::Att(kAdviser) == 2 &&
        V::AttKingFile() != V::DefKingFile()) {
      V::AttWins(196500, v);
      return;
    }
  }

  if (V::AttAttackers() >= 2) {
    V::AttWins(pawn ? 188500 : 189000, v);
    return;
  }
  v->score = 0;
  v->flag = kVerdictDrawish;
}

template void EvalDefenceOnly<kRed>(EndgameVerdict* verdict);
template void EvalDefenceOnly<kBlack>(EndgameVerdict* verdict);

}  // namespace defence_only

void EvalDefenceOnlyRed(EndgameVerdict* verdict) { defence_only::EvalDefenceOnly<kRed>(verdict); }
void EvalDefenceOnlyBlack(EndgameVerdict* verdict) {
  defence_only::EvalDefenceOnly<kBlack>(verdict);
}
