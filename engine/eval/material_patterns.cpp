// Material recipes of the full evaluator: which pairings of pieces can still
// win, which defensive set-ups hold, and how far a reduced-material score is
// damped toward a draw. The low-material bonuses run inside the set-up; the
// term group (facing chariots, chariot counts and the one-attacker endings)
// runs right after the wing attack.
#include <bit>
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

namespace {

struct SideMaterial {
  int32_t pawns, advisers, elephants, knights, cannons, chariots;
  int32_t attackers;
};

SideMaterial MaterialOf(uint32_t side) {
  const uint32_t* c = pieceCount[side];
  return {static_cast<int32_t>(c[kPawn - 1]),    static_cast<int32_t>(c[kAdviser - 1]),
          static_cast<int32_t>(c[kElephant - 1]), static_cast<int32_t>(c[kKnight - 1]),
          static_cast<int32_t>(c[kCannon - 1]),   static_cast<int32_t>(c[kChariot - 1]),
          static_cast<int32_t>(attackerCount[side])};
}

// Side-relative access to the working values: kUs is the side a rule is
// told for, kThem the other.
template <uint32_t kUs>
struct View {
  static constexpr uint32_t kThem = 1 - kUs;
  static int32_t& Total(FullEvalState& s) { return kUs == kRed ? s.redTotal : s.blackTotal; }
  static int32_t& TheirTotal(FullEvalState& s) {
    return kUs == kRed ? s.blackTotal : s.redTotal;
  }
  static int32_t ZonePawns(const FullEvalState& s) {
    return kUs == kRed ? s.redZonePawns : s.blackZonePawns;
  }
  static int32_t TheirZonePawns(const FullEvalState& s) {
    return kUs == kRed ? s.blackZonePawns : s.redZonePawns;
  }
  static int32_t ZoneKnights(const FullEvalState& s) {
    return kUs == kRed ? s.redZoneKnights : s.blackZoneKnights;
  }
  static int32_t TheirZoneKnights(const FullEvalState& s) {
    return kUs == kRed ? s.blackZoneKnights : s.redZoneKnights;
  }
  static int32_t Strength(const FullEvalState& s) {
    return kUs == kRed ? s.redAttackStrength : s.blackAttackStrength;
  }
  static int32_t TheirStrength(const FullEvalState& s) {
    return kUs == kRed ? s.blackAttackStrength : s.redAttackStrength;
  }
  static int32_t TheyCanWin(const FullEvalState& s) {
    return kUs == kRed ? s.blackCanWin : s.redCanWin;
  }
  // (file, rank) of a rule told for red; rank-mirrored for black.
  static Square At(int file, int rank) { return MakeSquare(file, kUs == kRed ? rank : 9 - rank); }
  static uint32_t Our(uint32_t type) { return type + 7 * kUs; }
  static uint32_t Their(uint32_t type) { return type + 7 * kThem; }
  static Square OurKing() { return kUs == kRed ? *redKingSquarePtr : *blackKingSquarePtr; }
  static PieceIndex OurPiece(PieceIndex redIndex) { return redIndex + 16 * kUs; }
  static PieceIndex TheirPiece(PieceIndex redIndex) { return redIndex + 16 * kThem; }
  static int32_t UsefulPawns(int32_t n) {
    return kUs == kRed ? CountUsefulPawnsRed(n) : CountUsefulPawnsBlack(n);
  }
  static int32_t TheirUsefulPawns(int32_t n) {
    return kUs == kRed ? CountUsefulPawnsBlack(n) : CountUsefulPawnsRed(n);
  }
  static int32_t CrossedPawns() {
    return kUs == kRed ? CountCrossedPawnsRed() : CountCrossedPawnsBlack();
  }
  static int32_t TheirCrossedPawns() {
    return kUs == kRed ? CountCrossedPawnsBlack() : CountCrossedPawnsRed();
  }
};

// The square of the first living piece of a pair (red indices first, first+1).
inline Square FirstLiving(PieceIndex first) {
  return posPiece[first] != 0 ? posPiece[first] : posPiece[first + 1];
}

// Multiplies the working balance and both totals by k/n (each toward zero)
// and ends the term groups.
void Damp(FullEvalState& s, int32_t k, int32_t n) {
  s.balance = s.balance * k / n;
  s.redTotal = s.redTotal * k / n;
  s.blackTotal = s.blackTotal * k / n;
  s.finalSumNow = true;
}

// ---------------------------------------------------------------------------
// Low-material bonuses of the set-up
// ---------------------------------------------------------------------------

// Both sides' material, read once by MaterialPatternsLowMaterial and by the
// few-attacker recipes of the term group and handed to each of their rules:
// held in the caller's frame, it need not be read again after each total a
// rule adds to (a store to a total could alias the piece counts).
using Material = SideMaterial[2];

// They are left with a weak attacking pair (two cannons without knight or
// pawn, or two knights without cannon).
template <uint32_t kUs>
void WeakPairOpposite(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  const bool weakPair = (them.cannons == 2 && them.knights == 0 && them.pawns == 0) ||
                        (them.cannons == 0 && them.knights == 2);
  if (!weakPair || them.chariots > 1 || them.chariots > us.chariots) return;
  if (us.cannons == 1 && us.knights == 1)
    V::Total(s) += 100;
  else
    V::Total(s) += them.knights == 2 ? 50 : 66;
}

// kUs attacks thinly (no knight, little strength); the other side gains.
template <uint32_t kUs>
void ThinAttack(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (!(V::Strength(s) <= 15 && V::TheyCanWin(s) != 0 && them.attackers > 0 && us.knights == 0))
    return;
  if (us.chariots == 0 && us.cannons > 0 &&
      (them.chariots > 0 || ((them.elephants == 0 || them.advisers == 0) && them.knights > 0))) {
    const int32_t theirStrength = V::TheirStrength(s);
    if (theirStrength > 11) V::TheirTotal(s) += 3 * theirStrength + (us.pawns == 0 ? 100 : 0);
    const uint32_t theirAdviser = V::Their(kAdviser);
    if (V::ZonePawns(s) == 0 && typeBoard[V::At(4, 1)] == theirAdviser &&
        (typeBoard[V::At(3, 2)] == theirAdviser || typeBoard[V::At(5, 2)] == theirAdviser))
      V::TheirTotal(s) += 33;
  }
  if (them.chariots == 1 && us.cannons == 1 && them.attackers < us.attackers)
    V::TheirTotal(s) += 100;
}

// Endings at the middlegame level 0, told for kUs gaining.
template <uint32_t kUs>
void ReducedMaterialPairs(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  // Chariot, knight and cannon against a chariot with one minor piece.
  if (them.attackers <= 2 && them.chariots == 1 && us.chariots == 1 && us.knights == 1 &&
      us.cannons == 1 && them.knights + them.cannons == 1) {
    if (V::TheirZonePawns(s) == 0 && them.pawns < 2) V::Total(s) += 100;
    if (V::ZoneKnights(s) > 0) V::Total(s) += 100;
  }
  // Chariot, knight and cannon against two cannons.
  if (them.attackers <= 3 && them.cannons == 2 && us.chariots > 0 && us.knights > 0 &&
      us.cannons > 0)
    V::Total(s) += 50;
  // Chariot and knight against a lone chariot.
  if (them.attackers == 1 && them.chariots == 1 && us.chariots == 1 && us.knights == 1)
    V::Total(s) += V::ZoneKnights(s) > 0 ? 200 : 100;
  // The same without pawns, against a lone chariot with both elephants.
  if (us.pawns == 0 && them.pawns == 0 && them.attackers == 1 && them.chariots == 1 &&
      us.attackers == 2 && us.chariots == 1 && us.knights == 1 && them.elephants == 2)
    V::TheirTotal(s) += 150;
}

// Knights alone on both sides, full advisers, few pawns: two thirds of the
// balance.
void KnightEndingBalance(FullEvalState& s, const Material& m) {
  const SideMaterial& r = m[kRed];
  const SideMaterial& b = m[kBlack];
  // A cannon or chariot on the board rules the ending out: the usual case,
  // tested alone and first.
  if (r.cannons + r.chariots + b.cannons + b.chariots != 0) [[likely]]
    return;
  if (r.attackers <= 2 && b.attackers <= 2 && r.knights == b.knights && r.advisers == 2 &&
      b.advisers == 2 && r.pawns <= 2 && b.pawns <= 2 && r.pawns - b.pawns <= 1 &&
      b.pawns - r.pawns <= 1)
    s.balance = 2 * s.balance / 3;
}

// Fixed material pairings, told for kUs gaining; at every middlegame level.
template <uint32_t kUs>
void FixedPairings(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  // Two chariots and two cannons against two chariots and two knights.
  if (them.chariots == 2 && them.knights == 2 && them.cannons == 0 && us.chariots == 2 &&
      us.cannons == 2 && us.knights == 0 && V::TheirZoneKnights(s) == 0)
    V::Total(s) += 100;
  // Chariot and knight against a knight and two cannons.
  if (us.chariots == 1 && us.knights == 1 && us.cannons == 0 && them.knights == 1 &&
      them.cannons == 2 && them.chariots == 0 && us.pawns > 0)
    V::Total(s) += us.pawns >= 2 ? 200 : 100;
}

// A lone chariot with pawns against a knight and two cannons.
template <uint32_t kUs>
void LoneChariotAgainstThreeMinors(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (!(us.attackers == 1 && us.chariots == 1 && them.knights == 1 && them.cannons == 2 &&
        them.chariots == 0 && us.pawns > 0))
    return;
  if (!(them.pawns == 0 || (V::TheirCrossedPawns() <= 1 && V::TheirZonePawns(s) == 0))) return;
  const int32_t n = V::CrossedPawns();
  if (n > 0) V::Total(s) += 200 - 100 * them.advisers + 50 * n;
  V::Total(s) += 50 * us.pawns + 100;
}

// ---------------------------------------------------------------------------
// Term group
// ---------------------------------------------------------------------------

// The rank of the one man between a red chariot on rs and a black one on bs
// (0 when taken) that stand on one file, the black one nearer black's back
// rank; -1 when they do not or when the count of men between is not one.
// Tested before the call, as most pairs stand apart.
// Two playing squares share a file when they agree above the low four bits
// (a square is 16 * (file + 2) + rank + 2); square 0, a taken chariot, shares
// no file with a playing square, and two taken ones are caught by bs == 0.
inline bool SameFileOrBothTaken(Square a, Square b) { return (a ^ b) < 16u; }

inline int32_t ManBetweenFacingChariots(Square rs, Square bs) {
  if (!SameFileOrBothTaken(rs, bs) || bs == 0 || bs > rs) return -1;
  // The occupied ranks strictly between the two, from the file's occupancy
  // mask (bit 1 << rank per occupied square).
  const uint32_t below = fileMaskBit[rs] - 1u;
  const uint32_t upToBlack = 2u * fileMaskBit[bs] - 1u;
  const uint32_t men = fileOccupancy[FileOf(rs)] & below & ~upToBlack;
  // One bit set (a popcount would be a library call without a target ISA).
  const bool one = men != 0 && (men & (men - 1u)) == 0;
  return one ? std::countr_zero(men) : -1;
}

// Facing chariots with one man between them, on rank r.
void FacingChariots(FullEvalState& s, PieceIndex redChariot, PieceIndex blackChariot, int32_t r) {
  const Square between = MakeSquare(FileOf(posPiece[redChariot]), r);
  switch (typeBoard[between]) {
    case kPawn:
      s.redTotal += 100 * (9 - r) / 7;
      break;
    case kPawn + 7:
      s.blackTotal += 100 * r / 7;
      break;
    case kKnight:
    case kCannon:
      if (RedAttackerOf(between, redChariot) == 0) s.blackTotal += 100 * r / 8;
      break;
    case kKnight + 7:
    case kCannon + 7:
      if (BlackAttackerOf(between, blackChariot) == 0) s.redTotal += 100 * (9 - r) / 8;
      break;
    default:
      break;
  }
}

// Both sides with two chariots and nothing else; kUs has no elephant.
template <uint32_t kUs>
void TwoChariotsWithoutElephants(FullEvalState& s) {
  using V = View<kUs>;
  const SideMaterial us = MaterialOf(kUs);
  const SideMaterial them = MaterialOf(V::kThem);
  if (us.elephants != 0) return;
  if (us.advisers < them.advisers)
    V::TheirTotal(s) += us.advisers == 0 ? 200 : 100;
  else if (us.advisers == 0)
    V::TheirTotal(s) += 100;
}

// A lone chariot of kUs against a lone cannon with pawns. True when it
// scored, which ends the term groups.
template <uint32_t kUs>
bool ChariotAgainstCannon(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (!(us.chariots == 1 && them.cannons == 1 && us.pawns > 0 && V::TheirZonePawns(s) <= 1))
    return false;
  V::Total(s) += 300;
  if (V::TheirCrossedPawns() == 0) V::Total(s) += 100;
  if (V::UsefulPawns(2) > 0) V::Total(s) += 100;
  s.finalSumNow = true;
  return true;
}

// Lone chariot against lone chariot, the rules told for kUs. Returns 1 when
// kUs's fortress bonus applied.
template <uint32_t kUs>
bool ChariotEndingTerms(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  const Square chariot = FirstLiving(V::OurPiece(8));
  if (FileOf(V::OurKing()) == 4 && FileOf(chariot) == 4) V::Total(s) += 100;
  if (us.pawns <= 1 && them.advisers == 2) V::Total(s) -= 75;
  if (us.advisers == 0 && V::TheirUsefulPawns(1) > 0)
    V::TheirTotal(s) += V::TheirZonePawns(s) > 0 ? 300 : 200;
  // Their chariot on our back-rank centre against a full defence.
  if (!(typeBoard[V::At(4, 9)] == V::Their(kChariot) && us.advisers == 2 && us.elephants == 2 &&
        typeBoard[V::At(4, 8)] == V::Our(kAdviser)))
    return false;
  const uint32_t adviser = V::Our(kAdviser);
  const uint32_t elephant = V::Our(kElephant);
  bool fortress = false;
  if (typeBoard[V::At(5, 9)] == adviser && typeBoard[V::At(2, 9)] == elephant &&
      (typeBoard[V::At(0, 7)] == elephant || typeBoard[V::At(4, 7)] == elephant)) {
    V::Total(s) += 400;
    fortress = true;
  }
  if (typeBoard[V::At(3, 9)] == adviser && typeBoard[V::At(6, 9)] == elephant &&
      (typeBoard[V::At(8, 7)] == elephant || typeBoard[V::At(4, 7)] == elephant)) {
    V::Total(s) += 400;
    fortress = true;
  }
  return fortress;
}

// Lone chariot against lone chariot: pawns pressing a side stripped of its
// advisers and elephants.
template <uint32_t kUs>
void ChariotAgainstBarePalace(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (!(them.advisers == 0 && them.elephants == 0 && them.pawns <= 1 &&
        V::TheirZonePawns(s) <= 1 && us.advisers == 2))
    return;
  int32_t right, centre, left;
  if (kUs == kRed)
    CountCrossedPawnWingsRed(&right, &centre, &left);
  else
    CountCrossedPawnWingsBlack(&right, &centre, &left);
  if (right + centre + left > 0) V::Total(s) += us.elephants == 2 ? 200 : 100;
  if (V::ZonePawns(s) > 0) {
    V::Total(s) += 100;
    const uint32_t pawn = V::Our(kPawn);
    if (typeBoard[V::At(4, 2)] == pawn) V::Total(s) += 300;
    if (typeBoard[V::At(3, 2)] == pawn) V::Total(s) += 200;
    if (typeBoard[V::At(5, 2)] == pawn) V::Total(s) += 200;
  }
}

// One attacking piece on each side, the recipes in their order.
void LoneAttackerEachSide(FullEvalState& s, const Material& m) {
  const SideMaterial& r = m[kRed];
  const SideMaterial& b = m[kBlack];
  if (r.cannons == 1 && b.cannons == 1 && r.pawns <= 1 && r.pawns == b.pawns &&
      r.advisers > 0 && b.advisers > 0) {
    Damp(s, 1, 3);
    return;
  }
  if (ChariotAgainstCannon<kRed>(s, m) || ChariotAgainstCannon<kBlack>(s, m)) return;
  if (r.knights == 1 && b.knights == 1 &&
      ((s.redZonePawns <= 1 && r.pawns <= 2 && b.advisers == 2 && b.elephants > 0) ||
       (s.blackZonePawns <= 1 && b.pawns <= 2 && r.advisers == 2 && r.elephants > 0))) {
    Damp(s, 1, 2);
    return;
  }
  if (r.chariots == 0 && b.chariots == 0) {
    const int32_t redDefenders = r.advisers + r.elephants;
    const int32_t blackDefenders = b.advisers + b.elephants;
    if (r.pawns == 0 && b.pawns == 0) {
      if (redDefenders >= 2 && blackDefenders >= 2) {
        s.redTotal /= 2;
        s.blackTotal /= 2;
        s.balance /= redDefenders >= 3 && blackDefenders >= 3 ? 3 : 2;
        s.finalSumNow = true;
        return;
      }
    } else if (r.pawns <= 2 && b.pawns <= 2 && r.pawns - b.pawns <= 1 &&
               b.pawns - r.pawns <= 1 && redDefenders == 4 && blackDefenders == 4) {
      if (s.redZonePawns == 0 && s.blackZonePawns == 0)
        Damp(s, 1, 2);
      else
        Damp(s, 3, 4);
      return;
    }
  }
  // A lone cannon that has left its two back ranks.
  if (r.cannons == 1 && RankOf(FirstLiving(10)) < 8) s.redTotal -= 50;
  if (b.cannons == 1 && RankOf(FirstLiving(26)) > 1) s.blackTotal -= 50;

  if (r.chariots == 1 && b.chariots == 1) {
    const bool redFortress = ChariotEndingTerms<kRed>(s, m);
    const bool blackFortress = ChariotEndingTerms<kBlack>(s, m);
    if (!redFortress && !blackFortress && (r.advisers > 0 || b.pawns == 0) &&
        (b.advisers > 0 || r.pawns == 0) && s.redZonePawns == 0 && r.pawns <= 2 &&
        b.advisers == 2 && b.elephants == 2 && s.blackZonePawns == 0 && b.pawns <= 2 &&
        r.advisers == 2 && r.elephants == 2) {
      Damp(s, 1, 4);
      return;
    }
    ChariotAgainstBarePalace<kRed>(s, m);
    ChariotAgainstBarePalace<kBlack>(s, m);
  }
}

// Damping recipes of one-sided endings, told for kUs as the side whose
// material is described first in each recipe. True when one damped.
template <uint32_t kUs>
bool OneSidedDamping(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  // A lone knight without pawns against no attacking piece.
  if (us.attackers == 1 && us.knights == 1 && us.pawns == 0 && us.advisers == 2 &&
      them.attackers == 0 && them.pawns <= 2) {
    Damp(s, 1, 3);
    return true;
  }
  return false;
}

// Knight and cannon with full defence against a lone chariot (kUs has the
// chariot).
template <uint32_t kUs>
bool KnightCannonAgainstChariot(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (them.knights == 1 && them.cannons == 1 && them.pawns <= 1 && them.elephants == 2 &&
      them.advisers == 2 && us.attackers == 1 && us.chariots == 1 && us.pawns <= 1) {
    Damp(s, 1, 3);
    return true;
  }
  return false;
}

// A lone knight with at most one pawn against a full defence (kUs has the
// knight).
template <uint32_t kUs>
void LoneKnightAgainstFullDefence(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (us.attackers == 1 && us.knights == 1 && us.pawns <= 1 && them.advisers == 2 &&
      them.elephants == 2 && them.pawns <= 1)
    V::Total(s) -= 200;
}

// Chariot and knight without pawns against a lone chariot with full defence
// (kUs defends).
template <uint32_t kUs>
bool ChariotKnightAgainstChariot(FullEvalState& s, const Material& m) {
  using V = View<kUs>;
  const SideMaterial& us = m[kUs];
  const SideMaterial& them = m[V::kThem];
  if (!(them.chariots == 1 && them.knights == 1 && them.pawns == 0 && them.cannons == 0 &&
        us.chariots == 1 && us.knights == 0 && us.cannons == 0 && us.elephants == 2 &&
        us.advisers == 2 && them.advisers > 0 && us.pawns <= 1 && V::ZonePawns(s) == 0 &&
        V::TheirZoneKnights(s) == 0))
    return false;
  const int32_t fullSetup = kUs == kRed ? IsFullDefenceSetupRed() : IsFullDefenceSetupBlack();
  Damp(s, fullSetup != 0 ? 1 : 2, 5);
  return true;
}

bool OnSquares(Square s, Square a, Square b, Square c) { return s == a || s == b || s == c; }

// Chariot and cannon against red's lone chariot with advisers. The two sides
// differ in the ranks and the elephant squares of the exception (told at
// each), so each is written out. Returns true when the rest of the one-
// attacker recipes is to be skipped (damped, or totals divided).
bool ChariotCannonAgainstRedChariot(FullEvalState& s, const Material& m) {
  const SideMaterial& r = m[kRed];
  const SideMaterial& b = m[kBlack];
  if (!(b.chariots == 1 && b.cannons == 1 && b.knights == 0 && r.chariots == 1 &&
        r.knights == 0 && r.cannons == 0 && r.advisers == 2 &&
        *redKingSquarePtr == MakeSquare(4, 9) && typeBoard[MakeSquare(4, 8)] == kAdviser &&
        (b.pawns == 0 || CountUsefulPawnsBlack(1) == 0)))
    return false;
  const Square cannon = FirstLiving(26);
  const Square chariot = FirstLiving(24);
  const PieceIndex redChariot = posPiece[8] != 0 ? 8 : 9;
  const auto both = [&](int f0, int f1, int f2) {
    const Square a = MakeSquare(f0, 9), c = MakeSquare(f1, 9), d = MakeSquare(f2, 9);
    return OnSquares(cannon, a, c, d) && OnSquares(chariot, a, c, d);
  };
  if ((typeBoard[MakeSquare(5, 9)] == kAdviser && both(6, 7, 8)) ||
      (typeBoard[MakeSquare(3, 9)] == kAdviser && both(0, 1, 2))) {
    if (ChariotAttacksSquare(redChariot, cannon) != 0) {
      Damp(s, 1, 8);
      return true;
    }
    const int redRank = RankOf(posPiece[redChariot]);
    const bool exception =
        (RankOf(chariot) == 5 && typeBoard[MakeSquare(6, 5)] == kElephant) ||
        (RankOf(chariot) == 4 && typeBoard[MakeSquare(6, 4)] == kElephant + 7);
    if (sideToMove == kRed && (redRank == 6 || redRank == 7) && !exception) {
      Damp(s, 1, 5);
      return true;
    }
  }
  if (r.elephants == 2 && r.advisers == 2) {
    s.redTotal /= 3;
    s.blackTotal /= 3;
    return true;
  }
  return false;
}

bool ChariotCannonAgainstBlackChariot(FullEvalState& s, const Material& m) {
  const SideMaterial& r = m[kRed];
  const SideMaterial& b = m[kBlack];
  if (!(r.chariots == 1 && r.cannons == 1 && r.knights == 0 && b.chariots == 1 &&
        b.knights == 0 && b.cannons == 0 && b.advisers == 2 &&
        *blackKingSquarePtr == MakeSquare(4, 0) && typeBoard[MakeSquare(4, 1)] == kAdviser + 7 &&
        (r.pawns == 0 || CountUsefulPawnsRed(1) == 0)))
    return false;
  const Square cannon = FirstLiving(10);
  const Square chariot = FirstLiving(8);
  const PieceIndex blackChariot = posPiece[24] != 0 ? 24 : 25;
  const auto both = [&](int f0, int f1, int f2) {
    const Square a = MakeSquare(f0, 0), c = MakeSquare(f1, 0), d = MakeSquare(f2, 0);
    return OnSquares(cannon, a, c, d) && OnSquares(chariot, a, c, d);
  };
  if ((typeBoard[MakeSquare(5, 0)] == kAdviser + 7 && both(6, 7, 8)) ||
      (typeBoard[MakeSquare(3, 0)] == kAdviser + 7 && both(0, 1, 2))) {
    if (ChariotAttacksSquare(blackChariot, cannon) != 0) {
      Damp(s, 1, 8);
      return true;
    }
    const int blackRank = RankOf(posPiece[blackChariot]);
    const bool exception =
        (blackRank == 4 && typeBoard[MakeSquare(6, 4)] == kElephant + 7) ||
        (blackRank == 5 && typeBoard[MakeSquare(6, 5)] == kElephant);
    if (sideToMove == kBlack && blackRank >= 3 && blackRank <= 6 && !exception) {
      Damp(s, 1, 5);
      return true;
    }
  }
  if (b.elephants == 2 && b.advisers == 2) {
    s.redTotal /= 3;
    s.blackTotal /= 3;
    return true;
  }
  return false;
}

// A side with no attacking piece loses a third of its defenders' value.
template <uint32_t kUs>
void DefendersWithoutAttack(FullEvalState& s, const Material& m) {
  const SideMaterial& us = m[kUs];
  if (us.attackers == 0) View<kUs>::Total(s) -= 185 * us.advisers / 3 + 195 * us.elephants / 3;
}

// The recipes of the endings where a side has at most one attacking piece,
// in their order. Kept out of line: they are rare, and inlined they would
// cost every call of the term group their register saves.
[[gnu::noinline]] void FewAttackerRecipes(FullEvalState& s, bool oneAttackerEach) {
  const Material m = {MaterialOf(kRed), MaterialOf(kBlack)};
  DefendersWithoutAttack<kRed>(s, m);
  DefendersWithoutAttack<kBlack>(s, m);
  if (oneAttackerEach) {
    LoneAttackerEachSide(s, m);
    if (s.finalSumNow) return;
  }
  if (OneSidedDamping<kRed>(s, m) || OneSidedDamping<kBlack>(s, m)) return;
  if (KnightCannonAgainstChariot<kRed>(s, m) || KnightCannonAgainstChariot<kBlack>(s, m)) return;
  LoneKnightAgainstFullDefence<kBlack>(s, m);
  LoneKnightAgainstFullDefence<kRed>(s, m);
  if (ChariotKnightAgainstChariot<kRed>(s, m) || ChariotKnightAgainstChariot<kBlack>(s, m)) return;
  if (ChariotCannonAgainstRedChariot(s, m)) return;
  ChariotCannonAgainstBlackChariot(s, m);
}

// Facing chariots, each red one against each black one, with one man
// between them.
void FacingChariotPairs(FullEvalState& s) {
  const Square red8 = posPiece[8];
  const Square red9 = posPiece[9];
  const Square black24 = posPiece[24];
  const Square black25 = posPiece[25];
  const bool blackChariotsShareFile = SameFileOrBothTaken(black24, black25) && black24 != 0;
  const auto facing = [&s](PieceIndex red, Square rs, PieceIndex black, Square bs) {
    const int32_t r = ManBetweenFacingChariots(rs, bs);
    if (r >= 0) FacingChariots(s, red, black, r);
  };
  facing(8, red8, 24, black24);
  if (!blackChariotsShareFile) facing(8, red8, 25, black25);
  facing(9, red9, 24, black24);
  if (!blackChariotsShareFile) facing(9, red9, 25, black25);
}

// The sides keep different numbers of chariots.
void UnequalChariots(FullEvalState& s) {
  const SideMaterial r = MaterialOf(kRed);
  const SideMaterial b = MaterialOf(kBlack);
  const int32_t gap = s.redAttackStrength - s.blackAttackStrength;
  if (r.chariots > 0 && b.chariots > 0 && gap <= 5 && gap >= -5) {
    if (r.chariots > b.chariots)
      s.redTotal += 50;
    else
      s.blackTotal += 50;
  }
  if (b.chariots == 0 && r.chariots > 0 && r.attackers >= 2 && gap >= 0)
    s.redTotal += 100 + 100 * r.pawns / 3;
  if (r.chariots == 0 && b.chariots > 0 && b.attackers >= 2 && gap <= 0)
    s.blackTotal += 100 + 100 * b.pawns / 3;
}

}  // namespace

