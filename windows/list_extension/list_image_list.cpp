#include "windows/list_extension/list_image_list.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

int ListImageList::Add(const QPixmap& strip) {
  if (size_.isEmpty() || strip.height() < size_.height() || strip.width() < size_.width())
    return -1;
  const int first = ImageCount();
  for (int x = 0; x + size_.width() <= strip.width(); x += size_.width()) {
    images_.push_back(strip.copy(QRect(QPoint(x, 0), size_)));
  }
  return first;
}

QPixmap ListImageList::Image(int index) const {
  if (index < 0 || index >= ImageCount()) return QPixmap();
  return images_[static_cast<size_t>(index)];
}

void ListImageList::Draw(QPainter& painter, int index, const QRect& rect,
                         const QColor& focus) const {
  QPixmap image = Image(index);
  if (image.isNull() || rect.isEmpty()) return;
  const QRect source(0, 0, std::min(rect.width(), size_.width()),
                     std::min(rect.height(), size_.height()));
  if (focus.isValid()) {
    QPainter blend(&image);
    blend.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    blend.setOpacity(0.25);
    blend.fillRect(image.rect(), focus);
  }
  painter.drawPixmap(rect.topLeft(), image, source);
}
