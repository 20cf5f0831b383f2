// Shared set-up of the libFuzzer targets: a scratch install directory, the
// engine tables, the input written to a file for readers that take a path,
// and the checks every load must pass whatever the input was.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/new_game.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"

namespace fuzz_support {

inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline std::string& ScratchDirectory() {
  static std::string directory;
  return directory;
}

// The key tables (InitKeyTables fills them only once), and once per process
// the install directory (learning files) and input files in a fresh folder
// under the temporary directory.
inline void InitOnce() {
  InitKeyTables();
  static bool done = false;
  if (done) return;
  done = true;
  // Every input is written to a file: in memory (/dev/shm) unless TMPDIR
  // names another place.
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp";
  if ((tmp == nullptr || tmp[0] == '\0') && access("/dev/shm", W_OK | X_OK) == 0) base = "/dev/shm";
  std::string pattern = base + "/vorelk-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  ScratchDirectory() = pattern;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchDirectory(), ignored);
  });
  std::snprintf(installDirectory, sizeof installDirectory, "%s", pattern.c_str());
  ResetGameState(1);
}

// The same user game before every input: two moves stored, the first one
// shown, a comment and a header text.
inline void ResetGame() {
  Handicap = 0;
  ResetGameState(0);
  history[1].move = ParseCoordMove("h2e2");
  history[2].move = ParseCoordMove("h9g7");
  gameLength = 2;
  ReplayAll();
  Require(gamePly == 2, "user game set up");
  TakeBackOne();
  SetComment(1, "user comment");
  SetHeaderText(currentGameHeader.event, "user event");
}

// The game as the user sees it, to tell whether a refused file left it alone.
struct GameImage {
  std::string bytes;

  template <typename T>
  void Add(const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  static GameImage Take() {
    GameImage g;
    g.Add(board);
    g.Add(posPiece);
    g.Add(displayBoard);
    g.Add(sideToMove);
    g.Add(shownSideToMove);
    g.Add(startSideToMove);
    g.Add(gamePly);
    g.Add(gameLength);
    g.Add(positionLock);
    for (int i = 1; i <= gameLength && i < kHistorySize; ++i) g.Add(history[i].move);
    g.Add(currentGameHeader);
    // The slots that hold something, by index: most of the store is empty.
    for (int ply = 0; ply < kCommentSlots; ++ply) {
      const MoveComment& c = moveComments[ply];
      if (c.text == nullptr && c.annotation == kMarkNone) continue;
      g.Add(ply);
      g.Add(c.annotation);
      g.bytes += c.text != nullptr ? c.text : "<none>";
      g.bytes += '\0';
    }
    g.bytes += gameFileName;
    return g;
  }
};

// A reader that refuses a file must leave the user's game exactly as it was;
// a file read in part is a loaded game.
inline void CheckRefusedLoad(int result, const GameImage& before) {
  if (GameWasLoaded(result)) return;
  Require(GameImage::Take().bytes == before.bytes, "a refused file leaves the game unchanged");
}

// Writes the input to <scratch>/<name> and returns that path.
inline std::string WriteInputFile(const uint8_t* data, size_t size, const std::string& name) {
  const std::string path = ScratchDirectory() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path;
}

// Writes the input to <scratch>/input.<extension> and returns that path.
inline std::string WriteInput(const uint8_t* data, size_t size, const char* extension) {
  return WriteInputFile(data, size, std::string("input.") + extension);
}

// What must hold after any load, whether it succeeded or not: a consistent
// position, a game record within its bounds, NUL-terminated header texts,
// and every stored move replaying from the start position.
inline void CheckGameAfterLoad(const GameHeader& header) {
  Require(CheckPositionConsistency() == 1, "position consistent after load");
  Require(gameLength >= 0 && gameLength <= kMaxGameMoves, "gameLength within the record");
  Require(gamePly >= 0 && gamePly <= gameLength, "shown ply within the game");
  const char* texts[] = {header.event,  header.site,      header.date,   header.round,
                         header.redName, header.redElo,   header.blackName,
                         header.author, header.timeControl, header.blackElo};
  for (const char* t : texts)
    Require(std::memchr(t, '\0', kHeaderTextSize) != nullptr, "header text terminated");
  const int32_t length = gameLength;
  TakeBackAll();
  Require(gamePly == 0, "every move taken back");
  ReplayAll();
  Require(gamePly == length, "every stored move replays");
  Require(CheckPositionConsistency() == 1, "position consistent after replay");
}

}  // namespace fuzz_support
