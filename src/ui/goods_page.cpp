#include "ui/goods_page.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "db/goods_base.h"
#include "db/goods_rules.h"
#include "db/money_format.h"
#include "db/row_set_model.h"
#include "i18n/lang_text.h"
#include "ui/products_grid.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

// Longest search text per searched column; 0 for no limit.
constexpr int kSearchLimits[kGoodsColumnCount] = {8, 0, 0, 0, 7, 3};
constexpr int kNoLimit = 32767;  // QLineEdit's own maximum
constexpr int kPluColumn = 0, kPriceColumn = 4, kShelfLifeColumn = 5;

QFrame* Separator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::VLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

GoodsPage::GoodsPage(QWidget* parent) : QWidget(parent) {
  setObjectName("BaseSheet");
  setAttribute(Qt::WA_OpaquePaintEvent, false);

  add_button_ = MakeButton("AddProductButton", LangText("Products", "New", "New"),
                           QStyle::SP_FileIcon);
  copy_button_ = MakeButton("CopyProductButton", LangText("Products", "Copy", "Copy"),
                            QStyle::SP_FileDialogDetailedView);
  delete_button_ = MakeButton("DeleteProductButton", LangText("Products", "Delete", "Delete"),
                              QStyle::SP_TrashIcon);
  transmit_button_ = MakeButton("TransmitProductsButton", LangText("Products", "Upload", "Upload"),
                                QStyle::SP_ArrowUp);
  receive_button_ = MakeButton("ReceiveProductsButton",
                               LangText("Products", "Download", "Download"), QStyle::SP_ArrowDown);
  word_button_ = MakeButton("ProductsToWordButton", LangText("Products", "Export", "Export"),
                            QStyle::SP_FileDialogContentsView);
  to_card_button_ = MakeButton("ProductsToCardButton", LangText("Products", "Save", "Save"),
                               QStyle::SP_DialogSaveButton);
  from_card_button_ = MakeButton("ProductsFromCardButton", LangText("Products", "Load", "Load"),
                                 QStyle::SP_DialogOpenButton);
  // Their commands belong to the exchange, export and card work; the exchange buttons are
  // enabled once the first scale search has ended.
  for (QToolButton* button : {transmit_button_, receive_button_, word_button_, to_card_button_,
                              from_card_button_}) {
    button->setEnabled(false);
  }

  auto* toolbar = new QWidget(this);
  toolbar->setObjectName("ProductsToolBar");
  auto* toolbar_layout = new QHBoxLayout(toolbar);
  toolbar_layout->setContentsMargins(0, 0, 0, 0);
  toolbar_layout->setSpacing(2);
  toolbar_layout->addWidget(add_button_);
  toolbar_layout->addWidget(copy_button_);
  toolbar_layout->addWidget(delete_button_);
  toolbar_layout->addWidget(Separator(toolbar));
  toolbar_layout->addWidget(transmit_button_);
  toolbar_layout->addWidget(receive_button_);
  toolbar_layout->addWidget(Separator(toolbar));
  toolbar_layout->addWidget(word_button_);
  toolbar_layout->addWidget(Separator(toolbar));
  toolbar_layout->addWidget(to_card_button_);
  toolbar_layout->addWidget(from_card_button_);
  toolbar_layout->addStretch(1);

  grid_ = new ProductsGrid(this);

  find_label1_ = new QLabel(LangText("Products", "Find", "Find"), this);
  find_label1_->setObjectName("FindLabel1");
  search_edit_ = new QLineEdit(this);
  search_edit_->setObjectName("SearchEdit");
  search_edit_->setClearButtonEnabled(true);
  search_edit_->installEventFilter(this);
  find_label1_->setBuddy(search_edit_);
  find_label2_ = new QLabel(LangText("Products", "In", "in"), this);
  find_label2_->setObjectName("FindLabel2");
  search_combo_ = new QComboBox(this);
  search_combo_->setObjectName("SearchCombo");
  search_combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  search_combo_->setMinimumContentsLength(14);

  auto* search_bar = new QHBoxLayout;
  search_bar->setSpacing(6);
  search_bar->addWidget(find_label1_);
  search_bar->addWidget(search_edit_, 1);
  search_bar->addWidget(find_label2_);
  search_bar->addWidget(search_combo_);

  auto* goods_column = new QVBoxLayout;
  goods_column->setSpacing(6);
  goods_column->addWidget(toolbar);
  goods_column->addWidget(grid_, 1);
  goods_column->addLayout(search_bar);

  ticket_panel_ = new QFrame(this);
  ticket_panel_->setObjectName("TicketPanel");
  static_cast<QFrame*>(ticket_panel_)->setFrameShape(QFrame::StyledPanel);
  // The label preview is shown at half size, 216 pixels wide, with its settings above it.
  ticket_panel_->setFixedWidth(240);
  ticket_panel_->setLayout(new QVBoxLayout);

  auto* page_layout = new QHBoxLayout(this);
  page_layout->setContentsMargins(6, 6, 6, 6);
  page_layout->setSpacing(8);
  page_layout->addLayout(goods_column, 1);
  page_layout->addWidget(ticket_panel_);

  question_box_ = [this](const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  };
  error_box_ = [this](const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, this);
    box.exec();
  };

  connect(add_button_, &QToolButton::clicked, this, &GoodsPage::AddProductButtonClick);
  connect(copy_button_, &QToolButton::clicked, this, &GoodsPage::CopyProductButtonClick);
  connect(delete_button_, &QToolButton::clicked, this, &GoodsPage::DeleteProductButtonClick);
  connect(grid_, &ProductsGrid::DeleteKeyPressed, this, &GoodsPage::DeleteProductButtonClick);
  connect(grid_, &QAbstractItemView::clicked, this, &GoodsPage::ProductsGridCellClick);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &GoodsPage::ProductsGridTitleClick);
  connect(search_edit_, &QLineEdit::textChanged, this, &GoodsPage::SearchEditChange);
  connect(search_combo_, &QComboBox::currentIndexChanged, this, &GoodsPage::SearchComboChange);
  grid_->SetInputErrorReport([this](const QString& text) { ShowRefusal(text); });
}

