#include "windows/list_extension/list_model.h"

Qt::Alignment AlignmentOfFormat(int format) {
  switch (format & kFormatJustifyMask) {
    case kFormatRight:
      return Qt::AlignRight | Qt::AlignVCenter;
    case kFormatCenter:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

CListExModel::CListExModel(CListBase& base, std::function<int()> firstCell, QObject* parent)
    : QAbstractTableModel(parent), base_(base), firstCell_(std::move(firstCell)) {}

int CListExModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CListExModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

int CListExModel::Format(int displayed) const {
  if (displayed == 0) return base_.FirstColumnFormat();
  if (displayed < 0 || displayed >= columnCount()) return kFormatLeft;
  return columns_[static_cast<size_t>(displayed)].format;
}

QVariant CListExModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  const bool checkBoxes = (base_.ExtendedStyle() & kExCheckBoxes) != 0;
  switch (role) {
    case Qt::DisplayRole:
      // Texts are asked of the extension each time the view shows them.
      return QString::fromStdString(base_.DisplayText(index.row(), index.column()));
    case Qt::TextAlignmentRole:
      return static_cast<int>(AlignmentOfFormat(Format(index.column())));
    case Qt::DecorationRole:
      if (index.column() == firstCell_()) {
        const QPixmap image = SmallImage(index.row());
        if (!image.isNull()) return image;
      }
      return QVariant();
    case Qt::CheckStateRole:
      // Check boxes are state images 0..2; higher ones are pictures.
      if (checkBoxes && index.column() == firstCell_() && base_.ItemStateImage(index.row()) <= 2)
        return base_.GetCheck(index.row()) ? Qt::Checked : Qt::Unchecked;
      return QVariant();
    default:
      return QVariant();
  }
}

bool CListExModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != firstCell_() || role != Qt::CheckStateRole)
    return false;
  return base_.SetCheck(index.row(), value.toInt() == Qt::Checked);
}

Qt::ItemFlags CListExModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == firstCell_() && (base_.ExtendedStyle() & kExCheckBoxes) != 0)
    flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant CListExModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return QVariant();
  if (role == Qt::DisplayRole)
    return QString::fromStdString(columns_[static_cast<size_t>(section)].text);
  if (role == Qt::TextAlignmentRole) return static_cast<int>(AlignmentOfFormat(Format(section)));
  return QVariant();
}

void CListExModel::InsertColumn(int displayed, const std::string& text, int format) {
  beginInsertColumns(QModelIndex(), displayed, displayed);
  columns_.insert(columns_.begin() + displayed, HeaderColumn{text, format});
  endInsertColumns();
}

void CListExModel::RemoveColumn(int displayed) {
  beginRemoveColumns(QModelIndex(), displayed, displayed);
  columns_.erase(columns_.begin() + displayed);
  endRemoveColumns();
}

void CListExModel::SetColumn(int displayed, const ListColumnDesc& desc) {
  HeaderColumn& column = columns_[static_cast<size_t>(displayed)];
  if ((desc.mask & kColumnText) != 0) column.text = desc.text;
  if ((desc.mask & kColumnFormat) != 0) column.format = desc.format;
  emit headerDataChanged(Qt::Horizontal, displayed, displayed);
  RowsChanged(0, rows_ - 1);
}

void CListExModel::RowInserted(int row) {
  beginInsertRows(QModelIndex(), row, row);
  ++rows_;
  endInsertRows();
}

void CListExModel::RowRemoved(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  --rows_;
  endRemoveRows();
}

void CListExModel::RowsChanged(int first, int last) {
  if (columns_.empty()) return;
  emit headerDataChanged(Qt::Horizontal, 0, 0);
  if (first > last || rows_ == 0) return;
  emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void CListExModel::SetRowCount(int rows) {
  if (rows > rows_) {
    beginInsertRows(QModelIndex(), rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  } else if (rows < rows_) {
    beginRemoveRows(QModelIndex(), rows, rows_ - 1);
    rows_ = rows;
    endRemoveRows();
  }
}

void CListExModel::RowsAboutToMove() {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CListExModel::RowsMoved(const std::vector<int>& newRowOf) {
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  for (const QModelIndex& index : from) {
    const size_t row = static_cast<size_t>(index.row());
    to.append(row < newRowOf.size() ? this->index(newRowOf[row], index.column()) : QModelIndex());
  }
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::shared_ptr<ListImageList> CListExModel::SetImageList(ListImageKind kind,
                                                          std::shared_ptr<ListImageList> list) {
  std::shared_ptr<ListImageList>& slot = kind == ListImageKind::Small ? small_ : state_;
  std::swap(slot, list);
  RowsChanged(0, rows_ - 1);
  return list;
}

QPixmap CListExModel::SmallImage(int row) const {
  const int image = base_.ItemImage(row);
  return small_ != nullptr && image > 0 ? small_->Image(image) : QPixmap();
}
