#include "engine/position/perft.h"

#include <cstring>

#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/new_game.h"

namespace {

// Moves of the current ply, copied out of the picker record because the
// record of the next ply is reused below.
int CollectMoves(Move* out) {
  MovePicker& r = movePickers[historyPly];
  r.next = 0;
  r.count = 0;
  GenerateAllMoves();
  for (int i = 0; i < r.count; ++i) out[i] = r.entries[i].move;
  return r.count;
}

// Last-ply counting without making the moves. With the king not in check, a
// move of another piece can expose the king only through a square it leaves
// or enters on a line from the king to an enemy chariot, cannon or king, or
// by leaving the leg of an enemy knight aimed at the king (and a capture
// under the iron-pawn rule has its own test). Every other such move is legal
// as it stands; the rest go through the same trial MakeMove applies.
class LeafLegality {
 public:
  LeafLegality(uint32_t side, bool inCheck) {
    const uint32_t enemy = side == kRed ? 16 : 0;
    king_ = side == kRed ? *redKingSquarePtr : *blackKingSquarePtr;
    ironSquare_ = side == kRed ? (blackIronPawn ? kBlackCentralPawnSquare : 0)
                               : (redIronPawn ? kRedCentralPawnSquare : 0);
    trialAll_ = inCheck;
    // The enemy king faces ours along the file like a chariot.
    NoteLinePiece(posPiece[1 + enemy]);
    for (uint32_t i = 8 + enemy; i <= 11 + enemy; ++i) NoteLinePiece(posPiece[i]);
    for (int n = 0; n < 2; ++n) {
      const uint32_t knight = posPiece[6 + enemy + static_cast<uint32_t>(n)];
      legs_[n] = knight != 0 ? knightLeg[knight][king_] : 0;
    }
  }

  bool IsLegal(Square from, Square to) const {
    if (trialAll_ || from == king_ || to == ironSquare_ || OnOpenLine(from) || OnOpenLine(to) ||
        from == legs_[0] || from == legs_[1])
      return IsLegalByTrial(from, to) != 0;
    return true;
  }

 private:
  // Directions from the king: along the file (rank +1, -1) and along the rank
  // (file +1, -1); reach_ is the distance of the farthest enemy line piece.
  static int Direction(int delta, int* distance) {
    *distance = delta < 0 ? -delta : delta;
    return delta > 0 ? 0 : 1;
  }
  bool Aligned(uint32_t s, int* dir, int* distance) const {
    if (s == 0 || s == king_) return false;
    if (FileOf(s) == FileOf(king_)) {
      *dir = Direction(RankOf(s) - RankOf(king_), distance);
      return true;
    }
    if (RankOf(s) == RankOf(king_)) {
      *dir = 2 + Direction(FileOf(s) - FileOf(king_), distance);
      return true;
    }
    return false;
  }
  void NoteLinePiece(uint32_t s) {
    int dir, distance;
    if (Aligned(s, &dir, &distance) && distance > reach_[dir]) reach_[dir] = distance;
  }
  bool OnOpenLine(uint32_t s) const {
    int dir, distance;
    return Aligned(s, &dir, &distance) && distance < reach_[dir];
  }

  uint32_t king_;
  uint32_t ironSquare_;
  bool trialAll_;
  int reach_[4] = {0, 0, 0, 0};
  uint32_t legs_[2];
};

uint64_t PerftNode(int depth) {
  Move moves[kMaxPickerEntries];
  const int n = CollectMoves(moves);
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  uint64_t total = 0;
  if (depth <= 1) {
    const LeafLegality leaves(sideToMove, checker != 0);
    for (int i = 0; i < n; ++i) total += leaves.IsLegal(MoveFrom(moves[i]), MoveTo(moves[i]));
    return total;
  }
  for (int i = 0; i < n; ++i) {
    if (!MakeMove(moves[i], checker)) continue;
    total += PerftNode(depth - 1);
    UnmakeMove();
  }
  return total;
}

}  // namespace

bool SetUpPerftPosition(const char* fen, std::string* error) {
  InitKeyTables();
  if (fen == nullptr || !CheckFenText(fen, error)) {
    if (fen == nullptr) *error = "no text";
    return false;
  }
  ResetGameState(1);
  return LoadFenStartPosition(fen, error);
}

bool LoadFenStartPosition(const char* fen, std::string* error) {
  ParseFen(fen, board, posPiece, &sideToMove);
  if (!ValidateBoard()) {
    *error = "the position needs one king per side inside its palace";
    return false;
  }
  PrepareEvaluation();
  std::memcpy(displayBoard, board, sizeof displayBoard);
  startSideToMove = shownSideToMove = sideToMove;
  historyBase = &history[1];
  historyPly = 0;
  // The side that has just moved may not be left in check (kings facing
  // included): such a position cannot arise in a game.
  if (FindChecker(1 - sideToMove) != 0) {
    *error = "the side not to move is in check";
    return false;
  }
  return true;
}

uint64_t Perft(int depth) {
  if (depth <= 0) return 1;
  // A search never goes deeper than the picker records allow.
  if (depth >= kMaxSearchPly) depth = kMaxSearchPly - 1;
  return PerftNode(depth);
}

void PerftDivide(int depth, const std::function<void(Move, uint64_t)>& report) {
  if (depth <= 0) return;
  if (depth >= kMaxSearchPly) depth = kMaxSearchPly - 1;
  Move moves[kMaxPickerEntries];
  const int n = CollectMoves(moves);
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  for (int i = 0; i < n; ++i) {
    if (!MakeMove(moves[i], checker)) continue;
    report(moves[i], depth <= 1 ? 1 : PerftNode(depth - 1));
    UnmakeMove();
  }
}
