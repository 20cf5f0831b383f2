#include "tests/support/test_position.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/bridge.h"
#include "engine/eval/prepare.h"
#include "engine/search/data_paths.h"
#include "engine/search/new_game.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "tests/support/move_lists.h"

namespace testing_support {

namespace {
bool scratchFolderSet = false;
std::vector<std::string>* capturedLines = nullptr;
void CaptureLine(const char* text) {
  if (capturedLines != nullptr) capturedLines->emplace_back(text);
}
}  // namespace

void InitTestProcess() {
  InitKeyTables();
  if (scratchFolderSet) return;
  scratchFolderSet = true;
  // Keep the learning files and other data of the tests out of the user's
  // data folder: one scratch folder per test process.
  static const std::string dir =
      testing::TempDir() + "vorelk-test-" + std::to_string(getpid());
  std::snprintf(installDirectory, sizeof installDirectory, "%s", dir.c_str());
  // Remove the folder and whatever the process wrote there when it ends.
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  });
}

void InitEngine() {
  InitTestProcess();
  ResetGameState(1);
}

uint32_t SetUpFen(const std::string& fen) {
  InitEngine();
  ParseFen(fen.c_str(), board, posPiece, &sideToMove);
  PrepareEvaluation();
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = startSideToMove = sideToMove;
  historyBase = &history[1];
  historyPly = 0;
  return sideToMove;
}

std::string CurrentFen() {
  char text[kFenBufferSize];
  WriteFen(board, text, 1, 0, 0);
  std::string s = text;
  if (s.size() >= 2 && s.compare(s.size() - 2, 2, " r") == 0) s[s.size() - 1] = 'w';
  return s;
}

LogCapture::LogCapture() {
  capturedLines = new std::vector<std::string>();
  logLineSink = CaptureLine;
}
LogCapture::~LogCapture() {
  logLineSink = nullptr;
  delete capturedLines;
  capturedLines = nullptr;
}
const std::vector<std::string>& LogCapture::lines() const { return *capturedLines; }

PositionSnapshot PositionSnapshot::Take() {
  PositionSnapshot s;
  std::memset(&s, 0, sizeof s);
  std::memcpy(s.board, ::board, sizeof ::board);
  std::memcpy(s.typeBoard, ::typeBoard, sizeof ::typeBoard);
  std::memcpy(s.posPiece, ::posPiece, sizeof ::posPiece);
  std::memcpy(s.rankOccupancy, ::rankOccupancy, sizeof ::rankOccupancy);
  std::memcpy(s.fileOccupancy, ::fileOccupancy, sizeof ::fileOccupancy);
  s.sideToMove = ::sideToMove;
  s.historyPly = ::historyPly;
  s.historyBase = ::historyBase;
  s.reversibleMoves = ::reversibleMoves;
  s.positionLock = ::positionLock;
  s.positionKey = ::positionKey;
  s.materialBalance = ::materialBalance;
  std::memcpy(s.pieceCount, ::pieceCount, sizeof ::pieceCount);
  std::memcpy(s.attackerCount, ::attackerCount, sizeof ::attackerCount);
  std::memcpy(s.attackWeight, ::attackWeight, sizeof ::attackWeight);
  return s;
}

bool PositionSnapshot::operator==(const PositionSnapshot& o) const {
  return std::memcmp(this, &o, sizeof o) == 0;
}

std::vector<Move> LegalMoves() {
  const std::vector<Move> pseudo = GeneratedMoves(GenerateAllMoves);
  std::vector<Move> legal;
  const uint32_t checker = FindChecker(sideToMove);
  for (Move m : pseudo) {
    if (MakeMove(m, static_cast<int32_t>(checker))) {
      UnmakeMove();
      legal.push_back(m);
    }
  }
  return legal;
}

std::string MoveText(Move move) {
  char text[5];
  FormatCoordMove(move, text);
  return text;
}

Move MoveFromText(const std::string& text) {
  const Move m = ParseCoordMove(text.c_str());
  EXPECT_NE(m, 0u) << "bad move text " << text;
  return m;
}

int PlayMove(Move move) { return MakeMove(move, static_cast<int32_t>(FindChecker(sideToMove))); }

bool StartGameOf(const std::vector<std::string>& moves) {
  InitEngine();
  ResetGameHeaderAndComments();
  LoadedGame game;
  for (const std::string& m : moves) game.moves.push_back({MoveFromText(m), 0, 0, 0});
  return CommitLoadedGame(game, currentGameHeader, 0) == 1;
}

}  // namespace testing_support
