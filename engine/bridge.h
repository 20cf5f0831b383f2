// The engine's only ways to reach the user interface. Without a window (the
// tools and tests) each does nothing or returns at once; the window side
// supplies the real behaviour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/position/types.h"

// Codes of NotifyEngineEvent.
enum EngineEvent : int {
  kEventDrawComputingMoves = 1,
  kEventUserMoveRefused = 2,  // a user's move handed to a search could not be made
  kEventCheckSound = 3,
  kEventNextBestMove = 6,
  kEventNothing = 7,
  kEventRefreshAfterLoad = 8,
  kEventLoadGame = 9,
  kEventSaveGame = 10,
  kEventAutosaveFailed = 11,  // the first autosave of the run that failed
  kEventRunDeferredCommand = 12,  // pondering stopped for a kept command
};

// Tells the main frame that something happened.
void NotifyEngineEvent(int code);
// Dispatches every pending window message; returns at once when none wait.
void PumpMessages();
// Refreshes the move list and comments windows when open.
void RefreshSideWindows();
// Appends one line to the log window; dropped when no log window is open.
void AppendLogLine(const char* text);
// Shows (1) or clears (0) the busy cursor.
void SetBusyCursor(int busy);
// The system tick in milliseconds.
uint32_t GetTickMs();
// Reports that side (0 red, 1 black) lost on time.
void ReportLostOnTime(int side);
// A message box over the main frame; 0 without a frame.
int ShowMessage(const char* text);
// Physical memory of the machine in bytes.
void GetMemoryStatus(uint64_t* totalPhysical, uint64_t* availablePhysical);
// The process's current directory into out (size bytes, NUL-terminated);
// the empty text when it does not fit or cannot be read.
void GetCurrentDir(char* out, size_t size);
// Repaints the board unless the user holds a piece.
void RedrawBoardIfNoPieceHeld();
// Slides the piece from one square to another, then plays the move sound.
void AnimateEngineMove(PieceIndex piece, Square from, Square to);
// Runs the commands the user gave while their move waited for the search,
// in order, once the completion has made the move and left the engine idle.
// Returns 0 when there were none: the completion then starts `next` (a
// ThinkMode, 0 none) itself. Otherwise `next` has started (queued behind the
// completion) when the commands left the game as it was, or for an analysis
// when the engine is still idle. Without a window it returns 0.
int RunCommandsAfterMove(int32_t next);
// Asks for the main window to close once the search has unwound
// (RequestStop with the closing code; defined with the engine state).
void RequestStopForClose();
// Ends the program after the closing request's game was saved: the main
// window closes once the search has returned; without a window the process
// ends.
void EndProgramAfterClose();

// The window side's behaviour of the bridge. The program installs its table
// at start; while windowBridge is null (the tools and headless tests) every
// function keeps its headless behaviour. GetTickMs, GetMemoryStatus and
// RequestStopForClose need no window and are the same on both sides.
struct WindowBridge {
  void (*notifyEngineEvent)(int code);
  void (*pumpMessages)();
  void (*refreshSideWindows)();
  void (*appendLogLine)(const char* text);
  void (*setBusyCursor)(int busy);
  void (*reportLostOnTime)(int side);
  int (*showMessage)(const char* text);
  void (*redrawBoardIfNoPieceHeld)();
  void (*animateEngineMove)(PieceIndex piece, Square from, Square to);
  void (*endProgramAfterClose)();
  int (*runCommandsAfterMove)(int32_t next);
};
extern const WindowBridge* windowBridge;

// Headless hooks for tests and tools. When set, every AppendLogLine text is
// also handed to logLineSink; pumpMessagesHook runs at every PumpMessages
// (so a test can act at a chosen poll of a search); tickSource replaces the
// system tick; notifyEventHook sees every NotifyEngineEvent.
using LogLineSink = void (*)(const char* text);
extern LogLineSink logLineSink;
extern void (*pumpMessagesHook)();
extern uint32_t (*tickSource)();
extern void (*notifyEventHook)(int code);
