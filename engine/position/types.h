// Basic vocabulary of the engine: squares, piece indices, piece types, moves,
// the per-ply history record and the per-ply move picker record.
#pragma once

#include <cstdint>

// A board square 0..207 = 16 * (file + 2) + (rank + 2). Files 0..8, ranks
// 0..9; rank 0 is black's back rank. +1 steps one rank towards red's back
// rank, +16 one file higher. Playing squares run from 34 to 171.
using Square = uint32_t;
// Identity of a piece for the whole game: 1..32, 0 = none; black = red + 16.
using PieceIndex = uint32_t;
// Colourless 1 pawn .. 7 king; coloured form adds 7 for black; 0 = none.
using PieceType = uint32_t;
// From-square in the high 16 bits, to-square in the low 16 bits; 0 = none.
using Move = uint32_t;

constexpr int kBoardSize = 208;
constexpr Square kFirstSquare = 34;
constexpr Square kLastSquare = 171;
constexpr Square kRedKingHome = 107;
constexpr Square kBlackKingHome = 98;
constexpr Square kBlackCentralPawnSquare = 101;  // file 4, rank 3
constexpr Square kRedCentralPawnSquare = 104;    // file 4, rank 6
constexpr Square kRedPalaceCentre = 106;
constexpr Square kBlackPalaceCentre = 99;

enum : uint32_t {
  kPawn = 1,
  kAdviser = 2,
  kElephant = 3,
  kKnight = 4,
  kCannon = 5,
  kChariot = 6,
  kKing = 7,
};

enum : uint32_t { kRed = 0, kBlack = 1 };

constexpr inline Square MakeSquare(int file, int rank) {
  return static_cast<Square>(16 * (file + 2) + (rank + 2));
}
constexpr inline int FileOf(Square s) { return (static_cast<int>(s) - 34) >> 4; }
constexpr inline int RankOf(Square s) { return (static_cast<int>(s) - 34) & 15; }
constexpr inline Square MoveFrom(Move m) { return m >> 16; }
constexpr inline Square MoveTo(Move m) { return m & 0xFFFF; }
constexpr inline Move MakeMoveCode(Square from, Square to) { return (from << 16) | to; }
// Same file, rank 9 - rank: the square seen from the other side.
constexpr inline Square RankMirror(Square s) { return 16 * (s / 16) + 13 - (s % 16); }

// Games hold at most 1201 moves (a user move is refused once more than 1200
// have been played) and a search adds at most 128 plies behind gamePly + 1.
constexpr int kMaxGameMoves = 1201;
constexpr int kMaxSearchPly = 128;
constexpr int kHistorySize = kMaxGameMoves + 1 + kMaxSearchPly + 2;

// One record per ply, shared by the game (history[1..gameLength]) and the
// search (behind history[gamePly + 1]).
struct HistoryRecord {
  uint64_t lock;             // positionLock before the move
  uint64_t key;              // positionKey before the move
  Move move;                 // 0 for a null move
  uint32_t reversibleMoves;  // reversibleMoves before the move
  uint32_t captured;         // captured PieceIndex, 0 none
  int32_t checker;           // enemy piece giving check to the mover, 0 none
  int32_t extension;         // search extension in sixteenths of a ply
  uint32_t extended;         // set by the search when the move was extended
  int32_t engineScore;       // engine's score for an engine move
  int32_t balance;           // materialBalance before the move
  int32_t engineDepth;       // iteration depth of an engine move
  char wxfText[8];
  char axfText[8];
  char wxfTextChinese[10];
  char axfTextChinese[10];
  uint8_t engineMove;  // 1 when the engine played the move
  uint8_t searchFlag;  // owned by the search driver
};

struct MoveEntry {
  Move move;
  int32_t score;
};

// Stage codes of the staged pickers.
enum PickerStage : int32_t {
  kStagePv = 0,
  kStageTt = 3,
  kStageKiller1 = 4,
  kStageKiller2 = 5,
  kStageGenCaptures = 7,
  kStageCaptures = 8,
  kStageGenQuiet = 9,
  kStageQuiet = 10,
  kStageGenChecks = 13,
  kStageChecks = 14,
};

// A side never has more than 119 pseudo-legal moves (two chariots and two
// cannons 17 each, knights 8, pawns 3, elephants, advisers and king 4 each);
// every generator checks its own bound against this capacity at compile time.
constexpr int kMaxPickerEntries = 128;

struct MovePicker {
  int32_t stage;
  int32_t count;
  int32_t next;
  Move ttMove;
  Move pvMove;
  Move killer1;
  Move killer2;
  Move returnedPv;
  Move returnedTt;
  Move returnedKiller1;
  Move returnedKiller2;
  MoveEntry entries[kMaxPickerEntries];
  uint32_t checker;
};
