#include "ui/scales_form.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "discovery/scales_table.h"
#include "i18n/lang_text.h"

namespace quibrel {

TScalesForm::TScalesForm(GoodsBase& base, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      base_(base),
      scales_group_(new QGroupBox(this)),
      scales_list_(new QListWidget(scales_group_)),
      select_all_button_(new QPushButton(this)),
      select_none_button_(new QPushButton(this)),
      ok_button_(new QPushButton(this)),
      cancel_button_(new QPushButton(this)) {
  setObjectName("ScalesForm");
  setModal(true);
  scales_group_->setObjectName("ScalesGroup");
  scales_list_->setObjectName("ScalesList");
  select_all_button_->setObjectName("SelectAllButton");
  select_none_button_->setObjectName("SelectNoneButton");
  ok_button_->setObjectName("OkButton");
  cancel_button_->setObjectName("CancelButton");
  ok_button_->setAutoDefault(false);
  cancel_button_->setAutoDefault(false);

  auto* group_layout = new QVBoxLayout(scales_group_);
  group_layout->addWidget(scales_list_);
  scales_group_->setFixedHeight(255);
  auto* selection = new QHBoxLayout;
  selection->addWidget(select_all_button_);
  selection->addWidget(select_none_button_);
  selection->addStretch(1);
  selection->addWidget(ok_button_);
  selection->addWidget(cancel_button_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(scales_group_);
  layout->addLayout(selection);
  resize(346, 299);

  connect(scales_list_, &QListWidget::itemClicked, this, &TScalesForm::ItemClicked);
  connect(select_all_button_, &QPushButton::clicked, this, [this] { SetAll(true); });
  connect(select_none_button_, &QPushButton::clicked, this, [this] { SetAll(false); });
  connect(ok_button_, &QPushButton::clicked, this, [this] { done(kOk); });
  connect(cancel_button_, &QPushButton::clicked, this, [this] { done(kCancel); });
}

void TScalesForm::Open(const ScalesSnapshot& scales) {
  select_all_button_->setVisible(!CheckMode);
  select_none_button_->setVisible(!CheckMode);
  scales_group_->setTitle(LangText("SaveToScales", "SelectScales", "SelectScales"));
  select_all_button_->setText(LangText("SaveToScales", "SelectAll", "Select all"));
  select_none_button_->setText(LangText("SaveToScales", "SelectNone", "Unselect all"));
  cancel_button_->setText(LangText("SaveToScales", "Cancel", "Cancel"));
  ok_button_->setText(LangText("SaveToScales", "Upload", "Upload"));

  scales_list_->clear();
  for (const QString& text : ScaleItemTexts(base_, scales)) {
    auto* item = new QListWidgetItem(text, scales_list_);
    // Ticks follow clicks on the whole item, so the box itself is not a second toggle.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
  }
  UpdateOkButton();
}

int TScalesForm::Execute(const ScalesSnapshot& scales) {
  Open(scales);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  return exec();
}

void TScalesForm::reject() { done(kCancel); }

bool TScalesForm::IsTicked(int index) const {
  const QListWidgetItem* item = scales_list_->item(index);
  return item && item->checkState() == Qt::Checked;
}

QList<int> TScalesForm::TickedIndexes() const {
  QList<int> ticked;
  for (int i = 0; i < scales_list_->count(); ++i) {
    if (IsTicked(i)) ticked.append(i);
  }
  return ticked;
}

void TScalesForm::ToggleItem(int index) {
  if (QListWidgetItem* item = scales_list_->item(index)) ItemClicked(item);
}

void TScalesForm::ItemClicked(QListWidgetItem* item) {
  const bool ticked = item->checkState() != Qt::Checked;
  if (CheckMode) {
    for (int i = 0; i < scales_list_->count(); ++i) {
      scales_list_->item(i)->setCheckState(Qt::Unchecked);
    }
  }
  item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  UpdateOkButton();
}

void TScalesForm::SetAll(bool ticked) {
  for (int i = 0; i < scales_list_->count(); ++i) {
    scales_list_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }
  // Ticking all of an empty list enables OK as the button always did; the callers never show
  // the dialog without scales.
  ok_button_->setEnabled(ticked);
}

void TScalesForm::UpdateOkButton() {
  ok_button_->setEnabled(scales_list_->count() > 0 && !TickedIndexes().isEmpty());
}

}  // namespace quibrel
