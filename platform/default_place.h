// Where a window without a stored placement opens: at its default place,
// or, when one of the program's shown windows is there, at the nearest
// place on the work area where it covers none of them (so that no window
// hides another's title bar).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

// The top-left corner nearest `wanted` at which a frame of `size` lies
// wholly in `area` and overlaps none of `taken`: `wanted` itself when that
// place is free, else one that puts the frame against an edge of a taken
// rectangle or of the area (nearest by straight distance; of two as near,
// the higher, then the one further left). `wanted` when there is none.
QPoint FreePlaceNear(QPoint wanted, QSize size, const QRect& area, const std::vector<QRect>& taken);

// Shows a top-level window with its frame at FreePlaceNear(`place`): on
// the work area of the screen at `place` (the primary screen when none is
// there), among the frames of the program's other shown top-level windows.
void ShowWindowAtDefaultPlace(QWidget* window, const QPoint& place);
