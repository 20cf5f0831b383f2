// Where the engine meets the game files. The autosave writes the binary
// game file; the database load reads the current record of the open game
// database; the deferred load and save commands are handed back to the
// interface, which runs them again.
#include "engine/search/game_files_hooks.h"

#include "engine/bridge.h"
#include "engine/search/data_paths.h"
#include "game/binary_files.h"
#include "game/database.h"
#include "game/header.h"

namespace {

// A failed autosave is told once per run: the engine saves after each of
// its moves, and a folder that cannot be written stays so.
bool autosaveFailureReported = false;

void ReportAutosaveFailure() {
  if (autosaveFailureReported) return;
  autosaveFailureReported = true;
  NotifyEngineEvent(kEventAutosaveFailed);
}

}  // namespace

// The writer saves through a new temporary file beside the autosave, renamed
// over it only once it was written completely, so a crash or a full disk
// never leaves a half-written autosave behind.
void AutoSaveCurrentGame() {
  char path[kPathBufferSize];
  if (!EnsureInstallDirectory() || !JoinPath(installDirectory, "CurrentGameV1.vgf", path) ||
      SaveBinaryGame(path, kBinaryVersionEgf, currentGameHeader) != kBinarySaveOk) {
    ReportAutosaveFailure();
  }
}

void LoadGameRequested() { NotifyEngineEvent(kEventLoadGame); }

void SaveGameRequested() { NotifyEngineEvent(kEventSaveGame); }

// Reads the database's current game over the game on the board, with its
// comments, into the current header; a game that cannot be read changes
// nothing.
void LoadDatabaseGameRequested() {
  int32_t moveCount = 0;
  gameDatabase.LoadGame(gameDatabase.GetCurrentGame(), &currentGameHeader, &moveCount, 1, 1);
}
