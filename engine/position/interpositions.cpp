// Quiet evasions against a chariot or cannon check: every quiet move of the
// side to move whose from-square or to-square lies on one given line (a file
// or a rank). With the king's own line this holds every block between king
// and checker, every move of a cannon screen off the line and every quiet
// king move; moves that end elsewhere on the line are left for MakeMove to
// refuse. Captures come from the capture generator.
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

// The line is given by the nibble of a Square that names it: the high nibble
// (mask 0xF0) for a file, the low nibble (mask 0x0F) for a rank.
struct Line {
  uint32_t mask;
  uint32_t code;
  bool Holds(Square s) const { return (s & mask) == code; }
  // A step of +-1 changes the rank and keeps the file, +-16 the reverse: a
  // walk with a step along the line keeps the nibble that names the line.
  bool Along(int step) const { return (step == 1 || step == -1) == (mask == 0xF0); }
  // For a square off the line: a walk with this step moves towards the line
  // (across it, the nibble moves monotonically, so it meets the line once).
  bool Ahead(Square from, int step) const {
    if (Along(step)) return false;
    const int gap = static_cast<int>(code) - static_cast<int>(from & mask);
    return step > 0 ? gap > 0 : gap < 0;
  }
};

class Collector {
 public:
  Collector(MovePicker& r, Line line) : r_(r), line_(line) {}

  // A candidate reachable by the piece's rule: kept when the target is empty
  // and the move touches the line.
  void Try(uint32_t piece, Square from, Square to) {
    if (board[to] != 0) return;
    if (!line_.Holds(from) && !line_.Holds(to)) return;
    if (n_ >= kMaxPickerEntries) return;
    MoveEntry& e = r_.entries[n_++];
    e.move = MakeMoveCode(from, to);
    e.score = static_cast<int32_t>(historyTable[colouredTypeOf[piece]][172 * from + to]);
  }

  // Every empty square along one direction up to the first occupied square
  // or the edge of the board. From a square off the line only the square
  // where the walk crosses the line can be kept: the walk stops there, and
  // walks along the line or away from it are not made at all.
  void Slide(uint32_t piece, Square from, int step) {
    if (line_.Holds(from)) {
      for (Square to = from + step; onBoard[to] && board[to] == 0; to += step) Try(piece, from, to);
      return;
    }
    if (!line_.Ahead(from, step)) return;
    for (Square to = from + step; onBoard[to] && board[to] == 0; to += step) {
      if (line_.Holds(to)) {
        Try(piece, from, to);
        return;
      }
    }
  }

  void Finish() { r_.count = n_; }

 private:
  MovePicker& r_;
  Line line_;
  int n_ = 0;
};

void Chariots(Collector& out, uint32_t first) {
  for (uint32_t piece = first; piece <= first + 1; ++piece) {
    const Square s = posPiece[piece];
    if (s == 0) continue;
    out.Slide(piece, s, +1);
    out.Slide(piece, s, -1);
    out.Slide(piece, s, -16);
    out.Slide(piece, s, +16);
  }
}

void Knights(Collector& out, uint32_t first) {
  // Each leg with the two targets behind it.
  static constexpr int kSteps[4][3] = {
      {-1, -18, +14}, {-16, -31, -33}, {+16, +31, +33}, {+1, +18, -14}};
  for (uint32_t piece = first; piece <= first + 1; ++piece) {
    const Square s = posPiece[piece];
    if (s == 0) continue;
    for (const auto& step : kSteps) {
      if (board[s + step[0]] != 0) continue;
      for (int j = 1; j <= 2; ++j) {
        const Square to = s + step[j];
        if (onBoard[to]) out.Try(piece, s, to);
      }
    }
  }
}

void Cannons(Collector& out, uint32_t first) {
  for (uint32_t piece = first; piece <= first + 1; ++piece) {
    const Square s = posPiece[piece];
    if (s == 0) continue;
    out.Slide(piece, s, +1);
    out.Slide(piece, s, -1);
    out.Slide(piece, s, +16);
    out.Slide(piece, s, -16);
  }
}

void Pawns(Collector& out, uint32_t first, uint32_t side) {
  for (uint32_t piece = first; piece <= first + 4; ++piece) {
    const Square s = posPiece[piece];
    if (s == 0) continue;
    const int file = FileOf(s), rank = RankOf(s);
    const bool crossed = side == kRed ? rank <= 4 : rank >= 5;
    if (crossed) {
      if (file < 8) out.Try(piece, s, s + 16);
      if (file > 0) out.Try(piece, s, s - 16);
    }
    if (side == kRed) {
      if (rank > 0) out.Try(piece, s, s - 1);
    } else {
      if (rank < 9) out.Try(piece, s, s + 1);
    }
  }
}

void Elephants(Collector& out, uint32_t first, const uint8_t* elephantSquare) {
  static constexpr int kSteps[4][2] = {{-34, -17}, {-30, -15}, {+34, +17}, {+30, +15}};
  for (uint32_t piece = first; piece <= first + 1; ++piece) {
    const Square s = posPiece[piece];
    if (s == 0) continue;
    for (const auto& step : kSteps) {
      const Square to = s + step[0];
      if (elephantSquare[to] && board[s + step[1]] == 0) out.Try(piece, s, to);
    }
  }
}

void Advisers(Collector& out, uint32_t first, Square centre, const Square (&corners)[4]) {
  for (uint32_t piece = first; piece <= first + 1; ++piece) {
    const Square s = posPiece[piece];
    if (s == 0) continue;
    if (s == centre) {
      for (Square to : corners) out.Try(piece, s, to);
    } else {
      out.Try(piece, s, centre);
    }
  }
}

void King(Collector& out, uint32_t piece, const uint8_t* palace) {
  const Square s = posPiece[piece];
  if (s == 0) return;
  for (int step : {-16, +16, -1, +1}) {
    const Square to = s + step;
    if (palace[to]) out.Try(piece, s, to);
  }
}

void GenerateLineMoves(Line line) {
  static constexpr Square kRedCorners[4] = {123, 91, 89, 121};
  static constexpr Square kBlackCorners[4] = {114, 82, 116, 84};
  Collector out(movePickers[historyPly], line);
  const uint32_t side = sideToMove;
  const uint32_t base = side == kRed ? 0 : 16;
  Chariots(out, 8 + base);
  Knights(out, 6 + base);
  Cannons(out, 10 + base);
  Pawns(out, 12 + base, side);
  if (side == kRed) {
    Elephants(out, 4, redElephantSquare.data());
    Advisers(out, 2, kRedPalaceCentre, kRedCorners);
    King(out, 1, redPalace.data());
  } else {
    Elephants(out, 20, blackElephantSquare.data());
    Advisers(out, 18, kBlackPalaceCentre, kBlackCorners);
    King(out, 17, blackPalace.data());
  }
  out.Finish();
}

}  // namespace

void GenerateFileInterpositions(uint32_t fileCode) { GenerateLineMoves(Line{0xF0, fileCode}); }

void GenerateRankInterpositions(uint32_t rankCode) { GenerateLineMoves(Line{0x0F, rankCode}); }
