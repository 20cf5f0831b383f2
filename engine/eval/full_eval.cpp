// The full evaluator: a set-up that settles material questions (endgame
// verdicts, winning chances, pawn and attack-strength balance) and may end
// the evaluation early, the lazy cut, then the pattern term groups in their
// fixed order and the final sum. The set-up, the first term groups and the
// final sum are the frame that the light and medium evaluators share; the
// medium evaluator runs the same positional term groups with its own rule
// set.
#include <cstdint>
#include <cstring>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"
#include "engine/prefetch.h"

namespace {

struct SideMaterial {
  int32_t pawns, advisers, elephants, knights, cannons, chariots;
  int32_t attackers;  // knights + cannons + chariots
  int32_t weight;     // attackWeight
};

SideMaterial MaterialOf(uint32_t side) {
  const uint32_t* c = pieceCount[side];
  return {static_cast<int32_t>(c[kPawn - 1]),    static_cast<int32_t>(c[kAdviser - 1]),
          static_cast<int32_t>(c[kElephant - 1]), static_cast<int32_t>(c[kKnight - 1]),
          static_cast<int32_t>(c[kCannon - 1]),   static_cast<int32_t>(c[kChariot - 1]),
          static_cast<int32_t>(attackerCount[side]), attackWeight[side]};
}

inline int32_t& TotalOf(FullEvalState& s, uint32_t side) {
  return side == kRed ? s.redTotal : s.blackTotal;
}
inline int32_t StrengthOf(const FullEvalState& s, uint32_t side) {
  return side == kRed ? s.redAttackStrength : s.blackAttackStrength;
}
inline int32_t ContemptOf(uint32_t side) { return side == kRed ? contemptRed : contemptBlack; }

// Divides the working balance and both totals by n (toward zero).
void DivideAll(FullEvalState& s, int32_t n) {
  s.balance /= n;
  s.redTotal /= n;
  s.blackTotal /= n;
}

int32_t FinalSum(const FullEvalState& s) {
  if (sideToMove == kRed) return s.balance + s.redTotal - s.blackTotal + kTempoBonus;
  return s.blackTotal - s.balance - s.redTotal + kTempoBonus;
}

// Where the set-up leaves the evaluation.
enum class Next { kReturnEarly, kFinalSum, kTerms };

// Only kWinner can still win. Either damps everything and ends the
// evaluation (kFinalSum) or adds to the winner's total (kTerms).
template <uint32_t kWinner>
Next OneSidedWinningChances(FullEvalState& s) {
  constexpr uint32_t kLoser = 1 - kWinner;
  const SideMaterial w = MaterialOf(kWinner);
  const SideMaterial l = MaterialOf(kLoser);
  if (w.attackers == 1 && w.chariots == 0 && w.pawns <= 1 && l.attackers >= 1) {
    DivideAll(s, 3);
    return Next::kFinalSum;
  }
  if (w.attackers <= 1 ||
      (w.attackers == 2 && !(w.chariots > 0 && l.chariots == 0) &&
       ((l.advisers == 2 && l.elephants == 2) ||
        (w.chariots == 0 && w.knights == 0 && w.pawns == 0)))) {
    TotalOf(s, kWinner) += ContemptOf(kWinner) + 50;
    return Next::kTerms;
  }
  const int32_t sw = StrengthOf(s, kWinner);
  const int32_t sl = StrengthOf(s, kLoser);
  if (sw > sl + 1) {
    TotalOf(s, kWinner) += sw > sl + 4 ? 250 : 100;
    return Next::kTerms;
  }
  DivideAll(s, 2);
  return Next::kFinalSum;
}

// Bonus of kSide for being ahead in useful pawns, while a side has no
// chariot and kSide's attack weighs at least as much as the other's.
template <uint32_t kSide>
void UsefulPawnBonus(FullEvalState& s, int32_t pawnBase, int32_t usefulOwn,
                     int32_t usefulOther) {
  const SideMaterial me = MaterialOf(kSide);
  const SideMaterial other = MaterialOf(1 - kSide);
  if (!(me.weight > 1 && me.weight >= other.weight)) return;
  const bool ahead = usefulOther != 0 ? usefulOwn > usefulOther : me.pawns > other.pawns;
  if (!ahead) return;
  const int32_t d = usefulOwn - usefulOther;
  const int32_t t = usefulOwn > 1 && me.weight >= other.weight && me.chariots >= other.chariots
                        ? (pawnBase + 66) * d
                        : (pawnBase + 25) * d;
  TotalOf(s, kSide) += me.knights > 0 ? t : t / 2;
}

// Pawn and defender material, for the middlegame level 0 or a side without
// chariots. The caller tests that first, so that the middlegame with
// chariots on both sides does not read the rest of the material.
void PawnAndDefenderMaterial(FullEvalState& s) {
  const SideMaterial r = MaterialOf(kRed);
  const SideMaterial b = MaterialOf(kBlack);
  const int32_t pawnBase = s.middlegameLevel == 0 ? 33 : 0;
  if (r.chariots == 0 || b.chariots == 0) {
    if (r.chariots == 0 && r.cannons > 0) s.redTotal -= 50;
    if (b.chariots == 0 && b.cannons > 0) s.blackTotal -= 50;
    const int32_t usefulRed = CountUsefulPawnsRed(1);
    const int32_t usefulBlack = CountUsefulPawnsBlack(1);
    UsefulPawnBonus<kBlack>(s, pawnBase, usefulBlack, usefulRed);
    UsefulPawnBonus<kRed>(s, pawnBase, usefulRed, usefulBlack);
    s.redTotal += 20 * (r.pawns - b.pawns);
  } else {
    // Both sides keep chariots (level 0). Black's factor follows the counts
    // of attacking pieces, red's the attack weights.
    if (b.attackers > 0 && b.pawns > r.pawns && (b.weight >= r.weight || b.attackers >= 2))
      s.blackTotal += (pawnBase + (b.attackers >= r.attackers ? 33 : 20)) * (b.pawns - r.pawns);
    if (r.attackers > 0 && r.pawns > b.pawns && (r.weight >= b.weight || r.attackers >= 2))
      s.redTotal += (pawnBase + (r.weight >= b.weight ? 33 : 20)) * (r.pawns - b.pawns);
  }
  // Missing defenders against the other side's chariots.
  if (b.chariots == 0) {
    if (b.advisers < 2) s.redTotal += 50 + 200 * r.chariots / 3;
    if (b.elephants < 2) s.redTotal += 50 + 100 * r.chariots / 3;
  }
  if (r.chariots == 0) {
    if (r.advisers < 2) s.blackTotal += 50 + 200 * b.chariots / 3;
    if (r.elephants < 2) s.blackTotal += 50 + 100 * b.chariots / 3;
  }
}

// kStrong has the higher attack strength.
// The material is read where a rule asks for it, so that the common case
// reads only the attacker counts.
template <uint32_t kStrong>
void AttackStrengthTerms(FullEvalState& s) {
  constexpr uint32_t kWeak = 1 - kStrong;
  const int32_t sx = StrengthOf(s, kStrong);
  const int32_t sy = StrengthOf(s, kWeak);
  const int32_t xAttackers = static_cast<int32_t>(attackerCount[kStrong]);
  const int32_t yAttackers = static_cast<int32_t>(attackerCount[kWeak]);
  if (sx >= sy + 4) {
    if (pieceCount[kStrong][kChariot - 1] >= pieceCount[kWeak][kChariot - 1])
      TotalOf(s, kStrong) += 75;
    if (xAttackers >= yAttackers && sx > sy + 7) TotalOf(s, kStrong) += 100;
  }
  // A pair of like minor pieces, or no pawn against a full defence, does not
  // turn the strength into material.
  if (xAttackers == 2 && yAttackers >= 1) {
    const SideMaterial x = MaterialOf(kStrong);
    const SideMaterial y = MaterialOf(kWeak);
    if (x.cannons == 2 || x.knights == 2 ||
        (x.pawns == 0 && y.advisers == 2 && y.elephants == 2)) {
      TotalOf(s, kStrong) += x.pawns == 0 ? -50 : 100 * x.pawns / 3;
      return;
    }
  }
  s.balance += (s.redAttackStrength - s.blackAttackStrength) * (306 - 6 * sy) / 5;
}

// The palace zones and knight target squares as 0/1 flags, so that the
// counts below add the flags instead of testing each graded entry. The flags
// are words: a word is added straight from the table, where a byte is first
// loaded into a register. Built once from the graded tables (constant data,
// ready before any dynamic initialisation).
struct ZoneFlags {
  uint32_t blackPalace[kBoardSize], redPalace[kBoardSize];
  uint32_t redKnightTargets[kBoardSize], blackKnightTargets[kBoardSize];
};

ZoneFlags BuildZoneFlags() {
  ZoneFlags f{};
  for (int sq = 0; sq < kBoardSize; ++sq) {
    f.blackPalace[sq] = blackPalaceZone[sq] != 0 ? 1 : 0;
    f.redPalace[sq] = redPalaceZone[sq] != 0 ? 1 : 0;
    f.redKnightTargets[sq] = redKnightTargetSquares[sq] != 0 ? 1 : 0;
    f.blackKnightTargets[sq] = blackKnightTargetSquares[sq] != 0 ? 1 : 0;
  }
  return f;
}

const ZoneFlags zoneFlags = BuildZoneFlags();

// Pawns first..first+4 standing on a flagged square (an absent pawn reads
// square 0, never flagged).
int32_t CountZonePawns(PieceIndex first, const uint32_t* flags) {
  uint32_t n = 0;
  for (PieceIndex i = first; i < first + 5; ++i) n += flags[posPiece[i]];
  return static_cast<int32_t>(n);
}

int32_t CountZoneKnights(PieceIndex first, const uint32_t* flags) {
  return static_cast<int32_t>(flags[posPiece[first]] + flags[posPiece[first + 1]]);
}

// Steps 1 to 11 of the evaluation, up to the lazy cut. kReturnEarly leaves
// the result in *early.
Next SetUp(FullEvalState& s, int32_t* early) {
  const SideMaterial r = MaterialOf(kRed);
  const SideMaterial b = MaterialOf(kBlack);
  s = {};
  s.balance = materialBalance;
  s.redCanWin = 1;
  s.blackCanWin = 1;
  s.middlegameLevel =
      r.attackers >= 5 && b.attackers >= 5 && r.pawns >= 3 && b.pawns >= 3 ? 2 : 1;
  if (r.attackers <= 3 || b.attackers <= 3) s.middlegameLevel = 0;

  if (r.attackers <= 2 || b.attackers <= 2) {
    if (const EndgameEvaluatorFn endgame = SelectEndgameEvaluator()) {
      EndgameVerdict verdict{0, kVerdictNone};
      endgame(&verdict);
      if (verdict.flag < 8) {
        *early = verdict.score;
        return Next::kReturnEarly;
      }
      if (verdict.flag == kVerdictDrawish) {
        s.balance /= 3;
        TotalOf(s, sideToMove) += verdict.score;
      }
    }
  }

  s.redZonePawns = CountZonePawns(12, zoneFlags.blackPalace);
  s.blackZonePawns = CountZonePawns(28, zoneFlags.redPalace);
  s.redZoneKnights = CountZoneKnights(6, zoneFlags.redKnightTargets);
  s.blackZoneKnights = CountZoneKnights(22, zoneFlags.blackKnightTargets);
  s.redTotal += 30 * s.redZonePawns;
  s.blackTotal += 30 * s.blackZonePawns;
  s.redAttackStrength = r.weight + s.redZonePawns;
  s.blackAttackStrength = b.weight + s.blackZonePawns;

  const bool plentyOfMaterial =
      (r.attackers > 4 || b.attackers > 4) && r.attackers > 3 && b.attackers > 3;
  if (!plentyOfMaterial) {
    s.redCanWin = r.attackers >= 3 ? 1 : RedCanWin();
    s.blackCanWin = b.attackers >= 3 ? 1 : BlackCanWin();
    MaterialPatternsLowMaterial(s);
    if (s.redCanWin == 0 && s.blackCanWin == 0) {
      // A draw: the raw material balance, not the working one.
      *early = sideToMove == kRed
                   ? (materialBalance + s.redTotal - s.blackTotal) / 8 + contemptRed
                   : (s.blackTotal - s.redTotal - materialBalance) / 8 + contemptBlack;
      return Next::kReturnEarly;
    }
    if (s.redCanWin == 0 && OneSidedWinningChances<kBlack>(s) == Next::kFinalSum)
      return Next::kFinalSum;
    if (s.blackCanWin == 0 && OneSidedWinningChances<kRed>(s) == Next::kFinalSum)
      return Next::kFinalSum;
  }

  if (s.middlegameLevel == 0 || pieceCount[kRed][kChariot - 1] == 0 ||
      pieceCount[kBlack][kChariot - 1] == 0)
    PawnAndDefenderMaterial(s);

  if ((r.attackers >= 2 || b.attackers >= 2) && s.redAttackStrength != s.blackAttackStrength) {
    if (s.redAttackStrength > s.blackAttackStrength)
      AttackStrengthTerms<kRed>(s);
    else
      AttackStrengthTerms<kBlack>(s);
  }

  return Next::kTerms;
}

// The score of the set-up alone, from the side to move's view, that the lazy
// cut compares with alpha.
int32_t PartialScore(const FullEvalState& s) {
  return sideToMove == kRed ? s.balance + s.redTotal - s.blackTotal
                            : s.blackTotal - s.balance - s.redTotal;
}

// The lazy cut: a set-up score this far below alpha ends the evaluation
// with alpha.
bool LazyCut(int32_t alpha, int32_t partial) {
  return alpha > -2000 && alpha < 2000 && partial + lazyMargin + kTempoBonus < alpha;
}

// Evaluations of the running search, by position. Evaluation reads nothing
// but the position and settings that stay fixed during a search, so a
// position met again gives back what its first evaluation gave: the set-up's
// outcome (with the partial score the lazy cut needs) and, once computed,
// the full score, with the totals of each.
struct EvalMemoEntry {
  uint64_t lock;  // positionLock; 0 empty
  PositionalTermsFn terms;
  int32_t value;  // the early or final score, or the partial score of kTerms
  int32_t setUpRed, setUpBlack;
  int32_t full, fullRed, fullBlack;
  uint8_t side;
  Next next;
  bool hasFull;
};
// 16K entries of 48 bytes stay within a second-level cache of 1 MB; a larger
// table found more positions again but ran slower.
constexpr uint32_t kEvalMemoEntries = 1u << 14;
EvalMemoEntry evalMemo[kEvalMemoEntries];
bool evalMemoOn = false;

// The term groups after the lazy cut that every pattern evaluator runs.
// Returns false when a material pattern damped the score and the final sum
// follows at once.
bool RunCommonTermGroups(FullEvalState& s) {
  if (attackerCount[kRed] >= 3 || attackerCount[kBlack] >= 3)
    KingAreaAttack(&s.redTotal, &s.blackTotal, s.redZonePawns, s.blackZonePawns);
  MaterialPatternsTermGroup(s);
  return !s.finalSumNow;
}

// The positional groups of the full and the medium evaluator: each side's
// pawn and knight terms, then its attack on the enemy palace.
template <RuleSet kRules>
void PositionalTerms(FullEvalState& s) {
  PawnKnightTerms<kRed, kRules>(s);
  PalaceAttack<kRed, kRules>(s);
  PawnKnightTerms<kBlack, kRules>(s);
  PalaceAttack<kBlack, kRules>(s);
}

}  // namespace

