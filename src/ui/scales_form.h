#pragma once

#include <QDialog>
#include <QList>

#include "discovery/scales_thread.h"

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quibrel {

class GoodsBase;

// The scale selection dialog: one tick item per published scale, item i standing for entry i of
// the snapshot it was opened with. Borderless, on top, centred on the screen.
//
//   form.CheckMode = true;                        // one scale only (downloads)
//   if (form.Execute(snapshot) == TScalesForm::kOk)
//     for (int i : form.TickedIndexes()) ... snapshot.Scales[i] ...
class TScalesForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kOk = 1;
  static constexpr int kCancel = 2;

  explicit TScalesForm(GoodsBase& base, QWidget* parent = nullptr);

  // True: at most one item may be ticked and the two selection buttons are hidden.
  bool CheckMode = false;

  // The opening steps: buttons for the mode, captions, one unticked item per entry (adding rows
  // for scales not known by name), OK disabled.
  void Open(const ScalesSnapshot& scales);
  // Open, then show modally; kOk or kCancel.
  int Execute(const ScalesSnapshot& scales);

  bool IsTicked(int index) const;
  QList<int> TickedIndexes() const;
  // The same as a click on item index.
  void ToggleItem(int index);

  QGroupBox* ScalesGroup() const { return scales_group_; }
  QListWidget* ScalesList() const { return scales_list_; }
  QPushButton* SelectAllButton() const { return select_all_button_; }
  QPushButton* SelectNoneButton() const { return select_none_button_; }
  QPushButton* OkButton() const { return ok_button_; }
  QPushButton* CancelButton() const { return cancel_button_; }

  void reject() override;

 private:
  void ItemClicked(QListWidgetItem* item);
  void SetAll(bool ticked);
  void UpdateOkButton();

  GoodsBase& base_;
  QGroupBox* scales_group_;
  QListWidget* scales_list_;
  QPushButton* select_all_button_;
  QPushButton* select_none_button_;
  QPushButton* ok_button_;
  QPushButton* cancel_button_;
};

}  // namespace quibrel
