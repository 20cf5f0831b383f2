// The specialised endgame evaluators that SelectEndgameEvaluator hands out,
// one per material case. Each fills the caller's verdict: flag None first,
// then a score and flag once one of its rules decides.
#pragma once

#include <cstdint>

#include "engine/eval/evaluate.h"

// Verdict helpers of the endgame evaluators (verdicts.cpp): score 0 and flag
// None, the state before any rule decides; whether a rule has decided; and
// the win and cannot-lose verdicts of either side.
void ClearVerdict(EndgameVerdict* verdict);
inline bool Decided(const EndgameVerdict* verdict) { return verdict->flag != kVerdictNone; }
void SetWinsVerdict(uint32_t side, int32_t x, EndgameVerdict* verdict);
void SetCannotLoseVerdict(uint32_t side, EndgameVerdict* verdict);

// Kings, advisers, elephants and pawns only.
void EvalPawnEnding(EndgameVerdict* verdict);
// A side without knight, cannon or chariot and with at most one pawn.
void EvalDefenceOnlyRed(EndgameVerdict* verdict);
void EvalDefenceOnlyBlack(EndgameVerdict* verdict);
// Chariot against chariot, and a bare chariot against a chariot with a
// cannon or with pawns.
void EvalChariotVsChariot(EndgameVerdict* verdict);
void EvalBareChariotVsChariotCannonRed(EndgameVerdict* verdict);
void EvalBareChariotVsChariotCannonBlack(EndgameVerdict* verdict);
void EvalBareChariotVsChariotPawnsRed(EndgameVerdict* verdict);
void EvalBareChariotVsChariotPawnsBlack(EndgameVerdict* verdict);
// A chariot against a lone cannon or knight.
void EvalChariotVsCannonRed(EndgameVerdict* verdict);
void EvalChariotVsCannonBlack(EndgameVerdict* verdict);
void EvalChariotVsKnightRed(EndgameVerdict* verdict);
void EvalChariotVsKnightBlack(EndgameVerdict* verdict);
void EvalChariotVsCannonElephantsRed(EndgameVerdict* verdict);
void EvalChariotVsCannonElephantsBlack(EndgameVerdict* verdict);
void EvalChariotVsKnightElephantsRed(EndgameVerdict* verdict);
void EvalChariotVsKnightElephantsBlack(EndgameVerdict* verdict);
// Minor-piece endings.
void EvalLoneMinorVsPawnsRed(EndgameVerdict* verdict);
void EvalLoneMinorVsPawnsBlack(EndgameVerdict* verdict);
void EvalCannonVsKnightPawnsRed(EndgameVerdict* verdict);
void EvalCannonVsKnightPawnsBlack(EndgameVerdict* verdict);
void EvalCannonVsTwoCannonsRed(EndgameVerdict* verdict);
void EvalCannonVsTwoCannonsBlack(EndgameVerdict* verdict);
void EvalKnightVsTwoKnightsRed(EndgameVerdict* verdict);
void EvalKnightVsTwoKnightsBlack(EndgameVerdict* verdict);
void EvalKnightPawnsVsNoAdvisersRed(EndgameVerdict* verdict);
// A chariot and a second piece against a chariot, and a chariot against two.
void EvalChariotKnightVsChariotRed(EndgameVerdict* verdict);
void EvalChariotKnightVsChariotBlack(EndgameVerdict* verdict);
void EvalChariotCannonVsChariotRed(EndgameVerdict* verdict);
void EvalChariotCannonVsChariotBlack(EndgameVerdict* verdict);
void EvalChariotVsTwoChariotsRed(EndgameVerdict* verdict);
void EvalChariotVsTwoChariotsBlack(EndgameVerdict* verdict);
