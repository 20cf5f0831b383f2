// The interface bridge. When no window exists every call does nothing or
// returns at once, apart from the hooks tests and tools install; the window
// side installs windowBridge and takes the calls over.
#include <time.h>
#include <cstdlib>
#include <unistd.h>

#include "engine/bridge.h"

LogLineSink logLineSink = nullptr;
void (*pumpMessagesHook)() = nullptr;
uint32_t (*tickSource)() = nullptr;
void (*notifyEventHook)(int code) = nullptr;
const WindowBridge* windowBridge = nullptr;

void NotifyEngineEvent(int code) {
  if (notifyEventHook != nullptr) notifyEventHook(code);
  if (windowBridge != nullptr) windowBridge->notifyEngineEvent(code);
}

void PumpMessages() {
  if (pumpMessagesHook != nullptr) pumpMessagesHook();
  if (windowBridge != nullptr) windowBridge->pumpMessages();
}

void RefreshSideWindows() {
  if (windowBridge != nullptr) windowBridge->refreshSideWindows();
}

void AppendLogLine(const char* text) {
  if (logLineSink != nullptr) logLineSink(text);
  if (windowBridge != nullptr) windowBridge->appendLogLine(text);
}

void SetBusyCursor(int busy) {
  if (windowBridge != nullptr) windowBridge->setBusyCursor(busy);
}

uint32_t GetTickMs() {
  if (tickSource != nullptr) return tickSource();
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

void ReportLostOnTime(int side) {
  if (windowBridge != nullptr) windowBridge->reportLostOnTime(side);
}

int ShowMessage(const char* text) {
  return windowBridge != nullptr ? windowBridge->showMessage(text) : 0;
}

void GetMemoryStatus(uint64_t* totalPhysical, uint64_t* availablePhysical) {
  const long pageSize = sysconf(_SC_PAGESIZE);
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long available = sysconf(_SC_AVPHYS_PAGES);
  *totalPhysical = pages > 0 && pageSize > 0 ? static_cast<uint64_t>(pages) * pageSize : 0;
  *availablePhysical =
      available > 0 && pageSize > 0 ? static_cast<uint64_t>(available) * pageSize : 0;
}

void GetCurrentDir(char* out, size_t size) {
  if (out == nullptr || size == 0) return;
  if (getcwd(out, size) == nullptr) out[0] = '\0';
}

void RedrawBoardIfNoPieceHeld() {
  if (windowBridge != nullptr) windowBridge->redrawBoardIfNoPieceHeld();
}

void AnimateEngineMove(PieceIndex piece, Square from, Square to) {
  if (windowBridge != nullptr) windowBridge->animateEngineMove(piece, from, to);
}

int RunCommandsAfterMove(int32_t next) {
  return windowBridge != nullptr ? windowBridge->runCommandsAfterMove(next) : 0;
}

void EndProgramAfterClose() {
  if (windowBridge != nullptr) {
    windowBridge->endProgramAfterClose();
  } else {
    std::exit(0);
  }
}