QToolButton* GoodsPage::MakeButton(const char* name, const QString& text, int icon) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setText(text);
  button->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  return button;
}

RowSet& GoodsPage::Goods() const { return workspace_->base().Goods(); }

void GoodsPage::Attach(Workspace& workspace) {
  workspace_ = &workspace;
  RowSet& goods = workspace.base().Goods();
  grid_->SetRowSet(goods);
  goods.SetFilter([this](const RowSet::Values& values) {
    return ProductsDataSetFilterRecord(values);
  });
  Workspace* space = &workspace;
  goods.SetBeforePost(MakeGoodsBeforePost(
      workspace.base(), [space] { return space->flRefresh; },
      [this] { return grid_->TypePickList().value(0); },
      [this](const QString& text) { ShowRefusal(text); }));
}

void GoodsPage::ShowRefusal(const QString& text) {
  error_box_(LangText("Text", "ErrorData", "Error"), text);
}

void GoodsPage::RequestPreviewRedraw() {
  if (workspace_ != nullptr && workspace_->flRefresh) emit PreviewRedrawRequested();
}

void GoodsPage::DisableGoodsWhenEmpty() {
  if (!Goods().IsEmpty()) return;
  grid_->setEnabled(false);
  delete_button_->setEnabled(false);
}

void GoodsPage::EnableGoodsWhenNotEmpty() {
  if (Goods().IsEmpty()) return;
  grid_->setEnabled(true);
  delete_button_->setEnabled(true);
}

