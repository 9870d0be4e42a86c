#include "db/row_set.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "db/goods_base.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

// A goods base with the goods PLU 30, 10, 20 stored in that order.
class RowSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString path = folder_.Path("Data/Base.db");
    ASSERT_TRUE(QFile::copy(folder_.Path("System/Default.db"), path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    base_.Open(path);
    for (int plu : {30, 10, 20}) Add(plu, QString("Item %1").arg(plu));
  }

  void Add(int plu, const QString& name) {
    goods().Append();
    goods().SetFieldValue("PLU", plu);
    goods().SetFieldValue("ZirkName1", name);
    ASSERT_TRUE(goods().Post());
  }

  QList<int> VisiblePlus() {
    QList<int> plus;
    for (int i = 0; i < goods().RecordCount(); ++i) {
      plus << goods().ValueAt(i, goods().FieldIndex("PLU")).toInt();
    }
    return plus;
  }

  // The goods as a fresh connection reads them from the file.
  QList<int> StoredPlus() {
    GoodsBase other;
    other.Open(base_.path());
    QList<int> plus;
    for (other.Goods().First(); !other.Goods().Eof(); other.Goods().Next()) {
      plus << other.Goods().FieldByName("PLU").toInt();
    }
    return plus;
  }

  RowSet& goods() { return base_.Goods(); }

  testing::TempProgramFolder folder_;
  GoodsBase base_;
};

TEST_F(RowSetTest, NavigationVisitsEveryRowOnceAndStopsAtTheEnds) {
  QList<int> seen;
  for (goods().First(); !goods().Eof(); goods().Next()) seen << goods().FieldByName("PLU").toInt();
  EXPECT_EQ(seen, (QList<int>{30, 10, 20}));
  goods().Last();
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 20);
  goods().MoveBy(-5);
  EXPECT_TRUE(goods().Bof());
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 30);
  goods().MoveBy(1);
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 10);
}

TEST_F(RowSetTest, EditsAreWrittenThroughAndCancelRestores) {
  ASSERT_TRUE(goods().Locate("PLU", 10));
  goods().SetFieldValue("ZirkName1", "Changed");
  EXPECT_EQ(goods().state(), RowSet::State::kEdit);
  goods().Cancel();
  EXPECT_EQ(goods().FieldByName("ZirkName1").toString(), "Item 10");

  goods().SetFieldValue("PLU", 11);
  ASSERT_TRUE(goods().Post());
  EXPECT_EQ(StoredPlus(), (QList<int>{30, 11, 20}));

  goods().Delete();
  EXPECT_EQ(StoredPlus(), (QList<int>{30, 20}));
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 20);  // the next row becomes current
}

TEST_F(RowSetTest, InsertedRowIsStoredOnPostAndVanishesOnCancel) {
  goods().Append();
  EXPECT_EQ(goods().RecordCount(), 4);
  goods().Cancel();
  EXPECT_EQ(goods().RecordCount(), 3);
  EXPECT_EQ(StoredPlus(), (QList<int>{30, 10, 20}));

  goods().First();
  goods().Insert();
  goods().SetFieldValue("PLU", 5);
  ASSERT_TRUE(goods().Post());
  EXPECT_EQ(VisiblePlus(), (QList<int>{5, 30, 10, 20}));
  EXPECT_FALSE(goods().FieldByName("ID").isNull());
}

TEST_F(RowSetTest, RejectedPostKeepsTheDatabaseUnchanged) {
  goods().SetBeforePost([](RowSet& set) {
    if (set.FieldByName("PLU").toInt() < 0) {
      set.Cancel();
      return false;
    }
    return true;
  });
  ASSERT_TRUE(goods().Locate("PLU", 20));
  goods().SetFieldValue("PLU", -1);
  EXPECT_FALSE(goods().Post());
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 20);
  goods().Append();
  goods().SetFieldValue("PLU", -2);
  EXPECT_FALSE(goods().Post());
  EXPECT_EQ(goods().RecordCount(), 3);
  EXPECT_EQ(StoredPlus(), (QList<int>{30, 10, 20}));
}

TEST_F(RowSetTest, MovingAwayPostsAPendingEdit) {
  ASSERT_TRUE(goods().Locate("PLU", 30));
  goods().SetFieldValue("PLU", 31);
  goods().Next();
  EXPECT_EQ(StoredPlus(), (QList<int>{31, 10, 20}));
}

TEST_F(RowSetTest, SortAndFilterKeepTheCurrentRowAndBookmarks) {
  ASSERT_TRUE(goods().Locate("PLU", 10));
  const RowSet::Bookmark ten = goods().GetBookmark();
  goods().SetSort("PLU", Qt::AscendingOrder);
  EXPECT_EQ(VisiblePlus(), (QList<int>{10, 20, 30}));
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 10);
  goods().SetSort("PLU", Qt::DescendingOrder);
  EXPECT_EQ(VisiblePlus(), (QList<int>{30, 20, 10}));
  goods().ClearSort();
  EXPECT_EQ(VisiblePlus(), (QList<int>{30, 10, 20}));

  const int plu = goods().FieldIndex("PLU");
  goods().SetFilter([plu](const RowSet::Values& row) { return row[plu].toInt() >= 20; });
  goods().SetFiltered(true);
  EXPECT_EQ(VisiblePlus(), (QList<int>{30, 20}));
  EXPECT_FALSE(goods().GotoBookmark(ten));
  EXPECT_FALSE(goods().Locate("PLU", 10));
  goods().SetFiltered(false);
  EXPECT_TRUE(goods().GotoBookmark(ten));
  EXPECT_EQ(goods().FieldByName("PLU").toInt(), 10);
}

TEST_F(RowSetTest, LookupFindsTheFirstMatchOrNull) {
  EXPECT_EQ(goods().Lookup("PLU", 20, "ZirkName1").toString(), "Item 20");
  EXPECT_TRUE(goods().Lookup("PLU", 99, "ZirkName1").isNull());
  // A value typed as text finds the number.
  EXPECT_EQ(goods().Lookup("PLU", QString("30"), "ZirkName1").toString(), "Item 30");
}

TEST_F(RowSetTest, DisabledControlsAnnounceOneResetAtTheEnd) {
  QSignalSpy resets(&goods(), &RowSet::RowsReset);
  QSignalSpy inserts(&goods(), &RowSet::RowInserted);
  goods().DisableControls();
  Add(40, "Forty");
  Add(50, "Fifty");
  EXPECT_EQ(inserts.count(), 0);
  goods().EnableControls();
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(goods().RecordCount(), 5);
}

TEST(FieldValuesTest, CompareAsTheDatabaseWould) {
  struct Case {
    QVariant a, b;
    int sign;
  };
  const Case cases[] = {
      {QVariant(), 1, -1},      {2, 10, -1},           {QString("b"), QString("A"), 1},
      {2.5, 2, 1},              {QString("10"), 9, 1}, {QVariant(), QVariant(), 0},
      {QString("x"), QString("X"), 0},
  };
  for (const Case& c : cases) {
    const int result = CompareFieldValues(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a.toString().toStdString() << " vs "
                                                   << c.b.toString().toStdString();
  }
}

}  // namespace
}  // namespace quibrel
