// The attack on the enemy palace. TODO: the pattern groups are being built;
// until then the section adds nothing.
#include "engine/eval/full_eval.h"

void RedPalaceAttack(FullEvalState&) {}
void BlackPalaceAttack(FullEvalState&) {}
