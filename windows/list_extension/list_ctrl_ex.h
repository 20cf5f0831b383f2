// The list-control extension as a Qt widget: a report list (a tree view
// without branches over CListExModel) whose columns can be hidden from the
// header's context menu, that sorts by a clicked header with the header's
// sort arrow (upward for ascending), tints the sort column and draws its
// rows itself (full-row selection, focus rectangle, hot tracking with an
// underlined hot colour and a hand cursor, check boxes, small and state
// images). CListBase does the work; this class is the list it serves.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QTreeView>
#include <cstdint>
#include <memory>

#include "windows/list_extension/list_base.h"
#include "windows/list_extension/list_image_list.h"

class CListExModel;
struct ListFirstCellParts;

class CListCtrlEx : public QTreeView, public ListControl {
  Q_OBJECT

 public:
  // `style`: kStyle... bits of the list.
  explicit CListCtrlEx(QWidget* parent = nullptr, std::uint32_t style = 0);
  ~CListCtrlEx() override;

  CListBase& Base() { return base_; }
  CListExModel* Model() const { return model_; }

  void SetBkColor(ListColour colour);
  // Emulated extended style (kEx... bits); a mask of 0 stands for all bits.
  std::uint32_t SetExtendedListViewStyle(std::uint32_t mask, std::uint32_t style);
  std::uint32_t GetExtendedListViewStyle() const { return base_.ExtendedStyle(); }
  ListColour HotColour() const;
  // Hands an image list to the list; returns the one it replaced.
  std::shared_ptr<ListImageList> SetImageList(std::shared_ptr<ListImageList> list,
                                              ListImageKind kind);

  // The column menu: every column in internal order, checked when
  // visible, disabled when fixed; choosing an entry toggles its column.
  QMenu* BuildColumnMenu(QWidget* parent);
  // The column menu the header opened last, while it is open.
  QMenu* OpenColumnMenu() const { return openMenu_; }

  // The displayed column of the check boxes and labels: 0, or with the
  // first-column fix-up the column standing first.
  int FirstCell() const;
  // Viewport rectangles of the parts of an item's first cell: its state
  // image or check box, its small image and its label.
  QRect StateIconRect(int item) const;
  QRect IconRect(int item) const;
  QRect LabelRect(int item) const;
  // Where the focus rectangle of an item is drawn: around the highlighted
  // part of the first column's label, or with full-row selection around the
  // row from the label on.
  QRect FocusRect(int item) const;

  // ListControl.
  bool InsertColumn(int displayed, const ListColumnDesc& desc) override;
  bool DeleteColumn(int displayed) override;
  bool SetColumn(int displayed, const ListColumnDesc& desc) override;
  int GetColumnWidth(int displayed) const override;
  bool SetColumnWidth(int displayed, int width) override;
  std::vector<int> GetColumnOrderArray() const override;
  bool SetColumnOrderArray(const std::vector<int>& displayed) override;
  void ShowSortIndicator(int displayed, bool ascending) override;
  void ItemInserted(int item) override;
  void ItemRemoved(int item) override;
  void ItemChanged(int item) override;
  void ItemsAboutToMove() override;
  void ItemsMoved(const std::vector<int>& newIndexOf) override;
  void ItemCountChanged(int count) override;
  void SetItemState(int item, std::uint32_t state, std::uint32_t mask) override;
  std::uint32_t GetItemState(int item) const override;
  int NextSelectedItem(int after) const override;
  int BitsPerPixel() const override;

 signals:
  // A header was clicked: the internal column, after the sort column and
  // its direction were updated. The owner sorts the items.
  void columnClick(int internal);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void OnHeaderClicked(int displayed);
  void OnSectionMoved(int displayed, int oldPosition, int newPosition);
  void OnHeaderContextMenu(const QPoint& pos);
  void MoveSectionTo(int displayed, int position);
  void UpdateHotItem(const QPoint& pos);
  // A left press or double click on a check box toggles it: true when it did.
  bool ToggleCheckAt(const QMouseEvent* event);
  int ContentWidth(int displayed) const;
  ListFirstCellParts FirstCellParts(int item) const;

  CListBase base_;
  CListExModel* model_ = nullptr;
  QPointer<QMenu> openMenu_;
  bool movingSections_ = false;
  bool pressToggledCheck_ = false;
};

// The view flavour: the same list as the main widget of a window. Qt has
// one item-view class for both uses, so it differs only in its name.
class CListViewEx : public CListCtrlEx {
  Q_OBJECT

 public:
  using CListCtrlEx::CListCtrlEx;
};
