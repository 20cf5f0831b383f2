// Working values of one call of the full evaluator, shared by its term
// groups, and the term groups in the order EvaluateFull runs them.
#pragma once

#include <cstdint>

struct FullEvalState {
  int32_t balance;          // working balance, red's view
  int32_t middlegameLevel;  // 0, 1 or 2
  int32_t redZonePawns;     // red pawns on blackPalaceZone squares
  int32_t blackZonePawns;   // black pawns on redPalaceZone squares
  int32_t redZoneKnights;   // red knights on redKnightTargetSquares
  int32_t blackZoneKnights;
  int32_t redAttackStrength;  // attackWeight + zone pawns
  int32_t blackAttackStrength;
  int32_t redTotal;
  int32_t blackTotal;
  int32_t redCanWin;  // 1 unless the low-material test says red cannot win
  int32_t blackCanWin;
  bool finalSumNow;  // a term group damped the score: no further terms run
};

// The frame of the pattern evaluators (light, medium and full): the set-up
// with its early exits (endgame verdict, draw, damped low-material returns)
// and the lazy cut, then KingAreaAttack and the material-pattern group, then
// the evaluator's own positional term groups unless a material pattern has
// damped the score, and the final sum. Fills both totals and returns the
// score from the side to move's view.
using PositionalTermsFn = void (*)(FullEvalState& s);
int32_t EvaluatePatterns(int32_t alpha, int32_t* redTotal, int32_t* blackTotal,
                         PositionalTermsFn positionalTerms);

// Material-pattern terms: the low-material bonuses of the set-up (run before
// the winning-chances test) and the chariot and low-material patterns of the
// term groups (material_patterns.cpp).
void MaterialPatternsLowMaterial(FullEvalState& s);
void MaterialPatternsTermGroup(FullEvalState& s);

// The rules of a term group that the full and the medium evaluator share:
// the medium evaluator's rule set changes a few of the full evaluator's.
enum class RuleSet { kFull, kMedium };

// Pawn and knight terms of kSide (piece_pawn_terms.cpp).
template <uint32_t kSide, RuleSet kRules>
void PawnKnightTerms(FullEvalState& s);
// The attack of kSide on the enemy palace, every group in order
// (palace_attack*.cpp), starting with the enemy pieces hemmed in on kSide's
// half and the enemy chariots' mobility that close the pawn and knight
// terms. The medium rule set leaves out the central-cannon and back-rank
// cannon groups.
template <uint32_t kSide, RuleSet kRules>
void PalaceAttack(FullEvalState& s);
// Groups of the palace attack told apart: rules by the enemy king's square,
// the central cannon, the back-rank cannon and chariot rules, and the closing
// attack terms with their steps once the defender has at most one adviser
// (closing_attack*.cpp).
void KingSquareRulesRed(FullEvalState& s);
void KingSquareRulesBlack(FullEvalState& s);
void CentralCannonRed(FullEvalState& s);
void CentralCannonBlack(FullEvalState& s);
void BackRankRulesRed(FullEvalState& s);
void BackRankRulesBlack(FullEvalState& s);
template <uint32_t kSide, RuleSet kRules>
void ClosingAttack(FullEvalState& s);
template <uint32_t kSide, RuleSet kRules>
void ClosingPressureSteps(FullEvalState& s);
