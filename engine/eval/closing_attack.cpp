// The closing attack terms of the palace attack. TODO: being built; until then
// the group adds nothing.
#include "engine/eval/full_eval.h"

void ClosingAttackRed(FullEvalState&) {}
void ClosingAttackBlack(FullEvalState&) {}
