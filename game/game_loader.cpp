// Staging of a loaded game: the staging session that lets a reader check its
// moves on the engine position without losing the user's game, and the
// commit that replaces the game once the file was read and checked.
#include "game/game_loader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/bridge.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/new_game.h"
#include "engine/search/opening_names.h"
#include "game/loaded_texts.h"
#include "game/notation.h"

namespace {

// Every variable that a staging session changes, saved at its start.
struct SavedPosition {
  int8_t board[kBoardSize];
  uint8_t typeBoard[kBoardSize];
  uint32_t posPiece[33];
  uint16_t rankOccupancy[10];
  uint16_t fileOccupancy[9];
  uint32_t sideToMove;
  int32_t gamePly;
  HistoryRecord history[kHistorySize];
  HistoryRecord* historyBase;
  int32_t historyPly;
  uint32_t reversibleMoves;
  uint64_t positionLock;
  uint64_t positionKey;
  int32_t materialBalance;
  uint32_t pieceCount[2][6];
  uint32_t attackerCount[2];
  int32_t attackWeight[2];
};

SavedPosition saved;
bool stagingOpen = false;

void SavePosition() {
  std::memcpy(saved.board, board, sizeof board);
  std::memcpy(saved.typeBoard, typeBoard, sizeof typeBoard);
  std::memcpy(saved.posPiece, posPiece, sizeof posPiece);
  std::memcpy(saved.rankOccupancy, rankOccupancy, sizeof rankOccupancy);
  std::memcpy(saved.fileOccupancy, fileOccupancy, sizeof fileOccupancy);
  saved.sideToMove = sideToMove;
  saved.gamePly = gamePly;
  std::memcpy(saved.history, history, sizeof history);
  saved.historyBase = historyBase;
  saved.historyPly = historyPly;
  saved.reversibleMoves = reversibleMoves;
  saved.positionLock = positionLock;
  saved.positionKey = positionKey;
  saved.materialBalance = materialBalance;
  std::memcpy(saved.pieceCount, pieceCount, sizeof pieceCount);
  std::memcpy(saved.attackerCount, attackerCount, sizeof attackerCount);
  std::memcpy(saved.attackWeight, attackWeight, sizeof attackWeight);
}

void RestorePosition() {
  std::memcpy(board, saved.board, sizeof board);
  std::memcpy(typeBoard, saved.typeBoard, sizeof typeBoard);
  std::memcpy(posPiece, saved.posPiece, sizeof posPiece);
  std::memcpy(rankOccupancy, saved.rankOccupancy, sizeof rankOccupancy);
  std::memcpy(fileOccupancy, saved.fileOccupancy, sizeof fileOccupancy);
  sideToMove = saved.sideToMove;
  gamePly = saved.gamePly;
  std::memcpy(history, saved.history, sizeof history);
  historyBase = saved.historyBase;
  historyPly = saved.historyPly;
  reversibleMoves = saved.reversibleMoves;
  positionLock = saved.positionLock;
  positionKey = saved.positionKey;
  materialBalance = saved.materialBalance;
  std::memcpy(pieceCount, saved.pieceCount, sizeof pieceCount);
  std::memcpy(attackerCount, saved.attackerCount, sizeof attackerCount);
  std::memcpy(attackWeight, saved.attackWeight, sizeof attackWeight);
}

// The standard start position without a handicap.
void StandardStart(int8_t cells[kBoardSize], uint32_t pieces[33]) {
  std::memset(cells, 0, kBoardSize);
  pieces[0] = 0;
  for (uint32_t i = 1; i <= 32; ++i) {
    pieces[i] = startSquareOf[i];
    cells[startSquareOf[i]] = static_cast<int8_t>(i);
  }
}

// Puts a start position on the engine position with everything that move
// making and the consistency check read (typeBoard, masks, counters, keys),
// but without the evaluation preparation, which the session does not save.
void SetStagedPosition(const int8_t cells[kBoardSize], const uint32_t pieces[33],
                       uint32_t side) {
  std::memcpy(board, cells, sizeof board);
  std::memcpy(posPiece, pieces, sizeof posPiece);
  std::memset(typeBoard, 0, sizeof typeBoard);
  std::memset(pieceCount, 0, sizeof pieceCount);
  for (uint32_t i = 1; i <= 32; ++i) {
    if (posPiece[i] == 0) continue;
    typeBoard[posPiece[i]] = static_cast<uint8_t>(colouredTypeOf[i]);
    if (pieceTypeOf[i] != kKing) ++pieceCount[i > 16][pieceTypeOf[i] - 1];
  }
  for (int s = 0; s < 2; ++s) {
    const uint32_t knights = pieceCount[s][kKnight - 1];
    const uint32_t cannons = pieceCount[s][kCannon - 1];
    const uint32_t chariots = pieceCount[s][kChariot - 1];
    attackerCount[s] = knights + cannons + chariots;
    attackWeight[s] = static_cast<int32_t>(5 * knights + 5 * cannons + 10 * chariots);
  }
  RebuildLineMasks();
  ComputePositionKeys(&positionLock, &positionKey, posPiece);
  sideToMove = side;
  reversibleMoves = 0;
  gamePly = 0;
  historyBase = &history[1];
  historyPly = 0;
}

// The side that is not to move must not stand in check: its king could be
// taken by the first move.
bool WaitingKingSafe(uint32_t side) {
  const uint32_t redKing = *redKingSquarePtr;
  const uint32_t blackKing = *blackKingSquarePtr;
  if ((redKing & 0xF0) == (blackKing & 0xF0) && KingsFace()) return false;
  return (side == kRed ? BlackKingAttacker() : RedKingAttacker()) == 0;
}

// Makes a move that was accepted before on the staged position.
bool RemakeStaged(Move move) {
  historyBase = &history[gamePly + 1];
  historyPly = 0;
  if (!MakeMove(move, static_cast<int32_t>(FindChecker(sideToMove)))) return false;
  ++gamePly;
  return true;
}

const char* StartPositionFault(const int8_t cells[kBoardSize], const uint32_t pieces[33]);

void LogFault(const char* text) {
  AppendLogLine("Bad start position: ");
  AppendLogLine(text);
  AppendLogLine("\r\n");
}

// Sets the staged position to cells/pieces/side and checks it. The fault
// found goes to *fault when given, else to the log.
bool SetAndCheckStart(const int8_t cells[kBoardSize], const uint32_t pieces[33], uint32_t side,
                      const char** fault = nullptr) {
  const char* found = StartPositionFault(cells, pieces);
  if (found == nullptr) {
    SetStagedPosition(cells, pieces, side);
    if (!WaitingKingSafe(side)) found = "the side not to move is in check";
  }
  if (found == nullptr) return true;
  if (fault != nullptr)
    *fault = found;
  else
    LogFault(found);
  return false;
}

}  // namespace

