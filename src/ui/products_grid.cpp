#include "ui/products_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>
#include <set>

#include "db/goods_rules.h"
#include "db/row_set.h"
#include "db/row_set_model.h"

namespace quibrel {

namespace {

constexpr int kTypeColumn = 3;

// Text cells get an editor that cannot take more characters than the field allows; the type
// cell gets the pick list, which still lets any word be typed. What is typed goes through the
// field's input rule before it reaches the row set.
class GoodsCellDelegate : public QStyledItemDelegate {
 public:
  explicit GoodsCellDelegate(ProductsGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    const GoodsColumn& column = GoodsColumns()[index.column()];
    if (index.column() == kTypeColumn) {
      auto* combo = new QComboBox(parent);
      combo->setObjectName("TypePickList");
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->addItems(grid_->TypePickList());
      combo->lineEdit()->setMaxLength(column.max_length);
      combo->setFrame(false);
      return combo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (column.max_length > 0) edit->setMaxLength(column.max_length);
    (void)option;
    return edit;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      combo->setEditText(text);
      return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->setText(text);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      text = combo->currentText();
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      text = edit->text();
    }
    if (text == index.data(Qt::EditRole).toString()) return;  // untouched: start no edit
    QVariant value;
    if (const std::optional<QString> refusal =
            ConvertGoodsInput(GoodsColumns()[index.column()].field, text, &value)) {
      grid_->ReportInputError(*refusal);
      return;
    }
    model->setData(index, value, Qt::EditRole);
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    editor->setGeometry(option.rect);
  }

