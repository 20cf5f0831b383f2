// The program-wide pointers of the side windows: each is null while its
// window is closed. The main frame creates a window when its pointer is null,
// and the window clears its own pointer when it closes.
//
// Side windows are owned by the main frame, as tool windows: they stand
// above it at all times and are hidden and shown with it (under X the
// window manager keeps a window above the one it is transient for; without
// one, the side windows are raised whenever their owner is shown or
// activated). They open clear of their owner's frame and of each other
// where the work area has room, and when the owner grows over one of them
// (a larger board, set-up mode) that one moves clear of it when it can,
// and off its title and menu bar at least.
#pragma once

#include <QPoint>
#include <functional>

class QWidget;

class CDigitalClockWnd;
class CMiniClockDlg;
class CMoveListWnd;
class CCommentsDlg;
class CGameStatusDlg;
class CLogsDlg;

extern CDigitalClockWnd* digitalClockWnd;
extern CMiniClockDlg* miniClockDlg;
extern CMoveListWnd* moveListWnd;
extern CCommentsDlg* commentsDlg;
extern CGameStatusDlg* gameStatusDlg;
extern CLogsDlg* logsDlg;

// Shows a side window just created with its owner as parent: at the
// placement stored under `placementName`, else at `defaultPlace` or the
// nearest place clear of the owner and the program's other windows, at
// least as wide as its title needs in the title bar (TitleBarMinimumWidth
// of message_box.h, within the window's maximum width; a game file's name
// after " > " in the title does not count). Then
// `shown` runs. While the owner is not shown (the main frame opens the
// side windows that were open at the last exit before it is placed), the
// window waits and comes just after its owner, the waiting windows without
// a stored placement placed together, none of them taking the keys from
// the owner. A window without an owner is shown at once.
void ShowSideWindow(QWidget* window, const char* placementName, QPoint defaultPlace,
                    std::function<void()> shown = {});

// Shows the side windows waiting for `owner` now: the owner is shown.
// (They also come by themselves once the owner's show has reached the
// window system.)
void ShowWaitingSideWindows(QWidget* owner);

// After a change of language: each shown side window of `owner` narrower
// than its new title needs grows to that width, as at its default place;
// one that then covers the owner or another window, or lies off the work
// area, moves to the nearest place clear of them.
void FitSideWindowsToTitles(QWidget* owner);

// Shows an open side window in its normal state in front and makes it the
// active window; one that still waits for its owner comes with it.
void BringSideWindowToFront(QWidget* window);