void LogLoadProblem(const char* path, const char* format, ...) {
  char what[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(what, sizeof what, format, args);
  va_end(args);
  char line[800];
  std::snprintf(line, sizeof line, "Loading %.500s: %s\r\n", path != nullptr ? path : "", what);
  AppendLogLine(line);
}

std::string LoggableText(const std::string& text) {
  constexpr size_t kShown = 64;
  std::string out = text.substr(0, FitDoubleByteText(text.data(), text.size(), kShown));
  for (char& c : out)
    if ((static_cast<unsigned char>(c) < 32 && c != '\t') || c == 127) c = '?';
  return out;
}

void SetLoadedComment(LoadedGame& game, int ply, const char* text) {
  if (ply < 0 || ply >= kCommentSlots) return;
  if (static_cast<int>(game.comments.size()) <= ply) game.comments.resize(ply + 1);
  game.comments[ply].hasText = true;
  game.comments[ply].text = text != nullptr ? text : "";
}

void SetLoadedMark(LoadedGame& game, int ply, uint8_t mark) {
  if (ply < 0 || ply >= kCommentSlots) return;
  if (static_cast<int>(game.comments.size()) <= ply) game.comments.resize(ply + 1);
  game.comments[ply].mark = mark;
}

void ReadFenToBoard(const char* text, int8_t cells[kBoardSize], uint32_t pieces[33],
                    uint32_t* side) {
  ReadFenBoard(text, cells, pieces, side);
}

namespace {

// Whether piece i may stand on square s at all: advisers only on the five
// points of their palace, elephants only on their seven points on their own
// side, and pawns on their own side of the river only on the start files of
// their start rank and the rank before the river (a pawn never steps back or
// sideways there). The other pieces may stand on any square.
bool CanStandOn(uint32_t i, Square s) {
  const bool red = i <= 16;
  const int file = FileOf(s);
  const int rank = RankOf(s);
  switch (pieceTypeOf[i]) {
    case kAdviser: {
      const int centreRank = red ? 8 : 1;
      return (red ? redPalace[s] : blackPalace[s]) != 0 && (file == 4) == (rank == centreRank);
    }
    case kElephant: return (red ? redElephantSquare[s] : blackElephantSquare[s]) != 0;
    case kPawn: {
      const bool crossed = red ? rank <= 4 : rank >= 5;
      const bool startOrNext = red ? rank == 5 || rank == 6 : rank == 3 || rank == 4;
      return crossed || (startOrNext && file % 2 == 0);
    }
    default: return true;
  }
}

// The first fault of a start position, nullptr when it is sound.
const char* StartPositionFault(const int8_t cells[kBoardSize], const uint32_t pieces[33]) {
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = pieces[i];
    if (s == 0) continue;
    if (s >= kBoardSize || !onBoard[s] || cells[s] != static_cast<int8_t>(i))
      return "a piece is not on its square";
  }
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = cells[s];
    if (v == 0) continue;
    if (v < 0 || v > 32 || !onBoard[s] || pieces[v] != static_cast<uint32_t>(s))
      return "a square holds no valid piece";
  }
  if (pieces[1] == 0 || !redPalace[pieces[1]]) return "red king missing or outside its palace";
  if (pieces[17] == 0 || !blackPalace[pieces[17]])
    return "black king missing or outside its palace";
  for (uint32_t i = 1; i <= 32; ++i) {
    if (pieces[i] != 0 && !CanStandOn(i, pieces[i]))
      return "an adviser, elephant or pawn stands where it can never stand";
  }
  return nullptr;
}

}  // namespace