void GoodsPage::FillSearchChooser() {
  filling_chooser_ = true;
  search_combo_->clear();
  for (int i = 0; i < kGoodsColumnCount; ++i) {
    search_combo_->addItem(grid_->Model() != nullptr
                               ? grid_->Model()->headerData(i, Qt::Horizontal).toString()
                               : GoodsColumnCaption(i));
  }
  search_combo_->setCurrentIndex(1);
  filling_chooser_ = false;
}

void GoodsPage::ClearSearch() {
  Goods().SetFiltered(false);
  search_upper_.clear();
  search_edit_->clear();
}

qint64 GoodsPage::LargestPlu(RowSet& goods) const {
  const int plu = goods.FieldIndex("PLU");
  qint64 largest = 0;
  for (int position = 0; position < goods.RecordCount(); ++position) {
    largest = std::max(largest, goods.ValueAt(position, plu).toLongLong());
  }
  return largest;
}

void GoodsPage::AddProductButtonClick() {
  RowSet& goods = Goods();
  search_edit_->clear();
  goods.SetFiltered(false);
  // A pending edit is stored (or refused) before the numbers are read.
  if (goods.IsEditing()) goods.Post();
  const qint64 largest = LargestPlu(goods);
  goods.Append();
  goods.SetFieldValue("PLU", static_cast<int>(largest + 1));
  goods.SetFieldValue("Price", "0" + FormatSettings().decimal_separator + "00");
  goods.SetFieldValue("ZirkDuringDate", 0);
  goods.SetFieldValue("ZirkName1", QStringLiteral(""));
  goods.SetFieldValue("ZirkName2", QStringLiteral(""));
  goods.SetFieldValue("Type", grid_->TypePickList().value(0));
  goods.Post();
  RequestPreviewRedraw();
  delete_button_->setEnabled(true);
  grid_->setEnabled(true);
  grid_->SelectCurrentRowOnly();
}

void GoodsPage::CopyProductButtonClick() {
  RowSet& goods = Goods();
  if (goods.IsEditing()) goods.Post();
  QVector<QVariant>& temp = workspace_->TempProduct;
  temp.resize(goods.fields().size());
  for (int i = 0; i < goods.fields().size(); ++i) temp[i] = goods.FieldByName(goods.fields()[i]);

  qint64 largest = 0;
  if (goods.Filtered()) {
    // The largest PLU of all goods, not only of those the search shows.
    goods.DisableControls();
    goods.SetFiltered(false);
    largest = LargestPlu(goods);
    goods.SetFiltered(true);
    goods.EnableControls();
  } else {
    largest = LargestPlu(goods);
  }
  temp[goods.FieldIndex("PLU")] = static_cast<int>(largest + 1);

  goods.Append();
  for (int i = 1; i < goods.fields().size(); ++i) goods.SetFieldValue(goods.fields()[i], temp[i]);
  goods.Post();
  grid_->SelectCurrentRowOnly();
  RequestPreviewRedraw();
}

void GoodsPage::DeleteProductButtonClick() {
  RowSet& goods = Goods();
  const auto text_of = [&](const char* field) {
    const QVariant value = goods.FieldByName(field);
    return value.isNull() ? QString() : value.toString();
  };
  const QList<int> selected = grid_->SelectedRows();
  QString question;
  if (selected.size() < 2) {
    question = LangText("Text", "DeleteItem", "Delete item?") + "\n" +
               LangText("Text", "PLU", "PLU") + ": " + text_of("PLU") + "\n" +
               LangText("Text", "Name", "Name") + ": " + text_of("ZirkName1") + " " +
               text_of("ZirkName2");
  } else {
    question = LangText("Text", "DeleteItems", "Delete selected items?");
  }
  if (!question_box_(LangText("Text", "ItemDeleting", "Delete item"), question)) return;

  if (!goods.IsEmpty()) {
    if (selected.size() < 2) {
      goods.Delete();
    } else {
      // All selected goods go, or none: the rows are found by bookmark first, since deleting
      // one moves the positions of the others.
      if (goods.IsEditing()) goods.Post();
      GoodsBase::Transaction transaction(workspace_->base(), {&goods});
      QList<RowSet::Bookmark> marks;
      for (int row : selected) {
        goods.MoveTo(row);
        marks << goods.GetBookmark();
      }
      for (RowSet::Bookmark mark : marks) {
        if (goods.GotoBookmark(mark)) goods.Delete();
      }
      transaction.Commit();
    }
  }
  grid_->SelectCurrentRowOnly();
  RequestPreviewRedraw();
  if (goods.IsEmpty()) {
    delete_button_->setEnabled(false);
    grid_->setEnabled(false);
  }
}

