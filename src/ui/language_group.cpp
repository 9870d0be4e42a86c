#include "ui/language_group.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include "workspace/language.h"

namespace quibrel {

LanguageGroup::LanguageGroup(QWidget* parent)
    : QGroupBox(parent), lang_label_(new QLabel(this)), lang_combo_(new QComboBox(this)) {
  setObjectName("MiscGroup");
  setTitle("Miscellaneous settings");
  lang_label_->setObjectName("LangLabel");
  lang_label_->setText("Language");
  lang_combo_->setObjectName("LangCombo");
  lang_combo_->setIconSize(QSize(24, 16));
  lang_combo_->setMinimumContentsLength(6);
  lang_label_->setBuddy(lang_combo_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(lang_label_);
  layout->addWidget(lang_combo_);
  layout->addStretch(1);
  // Only a pick by the operator counts; filling the list programmatically stays silent.
  connect(lang_combo_, &QComboBox::activated, this, &LanguageGroup::LangComboChange);
}

void LanguageGroup::Fill(const Language& language) {
  const bool blocked = lang_combo_->blockSignals(true);
  lang_combo_->clear();
  for (const QString& code : language.Codes()) {
    QImageReader reader(language.FlagPath(code));
    const QImage flag = reader.read();
    lang_combo_->addItem(flag.isNull() ? QIcon() : QIcon(QPixmap::fromImage(flag)), code);
  }
  lang_combo_->setCurrentIndex(lang_combo_->findText(language.Code(), Qt::MatchFixedString));
  lang_combo_->blockSignals(blocked);
}

void LanguageGroup::LangComboChange(int index) {
  const QString code = lang_combo_->itemText(index);
  if (!code.isEmpty()) emit LanguageChosen(code);
}

}  // namespace quibrel