int IsSoundStartPosition(const int8_t cells[kBoardSize], const uint32_t pieces[33]) {
  const char* fault = StartPositionFault(cells, pieces);
  if (fault != nullptr) LogFault(fault);
  return fault == nullptr ? 1 : 0;
}

int BeginStaging(const LoadedGame& game) {
  if (stagingOpen) return 0;
  int8_t cells[kBoardSize];
  uint32_t pieces[33];
  if (game.customStart) {
    std::memcpy(cells, game.startBoard, sizeof cells);
    std::memcpy(pieces, game.startPieces, sizeof pieces);
  } else {
    StandardStart(cells, pieces);
  }
  const uint32_t side = game.customStart ? game.startSide : kRed;
  if (!IsSoundStartPosition(cells, pieces)) return 0;
  SavePosition();
  stagingOpen = true;
  if (!SetAndCheckStart(cells, pieces, side)) {
    EndStaging();
    return 0;
  }
  for (const LoadedMove& m : game.moves) {
    if (gamePly >= kMaxGameMoves || !CheckUserMove(m.move, board, sideToMove, 0) ||
        !RemakeStaged(m.move)) {
      EndStaging();
      return 0;
    }
  }
  return 1;
}

void EndStaging() {
  if (!stagingOpen) return;
  RestorePosition();
  stagingOpen = false;
}

int StagingActive() { return stagingOpen ? 1 : 0; }

StageResult StageMove(LoadedGame& game, Move move) {
  if (!stagingOpen || static_cast<int>(game.moves.size()) >= kMaxGameMoves)
    return kStageFull;
  if (!CheckUserMove(move, board, sideToMove, 0)) return kStageInvalid;
  if (!RemakeStaged(move)) return kStageIllegal;
  LoadedMove m;
  m.move = move;
  game.moves.push_back(m);
  return kStageAccepted;
}

void UnstageMove(LoadedGame& game) {
  if (!stagingOpen || game.moves.empty() || gamePly <= 0) return;
  historyBase = &history[gamePly];
  historyPly = 1;
  UnmakeMove();
  historyPly = 0;
  --gamePly;
  game.moves.pop_back();
}

