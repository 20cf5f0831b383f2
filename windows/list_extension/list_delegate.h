// Draws the cells of CListCtrlEx: the cell background (the tint in the sort
// column), the selection (the whole row with full-row selection, else the
// text part of the first column), the hot row's underlined font and hot
// colour, the state image or check box and the small image before the first
// column's label, and the text, cut with an ellipsis.
#pragma once

#include <QStyledItemDelegate>

class CListCtrlEx;

// A first-column cell, left to right: the state image (or check box), the
// small image and the label. The first two are empty while the list has no
// image list (or check boxes) for them.
struct ListFirstCellParts {
  QRect state;
  QRect icon;
  QRect label;
};

class CListExDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CListExDelegate(CListCtrlEx* list);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  // Wide enough for the whole text (and the first column's images).
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Check boxes toggle by the list's own mouse handling; keys stay Qt's.
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  // The highlighted part of a first-column label without full-row
  // selection: the text width and a margin, placed by the alignment.
  static QRect TextPart(const QRect& label, int textWidth, int format);
  // The same for a label showing `text` in `font`.
  static QRect SelectionPart(const QRect& label, const QString& text, const QFont& font,
                             int format);
  ListFirstCellParts FirstCellParts(const QRect& cell) const;

 private:
  QSize StateSlot() const;
  void DrawStateImage(QPainter* painter, const QRect& slot, int row, const QColor& focus) const;

  CListCtrlEx* list_;
};
