// The evaluator pointer and its selection by knowledge level, and the
// level-0 evaluator that scores material (plus endgame knowledge) only.
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

EvaluatorFn evaluator = EvaluateFull;
int32_t lazyMargin = 800;

EvaluatorFn EvaluatorForLevel(uint32_t level) {
  switch (level) {
    case 0:
      return EvaluateMaterial;
    case 1:
      return EvaluateLight;
    case 2:
      return EvaluateMedium;
    default:
      return EvaluateFull;
  }
}

void SelectEvaluator() {
  // Compared unsigned: negative levels select the full evaluator too.
  const uint32_t level = static_cast<uint32_t>(middleKnowledge);
  evaluator = EvaluatorForLevel(level);
  if (level == 0)
    lazyMargin = 200;
  else if (level <= 2)
    lazyMargin = 400;
  else
    lazyMargin = static_cast<int32_t>(100u * level);  // wraps like the signed product
}

int32_t EvaluateMaterial(int32_t /*alpha*/, int32_t* redTotal, int32_t* blackTotal) {
  *redTotal = 0;
  *blackTotal = 0;
  const int32_t b = materialBalance;
  if (attackerCount[kRed] <= 2 || attackerCount[kBlack] <= 2) {
    if (const EndgameEvaluatorFn endgame = SelectEndgameEvaluator(); endgame != nullptr) {
      EndgameVerdict verdict{0, kVerdictNone};
      endgame(&verdict);
      if (verdict.flag < 8) return verdict.score;  // Exact, AtLeast, AtMost
      if (verdict.flag == kVerdictDrawish)
        return sideToMove == kRed ? verdict.score + b / 3 + kTempoBonus
                                  : verdict.score - b / 3 + kTempoBonus;
    }
  }
  return sideToMove == kRed ? b + kTempoBonus : kTempoBonus - b;
}
