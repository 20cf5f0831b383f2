// The list-control extension as a Qt widget: a report list (a tree view
// without branches over CListExModel) whose columns can be hidden from the
// header's context menu, that sorts by a clicked header with Qt's own sort
// indicator, tints the sort column and draws its rows itself (full-row
// selection, hot tracking with an underlined hot colour and a hand cursor,
// check boxes). CListBase does the work; this class is the list it serves.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QTreeView>
#include <cstdint>

#include "windows/list_extension/list_base.h"

class CListExModel;

class CListCtrlEx : public QTreeView, public ListControl {
  Q_OBJECT

 public:
  explicit CListCtrlEx(QWidget* parent = nullptr);
  ~CListCtrlEx() override;

  CListBase& Base() { return base_; }
  CListExModel* Model() const { return model_; }

  void SetBkColor(ListColour colour);
  // Emulated extended style (kEx... bits); a mask of 0 stands for all bits.
  std::uint32_t SetExtendedListViewStyle(std::uint32_t mask, std::uint32_t style);
  std::uint32_t GetExtendedListViewStyle() const { return base_.ExtendedStyle(); }
  ListColour HotColour() const;

  // The column menu: every column in internal order, checked when
  // visible, disabled when fixed; choosing an entry toggles its column.
  QMenu* BuildColumnMenu(QWidget* parent);
  // The column menu the header opened last, while it is open.
  QMenu* OpenColumnMenu() const { return openMenu_; }

  // The displayed column of the check boxes and labels: 0, or with the
  // first-column fix-up the column standing first.
  int FirstCell() const;
  // Viewport rectangles of an item's check box and of its label (the
  // first cell less the check box).
  QRect StateIconRect(int item) const;
  QRect LabelRect(int item) const;

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
  int BitsPerPixel() const override;

 signals:
  // A header was clicked: the internal column, after the sort column and
  // its direction were updated. The owner sorts the items.
  void columnClick(int internal);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void OnHeaderClicked(int displayed);
  void OnSectionMoved(int displayed, int oldPosition, int newPosition);
  void OnHeaderContextMenu(const QPoint& pos);
  void MoveSectionTo(int displayed, int position);
  void UpdateHotItem(const QPoint& pos);

  CListBase base_{this};
  CListExModel* model_ = nullptr;
  QPointer<QMenu> openMenu_;
  bool movingSections_ = false;
};

// The view flavour: the same list as the main widget of a window. Qt has
// one item-view class for both uses, so it differs only in its name.
class CListViewEx : public CListCtrlEx {
  Q_OBJECT

 public:
  using CListCtrlEx::CListCtrlEx;
};
