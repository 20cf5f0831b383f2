// The endgame evaluator for the material on the board. The rules are tested
// in a fixed order and the first that matches wins; most come as a red rule
// and its black twin with the colours exchanged. The answer for the last
// material looked at is remembered.
#include <cstring>

#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

// One side's material, from the piece counts.
struct Material {
  uint32_t pawns, advisers, elephants, knights, cannons, chariots, attackers;
};

Material MaterialOf(uint32_t side) {
  const uint32_t* c = pieceCount[side];
  return {c[kPawn - 1],   c[kAdviser - 1], c[kElephant - 1],   c[kKnight - 1],
          c[kCannon - 1], c[kChariot - 1], attackerCount[side]};
}

// Every pawn of the side stands on file 0 or file 8 (true without pawns).
bool PawnsOnEdgeFilesOnly(uint32_t side) {
  const PieceIndex first = side == kRed ? 12 : 28;
  for (PieceIndex p = first; p < first + 5; ++p)
    if (posPiece[p] != 0 && edgeFileSquare[posPiece[p]] == 0) return false;
  return true;
}

// Evaluators of one side's member of each twin pair: "own" is the side with
// exactly one attacking piece (groups 4/5) or one chariot (groups 6/7).
struct TwinSet {
  EndgameEvaluatorFn bareChariotVsChariotCannon;
  EndgameEvaluatorFn bareChariotVsChariotPawns;
  EndgameEvaluatorFn chariotVsKnightElephants;
  EndgameEvaluatorFn chariotVsCannonElephants;
  EndgameEvaluatorFn loneMinorVsPawns;
  EndgameEvaluatorFn cannonVsKnightPawns;
  EndgameEvaluatorFn cannonVsTwoCannons;
  EndgameEvaluatorFn knightPawnsVsNoAdvisers;  // red only
  EndgameEvaluatorFn knightVsTwoKnights;
  EndgameEvaluatorFn chariotVsCannon;
  EndgameEvaluatorFn chariotVsKnight;
  EndgameEvaluatorFn chariotKnightVsChariot;
  EndgameEvaluatorFn chariotVsTwoChariots;
  EndgameEvaluatorFn chariotCannonVsChariot;
};

constexpr TwinSet kRedTwins = {
    EvalBareChariotVsChariotCannonRed,
    EvalBareChariotVsChariotPawnsRed,
    EvalChariotVsKnightElephantsRed,
    EvalChariotVsCannonElephantsRed,
    EvalLoneMinorVsPawnsRed,
    EvalCannonVsKnightPawnsRed,
    EvalCannonVsTwoCannonsRed,
    EvalKnightPawnsVsNoAdvisersRed,
    EvalKnightVsTwoKnightsRed,
    EvalChariotVsCannonRed,
    EvalChariotVsKnightRed,
    EvalChariotKnightVsChariotRed,
    EvalChariotVsTwoChariotsRed,
    EvalChariotCannonVsChariotRed,
};
constexpr TwinSet kBlackTwins = {
    EvalBareChariotVsChariotCannonBlack,
    EvalBareChariotVsChariotPawnsBlack,
    EvalChariotVsKnightElephantsBlack,
    EvalChariotVsCannonElephantsBlack,
    EvalLoneMinorVsPawnsBlack,
    EvalCannonVsKnightPawnsBlack,
    EvalCannonVsTwoCannonsBlack,
    nullptr,
    EvalKnightVsTwoKnightsBlack,
    EvalChariotVsCannonBlack,
    EvalChariotVsKnightBlack,
    EvalChariotKnightVsChariotBlack,
    EvalChariotVsTwoChariotsBlack,
    EvalChariotCannonVsChariotBlack,
};

// Groups 4 and 5: the own side has exactly one attacking piece.
EndgameEvaluatorFn OneAttackerRules(const Material& own, const Material& enemy, uint32_t ownSide,
                                    const TwinSet& twins) {
  if (own.chariots == 1) {
    if (enemy.chariots >= 1 && (enemy.attackers >= 2 || enemy.pawns >= 1) && own.advisers == 0 &&
        own.elephants == 0 && PawnsOnEdgeFilesOnly(ownSide)) {
      if (enemy.cannons == 1) return twins.bareChariotVsChariotCannon;
      if (enemy.pawns >= 1) return twins.bareChariotVsChariotPawns;
    }
    if (own.pawns == 0 && enemy.pawns <= 1 && enemy.attackers == 1) {
      if (enemy.knights == 1 && enemy.elephants == 2 && enemy.advisers == 1)
        return twins.chariotVsKnightElephants;
      if (enemy.cannons == 1 && enemy.elephants == 2) return twins.chariotVsCannonElephants;
    }
  }
  if (own.cannons == 1 && own.advisers == 0 && own.pawns == 0) {
    if (enemy.attackers == 1 && enemy.cannons == 1 && own.elephants == 0 && enemy.pawns >= 2)
      return twins.loneMinorVsPawns;
    if (enemy.attackers == 1 && enemy.knights >= 1 && enemy.pawns >= 1)
      return twins.cannonVsKnightPawns;
    if (own.elephants == 0 && enemy.attackers == 2 && enemy.cannons == 2 && enemy.pawns == 0)
      return twins.cannonVsTwoCannons;
  }
  if (own.knights == 1) {
    if (own.advisers == 0 && own.elephants == 0 && own.pawns == 0 && enemy.attackers == 0 &&
        enemy.pawns >= 2)
      return twins.loneMinorVsPawns;
    if (twins.knightPawnsVsNoAdvisers != nullptr && enemy.advisers == 0 && own.pawns >= 1 &&
        enemy.attackers == 0)
      return twins.knightPawnsVsNoAdvisers;
    if (enemy.attackers == 2 && enemy.knights == 2 && enemy.pawns >= 1)
      return twins.knightVsTwoKnights;
  }
  return nullptr;
}

