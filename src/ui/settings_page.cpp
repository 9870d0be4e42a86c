#include "ui/settings_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/elided_label.h"
#include "ui/language_group.h"
#include "ui/scales_group.h"

namespace quibrel {

SettingsPage::SettingsPage(QWidget* parent)
    : QWidget(parent),
      database_group_(new QGroupBox(this)),
      database_label_(new ElidedLabel(database_group_)),
      misc_group_(new LanguageGroup(this)),
      scales_group_(new ScalesSettingsGroup(this)),
      groups_layout_(new QVBoxLayout(this)) {
  setObjectName("SettingsSheet");
  database_group_->setObjectName("DatabaseGroup");
  database_group_->setTitle("Database");
  database_label_->setObjectName("DatabaseLabel");
  auto* database_layout = new QHBoxLayout(database_group_);
  database_layout->addWidget(database_label_, 1);
  groups_layout_->addWidget(database_group_);
  groups_layout_->addWidget(misc_group_);
  groups_layout_->addWidget(scales_group_, 1);
  groups_layout_->addStretch(1);
}

}  // namespace quibrel
