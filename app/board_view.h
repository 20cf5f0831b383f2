// The client area of the main frame: the toolbar band at the top and the
// board below it. The view keeps a persistent picture of its whole client
// area; everything is drawn into that picture (through GetClientDC or by
// the frame's OnPaint) and the paint event only copies it to the screen.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "platform/device_context.h"

class CMainFrame;

class CBoardView : public QWidget {
  Q_OBJECT

 public:
  CBoardView(CMainFrame* frame, QWidget* parent);

  // Resizes the view and its picture (the picture keeps what fits).
  void SetClientSize(int width, int height);
  // A context drawing straight into the view's picture (client coordinates).
  CDC GetClientDC();
  QImage& Surface() { return surface_; }
  // Marks `r` (client coordinates; null for everything) to be painted again
  // by the frame's OnPaint before it is next shown.
  void Invalidate(const CRect* r = nullptr);
  // Paints what was invalidated into the picture now and shows `r` (null:
  // the whole client) at once.
  void UpdateNow(const CRect* r = nullptr);
  // Runs the frame's OnPaint over what was invalidated, if anything.
  void PaintPending();

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The left and right buttons and the mouse's moves go to the frame's
  // handlers with client coordinates.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  CMainFrame* frame_;
  QImage surface_;
  QRegion pending_;
};
