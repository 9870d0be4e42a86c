#pragma once

#include <QLocale>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

#include "db/goods_base.h"
#include "db/money_format.h"
#include "support/temp_program_folder.h"
#include "workspace/workspace.h"

// Readable failure output for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace quibrel::testing {

// Sets the user's locale for one test and puts the previous one back.
class LocaleScope {
 public:
  explicit LocaleScope(const char* name) : previous_(QLocale()) {
    QLocale::setDefault(QLocale(name));
    FillFormatSettings();
  }
  ~LocaleScope() {
    QLocale::setDefault(previous_);
    FillFormatSettings();
  }

 private:
  QLocale previous_;
};

// One goods item as a test writes it.
struct Item {
  int plu;
  const char* name1;
  const char* price = "1,00 ";
  int shelf_life = 0;
  const char* type = "weight";
  const char* name2 = "";
};

// A fresh base from the template in a program folder of its own, under a Russian locale (the
// locale the price rules were written for), with the window past start-up (flRefresh true).
class GoodsBaseFixture : public ::testing::Test {
 protected:
  GoodsBaseFixture() : locale_("ru_RU"), workspace_(folder_.folder()) {
    workspace_.OpenSettingsAndBase();
    workspace_.flRefresh = true;
  }

  GoodsBase& base() { return workspace_.base(); }
  RowSet& goods() { return workspace_.base().Goods(); }

  // Writes items straight into the file and reads the goods again, bypassing every check.
  void Seed(std::initializer_list<Item> items) {
    QSqlQuery query(base().connection());
    for (const Item& item : items) {
      query.prepare(
          "INSERT INTO Products (PLU, ZirkName1, ZirkName2, Type, Price, ZirkDuringDate) "
          "VALUES (?, ?, ?, ?, ?, ?)");
      query.addBindValue(item.plu);
      query.addBindValue(QString::fromUtf8(item.name1));
      query.addBindValue(QString::fromUtf8(item.name2));
      query.addBindValue(QString::fromUtf8(item.type));
      query.addBindValue(QString::fromUtf8(item.price));
      query.addBindValue(item.shelf_life);
      ASSERT_TRUE(query.exec());
    }
    goods().Requery();
  }

  // One line per stored item in ID order, read from the file: "PLU|name1|name2|type|price|days".
  QStringList StoredRows() {
    QSqlQuery query(base().connection());
    EXPECT_TRUE(query.exec(
        "SELECT PLU, ZirkName1, ZirkName2, Type, Price, ZirkDuringDate FROM Products ORDER BY ID"));
    QStringList rows;
    while (query.next()) {
      QStringList fields;
      for (int i = 0; i < 6; ++i) fields << query.value(i).toString();
      rows << fields.join('|');
    }
    return rows;
  }

  // The PLUs of the visible rows, in grid order.
  QList<int> VisiblePlus() {
    QList<int> plus;
    const int plu = goods().FieldIndex("PLU");
    for (int i = 0; i < goods().RecordCount(); ++i) plus << goods().ValueAt(i, plu).toInt();
    return plus;
  }

  LocaleScope locale_;
  TempProgramFolder folder_;
  Workspace workspace_;
};

}  // namespace quibrel::testing
