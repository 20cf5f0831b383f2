// The static evaluation: the evaluator contract and selection, the endgame
// verdicts and their selector, the draw predicates, and the pawn and palace
// helpers that the evaluators share.
#pragma once

#include <array>
#include <cstdint>

#include "engine/eval/prepare.h"
#include "engine/position/types.h"

// ---------------------------------------------------------------------------
// Evaluator contract and selection (frame.cpp)
// ---------------------------------------------------------------------------
// eval(alpha, out redTotal, out blackTotal): score from the side to move's
// view; the totals are the positional bonuses of each side.
using EvaluatorFn = int32_t (*)(int32_t alpha, int32_t* redTotal, int32_t* blackTotal);
extern EvaluatorFn evaluator;  // the active evaluator; EvaluateFull at start
extern int32_t lazyMargin;     // margin of the lazy cut; 800 at start
constexpr int32_t kTempoBonus = 6;

void SelectEvaluator();
// Remembering evaluations by position while a search runs: Start empties
// the memory and turns it on, Stop turns it off. Only a search may turn it on:
// the evaluation settings and piece-square tables must stay as they are
// until Stop.
void StartEvalMemo();
// Starts loading the memory entry of the position with this key.
void PrefetchEvalMemo(uint64_t key);
void StopEvalMemo();
// The evaluator that a knowledge level runs: 0 material only, 1 light,
// 2 medium, any other value (compared unsigned) the full evaluator.
// SelectEvaluator and the material down-grade of PrepareEvaluation both
// take their evaluator from here.
EvaluatorFn EvaluatorForLevel(uint32_t level);
int32_t EvaluateMaterial(int32_t alpha, int32_t* redTotal, int32_t* blackTotal);
int32_t EvaluateLight(int32_t alpha, int32_t* redTotal, int32_t* blackTotal);
int32_t EvaluateMedium(int32_t alpha, int32_t* redTotal, int32_t* blackTotal);
int32_t EvaluateFull(int32_t alpha, int32_t* redTotal, int32_t* blackTotal);

// ---------------------------------------------------------------------------
// Endgame verdicts (verdicts.cpp, endgame_select.cpp)
// ---------------------------------------------------------------------------
enum VerdictFlag : int32_t {
  kVerdictExact = 1,
  kVerdictAtLeast = 2,
  kVerdictAtMost = 4,
  kVerdictDrawish = 16,
  kVerdictNone = 32,
};
struct EndgameVerdict {
  int32_t score;  // side to move's view
  int32_t flag;   // VerdictFlag
};
using EndgameEvaluatorFn = void (*)(EndgameVerdict* verdict);

// The evaluator for the material on the board, or nullptr.
EndgameEvaluatorFn SelectEndgameEvaluator();
void SetDrawVerdict(EndgameVerdict* verdict);
void SetRedCannotLoseVerdict(EndgameVerdict* verdict);
void SetBlackCannotLoseVerdict(EndgameVerdict* verdict);
void SetRedWinsVerdict(int32_t x, EndgameVerdict* verdict);
void SetBlackWinsVerdict(int32_t x, EndgameVerdict* verdict);
void EvalNoAttackersDraw(EndgameVerdict* verdict);
// 1 on the squares of files 0 and 8.
extern const uint8_t edgeFileSquare[kBoardSize];

// ---------------------------------------------------------------------------
// Piece-square corrections before a search (pst_adjust.cpp)
// ---------------------------------------------------------------------------
void AdjustPieceSquareTables();

