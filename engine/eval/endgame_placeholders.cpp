// Stand-ins for the specialised endgame evaluators: each one knows nothing
// yet and leaves the verdict at flag None, so the static evaluators score the
// position as usual.
// TODO: replace each stand-in with the evaluator's real rules.
#include "engine/eval/endgame.h"

namespace {

void NoKnowledge(EndgameVerdict* verdict) {
  verdict->score = 0;
  verdict->flag = kVerdictNone;
}

}  // namespace

void EvalPawnEnding(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalDefenceOnlyRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalDefenceOnlyBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsChariot(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalBareChariotVsChariotCannonRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalBareChariotVsChariotCannonBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalBareChariotVsChariotPawnsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalBareChariotVsChariotPawnsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsCannonRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsCannonBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsKnightRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsKnightBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsCannonElephantsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsCannonElephantsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsKnightElephantsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsKnightElephantsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalLoneMinorVsPawnsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalLoneMinorVsPawnsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalCannonVsKnightPawnsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalCannonVsKnightPawnsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalCannonVsTwoCannonsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalCannonVsTwoCannonsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalKnightVsTwoKnightsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalKnightVsTwoKnightsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalKnightPawnsVsNoAdvisersRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotKnightVsChariotRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotKnightVsChariotBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotCannonVsChariotRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotCannonVsChariotBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsTwoChariotsRed(EndgameVerdict* verdict) { NoKnowledge(verdict); }
void EvalChariotVsTwoChariotsBlack(EndgameVerdict* verdict) { NoKnowledge(verdict); }
