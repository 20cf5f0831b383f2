// The back-rank cannon and chariot rules of the palace attack. TODO: being built; until then
// the group adds nothing.
#include "engine/eval/full_eval.h"

void BackRankRulesRed(FullEvalState&) {}
void BackRankRulesBlack(FullEvalState&) {}
