// Default places of windows that have no stored placement.
#include "platform/default_place.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "platform/frame_extents.h"
#include "platform/window_placement.h"

QPoint FreePlaceNear(QPoint wanted, QSize size, const QRect& area,
                     const std::vector<QRect>& taken) {
  // The places against an edge of a taken rectangle or of the area, in
  // each direction.
  std::vector<int> xs = {wanted.x(), area.x(), area.x() + area.width() - size.width()};
  std::vector<int> ys = {wanted.y(), area.y(), area.y() + area.height() - size.height()};
  for (const QRect& t : taken) {
    xs.push_back(t.x() + t.width());
    xs.push_back(t.x() - size.width());
    ys.push_back(t.y() + t.height());
    ys.push_back(t.y() - size.height());
  }
  const auto free = [&](const QRect& frame) {
    return area.contains(frame) && std::none_of(taken.begin(), taken.end(), [&](const QRect& t) {
             return t.intersects(frame);
           });
  };
  QPoint best = wanted;
  int64_t bestDistance = -1;
  for (int y : ys) {
    for (int x : xs) {
      if (!free(QRect(QPoint(x, y), size))) continue;
      const int64_t dx = int64_t{x} - wanted.x();
      const int64_t dy = int64_t{y} - wanted.y();
      const int64_t distance = dx * dx + dy * dy;
      const bool better =
          bestDistance < 0 || distance < bestDistance ||
          (distance == bestDistance && (y < best.y() || (y == best.y() && x < best.x())));
      if (better) {
        best = QPoint(x, y);
        bestDistance = distance;
      }
    }
  }
  return best;
}

void ShowWindowAtDefaultPlace(QWidget* window, const QPoint& place) {
  if (window == nullptr) return;
  std::vector<QRect> taken;
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = other->windowType();
    if (other == window || !other->isVisible() || type == Qt::Popup || type == Qt::ToolTip ||
        type == Qt::Desktop) {
      continue;
    }
    taken.push_back(ShownFrameRect(other));
  }
  QMargins frame = WindowFrameMargins(window);
  if (frame.isNull()) frame = PredictedFrameMargins(window);
  const QScreen* screen = QGuiApplication::screenAt(place);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QSize size = window->size().grownBy(frame);
  const QPoint free =
      screen != nullptr ? FreePlaceNear(place, size, screen->availableGeometry(), taken) : place;
  ShowWindowFrameAt(window, free);
}
