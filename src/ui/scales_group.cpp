#include "ui/scales_group.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "db/goods_base.h"
#include "db/row_set.h"
#include "discovery/scales_table.h"
#include "discovery/scales_thread.h"
#include "i18n/lang_text.h"
#include "ui/scales_grid.h"

namespace quibrel {
namespace {

bool AskWithMessageBox(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace

ScalesSettingsGroup::ScalesSettingsGroup(QWidget* parent)
    : QGroupBox(parent),
      grid_(new ScalesGrid(this)),
      refresh_button_(new QPushButton(this)),
      delete_button_(new QPushButton(this)) {
  setObjectName("ScalesGroup");
  setTitle(LangText("Settings", "Scales", "Scales settings"));
  refresh_button_->setObjectName("RefreshScalesButton");
  refresh_button_->setText(LangText("Settings", "Refresh", "Refresh"));
  delete_button_->setObjectName("DeleteScalesButton");
  delete_button_->setText(LangText("Settings", "Delete", "Delete"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(refresh_button_);
  buttons->addWidget(delete_button_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);
  connect(refresh_button_, &QPushButton::clicked, this, &ScalesSettingsGroup::RefreshScalesList);
  connect(delete_button_, &QPushButton::clicked, this,
          &ScalesSettingsGroup::DeleteScalesButtonClick);
}

void ScalesSettingsGroup::Bind(GoodsBase& base, TScalesThread& search) {
  Bind(base, [&search] { return search.Scales(); });
}

void ScalesSettingsGroup::Bind(GoodsBase& base, std::function<ScalesSnapshot()> published) {
  const bool same = base_ == &base;
  base_ = &base;
  published_ = std::move(published);
  // The row set object lives as long as the base; reopening the base keeps the grid's model.
  if (!same) grid_->SetRowSet(base.Scales());
}

void ScalesSettingsGroup::RefreshScalesList() {
  if (!base_ || !published_) return;
  // The snapshot is taken under the search's lock, so the search need not be held meanwhile.
  RefreshScalesTable(*base_, published_());
  RowSet& scales = base_->Scales();
  delete_button_->setEnabled(!scales.IsEmpty() && !scales.FieldByName("Name").isNull());
  QStringList names;
  const RowSet& keypads = base_->KeyPads();
  const int name = keypads.FieldIndex("Name");
  for (int position = 0; position < keypads.RecordCount(); ++position) {
    names.append(keypads.ValueAt(position, name).toString());
  }
  grid_->SetKeypadPickList(names);
}

void ScalesSettingsGroup::DeleteScalesButtonClick() {
  if (!base_) return;
  RowSet& scales = base_->Scales();
  if (scales.IsEmpty()) {
    delete_button_->setEnabled(false);
    return;
  }
  const QString text = LangText("Text", "DeleteScales", "Delete scales") + "\r\n" +
                       scales.FieldByName("Name").toString() + " IP: " +
                       scales.FieldByName("IP").toString() + "\r\n" +
                       LangText("Text", "FromList", "from list?");
  const QString caption = LangText("Text", "DeleteScalesConfirmation", "Delete Scales");
  const bool yes = question_ ? question_(caption, text) : AskWithMessageBox(this, caption, text);
  if (!yes) return;
  scales.Delete();
  if (scales.IsEmpty()) delete_button_->setEnabled(false);
}

}  // namespace quibrel
