// The medium evaluator (knowledge level 2, and the choice for reduced
// material): the full evaluator's frame and term groups in the same order,
// without the central-cannon and back-rank cannon groups of the palace
// attacks, and with the differing groups of eval_medium_*.cpp. The thin
// defence of the closing attack is left out as well.
#include "engine/eval/eval_medium.h"

#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/eval/palace_attack_groups.h"

namespace medium_eval {

template <uint32_t kSide>
void PalaceAttack(FullEvalState& s) {
  HemmedDefendersGroup<kSide>(s);
  palace_attack::OffCentreKingGroup<kSide>(s);
  DefendingKnightsGroup<kSide>(s);
  palace_attack::BackRankPinsGroup<kSide>(s);
  if constexpr (kSide == kRed)
    KingSquareRulesRed(s);
  else
    KingSquareRulesBlack(s);
  const int32_t w = palace_attack::KnightWingGroup<kSide>(s);
  if (w != 0) palace_attack::AttackStrengthGroup<kSide>(s, w);
  // The central cannon and the cannons and chariots on the back rank are
  // the full evaluator's alone.
  palace_attack::ScreeningKnightGroup<kSide>(s);
  ClosingAttack<kSide>(s);
}

template void PalaceAttack<kRed>(FullEvalState&);
template void PalaceAttack<kBlack>(FullEvalState&);

}  // namespace medium_eval

namespace {

void MediumPositionalTerms(FullEvalState& s) {
  medium_eval::PawnKnightTerms<kRed>(s);
  medium_eval::PalaceAttack<kRed>(s);
  medium_eval::PawnKnightTerms<kBlack>(s);
  medium_eval::PalaceAttack<kBlack>(s);
}

}  // namespace

int32_t EvaluateMedium(int32_t alpha, int32_t* redTotal, int32_t* blackTotal) {
  return EvaluatePatterns(alpha, redTotal, blackTotal, MediumPositionalTerms);
}
