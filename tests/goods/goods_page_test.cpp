// The goods page as the operator uses it: the commands, their questions, the search bar, the
// sort cycle and the grid's mouse and keys.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "db/row_set_model.h"
#include "goods_fixture.h"
#include "ui/goods_page.h"
#include "ui/products_grid.h"

namespace quibrel {
namespace {

using testing::GoodsBaseFixture;
using testing::Item;

class GoodsPageTest : public GoodsBaseFixture {
 protected:
  void SetUp() override {
    page_.Attach(workspace_);
    page_.SetQuestionBox([this](const QString& caption, const QString& text) {
      questions_ << caption + "|" + text;
      return answer_;
    });
    page_.SetErrorBox([this](const QString& caption, const QString& text) {
      errors_ << caption + "|" + text;
    });
    page_.FillSearchChooser();
    page_.resize(894, 540);
    page_.show();
  }

  // Seeds goods and runs the steps of opening a base that enable the grid.
  void Open(std::initializer_list<Item> items) {
    Seed(items);
    page_.DisableGoodsWhenEmpty();
    page_.EnableGoodsWhenNotEmpty();
  }

  void Search(int field, const QString& text) {
    page_.SearchCombo()->setCurrentIndex(field);
    page_.SearchEdit()->setText(text);
  }

  QPoint CellCentre(int row, int column) {
    return grid()->visualRect(grid()->model()->index(row, column)).center();
  }

  ProductsGrid* grid() { return page_.Grid(); }

  // Types into the open cell editor and presses Return; the grid takes the value once the
  // editor has closed.
  void TypeIntoCell(const QModelIndex& index, const QString& text) {
    grid()->setCurrentIndex(index);
    grid()->edit(index);
    auto* editor = grid()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return grid()->viewport()->findChildren<QLineEdit*>().isEmpty(); }, 2000));
    QTest::qWait(1);
  }

  GoodsPage page_;
  QStringList questions_;
  QStringList errors_;
  bool answer_ = true;
};

TEST_F(GoodsPageTest, NewOnAnEmptyListGivesPluOneWithTheDefaultsAndEnablesTheGrid) {
  page_.DisableGoodsWhenEmpty();
  EXPECT_FALSE(grid()->isEnabled());
  EXPECT_FALSE(page_.DeleteProductButton()->isEnabled());
  QSignalSpy redraws(&page_, &GoodsPage::PreviewRedrawRequested);

  QTest::mouseClick(page_.AddProductButton(), Qt::LeftButton);

  EXPECT_EQ(StoredRows(), QStringList{"1|||weight|0,00 |0"});
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
  EXPECT_TRUE(grid()->isEnabled());
  EXPECT_TRUE(page_.DeleteProductButton()->isEnabled());
  EXPECT_EQ(redraws.count(), 1);
  EXPECT_EQ(grid()->SelectedRows(), QList<int>{0});
}

TEST_F(GoodsPageTest, NewTakesTheWordOfTheTranslatedPickList) {
  grid()->setProperty("typePickList", QStringList{"весовой", "штучный"});
  page_.AddProductButtonClick();
  EXPECT_EQ(StoredRows(), QStringList{QString::fromUtf8("1|||весовой|0,00 |0")});
}

TEST_F(GoodsPageTest, NewAndCopyNumberAfterTheLargestPluEvenWhileASearchHidesIt) {
  Open({{5, "Apples"}, {41, "Pears"}, {7, "Kiwi", "3,50 ", 12, "count", "green"}});
  Search(1, "ap");
  ASSERT_EQ(VisiblePlus(), QList<int>{5});

  page_.AddProductButtonClick();
  EXPECT_EQ(page_.SearchEdit()->text(), "") << "New ends the search";
  EXPECT_EQ(VisiblePlus(), (QList<int>{5, 41, 7, 42}));

  Search(0, "7");
  ASSERT_EQ(VisiblePlus(), QList<int>{7});
  QSignalSpy redraws(&page_, &GoodsPage::PreviewRedrawRequested);
  page_.CopyProductButtonClick();
  EXPECT_EQ(StoredRows().last(), "43|Kiwi|green|count|3,50 |12");
  EXPECT_EQ(workspace_.TempProduct.size(), goods().fields().size());
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 43);
  EXPECT_EQ(page_.SearchEdit()->text(), "7") << "Copy keeps the search";
  EXPECT_EQ(redraws.count(), 1);
  EXPECT_EQ(grid()->SelectedRows(), QList<int>{goods().RecNo()});
}

