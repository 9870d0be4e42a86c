#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <memory>

#include "db/money_format.h"
#include "i18n/scale_charset.h"
#include "support/temp_program_folder.h"
#include "workspace/workspace.h"

namespace quibrel::testing {

// A program folder with a fresh goods base open, the Cyrillic scale set, an English number
// format, and the goods check switched on as it is while the window runs.
class ScaleFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_locale_ = QLocale();
    QLocale::setDefault(QLocale("en_US"));
    FillFormatSettings();
    InitLanguage(1049);
    workspace_ = std::make_unique<Workspace>(folder_.folder());
    workspace_->OpenSettingsAndBase();
    workspace_->flRefresh = true;
    // Nothing here must survive a power cut; waiting for the disk at every post only slows.
    QSqlQuery(base().connection()).exec("PRAGMA synchronous = OFF");
  }

  void TearDown() override {
    workspace_.reset();
    QLocale::setDefault(previous_locale_);
    FillFormatSettings();
    InitLanguage(1049);
  }

  Workspace& workspace() { return *workspace_; }
  GoodsBase& base() { return workspace_->base(); }

  void AddGoods(qint64 plu, const QString& name1, const QVariant& name2 = QVariant(),
                const QString& type = "weight", const QString& price = "1.00",
                const QVariant& days = 0) {
    RowSet& goods = base().Goods();
    goods.Append();
    goods.SetFieldValue("PLU", plu);
    goods.SetFieldValue("ZirkName1", name1);
    goods.SetFieldValue("ZirkName2", name2);
    goods.SetFieldValue("Type", type);
    goods.SetFieldValue("Price", price);
    goods.SetFieldValue("ZirkDuringDate", days);
    ASSERT_TRUE(goods.Post());
  }

  void SetKey(int id, int plu) {
    RowSet& keys = base().Keys();
    ASSERT_TRUE(keys.Locate("ID", id));
    keys.SetFieldValue("PLU", plu);
    ASSERT_TRUE(keys.Post());
  }

  // Every row of every table as the file holds it, and the goods, ticket lines and keys as the
  // row sets hold them: what "unchanged" means after a refused import.
  QStringList Snapshot() {
    QStringList rows;
    for (const char* table :
         {"Products", "TicketLines", "KeyPads", "Keys", "ScalesSettings", "Totals"}) {
      QSqlQuery query(base().connection());
      EXPECT_TRUE(query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(table)));
      while (query.next()) {
        QStringList values{table};
        for (int i = 0; i < query.record().count(); ++i) values << query.value(i).toString();
        rows << values.join('|');
      }
    }
    for (RowSet* set : {&base().Goods(), &base().TicketLines(), &base().Keys()}) {
      for (int row = 0; row < set->RecordCount(); ++row) {
        QStringList values{"memory " + set->table()};
        for (int field = 0; field < set->fields().size(); ++field) {
          values << set->ValueAt(row, field).toString();
        }
        rows << values.join('|');
      }
    }
    return rows;
  }

  void WriteExport(const QString& name, const QByteArray& bytes) {
    folder_.WriteFile("Export/" + name, bytes);
  }
  QByteArray ReadExport(const QString& name) { return folder_.ReadFile("Export/" + name); }

  TempProgramFolder folder_{false};
  QLocale previous_locale_;
  std::unique_ptr<Workspace> workspace_;
};

}  // namespace quibrel::testing
