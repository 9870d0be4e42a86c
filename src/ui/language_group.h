#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;

namespace quibrel {

class Language;

// The settings page's group of miscellaneous settings (MiscGroup): the interface language list
// LangCombo, one item per language folder with the folder's Flag.bmp as its icon.
class LanguageGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit LanguageGroup(QWidget* parent = nullptr);

  QComboBox* LangCombo() const { return lang_combo_; }
  QLabel* LangLabel() const { return lang_label_; }

  // Lists the language folders the last choice found and selects the active one; emits nothing.
  // A flag that is missing or not an image gives the item an empty icon.
  void Fill(const Language& language);

 signals:
  // The operator picked a language in the list (LangComboChange): the code is to be stored and
  // the base reopened, which refills this list.
  void LanguageChosen(const QString& code);

 private:
  void LangComboChange(int index);

  QLabel* lang_label_;
  QComboBox* lang_combo_;
};

}  // namespace quibrel
