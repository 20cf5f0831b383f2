// The central cannon rules of the palace attack. TODO: being built; until then
// the group adds nothing.
#include "engine/eval/full_eval.h"

void CentralCannonRed(FullEvalState&) {}
void CentralCannonBlack(FullEvalState&) {}
