// The rules chosen by the enemy king's square of the palace attack. TODO: being built; until then
// the group adds nothing.
#include "engine/eval/full_eval.h"

void KingSquareRulesRed(FullEvalState&) {}
void KingSquareRulesBlack(FullEvalState&) {}
