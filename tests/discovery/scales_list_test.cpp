#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "db/goods_base.h"
#include "db/row_set.h"
#include "discovery/scales_table.h"
#include "support/temp_program_folder.h"
#include "ui/scales_form.h"
#include "ui/scales_grid.h"
#include "ui/scales_group.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

using ::testing::ElementsAre;

QString Family(int code) { return QString(QChar(code)); }

// A fresh base from the template (layouts "Keypad 1" to "Keypad 5", no scales) with the settings
// page's scales group over it, fed by a publication the test sets.
class ScalesListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    workspace_ = std::make_unique<Workspace>(folder_.folder());
    workspace_->OpenSettingsAndBase();
    group_.Bind(base(), [this] { return published_; });
  }

  GoodsBase& base() { return workspace_->base(); }
  RowSet& scales() { return base().Scales(); }

  // Every scales row as "Name|IP|State|Keypad", null shown as "-".
  QStringList Rows() {
    QStringList rows;
    for (int position = 0; position < scales().RecordCount(); ++position) {
      QStringList cells;
      for (const char* field : {"Name", "IP", "State", "Keypad"}) {
        const QVariant value = scales().ValueAt(position, scales().FieldIndex(field));
        cells << (value.isNull() ? QString("-") : value.toString());
      }
      rows << cells.join('|');
    }
    return rows;
  }

  void AddScale(const QString& name, const QString& ip, const QString& keypad) {
    scales().Append();
    scales().SetFieldValue("Name", name);
    scales().SetFieldValue("IP", ip);
    scales().SetFieldValue("Keypad", keypad);
    ASSERT_TRUE(scales().Post());
  }

  testing::TempProgramFolder folder_;
  std::unique_ptr<Workspace> workspace_;
  ScalesSettingsGroup group_;
  ScalesSnapshot published_;
};

TEST_F(ScalesListTest, RefreshAddsMarksAndKeepsRowsAcrossSearches) {
  EXPECT_EQ(group_.objectName(), "ScalesGroup");
  published_ = {{"192.168.1.20", "COM2"}, {Family(0), Family(1)}};
  group_.RefreshScalesList();
  EXPECT_THAT(Rows(), ElementsAre("New|192.168.1.20|Online|Keypad 1", "New|COM2|Online|Keypad 1"));
  EXPECT_TRUE(group_.DeleteScalesButton()->isEnabled());
  EXPECT_THAT(group_.Grid()->KeypadPickList(),
              ElementsAre("Keypad 1", "Keypad 2", "Keypad 3", "Keypad 4", "Keypad 5"));

  // The serial scale missed the next search.
  published_ = {{"192.168.1.20"}, {Family(0)}};
  group_.RefreshScalesList();
  EXPECT_THAT(Rows(), ElementsAre("New|192.168.1.20|Online|Keypad 1", "New|COM2|Offline|Keypad 1"));

  // A cleared name no longer stands for the scale: one new row, and only one however often the
  // page is opened.
  scales().MoveTo(0);
  scales().SetFieldValue("Name", QVariant());
  ASSERT_TRUE(scales().Post());
  group_.RefreshScalesList();
  group_.RefreshScalesList();
  EXPECT_THAT(Rows(), ElementsAre("-|192.168.1.20|Offline|Keypad 1", "New|COM2|Offline|Keypad 1",
                                  "New|192.168.1.20|Online|Keypad 1"));

  // Written through to the file: a reopened base reads the same rows.
  workspace_->OpenSettingsAndBase();
  EXPECT_EQ(Rows().size(), 3);
}

TEST_F(ScalesListTest, NothingPublishedOnAnEmptyTableDisablesDelete) {
  group_.RefreshScalesList();
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_FALSE(group_.DeleteScalesButton()->isEnabled());
}

TEST_F(ScalesListTest, DeleteAsksAndOnlyTheButtonDeletes) {
  AddScale("Deli", "10.0.0.7", "Keypad 2");
  AddScale("Bakery", "COM3", "Keypad 1");
  published_ = {{"10.0.0.7", "COM3"}, {Family(0), Family(0)}};
  group_.RefreshScalesList();

  // The Delete key in the grid is the grid's own business: nothing goes.
  group_.Grid()->setFocus();
  QTest::keyClick(group_.Grid(), Qt::Key_Delete);
  EXPECT_EQ(Rows().size(), 2);

  QString caption;
  QString text;
  bool answer = false;
  group_.SetQuestion([&](const QString& c, const QString& t) {
    caption = c;
    text = t;
    return answer;
  });
  scales().MoveTo(0);
  group_.DeleteScalesButton()->click();
  EXPECT_EQ(caption, "Delete Scales");
  EXPECT_EQ(text, "Delete scales\r\nDeli IP: 10.0.0.7\r\nfrom list?");
  EXPECT_EQ(Rows().size(), 2);

  answer = true;
  group_.DeleteScalesButton()->click();
  EXPECT_THAT(Rows(), ElementsAre("Bakery|COM3|Online|Keypad 1"));
  EXPECT_TRUE(group_.DeleteScalesButton()->isEnabled());
  group_.DeleteScalesButton()->click();
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_FALSE(group_.DeleteScalesButton()->isEnabled());
}

