// Default places of windows that have no stored placement.
#include "platform/default_place.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <compare>
#include <cstdint>
#include <numeric>
#include <utility>

#include "platform/frame_extents.h"
#include "platform/window_placement.h"

namespace {

// More windows than this are placed in their own order and largest first
// only: every order of them would take too long to try.
constexpr size_t kOrdersTriedUpTo = 6;

int64_t OverlapArea(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : int64_t{common.width()} * common.height();
}

// The band at the top of a window's frame that another window should
// never cover: the title bar, and the owner's menu bar below it.
constexpr int kTitleBand = 48;

QRect TitleBand(const QRect& frame) {
  return QRect(frame.topLeft(), QSize(frame.width(), std::min(frame.height(), kTitleBand)));
}

// What a place costs, compared in this order: the area of title bands it
// covers or leaves under a window above it, the area it shares with other
// windows, the area it covers of the owner (which the side windows stand
// above: every one of them stays in sight), and its squared distance from
// the place asked for.
struct Cost {
  int64_t titles = 0;
  int64_t others = 0;
  int64_t owner = 0;
  int64_t distance = 0;

  bool Clear() const { return others == 0 && owner == 0; }
  Cost& operator+=(const Cost& c) {
    titles += c.titles;
    others += c.others;
    owner += c.owner;
    distance += c.distance;
    return *this;
  }
  auto operator<=>(const Cost&) const = default;
};

struct Placed {
  QPoint at;
  Cost cost;
};

// A window the one to place keeps clear of, and whether it will stand
// below that one (the windows are shown in the order asked; those shown
// before are below).
struct Other {
  QRect frame;
  bool below;
};

// The best place for one window among those that put it against an edge
// of the area, of the owner or of another window (or where it asks to
// be), held to the area; of two that cost the same, the higher, then the
// one further left.
Placed PlaceOne(const PlaceRequest& request, const QRect& area, const QRect& owner,
                const std::vector<Other>& others) {
  const int width = request.size.width();
  const int height = request.size.height();
  std::vector<int> xs = {request.wanted.x()};
  std::vector<int> ys = {request.wanted.y()};
  const bool onArea = area.isValid();
  if (onArea) {
    xs.insert(xs.end(), {area.x(), area.x() + area.width() - width});
    ys.insert(ys.end(), {area.y(), area.y() + area.height() - height});
  }
  const auto againstEdges = [&](const QRect& r) {
    xs.insert(xs.end(), {r.x() + r.width(), r.x() - width});
    ys.insert(ys.end(), {r.y() + r.height(), r.y() - height});
  };
  for (const Other& o : others) againstEdges(o.frame);
  if (owner.isValid()) againstEdges(owner);
  if (onArea) {
    // A window larger than the area has its top-left corner on it.
    const int maxX = std::max(area.x(), area.x() + area.width() - width);
    const int maxY = std::max(area.y(), area.y() + area.height() - height);
    for (int& x : xs) x = std::clamp(x, area.x(), maxX);
    for (int& y : ys) y = std::clamp(y, area.y(), maxY);
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  Placed best{request.wanted, {}};
  bool found = false;
  for (int y : ys) {
    for (int x : xs) {
      const QRect frame(QPoint(x, y), request.size);
      Cost cost;
      // The upper of two windows must not lie on the lower one's title.
      for (const Other& o : others) {
        cost.titles += o.below ? OverlapArea(frame, TitleBand(o.frame))
                               : OverlapArea(TitleBand(frame), o.frame);
        cost.others += OverlapArea(frame, o.frame);
      }
      cost.titles += OverlapArea(frame, TitleBand(owner));
      cost.owner = OverlapArea(frame, owner);
      const int64_t dx = int64_t{x} - request.wanted.x();
      const int64_t dy = int64_t{y} - request.wanted.y();
      cost.distance = dx * dx + dy * dy;
      // ys and xs ascend: a later place of the same cost is lower or
      // further right.
      if (!found || cost < best.cost) {
        best = {QPoint(x, y), cost};
        found = true;
      }
    }
  }
  return best;
}

struct Plan {
  std::vector<QPoint> places;
  Cost total;
  bool clear = true;  // every window clear of the owner and the others
};

// Places the windows one by one in `order`, each among those placed
// before it and the `taken` ones (shown already, so below them all).
Plan PlanInOrder(const std::vector<PlaceRequest>& requests, const std::vector<size_t>& order,
                 const QRect& area, const QRect& owner, const std::vector<QRect>& taken) {
  Plan plan;
  plan.places.resize(requests.size());
  std::vector<size_t> placed;
  for (size_t i : order) {
    std::vector<Other> others;
    for (const QRect& r : taken) others.push_back({r, true});
    for (size_t j : placed) others.push_back({QRect(plan.places[j], requests[j].size), j < i});
    const Placed best = PlaceOne(requests[i], area, owner, others);
    plan.places[i] = best.at;
    plan.total += best.cost;
    plan.clear = plan.clear && best.cost.Clear();
    placed.push_back(i);
  }
  return plan;
}

// The frame of a top-level window as it is or will be shown. A window
// system that does not say beforehand what frame it will draw is taken to
// draw the frame it drew around `framed` (the owner).
QSize FrameSize(QWidget* window, const QWidget* framed) {
  QMargins frame = WindowFrameMargins(window);
  if (frame.isNull()) frame = PredictedFrameMargins(window);
  if (frame.isNull() && framed != nullptr) frame = WindowFrameMargins(framed);
  return window->size().grownBy(frame);
}

}  // namespace

QPoint FreePlaceNear(QPoint wanted, QSize size, const QRect& area,
                     const std::vector<QRect>& taken) {
  if (!area.isValid() || size.width() > area.width() || size.height() > area.height()) {
    return wanted;
  }
  std::vector<Other> others;
  for (const QRect& r : taken) others.push_back({r, true});
  const Placed placed = PlaceOne({wanted, size}, area, QRect(), others);
  return placed.cost.Clear() ? placed.at : wanted;
}

std::vector<QPoint> PlanPlaces(const std::vector<PlaceRequest>& requests, const QRect& area,
                               const QRect& owner, const std::vector<QRect>& taken) {
  std::vector<size_t> order(requests.size());
  std::iota(order.begin(), order.end(), size_t{0});
  Plan best = PlanInOrder(requests, order, area, owner, taken);
  if (best.clear) return best.places;
  const auto tryOrder = [&](const std::vector<size_t>& other) {
    Plan plan = PlanInOrder(requests, other, area, owner, taken);
    if (plan.total < best.total) best = std::move(plan);
  };
  if (requests.size() <= kOrdersTriedUpTo) {
    while (std::next_permutation(order.begin(), order.end())) tryOrder(order);
  } else {
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      const QSize& x = requests[a].size;
      const QSize& y = requests[b].size;
      return int64_t{x.width()} * x.height() > int64_t{y.width()} * y.height();
    });
    tryOrder(order);
  }
  return best.places;
}

