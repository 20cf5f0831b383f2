// The frame a window manager has put around a top-level window.
#pragma once

#include <QMargins>

class QWidget;

// The frame around `window` as far as it is known: nothing for a child
// widget, a window not yet created or not yet framed, or with no window
// manager. Under X11 it is the window's _NET_FRAME_EXTENTS, which the
// window manager sets once it has decided the frame (the frame Qt works
// out itself while the window is being framed can be wrong); with a window
// manager that does not set it, and on other window systems, it is the
// frame Qt reports.
QMargins WindowFrameMargins(const QWidget* window);

// The frame the window manager will put around `window` once it is shown,
// asked for before it is: under X11 a window manager that announces
// _NET_REQUEST_FRAME_EXTENTS sets the frame extents of a window not yet
// shown when asked (the window is created for it). Nothing when the frame
// cannot be known in advance or the answer does not come within half a
// second; the frame the window manager finally draws may still differ.
QMargins PredictedFrameMargins(QWidget* window);

// A window manager runs: under X11 one has announced itself on the root
// window (_NET_SUPPORTING_WM_CHECK names a window that names itself); on
// other window systems there is always one. Without one nothing restacks
// the program's windows but the program itself.
bool WindowManagerRunning();
