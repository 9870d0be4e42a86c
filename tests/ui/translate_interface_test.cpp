#include "ui/translate_interface.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "i18n/ini_file.h"
#include "i18n/lang_text.h"

namespace quibrel {
namespace {

// A window with a few of the controls the captions go to, each of a different kind.
class TranslateInterfaceTest : public ::testing::Test {
 protected:
  TranslateInterfaceTest() {
    auto* layout = new QVBoxLayout(&window_);
    tabs_ = new QTabWidget(&window_);
    layout->addWidget(tabs_);
    for (const char* name : {"BaseSheet", "KeysSheet"}) {
      auto* page = new QWidget;
      page->setObjectName(name);
      tabs_->addTab(page, "?");
    }
    QWidget* goods = tabs_->widget(0);
    auto* page_layout = new QVBoxLayout(goods);
    add_button_ = Add<QPushButton>(page_layout, "AddProductButton");
    find_label_ = Add<QLabel>(page_layout, "FindLabel1");
    group_ = Add<QGroupBox>(page_layout, "ManagerGroup");
    grid_ = Add<QTableView>(page_layout, "ProductsGrid");
    model_ = new QStandardItemModel(0, 6, grid_);
    grid_->setModel(model_);
    barcode_ = Add<QComboBox>(page_layout, "BarcodeCombo");
  }
  ~TranslateInterfaceTest() override { SetActiveLangFile(nullptr); }

  template <typename W>
  W* Add(QVBoxLayout* layout, const char* name) {
    auto* widget = new W;
    widget->setObjectName(name);
    layout->addWidget(widget);
    return widget;
  }
  void UseLanguage(const QString& text) {
    lang_.ParseText(text);
    SetActiveLangFile(&lang_);
  }
  QString Title(int column) const {
    return model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  }

  IniFile lang_;
  QWidget window_;
  QTabWidget* tabs_;
  QPushButton* add_button_;
  QLabel* find_label_;
  QGroupBox* group_;
  QTableView* grid_;
  QStandardItemModel* model_;
  QComboBox* barcode_;
};

TEST_F(TranslateInterfaceTest, MissingKeysKeepTheirDefaultsAndEmptyValuesStayEmpty) {
  UseLanguage("[Main]\nProducts=Goods\n[Products]\nFind=\n");
  TranslateInterface(window_, "/data/Base.db");
  EXPECT_EQ(tabs_->tabText(0), "Goods");
  EXPECT_EQ(tabs_->tabText(1), "Keys");
  EXPECT_EQ(add_button_->text(), "New");
  EXPECT_EQ(find_label_->text(), "");
  EXPECT_EQ(group_->title(), "Bases manager");
  const char* titles[] = {"PLU", "Name (line 1)", "Name (line 2)", "Type", "Price", "Shelf life"};
  for (int column = 0; column < 6; ++column) EXPECT_EQ(Title(column), titles[column]);
  EXPECT_TRUE(window_.windowTitle().startsWith("Quibrel (v"));
  EXPECT_TRUE(window_.windowTitle().endsWith(") - [/data/Base.db]"));
}

TEST_F(TranslateInterfaceTest, EveryKindOfControlTakesItsText) {
  UseLanguage(QString::fromUtf8(
      "[Main]\nProducts=Товары\nKeys=Клавиатура\n[Products]\nNew=Добавить\nFind=Найти\n"
      "PLU=Код\nShelfLife=Срок\nBarcodeNo=Нет\n[Settings]\nManager=Менеджер баз\n"
      "[Misc]\nCaptionZirk=Весы\n"));
  TranslateInterface(window_, "C:\\base.db");
  EXPECT_EQ(tabs_->tabText(0), QString::fromUtf8("Товары"));
  EXPECT_EQ(tabs_->tabText(1), QString::fromUtf8("Клавиатура"));
  EXPECT_EQ(add_button_->text(), QString::fromUtf8("Добавить"));
  EXPECT_EQ(find_label_->text(), QString::fromUtf8("Найти"));
  EXPECT_EQ(group_->title(), QString::fromUtf8("Менеджер баз"));
  EXPECT_EQ(Title(0), QString::fromUtf8("Код"));
  EXPECT_EQ(Title(5), QString::fromUtf8("Срок"));
  EXPECT_EQ(barcode_->itemText(0), QString::fromUtf8("Нет"));
  EXPECT_TRUE(window_.windowTitle().startsWith(QString::fromUtf8("Весы (v")));
}

TEST_F(TranslateInterfaceTest, RepeatedTranslationKeepsTwoTypeWordsAndSixBarcodeEntries) {
  const QString languages[] = {
      "[Products]\nWeight=au poids\nCount=à la pièce\nBarcodeNo=Aucun\n",
      "[Products]\nWeight=sverama\nCount=gabala\n",
      "",
  };
  barcode_->addItem("left over");
  barcode_->setCurrentIndex(0);
  for (const QString& text : languages) {
    UseLanguage(text);
    barcode_->setCurrentIndex(barcode_->count() > 3 ? 3 : 0);
    TranslateInterface(window_, "base");
    const QStringList words = grid_->property("typePickList").toStringList();
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(words, QStringList({lang_.ReadString("Products", "Weight", "weight"),
                                  lang_.ReadString("Products", "Count", "count")}));
    ASSERT_EQ(barcode_->count(), 6);
    EXPECT_EQ(barcode_->itemText(0), lang_.ReadString("Products", "BarcodeNo", "No"));
    EXPECT_EQ(barcode_->itemText(1), "PPTTTTCCCCCCK");
    EXPECT_EQ(barcode_->itemText(5), "PPTTTTTTWWWWK");
  }
  // The type chosen before a language change is still chosen after it.
  EXPECT_EQ(barcode_->currentIndex(), 3);
}

TEST_F(TranslateInterfaceTest, AWindowWithoutTheControlsOnlyGetsItsCaption) {
  UseLanguage("[Misc]\nCaptionZirk=Q\n");
  QWidget bare;
  auto* stray_grid = new QTableView(&bare);  // a grid without a model
  stray_grid->setObjectName("TotalsGrid");
  TranslateInterface(bare, "b");
  EXPECT_TRUE(bare.windowTitle().startsWith("Q (v"));
  EXPECT_TRUE(bare.windowTitle().endsWith("- [b]"));
}

}  // namespace
}  // namespace quibrel
