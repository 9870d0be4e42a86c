#pragma once

#include <QStringList>
#include <QTableView>
#include <functional>

namespace quibrel {

class RowSet;
class RowSetModel;

// The goods grid: six columns over the goods row set, edited in place, with the type pick list,
// row insertion (Insert, or Down on the last row), whole-row multi-selection while Shift is held
// and the Delete key handed to the page. Its current row follows the row set's current row and
// the other way round.
class ProductsGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ProductsGrid(QWidget* parent = nullptr);

  // Shows the goods; the model belongs to the grid.
  void SetRowSet(RowSet& goods);
  RowSetModel* Model() const { return model_; }

  // Where refused cell input is reported (the field's range or length message).
  void SetInputErrorReport(std::function<void(const QString&)> report) {
    input_error_report_ = std::move(report);
  }
  void ReportInputError(const QString& text);

  // The two entries of the type pick list: the "typePickList" property when the translation has
  // set it, else the built-in words.
  QStringList TypePickList() const;

  // Visible rows with any cell selected, in ascending order.
  QList<int> SelectedRows() const;
  // Clears the selection and selects the whole current row.
  void SelectCurrentRowOnly();
  // Shows the sort arrow on the column of the row set's sort field.
  void ShowSortIndicator();

 signals:
  void DeleteKeyPressed();
  void RowSelectionModeChanged(bool row_selection);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FollowRowSet();
  bool Untouched() const;
  void CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);

  RowSet* goods_ = nullptr;
  RowSetModel* model_ = nullptr;
  std::function<void(const QString&)> input_error_report_;
  bool following_ = false;
};

}  // namespace quibrel
