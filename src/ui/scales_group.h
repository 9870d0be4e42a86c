#pragma once

#include <QGroupBox>
#include <functional>

#include "discovery/scales_thread.h"

class QPushButton;

namespace quibrel {

class GoodsBase;
class ScalesGrid;

// The settings page's scales group (ScalesGroup): the grid of known scales with its refresh and
// delete buttons. The search results reach the table only through RefreshScalesList.
class ScalesSettingsGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit ScalesSettingsGroup(QWidget* parent = nullptr);

  ScalesGrid* Grid() const { return grid_; }
  QPushButton* RefreshScalesButton() const { return refresh_button_; }
  QPushButton* DeleteScalesButton() const { return delete_button_; }

  // The base whose ScalesSettings the grid shows and the search whose results it takes. Call
  // once the base is open; both outlive the group.
  void Bind(GoodsBase& base, TScalesThread& search);
  // The same with any source of publications (tests).
  void Bind(GoodsBase& base, std::function<ScalesSnapshot()> published);

  // Marks every known scale Offline, then the published ones Online, adding rows for scales not
  // known by name; then sets the delete button and the keypad pick list.
  void RefreshScalesList();
  void DeleteScalesButtonClick();

  // The yes/no question of the delete button (a message box without icon); tests answer it.
  using Question = std::function<bool(const QString& caption, const QString& text)>;
  void SetQuestion(Question question) { question_ = std::move(question); }

 private:
  ScalesGrid* grid_;
  QPushButton* refresh_button_;
  QPushButton* delete_button_;
  GoodsBase* base_ = nullptr;
  std::function<ScalesSnapshot()> published_;
  Question question_;
};

}  // namespace quibrel
