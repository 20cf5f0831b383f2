// Behaviour of the interface bridge when no window exists.
#include "engine/bridge.h"

LogLineSink logLineSink = nullptr;

void AppendLogLine(const char* text) {
  if (logLineSink != nullptr) logLineSink(text);
}

void SetBusyCursor(int) {}