namespace {

// StageStartBoard with the fault found given to *fault (else logged).
int StageStart(LoadedGame& game, const int8_t cells[kBoardSize], const uint32_t pieces[33],
               uint32_t side, const char** fault) {
  if (!stagingOpen) return 0;
  side = side != kRed ? kBlack : kRed;
  if (!SetAndCheckStart(cells, pieces, side, fault)) {
    // Back to the game's own start position and moves.
    int8_t oldCells[kBoardSize];
    uint32_t oldPieces[33];
    if (game.customStart) {
      std::memcpy(oldCells, game.startBoard, sizeof oldCells);
      std::memcpy(oldPieces, game.startPieces, sizeof oldPieces);
    } else {
      StandardStart(oldCells, oldPieces);
    }
    SetStagedPosition(oldCells, oldPieces, game.customStart ? game.startSide : kRed);
    for (const LoadedMove& m : game.moves) {
      if (!RemakeStaged(m.move)) break;
    }
    return 0;
  }
  game.customStart = true;
  std::memcpy(game.startBoard, cells, sizeof game.startBoard);
  std::memcpy(game.startPieces, pieces, sizeof game.startPieces);
  game.startSide = side;
  game.moves.clear();
  return 1;
}

}  // namespace

int StageStartBoard(LoadedGame& game, const int8_t cells[kBoardSize], const uint32_t pieces[33],
                    uint32_t side) {
  return StageStart(game, cells, pieces, side, nullptr);
}

int StageStartFen(LoadedGame& game, const char* fen) {
  int8_t cells[kBoardSize];
  uint32_t pieces[33];
  uint32_t side = 0;
  ReadFenToBoard(fen, cells, pieces, &side);
  return StageStartBoard(game, cells, pieces, side);
}

int StageFileStartFen(LoadedGame& game, const char* fen, const char* what) {
  std::string fault;
  // The text first: the board reader reads any text, and a rank of eight
  // squares or a missing side letter would give some other position.
  if (CheckFenText(fen != nullptr ? fen : "", &fault)) {
    int8_t cells[kBoardSize];
    uint32_t pieces[33];
    uint32_t side = 0;
    ReadFenToBoard(fen, cells, pieces, &side);
    const char* found = "no game is being read";
    if (StageStart(game, cells, pieces, side, &found) != 0) return 1;
    fault = found;
  }
  LogLoadProblem(game.fileName.c_str(), "the %s is not read: %s", what,
                 LoggableText(fault).c_str());
  return 0;
}

int CommitLoadedGame(const LoadedGame& game, GameHeader& header, int fullReset) {
  if (stagingOpen) return 0;
  Handicap = 0;
  ResetGameState(fullReset);
  header = game.header;
  int ok = 1;
  if (game.customStart) {
    if (IsSoundStartPosition(game.startBoard, game.startPieces)) {
      std::memcpy(board, game.startBoard, sizeof board);
      std::memcpy(posPiece, game.startPieces, sizeof posPiece);
      sideToMove = startSideToMove = game.startSide != kRed ? kBlack : kRed;
      PrepareEvaluation();
      ComputePositionKeys(&positionLock, &positionKey, posPiece);
      historyBase = &history[1];
      historyPly = 0;
      reversibleMoves = 0;
      history[1].reversibleMoves = 0;
    } else {
      ok = 0;
    }
  }
  if (ok) {
    for (const LoadedMove& m : game.moves) {
      if (gamePly >= kMaxGameMoves || !CheckUserMove(m.move, board, sideToMove, 0)) {
        ok = 0;
        break;
      }
      historyBase = &history[gamePly + 1];
      historyPly = 0;
      if (!MakeMove(m.move, static_cast<int32_t>(FindChecker(sideToMove)))) {
        ok = 0;
        break;
      }
      ++gamePly;
      HistoryRecord& r = history[gamePly];
      const PieceIndex moved = static_cast<PieceIndex>(board[MoveTo(m.move)]);
      FormatWxfMove(m.move, r.wxfText, '.', moved, 0);
      FormatWxfMove(m.move, r.wxfTextChinese, '.', moved, 1);
      FormatWxfMove(m.move, r.axfText, '=', moved, 0);
      FormatWxfMove(m.move, r.axfTextChinese, '=', moved, 1);
      r.engineScore = m.engineScore;
      r.engineDepth = m.engineDepth;
      r.engineMove = m.engineMove;
      r.searchFlag = 0;
      r.extension = 0;
      r.extended = 0;
      if (game.findOpening) {
        const int32_t opening = FindOpeningName(board);
        if (opening != 0) currentOpening = opening;
      }
    }
  }
  gameLength = gamePly;
  const int slots = static_cast<int>(game.comments.size());
  for (int ply = 0; ply < slots && ply < kCommentSlots; ++ply) {
    const LoadedComment& c = game.comments[ply];
    if (c.hasText)
      SetComment(ply, c.text.c_str(), c.page == kCommentPageOfHeader ? game.header.textPage : c.page);
    if (c.mark != kMarkNone) SetAnnotation(ply, c.mark);
  }
  SetGameFileName(game.fileName.c_str());
  CommitCutTexts(game);
  int32_t shown = game.shownPly;
  if (shown == -1 || shown > gameLength) shown = gameLength;
  if (shown < 0) shown = 0;
  while (gamePly > shown && TakeBackOne()) {
  }
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
  return ok;
}

