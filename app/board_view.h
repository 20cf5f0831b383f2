// The client area of the main frame: the toolbar band and the board below
// it.
#pragma once

#include <QWidget>

class CBoardView : public QWidget {
  Q_OBJECT

 public:
  explicit CBoardView(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