TEST_F(GoodsPageTest, DeleteAsksAboutTheCurrentItemOrTheSelectedOnes) {
  Open({{1, "Apples", "1,00 ", 0, "weight", "red"}, {2, "Pears"}, {3, "Plums"}, {4, "Figs"},
        {5, "Kiwi"}});
  ASSERT_TRUE(goods().Locate("PLU", 1));

  answer_ = false;
  QTest::mouseClick(page_.DeleteProductButton(), Qt::LeftButton);
  ASSERT_EQ(questions_.size(), 1);
  EXPECT_EQ(questions_[0], "Delete item|Delete item?\nPLU: 1\nName: Apples red");
  EXPECT_EQ(StoredRows().size(), 5) << "No keeps the item";

  answer_ = true;
  grid()->setFocus();
  QTest::keyClick(grid(), Qt::Key_Delete);  // the Delete key asks the same question
  ASSERT_EQ(questions_.size(), 2);
  EXPECT_EQ(questions_[1], questions_[0]);
  EXPECT_EQ(VisiblePlus(), (QList<int>{2, 3, 4, 5}));

  // Three rows picked with Shift+click.
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(0, 1));
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(2, 1));
  ASSERT_EQ(grid()->SelectedRows(), (QList<int>{0, 1, 2}));
  page_.DeleteProductButtonClick();
  ASSERT_EQ(questions_.size(), 3);
  EXPECT_EQ(questions_[2], "Delete item|Delete selected items?");
  EXPECT_EQ(VisiblePlus(), QList<int>{5});
  EXPECT_EQ(StoredRows(), QStringList{"5|Kiwi||weight|1,00 |0"});
  EXPECT_TRUE(grid()->isEnabled());

  page_.DeleteProductButtonClick();
  EXPECT_TRUE(StoredRows().isEmpty());
  EXPECT_FALSE(grid()->isEnabled()) << "the last item gone, the grid is off";
  EXPECT_FALSE(page_.DeleteProductButton()->isEnabled());
}

TEST_F(GoodsPageTest, ShiftSelectsWholeRowsAndAPlainClickGoesBackToCellEditing) {
  Open({{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}});
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(1, 2));
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(3, 0));
  EXPECT_EQ(grid()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(grid()->SelectedRows(), (QList<int>{1, 2, 3}));
  EXPECT_EQ(grid()->selectionModel()->selectedRows().size(), 3) << "whole rows";
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 4) << "the clicked row is current";

  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(0, 1));
  EXPECT_EQ(grid()->selectionBehavior(), QAbstractItemView::SelectItems);
  EXPECT_NE(grid()->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(grid()->SelectedRows(), QList<int>{0});
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 1);
}

TEST_F(GoodsPageTest, SearchMatchesTheBeginningOfTheChosenFieldWithoutLetterCase) {
  Open({{12, "Apples"}, {120, "APRICOTS"}, {1234, "grapes"}, {312, "Pears"},
        {5, "apPle pie", "12,00 ", 120}});
  struct Case {
    int field;
    const char* text;
    QList<int> shown;
  };
  const Case cases[] = {
      {0, "12", {12, 120, 1234}},
      {1, "ap", {12, 120, 5}},
      {1, "APP", {12, 5}},
      {4, "12", {5}},
      {5, "12", {5}},
      {1, "zz", {}},
      {1, "", {12, 120, 1234, 312, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.field) + " " + c.text);
    Search(c.field, c.text);
    EXPECT_EQ(VisiblePlus(), c.shown);
  }
  EXPECT_FALSE(goods().Filtered()) << "an empty search switches the filter off";

  // Leaving for the keypad page ends the search.
  Search(1, "ap");
  page_.ClearSearch();
  EXPECT_EQ(page_.SearchEdit()->text(), "");
  EXPECT_FALSE(goods().Filtered());
  EXPECT_EQ(goods().RecordCount(), 5);
}

