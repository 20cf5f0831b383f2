// Endings in which one side has no knight, cannon or chariot and at most one
// pawn: the board seen from the defending side, and the case routines that
// refine particular material cases. The rules are written once, for red
// defending against black; black's twin reads every rank mirrored (rank r
// becomes 9 - r), with the colours and the verdict writers exchanged.
#pragma once

#include <cstdint>

#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace defence_only {

// The position as the rules read it, for the defending side kDef ("red" in
// the rules) against the attacking side ("black" in the rules).
template <uint32_t kDef>
struct View {
  static constexpr uint32_t kAtt = 1 - kDef;
  static constexpr PieceIndex kDefOffset = 16 * kDef;
  static constexpr PieceIndex kAttOffset = 16 * kAtt;

  // --- Squares -------------------------------------------------------------
  // The square the rules call (file, rank).
  static constexpr Square At(int file, int rank) {
    return MakeSquare(file, kDef == kRed ? rank : 9 - rank);
  }
  // The rank of a board square as the rules count it.
  static int Rank(Square s) { return kDef == kRed ? RankOf(s) : 9 - RankOf(s); }
  static bool Empty(int file, int rank) { return board[At(file, rank)] == 0; }
  static bool Occupied(int file, int rank) { return board[At(file, rank)] != 0; }
  static bool DefOn(int file, int rank, uint32_t type) {
    return typeBoard[At(file, rank)] == type + 7 * kDef;
  }
  static bool AttOn(int file, int rank, uint32_t type) {
    return typeBoard[At(file, rank)] == type + 7 * kAtt;
  }
  // A piece of the given colour and type on the given file, ranks lo..hi.
  static bool AttOnFile(int file, int lo, int hi, uint32_t type) {
    for (int r = lo; r <= hi; ++r)
      if (AttOn(file, r, type)) return true;
    return false;
  }

  // --- Kings ---------------------------------------------------------------
  static Square DefKing() { return posPiece[1 + kDefOffset]; }
  static Square AttKing() { return posPiece[1 + kAttOffset]; }
  static bool DefKingAt(int file, int rank) { return DefKing() == At(file, rank); }
  static bool AttKingAt(int file, int rank) { return AttKing() == At(file, rank); }
  static int DefKingFile() { return FileOf(DefKing()); }
  static int AttKingFile() { return FileOf(AttKing()); }
  // The attacking king stands on (file, 2), or on (file, 1) with (file, 2)
  // empty, or on (file, 0) with (file, 1) and (file, 2) empty: it looks down
  // the file from the front of its palace.
  static bool AttKingFacesDownFile(int file) {
    if (AttKingAt(file, 2)) return true;
    if (AttKingAt(file, 1)) return Empty(file, 2);
    if (AttKingAt(file, 0)) return Empty(file, 1) && Empty(file, 2);
    return false;
  }

  // --- Material ------------------------------------------------------------
  static int32_t Def(uint32_t type) { return static_cast<int32_t>(pieceCount[kDef][type - 1]); }
  static int32_t Att(uint32_t type) { return static_cast<int32_t>(pieceCount[kAtt][type - 1]); }
  static int32_t AttAttackers() { return static_cast<int32_t>(attackerCount[kAtt]); }
  // Advisers and elephants of the defending side.
  static int32_t Defenders() { return Def(kAdviser) + Def(kElephant); }

  // --- Pawns ---------------------------------------------------------------
  // The defending side's single pawn, 0 when it has none.
  static PieceIndex DefPawn() {
    for (PieceIndex p = 12 + kDefOffset; p <= 16 + kDefOffset; ++p)
      if (posPiece[p] != 0) return p;
    return 0;
  }
  static constexpr PieceIndex AttPawnFirst() { return 12 + kAttOffset; }
  static uint32_t AttPawnRankCode(Square s) {
    return kDef == kRed ? pawnRankCodeBlack[s] : pawnRankCodeRed[s];
  }
  static int32_t UsefulAttPawns(int32_t n) {
    return kDef == kRed ? CountUsefulPawnsBlack(n) : CountUsefulPawnsRed(n);
  }
  static int32_t UsefulDefPawns(int32_t n) {
    return kDef == kRed ? CountUsefulPawnsRed(n) : CountUsefulPawnsBlack(n);
  }
  static PieceIndex AttPawnNotBeyond(int32_t n) {
    return kDef == kRed ? FindPawnNotBeyondBlack(n) : FindPawnNotBeyondRed(n);
  }
  static PieceIndex DefPawnNotBeyond(int32_t n) {
    return kDef == kRed ? FindPawnNotBeyondRed(n) : FindPawnNotBeyondBlack(n);
  }
  static void AttPawnWings(int32_t* right, int32_t* centre, int32_t* left) {
    if (kDef == kRed)
      CountPawnWingsBlack(right, centre, left);
    else
      CountPawnWingsRed(right, centre, left);
  }

  // --- Attacking pieces ----------------------------------------------------
  static constexpr PieceIndex AttKnight(int i) { return 6 + i + kAttOffset; }
  // The attacking cannon stands on the centre file between ranks 2 and 6
  // with nothing between it and (4, 7): it aims down the centre file.
  static bool AttCannonAimsDownCentre() {
    for (int r = 6; r >= 2; --r) {
      if (AttOn(4, r, kCannon)) return true;
      if (Occupied(4, r)) return false;
    }
    return false;
  }
  static constexpr PieceIndex AttChariot(int i) { return 8 + i + kAttOffset; }
  static constexpr PieceIndex AttCannon(int i) { return 10 + i + kAttOffset; }
  // The first of a pair of pieces still on the board (the second when the
  // first is gone).
  static PieceIndex FirstOnBoard(PieceIndex first) {
    return posPiece[first] != 0 ? first : first + 1;
  }

  // --- Verdicts ------------------------------------------------------------
  static void AttWins(int32_t x, EndgameVerdict* v) { SetWinsVerdict(kAtt, x, v); }
  static void DefCannotLose(EndgameVerdict* v) { SetCannotLoseVerdict(kDef, v); }
};

// The whole evaluator for the defending side kDef.
template <uint32_t kDef>
void EvalDefenceOnly(EndgameVerdict* verdict);
// The case routines: each writes a verdict or leaves flag None.
template <uint32_t kDef>
void CannonCase(EndgameVerdict* verdict);
template <uint32_t kDef>
void OneDefenderCase(EndgameVerdict* verdict);
template <uint32_t kDef>
void CannonTail(EndgameVerdict* verdict);
template <uint32_t kDef>
void KnightTail(EndgameVerdict* verdict);

}  // namespace defence_only

// Black's lone cannon (no knight, no chariot) with pawns.
void DefenceOnlyCannonCaseRed(EndgameVerdict* verdict);
void DefenceOnlyCannonCaseBlack(EndgameVerdict* verdict);
// One adviser and no elephant against pieces without a chariot, black with
// an elephant.
void DefenceOnlyOneDefenderCaseRed(EndgameVerdict* verdict);
void DefenceOnlyOneDefenderCaseBlack(EndgameVerdict* verdict);
// Black cannons with useful pawns, when no earlier rule decided.
void DefenceOnlyCannonTailRed(EndgameVerdict* verdict);
void DefenceOnlyCannonTailBlack(EndgameVerdict* verdict);
// Black knights, when no earlier rule decided.
void DefenceOnlyKnightTailRed(EndgameVerdict* verdict);
void DefenceOnlyKnightTailBlack(EndgameVerdict* verdict);
