// The keyboard state the start-up reads (Shift held resets the settings).
#pragma once

// Virtual key codes used by the program.
inline constexpr int VK_SHIFT = 0x10;

// Tests set this to simulate a key held at start; null reads the keyboard.
inline bool (*asyncKeyStateHook)(int virtualKey) = nullptr;

// True while the key is held down. Only Shift, Control and Alt are known;
// other keys read as up.
bool IsKeyDown(int virtualKey);
