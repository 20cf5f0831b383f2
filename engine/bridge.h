// The engine's only ways to reach the user interface. Without a window (the
// tools and tests) each does nothing or returns at once; the window side
// supplies the real behaviour.
#pragma once

// Appends one line to the log window; dropped when no log window is open.
void AppendLogLine(const char* text);
// Shows (1) or clears (0) the busy cursor.
void SetBusyCursor(int busy);

// Headless hook: when set, every AppendLogLine text is also handed to it.
// Tests use it to see the diagnostics of the rules and the readers.
using LogLineSink = void (*)(const char* text);
extern LogLineSink logLineSink;
