#include "db/row_set_model.h"

namespace quibrel {

RowSetModel::RowSetModel(RowSet& row_set, QStringList fields, QObject* parent)
    : QAbstractTableModel(parent), row_set_(row_set), fields_(std::move(fields)) {
  for (const QString& field : fields_) field_indices_ << row_set_.FieldIndex(field);
  titles_ = fields_;
  rows_ = row_set_.RecordCount();
  connect(&row_set_, &RowSet::RowsReset, this, &RowSetModel::Reset);
  connect(&row_set_, &RowSet::RowInserted, this, &RowSetModel::Inserted);
  connect(&row_set_, &RowSet::RowRemoved, this, &RowSetModel::Removed);
  connect(&row_set_, &RowSet::RowChanged, this, &RowSetModel::Changed);
}

int RowSetModel::ColumnOf(const QString& field) const {
  for (int i = 0; i < fields_.size(); ++i) {
    if (fields_[i].compare(field, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

int RowSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RowSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant RowSetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= field_indices_.size()) return QVariant();
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole) {
    return QVariant();
  }
  const QVariant value = row_set_.ValueAt(index.row(), field_indices_[index.column()]);
  if (role == Qt::TextAlignmentRole) {
    // Numbers line up on their last digit, as in every table.
    const bool number = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
                        value.typeId() == QMetaType::Double;
    return QVariant::fromValue(Qt::Alignment(
        (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
  }
  if (!value.isValid() || value.isNull()) return role == Qt::EditRole ? QVariant(QString()) : value;
  return value;
}

bool RowSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (read_only_ || role != Qt::EditRole || !index.isValid()) return false;
  if (index.row() >= row_set_.RecordCount()) return false;
  if (index.row() != row_set_.RecNo()) {
    row_set_.MoveTo(index.row());
    if (row_set_.RecNo() != index.row() || row_set_.IsEditing()) return false;
  }
  if (FieldValuesEqual(row_set_.FieldByName(fields_[index.column()]), value) &&
      !row_set_.IsEditing()) {
    return true;  // nothing changed: no edit is started, so nothing is stored
  }
  row_set_.SetFieldValue(fields_[index.column()], value);
  return true;
}

QVariant RowSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= titles_.size()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole || role == Qt::EditRole) return titles_[section];
  return QVariant();
}

bool RowSetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                int role) {
  if (orientation != Qt::Horizontal || section < 0 || section >= titles_.size()) return false;
  if (role != Qt::EditRole && role != Qt::DisplayRole) return false;
  titles_[section] = value.toString();
  emit headerDataChanged(orientation, section, section);
  return true;
}

Qt::ItemFlags RowSetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const bool key = field_indices_[index.column()] == 0;  // the row identity is never typed
  if (!read_only_ && !key) flags |= Qt::ItemIsEditable;
  return flags;
}

void RowSetModel::Reset() {
  beginResetModel();
  rows_ = row_set_.RecordCount();
  endResetModel();
}

void RowSetModel::Inserted(int position) {
  beginInsertRows(QModelIndex(), position, position);
  ++rows_;
  endInsertRows();
}

void RowSetModel::Removed(int position) {
  beginRemoveRows(QModelIndex(), position, position);
  --rows_;
  endRemoveRows();
}

void RowSetModel::Changed(int position) {
  if (position < 0 || position >= rows_) return;
  emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

}  // namespace quibrel
