#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "db/row_set.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace quibrel {

class ProductsGrid;
class Workspace;

// The goods page: the goods grid with its toolbar and search bar, and on the right the panel
// that holds the label settings and preview.
class GoodsPage : public QWidget {
  Q_OBJECT

 public:
  // Yes/No question with the warning icon; true for Yes.
  using QuestionBox = std::function<bool(const QString& caption, const QString& text)>;
  // OK box with the error icon.
  using ErrorBox = std::function<void(const QString& caption, const QString& text)>;

  explicit GoodsPage(QWidget* parent = nullptr);

  // Binds the page to the workspace's goods row set and installs the checks every stored item
  // passes. Done once; the row set stays the same object when another base is opened.
  void Attach(Workspace& workspace);

  // Steps of opening a base.
  void DisableGoodsWhenEmpty();
  void FillSearchChooser();
  void EnableGoodsWhenNotEmpty();
  // Leaving for the keypad page: the filter off, its text and the search text empty.
  void ClearSearch();
  // Asks for the label preview of the current item, unless the window is being rebuilt.
  void RequestPreviewRedraw();

  void SetQuestionBox(QuestionBox box) { question_box_ = std::move(box); }
  void SetErrorBox(ErrorBox box) { error_box_ = std::move(box); }

  ProductsGrid* Grid() const { return grid_; }
  QLineEdit* SearchEdit() const { return search_edit_; }
  QComboBox* SearchCombo() const { return search_combo_; }
  QToolButton* AddProductButton() const { return add_button_; }
  QToolButton* CopyProductButton() const { return copy_button_; }
  QToolButton* DeleteProductButton() const { return delete_button_; }
  QToolButton* TransmitProductsButton() const { return transmit_button_; }
  QToolButton* ReceiveProductsButton() const { return receive_button_; }
  QToolButton* ProductsToWordButton() const { return word_button_; }
  QToolButton* ProductsToCardButton() const { return to_card_button_; }
  QToolButton* ProductsFromCardButton() const { return from_card_button_; }
  // The right-hand panel for the label settings and preview.
  QWidget* TicketPanel() const { return ticket_panel_; }

  void AddProductButtonClick();
  void CopyProductButtonClick();
  void DeleteProductButtonClick();
  void SearchEditChange(const QString& text);
  void SearchComboChange(int position);
  void ProductsGridTitleClick(int column);
  void ProductsGridCellClick();

 signals:
  // The label preview should show the current goods item again.
  void PreviewRedrawRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QToolButton* MakeButton(const char* name, const QString& text, int icon);
  bool ProductsDataSetFilterRecord(const RowSet::Values& values) const;
  bool SearchEditKeyPress(QKeyEvent* event);
  qint64 LargestPlu(RowSet& goods) const;
  void ShowRefusal(const QString& text);
  RowSet& Goods() const;

  Workspace* workspace_ = nullptr;
  ProductsGrid* grid_;
  QLineEdit* search_edit_;
  QComboBox* search_combo_;
  QLabel* find_label1_;
  QLabel* find_label2_;
  QToolButton* add_button_;
  QToolButton* copy_button_;
  QToolButton* delete_button_;
  QToolButton* transmit_button_;
  QToolButton* receive_button_;
  QToolButton* word_button_;
  QToolButton* to_card_button_;
  QToolButton* from_card_button_;
  QWidget* ticket_panel_;

  QuestionBox question_box_;
  ErrorBox error_box_;
  // The search as the filter applies it: the field's index in the row set and the text in
  // upper case.
  int search_field_ = -1;
  QString search_upper_;
  bool filling_chooser_ = false;
};

}  // namespace quibrel
