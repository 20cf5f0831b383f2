// Draws the cells of CListCtrlEx: the cell background (the tint in the sort
// column), the selection (the whole row with full-row selection, else the
// text part of the first column), the hot row's underlined font and hot
// colour, the check box and the text, cut with an ellipsis.
#pragma once

#include <QStyledItemDelegate>

class CListCtrlEx;

class CListExDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CListExDelegate(CListCtrlEx* list);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

  // The highlighted part of a first-column label without full-row
  // selection: the text width and a margin, placed by the alignment.
  static QRect TextPart(const QRect& label, int textWidth, int format);
  // The check box of a first-column cell drawn with `option`, where a
  // click toggles it.
  QRect CheckRect(QStyleOptionViewItem option, const QModelIndex& index) const;

 private:
  CListCtrlEx* list_;
};
