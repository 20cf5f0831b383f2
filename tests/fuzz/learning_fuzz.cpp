// libFuzzer target: the learning files. The first input byte picks one of
// the eight files (its low three bits: the three position files and the
// mate file, as the main file or as its read-only "inner" copy); the rest
// is that file's content, and the other files are missing. The files are
// opened as at start-up (loaded, the inner copy merged into the main file)
// and an engine move is learnt. Whatever the file held: opening succeeds,
// every table entry is valid (side 0 or 1, a move between two playing
// squares, a mate entry's pieces on distinct playing squares with both
// kings), the files the program wrote hold whole records after the version
// word, and a mate entry's own position finds only a valid entry.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/position/position.h"
#include "engine/search/learning.h"
#include "engine/search/search.h"
#include "game/game_loader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr const char* kFileNames[4] = {"V4QelPos1.bin", "V4QelPos2.bin", "V4QelPos3.bin",
                                       "V4QelPos.egm"};

std::string FilePath(int file, bool inner) {
  return fuzz_support::ScratchDirectory() + (inner ? "/inner/" : "/") + kFileNames[file];
}

bool IsPlayingSquare(uint32_t s) { return s < static_cast<uint32_t>(kBoardSize) && onBoard[s]; }

bool IsLearntMoveShape(Move m) {
  return MoveFrom(m) != MoveTo(m) && IsPlayingSquare(MoveFrom(m)) && IsPlayingSquare(MoveTo(m));
}

void CheckMateEntry(const LearningMateEntry& e) {
  fuzz_support::Require(e.side <= 1 && IsLearntMoveShape(e.move), "mate entry side and move");
  bool taken[kBoardSize] = {};
  for (uint8_t s : e.pieces) {
    if (s == 0) continue;
    fuzz_support::Require(IsPlayingSquare(s) && !taken[s], "mate entry pieces on the board");
    taken[s] = true;
  }
  fuzz_support::Require(e.pieces[0] != 0 && e.pieces[16] != 0, "mate entry kings");
}

void CheckTables() {
  for (uint32_t i = 0; i < learningTableSize; ++i) {
    const LearningRecord& r = learningTable[i];
    if (r.move == 0 && r.lock == 0) continue;
    fuzz_support::Require(r.side <= 1 && IsLearntMoveShape(r.move), "position entry side and move");
  }
  for (uint32_t i = 0; i < mateTableSize; ++i)
    if (mateTable[i].move != 0) CheckMateEntry(mateTable[i]);
}

// A file the program created or appended to: the version word, then whole
// records.
void CheckWrittenFile(int file) {
  std::FILE* f = std::fopen(FilePath(file, false).c_str(), "rb");
  fuzz_support::Require(f != nullptr, "main learning file exists");
  uint8_t word[4] = {};
  const bool hasWord = std::fread(word, 1, 4, f) == 4;
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fclose(f);
  const long recordBytes = file == 3 ? kLearningMateRecordBytes : kLearningRecordBytes;
  fuzz_support::Require(hasWord && word[0] == learningVersion && word[1] == 0 && word[2] == 0 &&
                            word[3] == 0,
                        "version word first");
  fuzz_support::Require((size - 4) % recordBytes == 0, "whole records only");
}

// The mate entries' own positions, set up as games, probed as the search
// probes them.
void ProbeMatePositions() {
  int probed = 0;
  for (uint32_t i = 0; i < mateTableSize && probed < 4; ++i) {
    const LearningMateEntry e = mateTable[i];
    if (e.move == 0) continue;
    LoadedGame game;
    game.customStart = true;
    game.startSide = e.side;
    for (int p = 1; p <= 32; ++p) {
      const uint8_t s = e.pieces[p - 1];
      if (s == 0) continue;
      game.startBoard[s] = static_cast<int8_t>(p);
      game.startPieces[p] = s;
    }
    if (!IsSoundStartPosition(game.startBoard, game.startPieces)) continue;
    if (CommitLoadedGame(game, currentGameHeader, 0) != 1) continue;
    ++probed;
    if (const LearningMateEntry* found = ProbeLearningMate()) CheckMateEntry(*found);
    if (const LearningRecord* found = ProbeLearning())
      fuzz_support::Require(found->side == sideToMove && IsLearntMoveShape(found->move),
                            "learnt move of this side");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  static const bool tablesSized = [] {
    mkdir((fuzz_support::ScratchDirectory() + "/inner").c_str(), 0700);
    // Small tables (every open clears them and every check reads them
    // whole), allocated at these sizes by the next open.
    CloseLearningFiles();
    std::free(learningTable);
    std::free(mateTable);
    learningTable = nullptr;
    mateTable = nullptr;
    learningTableSize = 61;
    mateTableSize = 31;
    return true;
  }();
  static_cast<void>(tablesSized);
  if (size == 0) return 0;
  const int file = data[0] & 3;
  const bool inner = (data[0] & 4) != 0;

  CloseLearningFiles();
  for (int f = 0; f < 4; ++f) {
    std::remove(FilePath(f, false).c_str());
    std::remove(FilePath(f, true).c_str());
  }
  fuzz_support::WriteInputFile(data + 1, size - 1,
                               std::string(inner ? "inner/" : "") + kFileNames[file]);

  fuzz_support::Require(OpenLearningFiles() == 0, "learning files open");
  CheckTables();
  for (int f = 0; f < 4; ++f)
    if (inner || f != file) CheckWrittenFile(f);

  // An engine move learnt on the start position, and a mate learnt.
  Handicap = 0;
  ResetGameState(0);
  const Move move = ParseCoordMove("h2e2");
  LearnPosition(120, -200, 6, move, positionLock, positionKey, posPiece, sideToMove);
  LearnPosition(kMateScore - 5, 0, 6, move, positionLock, positionKey, posPiece, sideToMove);
  CheckTables();
  for (int f = 0; f < 4; ++f)
    if (inner || f != file) CheckWrittenFile(f);
  ProbeMatePositions();
  return 0;
}
