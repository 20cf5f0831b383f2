// Where a window without a stored placement opens: at its default place,
// or, when the main window or another of the program's shown windows is
// there, at the nearest place on the work area where it covers none of them
// (so that no window hides another's title bar). Windows opened together
// are placed together, so that a large one opened last still finds room.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <utility>
#include <vector>

class QWidget;

// The top-left corner nearest `wanted` at which a frame of `size` lies
// wholly in `area` and overlaps none of `taken`: `wanted` itself when that
// place is free, else one that puts the frame against an edge of a taken
// rectangle or of the area (nearest by straight distance; of two as near,
// the higher, then the one further left). `wanted` when there is none.
QPoint FreePlaceNear(QPoint wanted, QSize size, const QRect& area, const std::vector<QRect>& taken);

// A window to place: the top-left corner it asks for and its frame's size.
struct PlaceRequest {
  QPoint wanted;
  QSize size;
};

// The places of windows opened together, one per request and in their
// order, each on `area` (its top-left corner on it when it is larger).
// When the area has room, every window lies clear of `owner` (the frame of
// the window that owns them, which they stand above), of `taken` and of
// each other, each as near the place it asks for as the others leave it:
// in the order of the requests when that finds room for all, else in the
// order that does (of several, the one nearest the places asked for).
// Without room, no window lies on the top band of a frame below it (48
// pixels: the title bar, and the owner's menu bar) where that can be
// helped: the windows are shown in their order, above `taken` and the
// owner. Then a window rather covers the owner than `taken` or another
// window, and covers as little as it can.
std::vector<QPoint> PlanPlaces(const std::vector<PlaceRequest>& requests, const QRect& area,
                               const QRect& owner, const std::vector<QRect>& taken);

// The frames of the program's shown top-level windows (pop-ups and
// tooltips aside), but for those of `except`.
std::vector<QRect> ShownWindowFrames(const std::vector<const QWidget*>& except);

// Shows a top-level window with its frame at its place by PlanPlaces: on
// the work area of the screen at `place` (the primary screen when none is
// there), with its owner (its parent's window, when shown) and the frames
// of the program's other shown top-level windows.
void ShowWindowAtDefaultPlace(QWidget* window, const QPoint& place);

// Shows windows opened together, in their order, each with its frame at
// its place by PlanPlaces (as ShowWindowAtDefaultPlace, placed together).
void ShowWindowsAtDefaultPlaces(const std::vector<std::pair<QWidget*, QPoint>>& windows);