// Groups 6 and 7: the own side has attacking pieces and exactly one chariot.
EndgameEvaluatorFn OneChariotRules(const Material& own, const Material& enemy, bool noPawns,
                                   const TwinSet& twins) {
  if (enemy.attackers <= 1) {
    if (enemy.cannons == 1) return twins.chariotVsCannon;
    if (enemy.knights == 1) return twins.chariotVsKnight;
    if (noPawns && own.attackers == 2 && own.elephants == 0 && own.knights == 1 &&
        enemy.attackers == 1 && enemy.chariots >= 1)
      return twins.chariotKnightVsChariot;
  }
  if (own.attackers <= 2 && own.pawns <= 1 && enemy.pawns == 0 && enemy.attackers == 2 &&
      enemy.chariots == 2 && own.elephants == 2 && own.advisers == 2)
    return twins.chariotVsTwoChariots;
  if (noPawns && own.attackers == 2 && own.cannons == 1 && enemy.attackers == 1 &&
      enemy.chariots == 1)
    return twins.chariotCannonVsChariot;
  return nullptr;
}

// The evaluator for the material on the board, by the rules above.
EndgameEvaluatorFn SelectForMaterial() {
  const Material red = MaterialOf(kRed);
  const Material black = MaterialOf(kBlack);
  const bool noPawns = red.pawns == 0 && black.pawns == 0;

  if (red.attackers == 0 && black.attackers == 0 && !noPawns) return EvalPawnEnding;
  if (red.attackers == 0 && red.pawns <= 1) {
    if (black.attackers == 0 && noPawns) return EvalNoAttackersDraw;
    return EvalDefenceOnlyRed;
  }
  if (black.attackers == 0 && black.pawns <= 1) return EvalDefenceOnlyBlack;

  EndgameEvaluatorFn fn = nullptr;
  if (red.attackers == 1 && (fn = OneAttackerRules(red, black, kRed, kRedTwins)) != nullptr)
    return fn;
  if (black.attackers == 1 && (fn = OneAttackerRules(black, red, kBlack, kBlackTwins)) != nullptr)
    return fn;
  if (red.attackers >= 1 && red.chariots == 1 &&
      (fn = OneChariotRules(red, black, noPawns, kRedTwins)) != nullptr)
    return fn;
  if (black.attackers >= 1 && black.chariots == 1 &&
      (fn = OneChariotRules(black, red, noPawns, kBlackTwins)) != nullptr)
    return fn;
  if (red.attackers == 1 && red.chariots == 1 && black.attackers == 1) return EvalChariotVsChariot;
  return nullptr;
}

// The material of the last selection and its evaluator. Evaluations that
// follow each other in a search mostly see the same material, and the
// selection reads nothing but the piece counts, except where a lone chariot
// without advisers or elephants looks at its pawns' squares: such material
// is never kept.
struct SelectionMemo {
  uint32_t pieceCount[2][6];
  uint32_t attackerCount[2];
  EndgameEvaluatorFn fn;
  bool valid;
};
SelectionMemo memo;

bool SameMaterialAsMemo() {
  return memo.valid && std::memcmp(memo.pieceCount, pieceCount, sizeof pieceCount) == 0 &&
         memo.attackerCount[kRed] == attackerCount[kRed] &&
         memo.attackerCount[kBlack] == attackerCount[kBlack];
}

// Whether the selection may look at the side's pawn squares (see
// OneAttackerRules).
bool ReadsPawnSquares(uint32_t side) {
  const uint32_t* c = pieceCount[side];
  return c[kChariot - 1] == 1 && c[kAdviser - 1] == 0 && c[kElephant - 1] == 0;
}

}  // namespace

EndgameEvaluatorFn SelectEndgameEvaluator() {
  if (SameMaterialAsMemo()) return memo.fn;
  const EndgameEvaluatorFn fn = SelectForMaterial();
  memo.valid = !ReadsPawnSquares(kRed) && !ReadsPawnSquares(kBlack);
  if (memo.valid) {
    std::memcpy(memo.pieceCount, pieceCount, sizeof pieceCount);
    memo.attackerCount[kRed] = attackerCount[kRed];
    memo.attackerCount[kBlack] = attackerCount[kBlack];
    memo.fn = fn;
  }
  return fn;
}
