// The checks every stored goods item passes, through the goods row set as every caller uses it.
#include <gtest/gtest.h>

#include "db/goods_rules.h"
#include "goods_fixture.h"

namespace quibrel {
namespace {

using testing::GoodsBaseFixture;

class GoodsRulesTest : public GoodsBaseFixture {
 protected:
  void SetUp() override {
    goods().SetBeforePost(MakeGoodsBeforePost(
        base(), [this] { return workspace_.flRefresh; }, [] { return QString("weight"); },
        [this](const QString& text) { reports_ << text; }));
  }

  // Appends and stores one item; returns whether it was stored.
  bool StoreNew(const QVariant& plu, const QVariant& name1, const QVariant& type,
                const QVariant& price, const QVariant& shelf_life) {
    goods().Append();
    goods().SetFieldValue("PLU", plu);
    goods().SetFieldValue("ZirkName1", name1);
    goods().SetFieldValue("Type", type);
    goods().SetFieldValue("Price", price);
    goods().SetFieldValue("ZirkDuringDate", shelf_life);
    return goods().Post();
  }

  QStringList reports_;
};

TEST_F(GoodsRulesTest, NewItemIsStoredNormalisedOrRefusedLeavingTheFileAsItWas) {
  struct Case {
    const char* what;
    QVariant plu, name1, type, price, shelf_life;
    const char* message;  // nullptr: stored
    const char* stored;   // the new row in the file
  };
  const Case cases[] = {
      {"plain", 30, "Plums", "count", "12.5", 999, nullptr, "30|Plums||count|12,50 |999"},
      {"empty type becomes the weight word", 31, "Figs", QVariant(), "3", 0, nullptr,
       "31|Figs||weight|3,00 |0"},
      {"another word is kept as typed", 32, "Nuts", "piece", "1", QVariant(), nullptr,
       "32|Nuts||piece|1,00 |"},
      {"negative shelf life passes", 33, "Kale", "weight", "1", -3, nullptr,
       "33|Kale||weight|1,00 |-3"},
      {"existing PLU", 25, "Copy", "weight", "1", 0, "PLU exists: 25", nullptr},
      {"PLU zero", 0, "Zero", "weight", "1", 0, "Incorrect PLU: 0", nullptr},
      {"no PLU counts as zero", QVariant(), "None", "weight", "1", 0, "Incorrect PLU: 0",
       nullptr},
      {"shelf life too long names line 1", 34, "Apples", "weight", "1", 1000,
       "Incorrect shelf life: Apples", nullptr},
      {"bad price shows what was typed", 35, "Pears", "weight", "1.2.3", 0,
       "Incorrect price: 1.2.3", nullptr},
      {"price over the limit", 36, "Gold", "weight", "10000", 0, "Incorrect price: 10000",
       nullptr},
      // The price is checked before the PLU, so the first refusal is the one reported.
      {"price before PLU", 25, "Both", "weight", "1.2.3", 0, "Incorrect price: 1.2.3", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Seed({{25, "Dates"}});
    const QStringList before = StoredRows();
    reports_.clear();
    const bool stored = StoreNew(c.plu, c.name1, c.type, c.price, c.shelf_life);
    if (c.message == nullptr) {
      EXPECT_TRUE(stored);
      EXPECT_TRUE(reports_.isEmpty()) << reports_.join(';').toStdString();
      EXPECT_EQ(StoredRows(), before + QStringList{c.stored});
    } else {
      EXPECT_FALSE(stored);
      EXPECT_EQ(reports_, QStringList{c.message});
      EXPECT_EQ(StoredRows(), before);
      EXPECT_EQ(goods().RecordCount(), before.size()) << "the refused row must disappear";
      EXPECT_FALSE(goods().IsEditing());
    }
    ASSERT_TRUE(QSqlQuery(base().connection()).exec("DELETE FROM Products"));
    goods().Requery();
  }
}

TEST_F(GoodsRulesTest, RefusedEditReturnsTheItemToItsStoredValues) {
  Seed({{7, "Apples", "2,00 "}, {8, "Pears"}});
  const QStringList before = StoredRows();
  ASSERT_TRUE(goods().Locate("PLU", 7));
  goods().SetFieldValue("PLU", 8);
  goods().SetFieldValue("Price", "5");
  EXPECT_FALSE(goods().Post());
  EXPECT_EQ(reports_, QStringList{"PLU exists: 8"});
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 7);
  EXPECT_EQ(goods().FieldByName("Price").toString(), "2,00 ");
  EXPECT_EQ(StoredRows(), before);

  // An item that keeps its own PLU is not its own duplicate.
  goods().SetFieldValue("Price", "3,5");
  EXPECT_TRUE(goods().Post());
  EXPECT_EQ(StoredRows().first(), "7|Apples||weight|3,50 |0");
}

TEST_F(GoodsRulesTest, WhileTheWindowIsRebuiltItemsAreStoredUnchecked) {
  workspace_.flRefresh = false;
  EXPECT_TRUE(StoreNew(0, "Raw", QVariant(), "1.2.3", 5000));
  EXPECT_TRUE(reports_.isEmpty());
  EXPECT_EQ(StoredRows(), QStringList{"0|Raw|||1.2.3|5000"});
}

TEST(GoodsInputTest, NumbersOutsideTheFieldRangeAndOverlongTextsAreRefused) {
  struct Case {
    const char* field;
    QString text;
    QVariant value;       // when accepted
    const char* message;  // when refused
  };
  const Case cases[] = {
      {"PLU", "42", 42, nullptr},
      {"PLU", " 99999999 ", 99999999, nullptr},
      {"PLU", "0", 0, nullptr},
      {"PLU", "", QVariant(), nullptr},
      {"PLU", "abc", {}, "PLU must be a whole number from 0 to 99999999"},
      {"PLU", "100000000", {}, "PLU must be a whole number from 0 to 99999999"},
      {"PLU", "-1", {}, "PLU must be a whole number from 0 to 99999999"},
      {"PLU", "1.5", {}, "PLU must be a whole number from 0 to 99999999"},
      {"ZirkDuringDate", "-3", -3, nullptr},
      {"ZirkDuringDate", "1e3", {},
       "Shelf life must be a whole number from -2147483648 to 2147483647"},
      {"ZirkName1", QString(36, 'x'), QString(36, 'x'), nullptr},
      {"ZirkName1", QString(37, 'x'), {}, "Name (line 1) can hold at most 36 characters"},
      {"Price", QString(31, '1'), {}, "Price can hold at most 30 characters"},
      {"Type", "piece", "piece", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " '" + c.text.toStdString() + "'");
    QVariant value = "untouched";
    const std::optional<QString> refusal = ConvertGoodsInput(c.field, c.text, &value);
    if (c.message == nullptr) {
      EXPECT_FALSE(refusal.has_value()) << refusal->toStdString();
      EXPECT_EQ(value, c.value);
    } else {
      ASSERT_TRUE(refusal.has_value());
      EXPECT_EQ(refusal->toStdString(), c.message);
    }
  }
}

}  // namespace
}  // namespace quibrel
