// The light evaluator (knowledge level 1, and the choice for very little
// material): the full evaluator's set-up and material patterns, and of the
// two palace attacks only the rules chosen by the defending king's square,
// black's attack on the red king first, then red's on the black king. No
// pawn, knight or chariot-mobility terms run.
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"

namespace {

void LightPositionalTerms(FullEvalState& s) {
  KingSquareRulesBlack(s);
  KingSquareRulesRed(s);
}

}  // namespace

int32_t EvaluateLight(int32_t alpha, int32_t* redTotal, int32_t* blackTotal) {
  return EvaluatePatterns(alpha, redTotal, blackTotal, LightPositionalTerms);
}
