// The term groups of the medium evaluator that differ from the full
// evaluator's (eval_medium_*.cpp); the groups it shares unchanged are the
// full evaluator's own. Internal to the medium evaluator and its tests.
//
// Each group is told by the side whose bonuses it gathers (kSide red: red's
// terms and red's attack on the black palace; kSide black: the twins).
#pragma once

#include <cstdint>

#include "engine/eval/full_eval.h"

namespace medium_eval {

// Pawn and knight terms of kSide and the enemy chariots' mobility: the full
// evaluator's terms, except that a captured wing pawn never counts as
// advanced against the enemy knights, with the rule of an enemy knight
// sandwiched between two chariots on its file (eval_medium_pawn_terms.cpp).
template <uint32_t kSide>
void PawnKnightTerms(FullEvalState& s);

// Group 0 of the palace attack: the full group with the knight beside the
// own elephant graded by an edge square, and the enemy chariots' mobility
// counted on their first five ranks only (eval_medium_palace.cpp).
template <uint32_t kSide>
void HemmedDefendersGroup(FullEvalState& s);

// Group 2 of the palace attack: the full group with a flat bonus for the
// piece in front of a cornered enemy knight, and the pawn-against-knight
// bonuses graded by attack counts (eval_medium_palace.cpp).
template <uint32_t kSide>
void DefendingKnightsGroup(FullEvalState& s);

// Group 10 of the palace attack, the closing attack terms: the full group
// with the medium two-chariot amounts, fixed target squares for the
// back-rank entry on the left wing, and no thin-defence rules
// (eval_medium_closing.cpp).
template <uint32_t kSide>
void ClosingAttack(FullEvalState& s);

// Steps of the closing attack once the defender has at most one adviser,
// with the medium two-chariot amounts (eval_medium_pressure.cpp).
template <uint32_t kSide>
void ClosingPressureSteps(FullEvalState& s);

// The whole attack of kSide on the enemy palace, in the full evaluator's
// group order without the central-cannon and back-rank cannon groups
// (eval_medium.cpp).
template <uint32_t kSide>
void PalaceAttack(FullEvalState& s);

}  // namespace medium_eval