std::vector<QRect> ShownWindowFrames(const std::vector<const QWidget*>& except) {
  std::vector<QRect> frames;
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = other->windowType();
    if (!other->isVisible() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop ||
        std::find(except.begin(), except.end(), other) != except.end()) {
      continue;
    }
    frames.push_back(ShownFrameRect(other));
  }
  return frames;
}

void ShowWindowAtDefaultPlace(QWidget* window, const QPoint& place) {
  ShowWindowsAtDefaultPlaces({{window, place}});
}

void ShowWindowsAtDefaultPlaces(const std::vector<std::pair<QWidget*, QPoint>>& windows) {
  std::vector<QWidget*> placing;
  for (const auto& [window, place] : windows) {
    if (window != nullptr) placing.push_back(window);
  }
  if (placing.empty()) return;
  // The owner of the first window: the one the windows are to keep clear
  // of first.
  const QWidget* parent = placing.front()->parentWidget();
  const QWidget* owner = parent != nullptr ? parent->window() : nullptr;
  if (owner != nullptr && !owner->isVisible()) owner = nullptr;
  std::vector<PlaceRequest> requests;
  for (const auto& [window, place] : windows) {
    if (window != nullptr) requests.push_back({place, FrameSize(window, owner)});
  }
  std::vector<const QWidget*> except(placing.begin(), placing.end());
  except.push_back(owner);
  const std::vector<QRect> taken = ShownWindowFrames(except);
  const QPoint first = requests.front().wanted;
  const QScreen* screen = QGuiApplication::screenAt(first);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
  const std::vector<QPoint> places =
      PlanPlaces(requests, area, owner != nullptr ? ShownFrameRect(owner) : QRect(), taken);
  for (size_t i = 0; i < placing.size(); ++i) ShowWindowFrameAt(placing[i], places[i]);
}
