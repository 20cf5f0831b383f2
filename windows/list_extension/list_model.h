// The item model behind CListCtrlEx: its columns are the displayed columns
// (header text and alignment, as a list control keeps them), its rows the
// extension's items, whose texts and check states it asks of CListBase when
// the view shows them.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "windows/list_extension/list_base.h"

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

 private:
  struct HeaderColumn {
    std::string text;
    int format = 0;
  };

  CListBase& base_;
  std::function<int()> firstCell_;
  std::vector<HeaderColumn> columns_;
  int rows_ = 0;
};

// Qt alignment of a column format.
Qt::Alignment AlignmentOfFormat(int format);