void MaterialPatternsLowMaterial(FullEvalState& s) {
  const Material m = {MaterialOf(kRed), MaterialOf(kBlack)};
  WeakPairOpposite<kRed>(s, m);
  WeakPairOpposite<kBlack>(s, m);
  ThinAttack<kRed>(s, m);
  ThinAttack<kBlack>(s, m);
  if (s.middlegameLevel == 0) {
    ReducedMaterialPairs<kRed>(s, m);
    ReducedMaterialPairs<kBlack>(s, m);
    KnightEndingBalance(s, m);
  }
  FixedPairings<kBlack>(s, m);
  FixedPairings<kRed>(s, m);
  LoneChariotAgainstThreeMinors<kRed>(s, m);
  LoneChariotAgainstThreeMinors<kBlack>(s, m);
}

void MaterialPatternsTermGroup(FullEvalState& s) {
  // Only the counts that every call tests are read here; the rarer blocks
  // read the rest of the material themselves, so the common call loads and
  // keeps in registers no more than these four.
  const int32_t redChariots = static_cast<int32_t>(pieceCount[kRed][kChariot - 1]);
  const int32_t blackChariots = static_cast<int32_t>(pieceCount[kBlack][kChariot - 1]);
  const int32_t redAttackers = static_cast<int32_t>(attackerCount[kRed]);
  const int32_t blackAttackers = static_cast<int32_t>(attackerCount[kBlack]);

  if (redChariots > 0 && blackChariots > 0 && (redAttackers <= 5 || blackAttackers <= 5))
    FacingChariotPairs(s);

  if (redChariots != blackChariots) UnequalChariots(s);

  if (redAttackers == 2 && redChariots == 2 && blackAttackers == 2 && blackChariots == 2) {
    TwoChariotsWithoutElephants<kRed>(s);
    TwoChariotsWithoutElephants<kBlack>(s);
  }

  if (redAttackers == 3 && blackAttackers == 3 && redChariots == 2 && blackChariots == 2) {
    const SideMaterial r = MaterialOf(kRed);
    const SideMaterial b = MaterialOf(kBlack);
    if (r.cannons == 1 && b.knights == 1) s.redTotal += 50;
    if (r.knights == 1 && b.cannons == 1) s.blackTotal += 50;
  }

  if (redAttackers > 1 && blackAttackers > 1) return;
  FewAttackerRecipes(s, redAttackers == 1 && blackAttackers == 1);
}