bool GoodsPage::ProductsDataSetFilterRecord(const RowSet::Values& values) const {
  if (search_field_ < 0 || search_field_ >= values.size() || search_upper_.isEmpty()) return true;
  const QVariant& value = values[search_field_];
  if (value.isNull()) return false;
  const QString text = FormatSettings().locale.toUpper(value.toString());
  return QStringView(text).left(search_upper_.size()) == search_upper_;
}

void GoodsPage::SearchEditChange(const QString& text) {
  if (workspace_ == nullptr) return;
  RowSet& goods = Goods();
  if (!text.isEmpty()) {
    const int position = std::max(search_combo_->currentIndex(), 0);
    search_field_ = goods.FieldIndex(GoodsColumns()[position].field);
    search_upper_ = FormatSettings().locale.toUpper(text);
    if (goods.Filtered()) {
      goods.Refilter();
    } else {
      goods.SetFiltered(true);
    }
    return;
  }
  search_upper_.clear();
  goods.SetFiltered(false);
  grid_->SelectCurrentRowOnly();
}

void GoodsPage::SearchComboChange(int position) {
  if (filling_chooser_ || position < 0 || position >= kGoodsColumnCount) return;
  const int limit = kSearchLimits[position];
  search_edit_->setMaxLength(limit > 0 ? limit : kNoLimit);
}

bool GoodsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == search_edit_ && event->type() == QEvent::KeyPress) {
    return SearchEditKeyPress(static_cast<QKeyEvent*>(event));
  }
  return QWidget::eventFilter(watched, event);
}

bool GoodsPage::SearchEditKeyPress(QKeyEvent* event) {
  // Only typed characters are filtered; moving and editing keys pass.
  const QString typed = event->text();
  if (typed.size() != 1 || !typed[0].isPrint() || event->key() == Qt::Key_Backspace) return false;
  const QChar c = typed[0];
  const bool digit = c >= u'0' && c <= u'9';
  const int position = search_combo_->currentIndex();
  if (position == kPluColumn || position == kShelfLifeColumn) return !digit;
  if (position == kPriceColumn) {
    if (c == u'.' || c == u',') {
      search_edit_->insert(FormatSettings().decimal_separator);
      return true;
    }
    return !digit;
  }
  return false;
}

void GoodsPage::ProductsGridTitleClick(int column) {
  if (workspace_ == nullptr || column < 0 || column >= kGoodsColumnCount) return;
  RowSet& goods = Goods();
  const QString field = GoodsColumns()[column].field;
  const bool this_column = goods.sort_field().compare(field, Qt::CaseInsensitive) == 0;
  if (this_column && goods.sort_order() == Qt::DescendingOrder) {
    goods.ClearSort();
  } else if (this_column) {
    goods.SetSort(field, Qt::DescendingOrder);
  } else if (goods.sort_field().isEmpty()) {
    goods.SetSort(field, Qt::AscendingOrder);
  } else {
    goods.ClearSort();
  }
  grid_->ShowSortIndicator();
}

void GoodsPage::ProductsGridCellClick() {
  if (workspace_ == nullptr) return;
  RowSet& goods = Goods();
  if (goods.state() == RowSet::State::kEdit) goods.Post();
  RequestPreviewRedraw();
}

}  // namespace quibrel