// ---------------------------------------------------------------------------
// Pawn and palace terms (pawn_palace_terms.cpp)
// ---------------------------------------------------------------------------
// The black palace and the squares beside and in front of it (files 2..6,
// ranks 1..3), non-zero; red's is the rank mirror (ranks 6..8).
inline constexpr std::array<uint8_t, kBoardSize> palaceFrontZoneBlack = [] {
  constexpr uint8_t rows[3][5] = {{1, 1, 3, 1, 1}, {1, 2, 2, 2, 1}, {1, 1, 1, 1, 1}};
  std::array<uint8_t, kBoardSize> t{};
  for (int r = 1; r <= 3; ++r)
    for (int f = 2; f <= 6; ++f) t[MakeSquare(f, r)] = rows[r - 1][f - 2];
  return t;
}();
inline constexpr std::array<uint8_t, kBoardSize> palaceFrontZoneRed = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (int s = 0; s < kBoardSize; ++s)
    if (palaceFrontZoneBlack[s] != 0) t[RankMirror(s)] = palaceFrontZoneBlack[s];
  return t;
}();
// Back-rank wing squares outside the palace files: 1 on files 0..2 and 2 on
// files 6..8 of rank 0, 4 and 8 likewise on rank 9.
inline constexpr std::array<uint8_t, kBoardSize> backRankWingFlags = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (int f = 0; f <= 2; ++f) {
    t[MakeSquare(f, 0)] = 1;
    t[MakeSquare(f + 6, 0)] = 2;
    t[MakeSquare(f, 9)] = 4;
    t[MakeSquare(f + 6, 9)] = 8;
  }
  return t;
}();

int32_t CountUsefulPawnsRed(int32_t n);
int32_t CountUsefulPawnsBlack(int32_t n);
PieceIndex FindAdvancedPawnRed(int32_t n);
PieceIndex FindAdvancedPawnBlack(int32_t n);
int32_t CountCrossedPawnsRed();
int32_t CountCrossedPawnsBlack();
void CountCrossedPawnWingsRed(int32_t* right, int32_t* centre, int32_t* left);
void CountCrossedPawnWingsBlack(int32_t* right, int32_t* centre, int32_t* left);
// The same three counts read from the wing zones of the enemy half.
void CountPawnWingsRed(int32_t* right, int32_t* centre, int32_t* left);
void CountPawnWingsBlack(int32_t* right, int32_t* centre, int32_t* left);
// The first live pawn in index order whose rank code exceeds n; 0 none.
PieceIndex FindPawnNotBeyondRed(int32_t n);
PieceIndex FindPawnNotBeyondBlack(int32_t n);
int32_t CountPalaceZonePawnsRed();
int32_t CountPalaceZonePawnsBlack();
int32_t IsFullDefenceSetupRed();
int32_t IsFullDefenceSetupBlack();
int32_t ChariotPalaceThreatRed();
int32_t ChariotPalaceThreatBlack();

// ---------------------------------------------------------------------------
// Draw predicates and attack helpers (draw_predicates.cpp, king_area.cpp)
// ---------------------------------------------------------------------------
int32_t RedCanWin();
int32_t BlackCanWin();
void FindLineAttackSquares(PieceIndex pieceA, PieceIndex pieceB, Square* first, Square* second);
void KingAreaAttack(int32_t* redTotal, int32_t* blackTotal, int32_t redNearPawns,
                    int32_t blackNearPawns);
extern const uint8_t wingZone[kBoardSize];
extern const uint8_t cornerZone[kBoardSize];

// ---------------------------------------------------------------------------
// Evaluation square tables of the full evaluator (eval_tables.cpp)
// ---------------------------------------------------------------------------
extern const uint8_t blackPalaceZone[kBoardSize];
extern const uint8_t redPalaceZone[kBoardSize];
extern const uint8_t redKnightTargetSquares[kBoardSize];
extern const uint8_t blackKnightTargetSquares[kBoardSize];
// Pawn rank codes: a red pawn's code is rank + 1 on ranks 0..6 (7 on its
// start rank, 1 on black's back rank), 0 on ranks 7..9; black's is the rank
// mirror. A pawn with code 1..5 has crossed the river; 0 off the board.
extern const uint8_t pawnRankCodeRed[kBoardSize];
extern const uint8_t pawnRankCodeBlack[kBoardSize];
extern const uint8_t edgeInwardSquare[kBoardSize];
extern const uint8_t fileSide[kBoardSize];
