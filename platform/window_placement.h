// Keeping a window's placement in the settings: the rectangle of its frame
// (what the window manager draws around it included), written when the
// window closes and restored when it is created again.
#pragma once

class QPoint;
class QRect;
class QWidget;

// The settings section that holds every window's placement.
inline constexpr const char* kPlacementSection = "Windows placement";

// Writes the placement of `window` as entry `name` of "Windows placement":
// its normal (restored) outer rectangle, right and bottom exclusive, flags
// kPlacementRestoreToMaximized while it is maximised, and the show command
// (1 normal, 2 minimised, 3 maximised). A window restored by
// LoadWindowPlacement whose frame the window manager has not reported yet
// is written with the rectangle it was restored to. Returns 1, or 0 for a
// null window or a null or empty name.
int SaveWindowPlacement(QWidget* window, const char* name);

// Restores the placement stored as entry `name` and shows the window
// normally, whatever state it was saved in: the frame's top-left corner
// goes to the stored place and the frame gets the stored size. A fixed-size
// window keeps its size and takes only the position. A size larger than
// the work area of the screen that shows most of the rectangle (the
// primary one when none does) is held to it, and the rectangle is moved,
// keeping its size, to lie wholly on that work area (a window larger than
// the work area, by its minimum or fixed size, gets its top-left corner
// on it). Returns 1 when a placement was restored; 0
// for a null window, a missing or empty entry, or a text that is not a
// placement (the window is left where it is).
int LoadWindowPlacement(QWidget* window, const char* name);

// Shows a top-level window with its frame's top-left corner at `place`
// (for a window that has no stored placement).
void ShowWindowFrameAt(QWidget* window, const QPoint& place);

// The frame rectangle of a shown top-level window: its client grown by the
// frame the window manager drew, or, before it has, by the frame the
// window was placed for.
QRect ShownFrameRect(const QWidget* window);
