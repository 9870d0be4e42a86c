#pragma once

#include <QStringList>
#include <QTableView>

namespace quibrel {

class RowSet;
class RowSetModel;

// The settings page's grid of known scales over ScalesSettings: ID hidden, Name (editable, 300),
// IP (200), State (100) and Keypad (editable from the pick list of layout names, 200). Rows are
// edited and inserted here but never deleted: the Delete key, title clicks and mouse presses do
// only what any grid does, and nothing of the goods list.
class ScalesGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ScalesGrid(QWidget* parent = nullptr);

  // Shows the scales; the model belongs to the grid.
  void SetRowSet(RowSet& scales);
  RowSetModel* Model() const { return model_; }

  // The Keypad column's choices, in order.
  void SetKeypadPickList(const QStringList& names) { keypad_pick_list_ = names; }
  const QStringList& KeypadPickList() const { return keypad_pick_list_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FollowRowSet();
  void CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);

  RowSet* scales_ = nullptr;
  RowSetModel* model_ = nullptr;
  QStringList keypad_pick_list_;
  bool following_ = false;
};

}  // namespace quibrel
