// An image list of the list extension: images of one size, drawn by index.
// The small images stand before an item's label, the state images before
// the small image. The owner hands a list to the control and gets the one
// it replaced back; both hold it as long as they use it.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <vector>

class QPainter;
class QRect;

enum class ListImageKind { Small, State };

class ListImageList {
 public:
  explicit ListImageList(QSize size) : size_(size) {}

  QSize ImageSize() const { return size_; }
  int ImageCount() const { return static_cast<int>(images_.size()); }
  // Cuts `strip` into images of the list's size, left to right; the index
  // of the first, -1 when the strip holds none.
  int Add(const QPixmap& strip);
  QPixmap Image(int index) const;
  // Draws image `index` at the top-left of `rect`, cut to the rectangle;
  // with `focus` valid the image is blended a quarter with that colour, as
  // on a selected item of a focused list.
  void Draw(QPainter& painter, int index, const QRect& rect, const QColor& focus = QColor()) const;

 private:
  QSize size_;
  std::vector<QPixmap> images_;
};
