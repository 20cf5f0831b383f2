// The item model behind CListCtrlEx: its columns are the displayed columns
// (header text and alignment, as a list control keeps them), its rows the
// extension's items, whose texts and check states it asks of CListBase when
// the view shows them, and its small and state image lists.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "windows/list_extension/list_base.h"
#include "windows/list_extension/list_image_list.h"

class CListExModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `firstCell` tells the displayed column that carries the check boxes.
  CListExModel(CListBase& base, std::function<int()> firstCell, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Displayed columns.
  void InsertColumn(int displayed, const std::string& text, int format);
  void RemoveColumn(int displayed);
  void SetColumn(int displayed, const ListColumnDesc& desc);
  // Alignment bits of a displayed column; the first one follows the
  // extension's first-column format.
  int Format(int displayed) const;

  // Rows, after the extension changed its items.
  void RowInserted(int row);
  void RowRemoved(int row);
  void RowsChanged(int first, int last);
  void SetRowCount(int rows);
  // A sort: the view's persistent indexes (selection, current item) move
  // with their rows, `newRowOf[old]` telling where each row went.
  void RowsAboutToMove();
  void RowsMoved(const std::vector<int>& newRowOf);

  // Returns the list that was set before.
  std::shared_ptr<ListImageList> SetImageList(ListImageKind kind,
                                              std::shared_ptr<ListImageList> list);
  const ListImageList* ImageList(ListImageKind kind) const {
    return (kind == ListImageKind::Small ? small_ : state_).get();
  }
  // The small image an item shows (index 0 shows none), null for none.
  QPixmap SmallImage(int row) const;

 private:
  struct HeaderColumn {
    std::string text;
    int format = 0;
  };

  CListBase& base_;
  std::function<int()> firstCell_;
  std::vector<HeaderColumn> columns_;
  int rows_ = 0;
  std::shared_ptr<ListImageList> small_;
  std::shared_ptr<ListImageList> state_;
};

// Qt alignment of a column format.
Qt::Alignment AlignmentOfFormat(int format);
