// libFuzzer target: an opening book file. The input is the whole file,
// loaded as both books the way the program loads them (book 1 in blitz
// mode, which reads the move weights, book 2 in tournament mode). Every
// indexed entry must lie inside the file with a side of 0 or 1. Then the
// engine's book path runs on the start position and on the first positions
// of the file that are sound: each book is probed, and a move it gives must
// join two playing squares; it is made when the engine position accepts it
// and taken back, and probed again with that move excluded.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/program_random.h"
#include "game/game_loader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int kSoundPositionsProbed = 8;
constexpr size_t kEntryBytes = 36;  // piece list and move count after the side byte

bool OnBoard(Square s) { return s < static_cast<Square>(kBoardSize) && onBoard[s] != 0; }

void ProbeBothBooks() {
  for (int book = 0; book < kBookCount; ++book) {
    Move excluded = 0;
    for (int round = 0; round < 2; ++round) {
      BookMove found{};
      if (!ProbeBook(book, &found, excluded, sideToMove)) break;
      fuzz_support::Require(OnBoard(MoveFrom(found.move)) && OnBoard(MoveTo(found.move)),
                            "a book move joins two playing squares");
      fuzz_support::Require(found.move != excluded, "the excluded move is not given");
      if (MakeMoveAfterShownPly(found.move)) {
        fuzz_support::Require(CheckPositionConsistency() == 1, "consistent after a book move");
        UnmakeMove();
      }
      fuzz_support::Require(CheckPositionConsistency() == 1, "consistent after taking it back");
      excluded = found.move;
    }
  }
}

// The position of the entry's piece list when it is sound, as the game's
// set-up start position; false otherwise.
bool SetUpEntryPosition(const uint8_t* data, size_t size, const BookEntry& entry) {
  if (entry.offset + kEntryBytes > size) return false;
  LoadedGame game;
  game.customStart = true;
  game.startSide = entry.side;
  for (int i = 1; i <= 32; ++i) {
    const uint8_t s = data[entry.offset + i - 1];
    if (s == 0) continue;
    if (!OnBoard(s) || game.startBoard[s] != 0) return false;
    game.startBoard[s] = static_cast<int8_t>(i);
    game.startPieces[i] = s;
  }
  if (!IsSoundStartPosition(game.startBoard, game.startPieces)) return false;
  return CommitLoadedGame(game, currentGameHeader, 0) == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  fuzz_support::WriteInput(data, size, "vkb");
  std::strcpy(bookFile1, "input.vkb");
  std::strcpy(bookFile2, "input.vkb");
  bookMode1 = kBookBlitz;
  bookMode2 = kBookTournament;
  SetProgramRandomState(12345);
  LoadBooks();

  for (int book = 0; book < kBookCount; ++book) {
    fuzz_support::Require(bookEntryCount[book] >= 0 && bookEntryCount[book] <= kMaxBookEntries,
                          "entry count within the index");
    fuzz_support::Require(bookEntryCount[book] == bookEntryCount[0], "both books alike");
    for (int i = 0; i < bookEntryCount[book]; ++i) {
      const BookEntry* e = bookIndex[book][i];
      fuzz_support::Require(e != nullptr, "indexed entry present");
      fuzz_support::Require(e->side <= 1, "entry side red or black");
      fuzz_support::Require(e->offset >= 9 && e->offset + kEntryBytes <= size,
                            "entry inside the file");
    }
  }

  Handicap = 0;
  ResetGameState(0);
  ProbeBothBooks();
  int probed = 0;
  for (int i = 0; i < bookEntryCount[0] && probed < kSoundPositionsProbed; ++i) {
    if (!SetUpEntryPosition(data, size, *bookIndex[0][i])) continue;
    ++probed;
    ProbeBothBooks();
  }
  return 0;
}