void CaptureCurrentGame(LoadedGame& game, const GameHeader& header) {
  game = LoadedGame();
  game.header = header;
  // The start position: the moves up to the shown ply undone on copies.
  int8_t cells[kBoardSize];
  uint32_t pieces[33];
  std::memcpy(cells, board, sizeof cells);
  std::memcpy(pieces, posPiece, sizeof pieces);
  for (int32_t ply = gamePly; ply >= 1; --ply) {
    const HistoryRecord& r = history[ply];
    const Square from = MoveFrom(r.move);
    const Square to = MoveTo(r.move);
    if (from >= kBoardSize || to >= kBoardSize) continue;
    const int mover = cells[to];
    cells[from] = static_cast<int8_t>(mover);
    if (mover > 0 && mover <= 32) pieces[mover] = from;
    const uint32_t captured = r.captured;
    cells[to] = static_cast<int8_t>(captured <= 32 ? captured : 0);
    if (captured != 0 && captured <= 32) pieces[captured] = to;
  }
  int8_t standardCells[kBoardSize];
  uint32_t standardPieces[33];
  StandardStart(standardCells, standardPieces);
  pieces[0] = 0;
  // The standard start is judged by the kind and colour on each square: a
  // pasted position numbers its pieces in an order of its own.
  bool standard = startSideToMove == kRed;
  for (int s = 0; s < kBoardSize && standard; ++s) {
    const int piece = cells[s];
    const int expected = standardCells[s];
    standard = piece >= 0 && piece <= 32 &&
               colouredTypeOf[static_cast<size_t>(piece)] ==
                   colouredTypeOf[static_cast<size_t>(expected)];
  }
  if (!standard) {
    game.customStart = true;
    std::memcpy(game.startBoard, cells, sizeof cells);
    std::memcpy(game.startPieces, pieces, sizeof pieces);
    game.startSide = startSideToMove;
  }
  for (int32_t ply = 1; ply <= gameLength && ply < kHistorySize; ++ply) {
    const HistoryRecord& r = history[ply];
    LoadedMove m;
    m.move = r.move;
    m.engineScore = r.engineScore;
    m.engineDepth = r.engineDepth;
    m.engineMove = r.engineMove;
    game.moves.push_back(m);
  }
  int last = -1;
  for (int ply = 0; ply < kCommentSlots; ++ply)
    if (moveComments[ply].text != nullptr || moveComments[ply].annotation != kMarkNone)
      last = ply;
  game.comments.resize(static_cast<size_t>(last + 1));
  for (int ply = 0; ply <= last; ++ply) {
    game.comments[ply].mark = moveComments[ply].annotation;
    if (moveComments[ply].text != nullptr) {
      game.comments[ply].hasText = true;
      game.comments[ply].text = moveComments[ply].text;
      game.comments[ply].page = moveComments[ply].page;
    }
  }
  game.fileName = gameFileName;
  game.shownPly = gamePly;
}
