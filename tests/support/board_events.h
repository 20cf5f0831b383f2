// The user's input on the main frame as a test gives it: the pixel of a
// square, and a move dragged on the board sent at once or posted for the
// next message pumping.
#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <functional>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "engine/position/types.h"
#include "engine/search/search_tables.h"

namespace testing_support {

// The top-left corner of a square in the client area.
inline QPoint SquareCorner(Square sq) {
  int32_t x, y;
  pMainFrame->SquareToPixel(8 - FileOf(sq), 9 - RankOf(sq), x, y);
  return {x, y + toolbarBandHeight};
}

inline QPoint SquareCentre(Square sq) {
  const int half = pMainFrame->squareSize / 2;
  return SquareCorner(sq) + QPoint(half, half);
}

inline QMouseEvent* NewBoardMouseEvent(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QWidget* view = pMainFrame->BoardView();
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  return new QMouseEvent(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, held,
                         Qt::NoModifier);
}

// Posts a drag of `move` on the board: press, a move half-way, release.
inline void PostDrag(Move move) {
  const QPoint from = SquareCentre(MoveFrom(move)), to = SquareCentre(MoveTo(move));
  QWidget* view = pMainFrame->BoardView();
  QCoreApplication::postEvent(view,
                              NewBoardMouseEvent(QEvent::MouseButtonPress, from, Qt::LeftButton));
  QCoreApplication::postEvent(
      view, NewBoardMouseEvent(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton));
  QCoreApplication::postEvent(view,
                              NewBoardMouseEvent(QEvent::MouseButtonRelease, to, Qt::NoButton));
}

inline void PostKey(int key) {
  QCoreApplication::postEvent(pMainFrame, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
}

// An event that runs a call when it is handled: a command posted behind
// other input, as a toolbar button or the close box gives it.
class CallEvent : public QEvent {
 public:
  explicit CallEvent(std::function<void()> call) : QEvent(kType), call_(std::move(call)) {}
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 77);
  void Run() const { call_(); }

 private:
  std::function<void()> call_;
};

class CallReceiver : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != CallEvent::kType) return QObject::event(e);
    static_cast<CallEvent*>(e)->Run();
    return true;
  }
};

inline void PostCall(std::function<void()> call) {
  static CallReceiver* receiver = new CallReceiver;
  QCoreApplication::postEvent(receiver, new CallEvent(std::move(call)));
}

}  // namespace testing_support
