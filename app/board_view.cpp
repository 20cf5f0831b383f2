#include "app/board_view.h"

#include <QPainter>

#include "platform/colour.h"

CBoardView::CBoardView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBoardView::paintEvent(QPaintEvent*) {
  // Until the board picture is laid out the view shows the plain colour of
  // the first board style.
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(0xB4C4AB));
}