int32_t EvaluatePatterns(int32_t alpha, int32_t* redTotal, int32_t* blackTotal,
                         PositionalTermsFn positionalTerms) {
  EvalMemoEntry* memo = evalMemoOn ? &evalMemo[positionKey & (kEvalMemoEntries - 1)] : nullptr;
  if (memo != nullptr && memo->lock == positionLock && memo->side == sideToMove &&
      memo->terms == positionalTerms) {
    if (memo->next != Next::kTerms || LazyCut(alpha, memo->value)) {
      *redTotal = memo->setUpRed;
      *blackTotal = memo->setUpBlack;
      return memo->next == Next::kTerms ? alpha : memo->value;
    }
    if (memo->hasFull) {
      *redTotal = memo->fullRed;
      *blackTotal = memo->fullBlack;
      return memo->full;
    }
  }

  FullEvalState s;
  int32_t early = 0;
  const Next next = SetUp(s, &early);
  const int32_t setUpValue = next == Next::kReturnEarly ? early
                             : next == Next::kFinalSum  ? FinalSum(s)
                                                        : PartialScore(s);
  if (memo != nullptr)
    *memo = {positionLock, positionalTerms, setUpValue, s.redTotal, s.blackTotal, 0, 0, 0,
             static_cast<uint8_t>(sideToMove), next, false};
  if (next != Next::kTerms || LazyCut(alpha, setUpValue)) {
    *redTotal = s.redTotal;
    *blackTotal = s.blackTotal;
    return next == Next::kTerms ? alpha : setUpValue;
  }
  if (RunCommonTermGroups(s)) positionalTerms(s);
  *redTotal = s.redTotal;
  *blackTotal = s.blackTotal;
  const int32_t full = FinalSum(s);
  if (memo != nullptr) {
    memo->full = full;
    memo->fullRed = s.redTotal;
    memo->fullBlack = s.blackTotal;
    memo->hasFull = true;
  }
  return full;
}

void StartEvalMemo() {
  std::memset(evalMemo, 0, sizeof evalMemo);
  evalMemoOn = true;
}

void StopEvalMemo() { evalMemoOn = false; }

void PrefetchEvalMemo(uint64_t key) { PrefetchLine(&evalMemo[key & (kEvalMemoEntries - 1)]); }

int32_t EvaluateFull(int32_t alpha, int32_t* redTotal, int32_t* blackTotal) {
  return EvaluatePatterns(alpha, redTotal, blackTotal, PositionalTerms<RuleSet::kFull>);
}

int32_t EvaluateMedium(int32_t alpha, int32_t* redTotal, int32_t* blackTotal) {
  return EvaluatePatterns(alpha, redTotal, blackTotal, PositionalTerms<RuleSet::kMedium>);
}
