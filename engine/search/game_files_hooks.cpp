// Where the engine meets the game files. The autosave and the database load
// wait for the game-file code; the deferred load and save commands are handed
// back to the interface, which runs them again.
#include "engine/search/game_files_hooks.h"

#include "engine/bridge.h"

void AutoSaveCurrentGame() {}

void LoadGameRequested() { NotifyEngineEvent(kEventLoadGame); }

void SaveGameRequested() { NotifyEngineEvent(kEventSaveGame); }

void LoadDatabaseGameRequested() {}
