// The pickers of the quiescence search. Each call hands out the next move of
// the node at the current ply, or 0 once the node has no move left, and keeps
// its place in the ply's MovePicker record between calls:
//   NextCaptureQ                 PV move, captures best-first
//   NextCaptureOrCheckQ          ... then knight and pawn quiet checks
//   NextCaptureOrCheckQExtended  ... then also chariot and cannon checks
//   NextEvasion                  PV move, captures, quiet evasions best-first
// The moves are pseudo-legal; the search makes each with MakeMove and skips
// a refused one. The PV move is not filtered out of the later stages.
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

// Stage 0: the PV move while PV following is on. A PV move that is not valid
// here ends PV following. Returns 0 when nothing is handed out.
Move OfferPvMove(MovePicker& r) {
  if (followPv == 0 || r.pvMove == 0) return 0;
  if (IsValidMove(r.pvMove)) {
    r.stage = kStageGenCaptures;
    return r.pvMove;
  }
  followPv = 0;
  return 0;
}

void StartCaptures(MovePicker& r) {
  r.next = 0;
  r.count = 0;
  GenerateCaptures();
}

// Stage 8: the best remaining capture, cheaper mover first on equal scores.
Move NextCaptureEntry(MovePicker& r) {
  if (r.next >= r.count) return 0;
  r.stage = kStageCaptures;
  PickBestWithTieBreak(r);
  return r.entries[r.next++].move;
}

// Stages 0, 7 and 8 of the three pickers that are not in check. Returns the
// move to hand out, or 0 when the captures are exhausted (the caller then
// goes on to its next stage) or the stage is not one of these.
[[gnu::always_inline]] inline Move CaptureStages(MovePicker& r) {
  switch (r.stage) {
    case kStagePv:
      if (const Move pv = OfferPvMove(r)) return pv;
      [[fallthrough]];
    case kStageGenCaptures:
      StartCaptures(r);
      [[fallthrough]];
    case kStageCaptures:
      return NextCaptureEntry(r);
    default:
      return 0;
  }
}

bool IsCaptureStage(int32_t stage) {
  return stage == kStagePv || stage == kStageGenCaptures || stage == kStageCaptures;
}

// Stages 13 and 14: quiet checks in generated order; a check whose target
// square is occupied is skipped (the knight checks do not test it).
Move QuietCheckStages(MovePicker& r, uint32_t extra) {
  if (r.stage == kStageGenChecks) {
    r.next = 0;
    r.count = 0;
    GenerateQuietChecks(extra);
    r.stage = kStageChecks;
  }
  if (r.stage != kStageChecks) return 0;
  while (r.next < r.count) {
    const Move m = r.entries[r.next++].move;
    if (board[MoveTo(m)] == 0) return m;
  }
  return 0;
}

Move NextCaptureOrCheck(uint32_t extra) {
  MovePicker& r = movePickers[historyPly];
  if (IsCaptureStage(r.stage)) {
    if (const Move m = CaptureStages(r)) return m;
    r.stage = kStageGenChecks;
  }
  return QuietCheckStages(r, extra);
}

// Stage 9: the quiet evasions. Against a chariot or cannon only the moves
// touching the checking line (the king's file or rank, whichever holds the
// checker); against any other checker every quiet move.
void GenerateEvasions(MovePicker& r) {
  r.next = 0;
  r.count = 0;
  const uint32_t checker = r.checker;
  const uint32_t type = checker <= 32 ? pieceTypeOf[checker] : 0;
  if (type == kCannon || type == kChariot) {
    const Square king = sideToMove == kRed ? posPiece[1] : posPiece[17];
    const Square from = posPiece[checker];
    if ((from & 0xF0) == (king & 0xF0))
      GenerateFileInterpositions(king & 0xF0);
    else if ((from & 0x0F) == (king & 0x0F))
      GenerateRankInterpositions(king & 0x0F);
  } else {
    GenerateQuietMoves();
  }
}

}  // namespace

Move NextCaptureQ() { return CaptureStages(movePickers[historyPly]); }

Move NextCaptureOrCheckQ() { return NextCaptureOrCheck(0); }

Move NextCaptureOrCheckQExtended() { return NextCaptureOrCheck(1); }

Move NextEvasion() {
  MovePicker& r = movePickers[historyPly];
  if (IsCaptureStage(r.stage)) {
    if (const Move m = CaptureStages(r)) return m;
    r.stage = kStageGenQuiet;
  }
  if (r.stage == kStageGenQuiet) {
    GenerateEvasions(r);
    r.stage = kStageQuiet;
  }
  if (r.stage != kStageQuiet || r.next >= r.count) return 0;
  PickBest(r);
  return r.entries[r.next++].move;
}
