#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include "db/row_set.h"

namespace quibrel {

// A table model over a row set for the grids: one row per visible row, one column per chosen
// field. It follows the row set's notifications; it never moves the current row except to edit
// a cell of another row, as a grid does. Titles are set through setHeaderData (the translation
// sets them by the grid's columns).
class RowSetModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  RowSetModel(RowSet& row_set, QStringList fields, QObject* parent = nullptr);

  RowSet& row_set() const { return row_set_; }
  const QStringList& fields() const { return fields_; }
  QString FieldOf(int column) const { return fields_.value(column); }
  int ColumnOf(const QString& field) const;
  void SetReadOnly(bool read_only) { read_only_ = read_only; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // Edits the field of that row: the row set moves there first (posting a pending edit of
  // another row) and then holds the value in its edit buffer until the row is posted.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                     int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void Reset();
  void Inserted(int position);
  void Removed(int position);
  void Changed(int position);

  RowSet& row_set_;
  QStringList fields_;
  QVector<int> field_indices_;
  QStringList titles_;
  // The row count the views were told; the row set changes first and notifies afterwards.
  int rows_ = 0;
  bool read_only_ = false;
};

}  // namespace quibrel
