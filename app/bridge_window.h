// The window side of the engine's bridge: what the engine's calls do while
// the program's windows exist.
#pragma once

// Installs the window side's table (engine/bridge.h); RemoveWindowBridge
// returns the bridge to its headless behaviour.
void InstallWindowBridge();
void RemoveWindowBridge();
