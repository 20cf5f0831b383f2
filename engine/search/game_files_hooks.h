// The game-file services the engine completions call: the autosave of the
// current game and the load and save commands that were deferred while the
// engine searched. The deferred load and save commands are announced to the
// interface, which runs its file dialogs again.
#pragma once

// Saves the current game as "CurrentGameV1.vgf" (binary version 7) in the
// install directory. Callers first make sure no search record is left in the
// game record.
void AutoSaveCurrentGame();
// The deferred load command runs again now that the engine is idle.
void LoadGameRequested();
// The deferred save command runs again now that the engine is idle.
void SaveGameRequested();
// Loads the current game of the open game database (the deferred request 13).
void LoadDatabaseGameRequested();
