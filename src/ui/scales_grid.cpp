#include "ui/scales_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include "db/row_set.h"
#include "db/row_set_model.h"

namespace quibrel {
namespace {

const QStringList kColumns = {"ID", "Name", "IP", "State", "Keypad"};
constexpr int kNameColumn = 1;
constexpr int kKeypadColumn = 4;

// Only Name and Keypad are the operator's; an edited cell is stored at once, so a name typed
// just before the window closes is not lost.
class ScalesModel : public RowSetModel {
 public:
  ScalesModel(RowSet& scales, QObject* parent) : RowSetModel(scales, kColumns, parent) {}

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags flags = RowSetModel::flags(index);
    if (index.isValid() && index.column() != kNameColumn && index.column() != kKeypadColumn) {
      flags &= ~Qt::ItemIsEditable;
    }
    return flags;
  }

  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!RowSetModel::setData(index, value, role)) return false;
    if (row_set().IsEditing()) row_set().Post();
    return true;
  }
};

// The Keypad column edits through a list of the layout names.
class KeypadDelegate : public QStyledItemDelegate {
 public:
  explicit KeypadDelegate(ScalesGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    if (index.column() != kKeypadColumn) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* combo = new QComboBox(parent);
    combo->setObjectName("KeypadPickList");
    combo->addItems(grid_->KeypadPickList());
    return combo;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) return QStyledItemDelegate::setEditorData(editor, index);
    const int found = combo->findText(index.data(Qt::EditRole).toString());
    combo->setCurrentIndex(found);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) return QStyledItemDelegate::setModelData(editor, model, index);
    if (combo->currentIndex() >= 0) model->setData(index, combo->currentText(), Qt::EditRole);
  }

 private:
  ScalesGrid* grid_;
};

}  // namespace

ScalesGrid::ScalesGrid(QWidget* parent) : QTableView(parent) {
  setObjectName("ScalesGrid");
  setSortingEnabled(false);
  horizontalHeader()->setSectionsClickable(false);
  verticalHeader()->setVisible(false);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setItemDelegate(new KeypadDelegate(this));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
}

void ScalesGrid::SetRowSet(RowSet& scales) {
  scales_ = &scales;
  model_ = new ScalesModel(scales, this);
  setModel(model_);
  setColumnHidden(0, true);
  setColumnWidth(1, 300);
  setColumnWidth(2, 200);
  setColumnWidth(3, 100);
  setColumnWidth(4, 200);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ScalesGrid::CurrentRowChanged);
  connect(&scales, &RowSet::AfterScroll, this, &ScalesGrid::FollowRowSet);
  connect(&scales, &RowSet::RowsReset, this, &ScalesGrid::FollowRowSet);
  FollowRowSet();
}

void ScalesGrid::FollowRowSet() {
  if (!scales_ || following_ || scales_->ControlsDisabled()) return;
  const int row = scales_->RecNo();
  if (row < 0 || row >= model_->rowCount()) return;
  following_ = true;
  const int column = currentIndex().isValid() ? currentIndex().column() : 1;
  setCurrentIndex(model_->index(row, column));
  following_ = false;
}

void ScalesGrid::CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (!scales_ || following_ || !current.isValid()) return;
  if (previous.isValid() && current.row() == previous.row()) return;
  following_ = true;
  scales_->MoveTo(current.row());
  following_ = false;
}

void ScalesGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Delete:
      // Scales leave the list only through the page's delete button and its question.
      event->accept();
      return;
    case Qt::Key_Insert:
      if (scales_) {
        scales_->Append();
        edit(model_->index(scales_->RecNo(), kNameColumn));
      }
      event->accept();
      return;
    default:
      QTableView::keyPressEvent(event);
  }
}

}  // namespace quibrel