 private:
  ProductsGrid* grid_;
};

}  // namespace

ProductsGrid::ProductsGrid(QWidget* parent) : QTableView(parent) {
  setObjectName("ProductsGrid");
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  setAlternatingRowColors(true);
  setWordWrap(false);
  setItemDelegate(new GoodsCellDelegate(this));
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setSortIndicatorShown(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  verticalHeader()->setVisible(false);  // row numbers mean nothing here, and 100,000 do not fit
}

void ProductsGrid::SetRowSet(RowSet& goods) {
  goods_ = &goods;
  QStringList fields;
  for (const GoodsColumn& column : GoodsColumns()) fields << column.field;
  auto* model = new RowSetModel(goods, fields, this);
  for (int i = 0; i < kGoodsColumnCount; ++i) {
    model->setHeaderData(i, Qt::Horizontal, GoodsColumnCaption(i));
  }
  QItemSelectionModel* old_selection = selectionModel();
  setModel(model);
  delete old_selection;
  if (model_ != nullptr) model_->deleteLater();
  model_ = model;
  const int widths[kGoodsColumnCount] = {70, 170, 150, 70, 80, 70};
  for (int i = 0; i < kGoodsColumnCount; ++i) setColumnWidth(i, widths[i]);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ProductsGrid::CurrentRowChanged);
  connect(&goods, &RowSet::AfterScroll, this, &ProductsGrid::FollowRowSet);
  connect(model_, &QAbstractItemModel::modelReset, this, &ProductsGrid::FollowRowSet);
  FollowRowSet();
}

void ProductsGrid::ReportInputError(const QString& text) {
  if (!input_error_report_) return;
  // The editor is still closing when its value is refused; the message waits until it has.
  QPointer<ProductsGrid> self(this);
  QTimer::singleShot(0, this, [self, text] {
    if (self && self->input_error_report_) self->input_error_report_(text);
  });
}

QStringList ProductsGrid::TypePickList() const {
  const QStringList words = property("typePickList").toStringList();
  if (words.size() == 2) return words;
  return {WeightWord(), CountWord()};
}

QList<int> ProductsGrid::SelectedRows() const {
  std::set<int> rows;
  if (selectionModel() != nullptr) {
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows.insert(index.row());
  }
  return QList<int>(rows.begin(), rows.end());
}

void ProductsGrid::SelectCurrentRowOnly() {
  if (selectionModel() == nullptr || goods_ == nullptr) return;
  selectionModel()->clearSelection();
  const int row = goods_->RecNo();
  if (row < 0 || row >= model_->rowCount()) return;
  const int column = currentIndex().isValid() ? currentIndex().column() : 0;
  selectionModel()->setCurrentIndex(model_->index(row, column), QItemSelectionModel::NoUpdate);
  selectionModel()->select(model_->index(row, 0),
                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ProductsGrid::ShowSortIndicator() {
  if (goods_ == nullptr) return;
  const int column = model_->ColumnOf(goods_->sort_field());
  horizontalHeader()->setSortIndicatorShown(column >= 0);
  if (column >= 0) horizontalHeader()->setSortIndicator(column, goods_->sort_order());
}

void ProductsGrid::FollowRowSet() {
  if (goods_ == nullptr || following_ || selectionModel() == nullptr) return;
  const int row = goods_->RecNo();
  following_ = true;
  if (row < 0 || row >= model_->rowCount()) {
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  } else if (currentIndex().row() != row) {
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = model_->index(row, column);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
  }
  following_ = false;
}

void ProductsGrid::CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (following_ || goods_ == nullptr || !current.isValid()) return;
  if (current.row() == previous.row() && previous.isValid()) return;
  if (current.row() == goods_->RecNo()) return;
  // Leaving a row stores it; a refused row is cancelled (a new row disappears, so the
  // positions may move): the grid then shows wherever the row set ended up.
  if (goods_->state() == RowSet::State::kInsert && Untouched()) {
    // A row inserted and left without typing anything is dropped, not stored.
    const int target = current.row() > goods_->RecNo() ? current.row() - 1 : current.row();
    goods_->Cancel();
    goods_->MoveTo(target);
    QTimer::singleShot(0, this, &ProductsGrid::FollowRowSet);
    return;
  }
  const int from = goods_->RecNo();
  const bool inserting = goods_->state() == RowSet::State::kInsert;
  goods_->MoveTo(current.row());
  if (goods_->RecNo() != current.row() && !goods_->IsEditing()) {
    // The refused row was put back as stored (or dropped, when new); the operator still
    // goes where he clicked.
    goods_->MoveTo(inserting && current.row() > from ? current.row() - 1 : current.row());
  }
  if (goods_->RecNo() != current.row()) {
    QTimer::singleShot(0, this, &ProductsGrid::FollowRowSet);
  }
}

bool ProductsGrid::Untouched() const {
  for (const QString& field : goods_->fields()) {
    const QVariant value = goods_->FieldByName(field);
    if (value.isValid() && !value.isNull()) return false;
  }
  return true;
}

void ProductsGrid::mousePressEvent(QMouseEvent* event) {
  // Shift+click extends a selection of whole rows; a plain click goes back to editing cells.
  const bool row_selection = event->modifiers().testFlag(Qt::ShiftModifier);
  const bool was_row_selection = selectionBehavior() == QAbstractItemView::SelectRows;
  if (row_selection) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
  } else {
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  }
  if (row_selection != was_row_selection) emit RowSelectionModeChanged(row_selection);
  QTableView::mousePressEvent(event);
}

void ProductsGrid::keyPressEvent(QKeyEvent* event) {
  if (goods_ != nullptr && state() != QAbstractItemView::EditingState) {
    switch (event->key()) {
      case Qt::Key_Delete:
        emit DeleteKeyPressed();
        return;
      case Qt::Key_Insert:
        goods_->Insert();
        return;
      case Qt::Key_Escape:
        if (goods_->IsEditing()) {
          goods_->Cancel();
          return;
        }
        break;
      case Qt::Key_Down:
        if (event->modifiers() == Qt::NoModifier && goods_->RecNo() == goods_->RecordCount() - 1 &&
            goods_->state() != RowSet::State::kInsert) {
          goods_->Append();
          return;
        }
        break;
      default:
        break;
    }
  }
  QTableView::keyPressEvent(event);
}

}  // namespace quibrel
