// products.dat made from the goods list and read back into it.
#include <gtest/gtest.h>

#include "core/quibrel_error.h"
#include "db/goods_rules.h"
#include "hex.h"
#include "scale_files_fixture.h"
#include "scalefiles/byte_reader.h"
#include "scalefiles/goods_file.h"
#include "scalefiles/scale_files.h"
#include "support/recording_status_sink.h"

namespace quibrel {
namespace {

using testing::Hex;
using testing::RecordingStatusSink;

const QByteArray kMilk =
    Hex("D2040000 3300 00 00000000 E2040000 0000000000000000000000000000 E01000000000 20202020 "
        "00000000 00044D494C4B 0D 00000D00000D B7");

QByteArray Record(int32_t plu, const QByteArray& name1, bool counted = false, int32_t price = 100,
                  uint64_t days = 0, const QByteArray& name2 = QByteArray()) {
  return EncodeGoodsRecord({plu, counted, price, days * 1440, name1, name2});
}

class GoodsConversionTest : public testing::ScaleFilesTest {
 protected:
  QVector<qint64> GoodsPlus() {
    QVector<qint64> plus;
    RowSet& goods = base().Goods();
    for (int row = 0; row < goods.RecordCount(); ++row) {
      plus << goods.ValueAt(row, goods.FieldIndex("PLU")).toLongLong();
    }
    return plus;
  }
};

TEST_F(GoodsConversionTest, MilkIsWrittenAsTheScaleStoresIt) {
  AddGoods(1234, "MILK", QVariant(), "weight", "12.50", 3);
  MakeBaseFile(workspace());
  EXPECT_EQ(ReadExport("products.dat").toHex(' '), kMilk.toHex(' '));
}

TEST_F(GoodsConversionTest, FieldsAreWrittenAsTheScaleReadsThem) {
  AddGoods(1, "A", "", "weight", "0.125", QVariant());  // empty second line, null shelf life
  AddGoods(2, "B", "Second", "count", "0.375", 2);
  AddGoods(3, "C", QVariant(), "WEIGHT", "1,234.50 ", 0);  // not the weight word exactly
  MakeBaseFile(workspace());
  const GoodsFileContents contents = DecodeGoodsFile(ReadExport("products.dat"));
  ASSERT_EQ(contents.records.size(), 3);
  EXPECT_EQ(contents.records[0].price, 12);
  EXPECT_EQ(contents.records[0].name2, "");
  EXPECT_EQ(contents.records[0].shelf_life_minutes, 0u);
  EXPECT_FALSE(contents.records[0].counted);
  EXPECT_EQ(contents.records[1].price, 38);
  EXPECT_EQ(contents.records[1].name2, "Second");
  EXPECT_EQ(contents.records[1].shelf_life_minutes, 2u * 1440);
  EXPECT_TRUE(contents.records[1].counted);
  EXPECT_TRUE(contents.records[2].counted);
  EXPECT_EQ(contents.records[2].price, 123450);
}

TEST_F(GoodsConversionTest, WritesTheListAsShownAndReadsBackOverEveryGoodsItem) {
  for (int plu = 1; plu <= 100; ++plu) AddGoods(plu, QString("Item %1").arg(plu));
  RowSet& goods = base().Goods();
  goods.SetFilter([](const RowSet::Values& v) { return v[1].toInt() % 40 == 7; });
  goods.SetFiltered(true);
  goods.SetSort("PLU", Qt::DescendingOrder);
  ASSERT_TRUE(goods.Locate("PLU", 47));

  MakeBaseFile(workspace());
  EXPECT_EQ(goods.FieldByName("PLU").toInt(), 47);  // the grid stays on its row
  const GoodsFileContents contents = DecodeGoodsFile(ReadExport("products.dat"));
  ASSERT_EQ(contents.records.size(), 3);
  EXPECT_EQ(contents.records[0].plu, 87);
  EXPECT_EQ(contents.records[1].plu, 47);
  EXPECT_EQ(contents.records[2].plu, 7);

  // The file replaces the whole list, the 97 goods the search hides included.
  ProductsToBase(workspace());
  goods.SetFiltered(false);
  EXPECT_EQ(GoodsPlus(), (QVector<qint64>{87, 47, 7}));
}

TEST_F(GoodsConversionTest, RecordsBecomeGoodsItems) {
  WriteExport("Products.dat", kMilk + Hex("00000000 0300 FFFFFF") +
                                  Record(5, "AB", true, 199, 0, "CD") +
                                  Record(6, "X", false, 7, 999));
  const GoodsImportReport report = ProductsToBase(workspace());
  EXPECT_EQ(report.stored, 3);
  EXPECT_EQ(report.skipped_zero_plu, 1);
  RowSet& goods = base().Goods();
  ASSERT_EQ(goods.RecordCount(), 3);
  goods.First();
  EXPECT_EQ(goods.FieldByName("PLU").toInt(), 1234);
  EXPECT_EQ(goods.FieldByName("ZirkName1").toString(), "MILK");
  EXPECT_TRUE(goods.FieldByName("ZirkName2").isNull());
  EXPECT_EQ(goods.FieldByName("Type").toString(), WeightWord());
  EXPECT_EQ(goods.FieldByName("Price").toString(), "12.50");
  EXPECT_EQ(goods.FieldByName("ZirkDuringDate").toInt(), 3);
  goods.Next();
  EXPECT_EQ(goods.FieldByName("ZirkName2").toString(), "CD");
  EXPECT_EQ(goods.FieldByName("Type").toString(), CountWord());
  EXPECT_EQ(goods.FieldByName("Price").toString(), "1.99");
  goods.Next();
  EXPECT_EQ(goods.FieldByName("Price").toString(), "0.07");
  EXPECT_EQ(goods.FieldByName("ZirkDuringDate").toInt(), 999);
}

TEST_F(GoodsConversionTest, ShelfLifeInMinutesIsCutToWholeDays) {
  WriteExport("products.dat", EncodeGoodsRecord({9, false, 0, 2 * 1440 + 1439, "X", ""}));
  ProductsToBase(workspace());
  EXPECT_EQ(base().Goods().Lookup("PLU", 9, "ZirkDuringDate").toInt(), 2);
}

TEST_F(GoodsConversionTest, ImportedPricesAreStoredInTheUserMoneyFormat) {
  QLocale::setDefault(QLocale("ru_RU"));
  FillFormatSettings();
  WriteExport("products.dat", Record(1, "A", false, 1250) + Record(2, "B", false, 123450));
  ProductsToBase(workspace());
  EXPECT_EQ(base().Goods().Lookup("PLU", 1, "Price").toString(), "12,50 ");
  EXPECT_EQ(base().Goods().Lookup("PLU", 2, "Price").toString(),
            QString::fromUtf8("1\u00a0234,50 "));
  // And what goods editing stored goes out again as the same amount.
  MakeBaseFile(workspace());
  const GoodsFileContents contents = DecodeGoodsFile(ReadExport("products.dat"));
  ASSERT_EQ(contents.records.size(), 2);
  EXPECT_EQ(contents.records[0].price, 1250);
  EXPECT_EQ(contents.records[1].price, 123450);
}

TEST_F(GoodsConversionTest, EmptyFileEmptiesTheGoodsList) {
  AddGoods(1, "A");
  AddGoods(2, "B");
  MakeBaseFile(workspace());  // overwritten below
  WriteExport("products.dat", QByteArray());
  ProductsToBase(workspace());
  EXPECT_TRUE(base().Goods().IsEmpty());
  MakeBaseFile(workspace());
  EXPECT_TRUE(ReadExport("products.dat").isEmpty());
}

TEST_F(GoodsConversionTest, RefusedRecordsAreDroppedAndListedInOneMessage) {
  AddGoods(900, "Old");
  WriteExport("products.dat", Record(5, "A") + Record(5, "Twin") +
                                  Record(7, "Long", false, 1, 1000) + Record(8, "B") +
                                  Record(9, "Dear", false, 1000000) + Record(10, "C"));
  RecordingStatusSink sink;
  const GoodsImportReport report = ProductsToBase(workspace(), &sink);
  EXPECT_EQ(GoodsPlus(), (QVector<qint64>{5, 8, 10}));
  EXPECT_EQ(report.refused_plus, (QVector<qint64>{5, 7, 9}));
  ASSERT_EQ(report.refusals.size(), 3);
  EXPECT_EQ(report.refusals[0], "PLU exists: 5");
  EXPECT_EQ(report.refusals[1], "Incorrect shelf life: Long");
  EXPECT_EQ(report.refusals[2], "Incorrect price: 10000.00");
  ASSERT_EQ(sink.Shows().size(), 1u);
  EXPECT_EQ(sink.Shows()[0].lines,
            QStringList{"3 goods records failed the goods check and were not imported: "
                        "PLU 5, 7, 9"});
  EXPECT_EQ(sink.Shows()[0].background, kFailureColour);
}

TEST_F(GoodsConversionTest, ThousandsOfRefusalsStillMakeOneShortMessage) {
  QByteArray bytes;
  for (int i = 0; i < 3000; ++i) bytes += Record(77, "Same");
  WriteExport("products.dat", bytes);
  RecordingStatusSink sink;
  const GoodsImportReport report = ProductsToBase(workspace(), &sink);
  EXPECT_EQ(report.stored, 1);
  EXPECT_EQ(report.refused_plus.size(), 2999);
  ASSERT_EQ(sink.Shows().size(), 1u);
  EXPECT_TRUE(sink.Shows()[0].lines.join("").endsWith("and 2949 more"));
}

TEST_F(GoodsConversionTest, WithoutTheCheckEveryRecordIsStored) {
  workspace().flRefresh = false;
  WriteExport("products.dat", Record(5, "A") + Record(5, "B") + Record(6, "C", false, 1, 5000));
  RecordingStatusSink sink;
  EXPECT_EQ(ProductsToBase(workspace(), &sink).stored, 3);
  EXPECT_TRUE(sink.Shows().empty());
  EXPECT_EQ(base().Goods().RecordCount(), 3);
}

TEST_F(GoodsConversionTest, FileCutInsideARecordLeavesTheGoodsAsTheyWere) {
  for (int plu = 1; plu <= 5; ++plu) AddGoods(plu, "Kept");
  const QStringList before = Snapshot();
  const QByteArray whole = kMilk + Record(5, "AB", true, 199, 0, "CD");
  for (int cut = static_cast<int>(kMilk.size()) + 1; cut < whole.size(); ++cut) {
    WriteExport("products.dat", whole.left(cut));
    EXPECT_THROW(ProductsToBase(workspace()), ScaleFileTruncated) << "cut at " << cut;
    EXPECT_EQ(Snapshot(), before) << "cut at " << cut;
  }
}

TEST_F(GoodsConversionTest, DatabaseFailureHalfWayLeavesTheGoodsAsTheyWere) {
  for (int plu = 1; plu <= 5; ++plu) AddGoods(plu, "Kept");
  QSqlQuery trigger(base().connection());
  ASSERT_TRUE(
      trigger.exec("CREATE TRIGGER refuse13 BEFORE INSERT ON Products WHEN NEW.PLU = 13 "
                   "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
  const QStringList before = Snapshot();
  WriteExport("products.dat",
              Record(11, "A") + Record(12, "B") + Record(13, "C") + Record(14, "D"));
  EXPECT_THROW(ProductsToBase(workspace()), QuibrelError);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(GoodsConversionTest, PriceThatIsNoNumberLeavesThePreviousFile) {
  AddGoods(1, "A");
  MakeBaseFile(workspace());
  const QByteArray previous = ReadExport("products.dat");
  workspace().flRefresh = false;  // stored as typed, unchecked
  AddGoods(2, "B", QVariant(), "weight", "1.2.3");
  try {
    MakeBaseFile(workspace());
    ADD_FAILURE() << "an unreadable price was written";
  } catch (const QuibrelError& error) {
    EXPECT_TRUE(error.text().contains("1.2.3")) << error.text().toStdString();
    EXPECT_TRUE(error.text().contains("PLU 2")) << error.text().toStdString();
  }
  EXPECT_EQ(ReadExport("products.dat"), previous);
}

TEST_F(GoodsConversionTest, NamesTravelInTheCharacterSetOfEachLanguage) {
  struct Case {
    int language_id;
    const char* name;
    QByteArray bytes;
  };
  const Case cases[] = {
      {1049, "Молоко", Hex("CCEEEBEEEAEE")},
      {1036, "Crème brûlée", Hex("4372E86D6520 6272FB6CE965")},
      {1062, "Ābolu sula", Hex("C2626F6C752073756C61")},
      {1068, "Əmək ət", Hex("C66DE66B20E674")},
  };
  for (const Case& c : cases) {
    InitLanguage(c.language_id);
    base().Goods().DeleteAll();
    AddGoods(1, QString::fromUtf8(c.name), QString::fromUtf8(c.name));
    MakeBaseFile(workspace());
    const GoodsFileContents contents = DecodeGoodsFile(ReadExport("products.dat"));
    ASSERT_EQ(contents.records.size(), 1);
    EXPECT_EQ(contents.records[0].name1.toHex(' '), c.bytes.toHex(' ')) << c.language_id;
    ProductsToBase(workspace());
    EXPECT_EQ(base().Goods().Lookup("PLU", 1, "ZirkName1").toString(), QString::fromUtf8(c.name))
        << c.language_id;
    EXPECT_EQ(base().Goods().Lookup("PLU", 1, "ZirkName2").toString(), QString::fromUtf8(c.name))
        << c.language_id;
  }
}

TEST_F(GoodsConversionTest, FileFoundUnderAnyLetterCaseAndWrittenUnderOne) {
  WriteExport("PRODUCTS.DAT", kMilk);
  ProductsToBase(workspace());
  EXPECT_EQ(base().Goods().RecordCount(), 1);
  MakeBaseFile(workspace());
  EXPECT_TRUE(ReadExport("PRODUCTS.DAT").isEmpty());  // the stale spelling is gone
  EXPECT_EQ(ReadExport("products.dat"), kMilk);
}

}  // namespace
}  // namespace quibrel
