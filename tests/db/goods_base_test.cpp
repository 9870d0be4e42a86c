#include "db/goods_base.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include "core/quibrel_error.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

using testing::TempProgramFolder;

class GoodsBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Path("Data/Base.db");
    ASSERT_TRUE(QFile::copy(folder_.Path("System/Default.db"), path_));
    QFile(path_).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  }

  // Runs SQL on the file through a connection of its own, as another program would.
  void RunSql(const QString& sql) {
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other-program");
      db.setDatabaseName(path_);
      ASSERT_TRUE(db.open());
      QSqlQuery query(db);
      ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
    }
    QSqlDatabase::removeDatabase("other-program");
  }

  QString OpenError(const QString& path) {
    try {
      base_.Open(path);
    } catch (const QuibrelError& error) {
      return error.text();
    }
    return QString();
  }

  TempProgramFolder folder_;
  QString path_;
  GoodsBase base_;
};

TEST_F(GoodsBaseTest, FreshTemplateHasEmptyGoodsFourTicketLinesAndLayoutsOfThirtyThreeKeys) {
  base_.Open(path_);
  EXPECT_TRUE(base_.Goods().IsEmpty());
  EXPECT_EQ(base_.TicketLines().RecordCount(), 4);
  EXPECT_EQ(base_.TicketLines().Lookup("ID", 1, "Data").toString(), "1");
  EXPECT_EQ(base_.TicketLines().Lookup("ID", 2, "Data").toString(), "20");
  EXPECT_EQ(base_.TicketLines().Lookup("ID", 3, "Data").toString(), "0");
  EXPECT_EQ(base_.TicketLines().Lookup("ID", 4, "Data").toString(), "");
  const int layouts = base_.KeyPads().RecordCount();
  ASSERT_GE(layouts, 3);
  ASSERT_EQ(base_.Keys().RecordCount(), layouts * 33);
  // Keys read in ascending ID order: layout k owns rows 33(k-1)+1 .. 33k.
  RowSet& keys = base_.Keys();
  keys.First();
  for (int layout = 1; layout <= layouts; ++layout) {
    for (int key = 1; key <= 33; ++key) {
      ASSERT_EQ(keys.FieldByName("ID").toInt(), layout * 100 + key);
      ASSERT_EQ(keys.FieldByName("PLU").toInt(), 0);
      keys.Next();
    }
  }
  EXPECT_TRUE(keys.Eof());
  EXPECT_TRUE(base_.Scales().IsEmpty());
  EXPECT_TRUE(base_.Totals().IsEmpty());
}

TEST_F(GoodsBaseTest, RefusesWhatIsNotAGoodsBaseAndLeavesTheFileUntouched) {
  struct Case {
    const char* name;
    bool make_file;
    QByteArray content;
    const char* sql;     // run on a template copy instead, when set
    const char* expected_words;
  };
  const Case cases[] = {
      {"missing file", false, "", nullptr, "does not exist"},
      {"text file", true, "PLU;Name\n1;Milk\n", nullptr, "not a database"},
      {"empty file", true, "", nullptr, "not a database"},
      {"another program's base", false, "", "DROP TABLE Keys", "Keys"},
      {"table without a column", false, "", "ALTER TABLE Products DROP COLUMN Price", "Price"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = folder_.Path(QString("Data/%1.db").arg(c.name));
    QByteArray before;
    if (c.sql != nullptr) {
      ASSERT_TRUE(QFile::copy(path_, path));
      QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
      const QString saved = path_;
      path_ = path;
      RunSql(c.sql);
      path_ = saved;
    } else if (c.make_file) {
      folder_.WriteFile(QString("Data/%1.db").arg(c.name), c.content);
    }
    const bool existed = QFile::exists(path);
    if (existed) {
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      before = file.readAll();
    }
    const QString error = OpenError(path);
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(error.contains(c.expected_words)) << error.toStdString();
    EXPECT_FALSE(base_.IsOpen());
    EXPECT_EQ(QFile::exists(path), existed);
    if (existed) {
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(file.readAll(), before);
    }
  }
}

TEST_F(GoodsBaseTest, FolderNamedAsBaseIsRefused) {
  const QString error = OpenError(folder_.Path("Data"));
  EXPECT_TRUE(error.contains("folder")) << error.toStdString();
}

TEST_F(GoodsBaseTest, BaseLockedByAnotherProgramIsRefusedAfterWaiting) {
  QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "locker");
  other.setDatabaseName(path_);
  ASSERT_TRUE(other.open());
  QSqlQuery lock(other);
  ASSERT_TRUE(lock.exec("BEGIN EXCLUSIVE"));
  const QString error = OpenError(path_);
  EXPECT_TRUE(error.contains("in use")) << error.toStdString();
  lock.exec("ROLLBACK");
  lock.finish();
  other.close();
  other = QSqlDatabase();
  QSqlDatabase::removeDatabase("locker");
  EXPECT_EQ(OpenError(path_), "");
}

TEST_F(GoodsBaseTest, DuplicatePluCountSeesOtherRowsOnly) {
  base_.Open(path_);
  RowSet& goods = base_.Goods();
  for (int plu : {7, 7, 8}) {
    goods.Append();
    goods.SetFieldValue("PLU", plu);
    ASSERT_TRUE(goods.Post());
  }
  goods.Locate("PLU", 8);
  EXPECT_EQ(base_.DuplicatePluCount(8, goods.FieldByName("ID").toLongLong()), 0);
  goods.Locate("PLU", 7);
  EXPECT_EQ(base_.DuplicatePluCount(7, goods.FieldByName("ID").toLongLong()), 1);
  EXPECT_EQ(base_.DuplicatePluCount(9, -1), 0);
}

TEST_F(GoodsBaseTest, TransactionWithoutCommitLeavesFileAndMemoryAsTheyWere) {
  base_.Open(path_);
  RowSet& goods = base_.Goods();
  goods.Append();
  goods.SetFieldValue("PLU", 1);
  ASSERT_TRUE(goods.Post());
  {
    GoodsBase::Transaction transaction(base_, {&goods});
    goods.DeleteAll();
    goods.Append();
    goods.SetFieldValue("PLU", 2);
    ASSERT_TRUE(goods.Post());
  }
  ASSERT_EQ(goods.RecordCount(), 1);
  EXPECT_EQ(goods.FieldByName("PLU").toInt(), 1);
  base_.Close();
  base_.Open(path_);
  ASSERT_EQ(base_.Goods().RecordCount(), 1);
  EXPECT_EQ(base_.Goods().FieldByName("PLU").toInt(), 1);
}

TEST_F(GoodsBaseTest, AutonumbersAreNeverReused) {
  base_.Open(path_);
  RowSet& goods = base_.Goods();
  goods.Append();
  goods.SetFieldValue("PLU", 1);
  ASSERT_TRUE(goods.Post());
  const qint64 first_id = goods.FieldByName("ID").toLongLong();
  goods.Delete();
  goods.Append();
  goods.SetFieldValue("PLU", 2);
  ASSERT_TRUE(goods.Post());
  EXPECT_GT(goods.FieldByName("ID").toLongLong(), first_id);
}

}  // namespace
}  // namespace quibrel
