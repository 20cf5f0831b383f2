// What the two clock windows share: their pop-up menu (Set time, Pause),
// the pause toggle and the clock setting dialog.
#pragma once

#include <functional>

class QWidget;
class CCmdTarget;

// Opens the clock pop-up menu of `window` (commands go to `target`),
// centred horizontally on the client point (x, y).
void ShowClockPopupMenu(QWidget* window, CCmdTarget* target, int x, int y);
// Pauses a running game clock, or resumes a paused one.
void ToggleClockPause();
// Runs the clock setting dialog over the clock window `parent`; whatever
// its result, that window (through `refreshParent`) and the other open
// clock window are redrawn with the board turned as the frame shows it
// (`fallbackFlipped` when the frame gives no turning).
void RunClockSetDialog(QWidget* parent, int fallbackFlipped,
                       const std::function<void(int flipped)>& refreshParent);