TEST_F(GoodsPageTest, SearchKeysAndLengthFollowTheChosenField) {
  Open({{1, "A"}});
  struct Case {
    int field;
    const char* typed;
    const char* text;
    int max_length;
  };
  const Case cases[] = {
      {0, "1a2.3", "123", 8},   {5, "9x9-", "99", 3},   {4, "1.5,2x", "1,5,2", 7},
      {1, "Ap 1.", "Ap 1.", 32767}, {3, "w-1", "w-1", 32767},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    page_.SearchCombo()->setCurrentIndex(c.field);
    page_.SearchEdit()->clear();
    QTest::keyClicks(page_.SearchEdit(), c.typed);
    EXPECT_EQ(page_.SearchEdit()->text().toStdString(), c.text);
    EXPECT_EQ(page_.SearchEdit()->maxLength(), c.max_length);
  }
  QTest::keyClick(page_.SearchEdit(), Qt::Key_Backspace);
  EXPECT_EQ(page_.SearchEdit()->text(), "w-");
}

TEST_F(GoodsPageTest, SearchLengthIsUnlimitedUntilTheOperatorPicksAField) {
  GoodsPage fresh;
  fresh.Attach(workspace_);
  fresh.FillSearchChooser();
  EXPECT_EQ(fresh.SearchCombo()->count(), 6);
  EXPECT_EQ(fresh.SearchCombo()->itemText(0), "PLU");
  EXPECT_EQ(fresh.SearchCombo()->itemText(5), "Shelf life");
  EXPECT_EQ(fresh.SearchCombo()->currentIndex(), 1);
  EXPECT_EQ(fresh.SearchEdit()->maxLength(), 32767);
  fresh.SearchCombo()->setCurrentIndex(0);
  EXPECT_EQ(fresh.SearchEdit()->maxLength(), 8);
}

TEST_F(GoodsPageTest, TitleClicksCycleAscendingDescendingUnsorted) {
  Open({{1, "B", "5,00 "}, {2, "A", "1,00 "}, {3, "C", "3,00 "}});
  QHeaderView* header = grid()->horizontalHeader();
  const auto click = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
  };
  struct Step {
    int column;
    QList<int> order;
  };
  const Step steps[] = {
      {4, {2, 3, 1}},  // Price ascending
      {4, {1, 3, 2}},  // descending
      {4, {1, 2, 3}},  // unsorted
      {0, {1, 2, 3}},  // PLU ascending
      {4, {1, 2, 3}},  // another column first removes the sort
      {4, {2, 3, 1}},  // and then sorts ascending
      {1, {1, 2, 3}},
  };
  for (const Step& step : steps) {
    click(step.column);
    EXPECT_EQ(VisiblePlus(), step.order) << "after a click on column " << step.column;
  }
  EXPECT_EQ(goods().sort_field(), "");
}

TEST_F(GoodsPageTest, TypedCellsAreCheckedWhenTheRowIsStored) {
  Open({{1, "Apples"}, {2, "Pears"}});
  RowSetModel* model = grid()->Model();
  // A PLU typed as text is refused by the field.
  TypeIntoCell(model->index(0, 0), "abc");
  EXPECT_EQ(errors_, QStringList{"Error|PLU must be a whole number from 0 to 99999999"});
  EXPECT_FALSE(goods().IsEditing());

  // A price is normalised when a click stores the row.
  errors_.clear();
  TypeIntoCell(model->index(0, 4), "12.5");
  EXPECT_TRUE(goods().IsEditing()) << "the row stays pending until it is stored";
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(0, 1));
  EXPECT_FALSE(goods().IsEditing());
  EXPECT_EQ(StoredRows().first(), "1|Apples||weight|12,50 |0");

  // A bad price, then moving to another row: refused, and the row keeps its stored values.
  TypeIntoCell(model->index(0, 4), "1.2.3");
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(1, 1));
  EXPECT_EQ(errors_, QStringList{"Error|Incorrect price: 1.2.3"});
  EXPECT_EQ(model->index(0, 4).data().toString(), "12,50 ");
  EXPECT_EQ(StoredRows().first(), "1|Apples||weight|12,50 |0");
  EXPECT_EQ(goods().RecNo(), 1) << "the click still moves on";
}

