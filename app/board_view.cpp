#include "app/board_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "app/main_frame.h"

CBoardView::CBoardView(CMainFrame* frame, QWidget* parent) : QWidget(parent), frame_(frame) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The board holds the keyboard's focus: a click on it takes the focus
  // back from the menu bar, and the menu bar gives it back here when a menu
  // is left. Its keys go on to the frame, which acts on them.
  setFocusPolicy(Qt::ClickFocus);
}

void CBoardView::SetClientSize(int width, int height) {
  if (width == surface_.width() && height == surface_.height()) return;
  QImage next(width, height, QImage::Format_RGB32);
  next.fill(Qt::black);
  if (!surface_.isNull()) {
    QPainter painter(&next);
    painter.drawImage(0, 0, surface_);
  }
  surface_ = std::move(next);
  setFixedSize(width, height);
  Invalidate();
}

CDC CBoardView::GetClientDC() { return CDC(&surface_); }

void CBoardView::Invalidate(const CRect* r) {
  const QRect area = r != nullptr ? QRect(r->left, r->top, r->Width(), r->Height())
                                  : QRect(0, 0, surface_.width(), surface_.height());
  const QRect clipped = area.intersected(QRect(0, 0, surface_.width(), surface_.height()));
  if (clipped.isEmpty()) return;
  pending_ += clipped;
  update(clipped);
}

void CBoardView::PaintPending() {
  if (pending_.isEmpty() || frame_ == nullptr) return;
  const QRect box = pending_.boundingRect();
  pending_ = QRegion();
  frame_->OnPaint(CRect{box.left(), box.top(), box.right() + 1, box.bottom() + 1});
}

void CBoardView::UpdateNow(const CRect* r) {
  PaintPending();
  if (r != nullptr) {
    repaint(QRect(r->left, r->top, r->Width(), r->Height()));
  } else {
    repaint();
  }
}

void CBoardView::paintEvent(QPaintEvent* event) {
  PaintPending();
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawImage(area, surface_, area);
}

namespace {

// The button state of a mouse event as the frame's handlers take it.
uint32_t MouseFlags(const QMouseEvent* event) {
  uint32_t flags = 0;
  if (event->buttons() & Qt::LeftButton) flags |= 0x0001;   // MK_LBUTTON
  if (event->buttons() & Qt::RightButton) flags |= 0x0002;  // MK_RBUTTON
  if (event->modifiers() & Qt::ShiftModifier) flags |= 0x0004;
  if (event->modifiers() & Qt::ControlModifier) flags |= 0x0008;
  return flags;
}

}  // namespace

void CBoardView::mousePressEvent(QMouseEvent* event) {
  if (frame_ != nullptr && event->button() == Qt::RightButton) {
    const QPoint p = event->position().toPoint();
    frame_->OnRButtonDown(MouseFlags(event), p.x(), p.y());
    return;
  }
  if (frame_ == nullptr || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  frame_->OnLButtonDown(MouseFlags(event), p.x(), p.y());
}

void CBoardView::mouseReleaseEvent(QMouseEvent* event) {
  if (frame_ == nullptr || event->button() != Qt::LeftButton)
    return QWidget::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  frame_->OnLButtonUp(MouseFlags(event), p.x(), p.y());
}

void CBoardView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (frame_ == nullptr || event->button() != Qt::LeftButton)
    return QWidget::mouseDoubleClickEvent(event);
  const QPoint p = event->position().toPoint();
  frame_->OnLButtonDblClk(MouseFlags(event), p.x(), p.y());
}

void CBoardView::mouseMoveEvent(QMouseEvent* event) {
  if (frame_ == nullptr) return QWidget::mouseMoveEvent(event);
  const QPoint p = event->position().toPoint();
  frame_->OnMouseMove(MouseFlags(event), p.x(), p.y());
}