TEST_F(ScalesListTest, GridShowsTheOperatorsColumnsOnly) {
  AddScale("Deli", "10.0.0.7", "Keypad 2");
  ScalesGrid* grid = group_.Grid();
  EXPECT_TRUE(grid->isColumnHidden(0));
  EXPECT_EQ(grid->columnWidth(1), 300);
  EXPECT_EQ(grid->columnWidth(2), 200);
  EXPECT_EQ(grid->columnWidth(3), 100);
  EXPECT_EQ(grid->columnWidth(4), 200);
  QAbstractItemModel* model = grid->model();
  const bool editable[] = {false, true, false, false, true};
  for (int column = 1; column < 5; ++column) {
    EXPECT_EQ(model->flags(model->index(0, column)).testFlag(Qt::ItemIsEditable), editable[column])
        << column;
  }
  // An edited name is stored at once.
  ASSERT_TRUE(model->setData(model->index(0, 1), "Deli counter", Qt::EditRole));
  EXPECT_FALSE(scales().IsEditing());
  EXPECT_THAT(Rows(), ElementsAre("Deli counter|10.0.0.7|-|Keypad 2"));
}

class ScalesFormTest : public ScalesListTest {
 protected:
  void SetUp() override {
    ScalesListTest::SetUp();
    form_ = std::make_unique<TScalesForm>(base());
  }
  QStringList Items() const {
    QStringList texts;
    for (int i = 0; i < form_->ScalesList()->count(); ++i) texts << form_->ScalesList()->item(i)->text();
    return texts;
  }
  std::unique_ptr<TScalesForm> form_;
};

TEST_F(ScalesFormTest, ItemTextsNameTheScaleItsLayoutAndFamily) {
  AddScale("Deli", "10.0.0.7", "Keypad 2");
  AddScale("Bakery", "10.0.0.8", "Fish layout");  // a layout renamed since
  const ScalesSnapshot found{{"10.0.0.7", "10.0.0.8", "10.0.0.9", "COM2"},
                             {Family(1), Family(3), Family(0), Family(2)}};
  form_->Open(found);
  EXPECT_THAT(Items(), ElementsAre("Deli (IP: 10.0.0.7, Keypad: Keypad 2) VORN",
                                   "Bakery (IP: 10.0.0.8, Keypad: Keypad 1) ",
                                   "Новые (IP: 10.0.0.9, Keypad: Keypad 1) ZIRK",
                                   "Новые (IP: COM2, Keypad: Keypad 1) NOLT"));
  // The table keeps the old layout text; the new scales got rows without a state.
  EXPECT_THAT(Rows(), ElementsAre("Deli|10.0.0.7|-|Keypad 2", "Bakery|10.0.0.8|-|Fish layout",
                                  "New|10.0.0.9|-|Keypad 1", "New|COM2|-|Keypad 1"));
  // Opened again, the scales are known by name.
  form_->Open(found);
  EXPECT_EQ(Items()[2], "New (IP: 10.0.0.9, Keypad: Keypad 1) ZIRK");
  EXPECT_EQ(Rows().size(), 4);
  EXPECT_EQ(form_->ScalesGroup()->title(), "SelectScales");
  EXPECT_EQ(form_->OkButton()->text(), "Upload");
}

TEST_F(ScalesFormTest, CheckModeAllowsOneTick) {
  form_->CheckMode = true;
  form_->Open({{"10.0.0.7", "10.0.0.8", "10.0.0.9"}, {Family(0), Family(0), Family(0)}});
  EXPECT_TRUE(form_->SelectAllButton()->isHidden());
  EXPECT_TRUE(form_->SelectNoneButton()->isHidden());
  EXPECT_FALSE(form_->OkButton()->isEnabled());

  // A click anywhere on the item ticks it.
  QListWidget* list = form_->ScalesList();
  form_->show();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(0)).center() + QPoint(40, 0));
  EXPECT_THAT(form_->TickedIndexes(), ElementsAre(0));
  EXPECT_TRUE(form_->OkButton()->isEnabled());
  form_->ToggleItem(2);
  EXPECT_THAT(form_->TickedIndexes(), ElementsAre(2));
  form_->ToggleItem(2);
  EXPECT_TRUE(form_->TickedIndexes().isEmpty());
  EXPECT_FALSE(form_->OkButton()->isEnabled());
}

TEST_F(ScalesFormTest, SelectionButtonsAndTheModalResult) {
  const ScalesSnapshot found{{"10.0.0.7", "10.0.0.8", "10.0.0.9"}, {Family(0), Family(0), Family(0)}};
  form_->Open(found);
  EXPECT_FALSE(form_->SelectAllButton()->isHidden());
  form_->ToggleItem(1);
  form_->ToggleItem(2);
  EXPECT_THAT(form_->TickedIndexes(), ElementsAre(1, 2));
  form_->SelectNoneButton()->click();
  EXPECT_TRUE(form_->TickedIndexes().isEmpty());
  EXPECT_FALSE(form_->OkButton()->isEnabled());
  form_->SelectAllButton()->click();
  EXPECT_THAT(form_->TickedIndexes(), ElementsAre(0, 1, 2));
  EXPECT_TRUE(form_->OkButton()->isEnabled());

  struct Case {
    const char* name;
    std::function<void()> close;
    int result;
  };
  const Case cases[] = {
      {"OK", [this] { form_->SelectAllButton()->click(); form_->OkButton()->click(); },
       TScalesForm::kOk},
      {"Cancel", [this] { form_->CancelButton()->click(); }, TScalesForm::kCancel},
      {"Escape", [this] { QTest::keyClick(form_.get(), Qt::Key_Escape); }, TScalesForm::kCancel},
  };
  for (const Case& c : cases) {
    QTimer::singleShot(0, form_.get(), c.close);
    EXPECT_EQ(form_->Execute(found), c.result) << c.name;
  }
}

}  // namespace
}  // namespace quibrel
