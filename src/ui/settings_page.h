#pragma once

#include <QWidget>

class QGroupBox;
class QVBoxLayout;

namespace quibrel {

class ElidedLabel;
class LanguageGroup;
class ScalesSettingsGroup;

// The settings page: the goods base in use, the interface language and the known scales.
class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  explicit SettingsPage(QWidget* parent = nullptr);

  ElidedLabel* DatabaseLabel() const { return database_label_; }
  QGroupBox* DatabaseGroup() const { return database_group_; }
  // The language list and its label (MiscGroup).
  LanguageGroup* MiscGroup() const { return misc_group_; }
  // The known scales with their refresh and delete buttons (ScalesGroup).
  ScalesSettingsGroup* ScalesGroup() const { return scales_group_; }
  // Where the page's groups stack, top to bottom.
  QVBoxLayout* GroupsLayout() const { return groups_layout_; }

 private:
  QGroupBox* database_group_;
  ElidedLabel* database_label_;
  LanguageGroup* misc_group_;
  ScalesSettingsGroup* scales_group_;
  QVBoxLayout* groups_layout_;
};

}  // namespace quibrel