TEST_F(GoodsPageTest, TheTypeCellOffersTheTwoWordsAndTakesAnyOther) {
  Open({{1, "Apples"}});
  grid()->setProperty("typePickList", QStringList{"kg", "pcs"});
  const QModelIndex type = grid()->Model()->index(0, 3);
  grid()->setCurrentIndex(type);
  grid()->edit(type);
  auto* combo = grid()->viewport()->findChild<QComboBox*>("TypePickList");
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(0), "kg");
  EXPECT_EQ(combo->itemText(1), "pcs");
  combo->setEditText("box");
  QTest::keyClick(combo, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return goods().IsEditing(); }, 2000));
  page_.ProductsGridCellClick();
  EXPECT_EQ(StoredRows().first(), "1|Apples||box|1,00 |0");
}

TEST_F(GoodsPageTest, RowsInsertedInTheGridAreStoredOnLeavingOrDroppedWhenUntouched) {
  Open({{1, "Apples"}, {2, "Pears"}});
  grid()->setFocus();
  grid()->setCurrentIndex(grid()->Model()->index(1, 1));
  QTest::keyClick(grid(), Qt::Key_Down);  // past the last row: a new one
  ASSERT_EQ(goods().state(), RowSet::State::kInsert);
  EXPECT_EQ(grid()->Model()->rowCount(), 3);
  QTest::keyClick(grid(), Qt::Key_Up);
  EXPECT_EQ(grid()->Model()->rowCount(), 2);
  EXPECT_TRUE(errors_.isEmpty()) << "an untouched new row is not checked";
  EXPECT_EQ(StoredRows().size(), 2);

  QTest::keyClick(grid(), Qt::Key_Insert);
  ASSERT_EQ(goods().state(), RowSet::State::kInsert);
  ASSERT_TRUE(grid()->Model()->setData(grid()->Model()->index(goods().RecNo(), 0), 9));
  ASSERT_TRUE(grid()->Model()->setData(grid()->Model()->index(goods().RecNo(), 1), "Plums"));
  QTest::keyClick(grid(), Qt::Key_Down);
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join('\n').toStdString();
  EXPECT_EQ(StoredRows().last(), "9|Plums||weight|0,00 |");
}

TEST_F(GoodsPageTest, WhileTheWindowIsRebuiltNothingAsksForThePreview) {
  workspace_.flRefresh = false;
  QSignalSpy redraws(&page_, &GoodsPage::PreviewRedrawRequested);
  page_.AddProductButtonClick();
  page_.ProductsGridCellClick();
  page_.RequestPreviewRedraw();
  EXPECT_EQ(redraws.count(), 0);
  workspace_.flRefresh = true;
  page_.RequestPreviewRedraw();
  EXPECT_EQ(redraws.count(), 1);
}

TEST_F(GoodsPageTest, OnlyTheGoodsCommandsAreEnabledBeforeOtherWorkConnectsTheirButtons) {
  for (const char* name : {"TransmitProductsButton", "ReceiveProductsButton",
                           "ProductsToWordButton", "ProductsToCardButton",
                           "ProductsFromCardButton"}) {
    auto* button = page_.findChild<QToolButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_FALSE(button->isEnabled()) << name;
  }
  for (const char* name : {"AddProductButton", "CopyProductButton", "SearchEdit", "SearchCombo",
                           "FindLabel1", "FindLabel2", "ProductsGrid"}) {
    EXPECT_NE(page_.findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(page_.objectName(), "BaseSheet");
}

}  // namespace
}  // namespace quibrel
