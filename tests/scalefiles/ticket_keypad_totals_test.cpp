// Zirk.dat, keyboard.dat and Totals.dat made from and read into the goods base.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "core/quibrel_error.h"
#include "db/goods_rules.h"
#include "db/header_lines.h"
#include "hex.h"
#include "scale_files_fixture.h"
#include "scalefiles/byte_reader.h"
#include "scalefiles/keypad_file.h"
#include "scalefiles/scale_files.h"
#include "scalefiles/totals_file.h"
#include "support/recording_status_sink.h"

namespace quibrel {
namespace {

using testing::Hex;
using testing::RecordingStatusSink;

class TicketFileDbTest : public testing::ScaleFilesTest {
 protected:
  void SetLine(int id, const QVariant& data) {
    RowSet& lines = base().TicketLines();
    ASSERT_TRUE(lines.Locate("ID", id));
    lines.SetFieldValue("Data", data);
    ASSERT_TRUE(lines.Post());
  }
  QString Line(int id) { return base().TicketLines().Lookup("ID", id, "Data").toString(); }
};

TEST_F(TicketFileDbTest, SettingsWithoutHeaderAreWrittenByteForByte) {
  SetLine(1, "1");
  SetLine(2, "21");
  SetLine(3, "2");
  SetLine(4, QVariant());
  MakeZirkFile(workspace());
  EXPECT_EQ(ReadExport("Zirk.dat").toHex(' '),
            Hex("01000000 10000000 01 15 02 0000000000000000 00000D").toHex(' '));
}

TEST_F(TicketFileDbTest, RowsThatAreNoNumberAreWrittenAsZero) {
  SetLine(1, "large");
  SetLine(2, QVariant());
  SetLine(3, "300");  // the scale keeps the low byte
  SetLine(4, EncodeHeader({"ABC", ""}));
  MakeZirkFile(workspace());
  EXPECT_EQ(ReadExport("Zirk.dat").toHex(' '),
            Hex("01000000 13000000 00 00 2C 0000000000000000 0503414243 0D").toHex(' '));
}

TEST_F(TicketFileDbTest, SettingsAndHeaderLinesComeBackAfterARoundTrip) {
  struct Case {
    const char* name;
    HeaderLines header;
  };
  const Case cases[] = {
      {"no header", {"", ""}},
      {"one line", {"ABC", ""}},
      {"two full lines in Cyrillic", {QString(36, QChar(0x0416)), QString(36, QChar(0x044F))}},
  };
  for (const Case& c : cases) {
    SetLine(1, "1");
    SetLine(2, "7");
    SetLine(3, "2");
    SetLine(4, EncodeHeader(c.header));
    MakeZirkFile(workspace());
    for (int id = 1; id <= 4; ++id) SetLine(id, "junk");
    ZirkToBase(workspace());
    EXPECT_EQ(Line(1), "1") << c.name;
    EXPECT_EQ(Line(2), "7") << c.name;
    EXPECT_EQ(Line(3), "2") << c.name;
    EXPECT_EQ(Line(4), EncodeHeader(c.header)) << c.name;
  }
}

TEST_F(TicketFileDbTest, FileCutAnywhereLeavesTheTicketLinesAsTheyWere) {
  SetLine(4, EncodeHeader({"Shop", "Street 1"}));
  MakeZirkFile(workspace());
  const QByteArray whole = ReadExport("Zirk.dat");
  SetLine(1, "0");
  SetLine(2, "55");
  const QStringList before = Snapshot();
  for (int cut = 0; cut < whole.size(); ++cut) {
    WriteExport("Zirk.dat", whole.left(cut));
    EXPECT_THROW(ZirkToBase(workspace()), ScaleFileTruncated) << "cut at " << cut;
    EXPECT_EQ(Snapshot(), before) << "cut at " << cut;
  }
}

class KeypadFileDbTest : public testing::ScaleFilesTest {
 protected:
  void SetUp() override {
    testing::ScaleFilesTest::SetUp();
    // Every key starts with a PLU that tells it apart.
    GoodsBase::Transaction transaction(base(), {&base().Keys()});
    RowSet& keys = base().Keys();
    for (keys.First(); !keys.Eof(); keys.Next()) {
      keys.SetFieldValue("PLU", keys.FieldByName("ID").toInt() + 5000);
      keys.Post();
    }
    transaction.Commit();
  }

  void AddScale(const QString& ip, const QVariant& keypad) {
    RowSet& scales = base().Scales();
    scales.Append();
    scales.SetFieldValue("Name", "Scale " + ip);
    scales.SetFieldValue("IP", ip);
    scales.SetFieldValue("Keypad", keypad);
    ASSERT_TRUE(scales.Post());
  }
  int Key(int id) { return base().Keys().Lookup("ID", id, "PLU").toInt(); }
  void SelectLayout(int id) { ASSERT_TRUE(base().KeyPads().Locate("ID", id)); }

  static QByteArray Entries(int count, int first_plu) {
    QVector<int32_t> plus;
    for (int i = 0; i < count; ++i) plus << first_plu + i;
    return EncodeKeypadFile(plus);
  }
};

TEST_F(KeypadFileDbTest, CurrentLayoutIsWrittenByteForByte) {
  for (int key = 1; key <= 33; ++key) SetKey(200 + key, 0);
  SetKey(201, 10);
  SetKey(202, 20);
  SelectLayout(2);
  MakeKeypadFileForScales(workspace());
  QByteArray expected = Hex("01000000 0600 0A000000 0000 02000000 0600 14000000 0000");
  for (int key = 3; key <= 33; ++key) expected += Hex("00000000 0600 00000000 0000");
  for (int key = 3; key <= 33; ++key) expected[(key - 1) * 12] = static_cast<char>(key);
  EXPECT_EQ(ReadExport("keyboard.dat").toHex(' '), expected.toHex(' '));
  MakeKeypadFileForCard(workspace());
  EXPECT_EQ(ReadExport("keyboard.dat"), expected);
}

TEST_F(KeypadFileDbTest, TheSourceChoosesTheLayout) {
  AddScale("10.0.0.5", "Keypad 3");
  AddScale("10.0.0.6", QVariant());
  struct Case {
    const char* name;
    QString num;
    QString card_layout;
    int layout;
  };
  const Case cases[] = {
      {"card, layout chosen in the dialog", kCardSource, "Keypad 2", 2},
      {"scale with a layout", "10.0.0.5", "", 3},
      {"scale without a layout", "10.0.0.6", "", 1},
      {"scale not in the list", "10.9.9.9", "", 1},
  };
  int first_plu = 100;
  for (const Case& c : cases) {
    WriteExport("keyboard.dat", Entries(33, first_plu));
    const KeypadImportReport report = KeypadToBase(workspace(), c.num, c.card_layout);
    EXPECT_EQ(report.layout, c.layout) << c.name;
    EXPECT_EQ(report.keys_set, 33) << c.name;
    EXPECT_EQ(Key(c.layout * 100 + 1), first_plu) << c.name;
    EXPECT_EQ(Key(c.layout * 100 + 33), first_plu + 32) << c.name;
    first_plu += 100;
  }
}

TEST_F(KeypadFileDbTest, AShortFileSetsItsKeysAndLeavesTheRest) {
  WriteExport("Keyboard.dat", Entries(10, 1));
  const KeypadImportReport report = KeypadToBase(workspace(), kCardSource, "Keypad 2");
  EXPECT_EQ(report.keys_set, 10);
  EXPECT_EQ(report.entries_left_out, 0);
  for (int key = 1; key <= 10; ++key) EXPECT_EQ(Key(200 + key), key);
  for (int key = 11; key <= 33; ++key) EXPECT_EQ(Key(200 + key), 5200 + key);
}

TEST_F(KeypadFileDbTest, ALongFileFillsThirtyThreeKeysAndReportsTheRest) {
  WriteExport("keyboard.dat", Entries(40, 1));
  RecordingStatusSink sink;
  const KeypadImportReport report = KeypadToBase(workspace(), kCardSource, "Keypad 2", &sink);
  EXPECT_EQ(report.keys_set, 33);
  EXPECT_EQ(report.entries_left_out, 7);
  for (int key = 1; key <= 33; ++key) EXPECT_EQ(Key(200 + key), key);
  for (int key = 1; key <= 33; ++key) EXPECT_EQ(Key(300 + key), 5300 + key);  // next layout
  ASSERT_EQ(sink.Shows().size(), 1u);
  EXPECT_EQ(sink.Shows()[0].lines,
            QStringList{"The keypad file holds 40 entries; keys 1 to 33 of the layout Keypad 2 "
                        "were set and the other 7 entries were left out."});
  EXPECT_EQ(sink.Shows()[0].background, kFailureColour);
}

TEST_F(KeypadFileDbTest, LayoutThatDoesNotExistChangesNoKey) {
  AddScale("10.0.0.7", "Gone");
  WriteExport("keyboard.dat", Entries(33, 1));
  const QStringList before = Snapshot();
  EXPECT_THROW(KeypadToBase(workspace(), "10.0.0.7"), QuibrelError);
  EXPECT_THROW(KeypadToBase(workspace(), kCardSource, "Nowhere"), QuibrelError);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(KeypadFileDbTest, FileCutInsideAnEntryChangesNoKey) {
  const QByteArray whole = Entries(3, 1);
  const QStringList before = Snapshot();
  for (int cut = 1; cut < whole.size(); ++cut) {
    if (cut % kKeypadEntryBytes == 0) continue;
    WriteExport("keyboard.dat", whole.left(cut));
    EXPECT_THROW(KeypadToBase(workspace(), "10.1.1.1"), ScaleFileTruncated) << "cut at " << cut;
    EXPECT_EQ(Snapshot(), before) << "cut at " << cut;
  }
}

TEST_F(KeypadFileDbTest, NullKeyIsAnErrorNotAnEmptyKey) {
  SetKey(105, 0);
  QSqlQuery query(base().connection());
  ASSERT_TRUE(query.exec("UPDATE Keys SET PLU = NULL WHERE ID = 105"));
  base().Keys().Requery();
  SelectLayout(1);
  EXPECT_THROW(MakeKeypadFileForScales(workspace()), QuibrelError);
}

class TotalsFileDbTest : public testing::ScaleFilesTest {
 protected:
  static QByteArray Example(bool counted = false) {
    QByteArray bytes = Hex("39300000 0000 00 00 102700000000 0500 20A107000000 2A00 0B030F11");
    if (counted) bytes[6] = '\x02';
    return bytes;
  }
  qint64 NullScalesRows() {
    QSqlQuery query(base().connection());
    EXPECT_TRUE(query.exec("SELECT count(*) FROM Totals WHERE Scales IS NULL"));
    query.next();
    return query.value(0).toLongLong();
  }
};

TEST_F(TotalsFileDbTest, RecordsBecomeRowsStampedWithTheirSource) {
  AddGoods(12345, "Cheese");
  AddGoods(12345, "Second cheese");  // the first item with the PLU names it
  RowSet& scales = base().Scales();
  scales.Append();
  scales.SetFieldValue("Name", "Counter");
  scales.SetFieldValue("IP", "192.168.1.20");
  ASSERT_TRUE(scales.Post());
  QByteArray unknown = Example(true);
  unknown[0] = '\x01';  // PLU 12289, not in the goods list
  WriteExport("Totals.dat", Example() + unknown);

  const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
  EXPECT_EQ(TotalsToBase(workspace(), "192.168.1.20").rows, 2);
  const QVector<TotalsRecord> rows = base().Totals().ReadAll();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0].scales, "Counter");
  EXPECT_EQ(rows[0].ip, "192.168.1.20");
  EXPECT_EQ(rows[0].plu, 12345);
  EXPECT_EQ(rows[0].name, "Cheese");
  EXPECT_EQ(rows[0].type, WeightWord());
  EXPECT_DOUBLE_EQ(rows[0].day_weight, 10.0);
  EXPECT_EQ(rows[0].day_num, 5);
  EXPECT_DOUBLE_EQ(rows[0].month_weight, 500.0);
  EXPECT_EQ(rows[0].month_num, 42);
  EXPECT_EQ(TotalsTable::DateText(rows[0].last), "2011-03-15 17:00:00");
  EXPECT_GE(rows[0].read, before);
  EXPECT_LE(rows[0].read, QDateTime::currentDateTime().addSecs(1));

  EXPECT_EQ(rows[1].plu, 12289);
  EXPECT_EQ(rows[1].name, "");
  EXPECT_EQ(rows[1].type, CountWord());
  EXPECT_DOUBLE_EQ(rows[1].day_weight, 10000.0);
  EXPECT_DOUBLE_EQ(rows[1].month_weight, 500000.0);
}

TEST_F(TotalsFileDbTest, CardAndUnknownScaleSources) {
  WriteExport("Totals.dat", Example());
  TotalsToBase(workspace(), kCardSource);
  TotalsToBase(workspace(), "10.0.0.99");
  const QVector<TotalsRecord> rows = base().Totals().ReadAll();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0].scales, kCardSource);
  EXPECT_EQ(rows[0].ip, kCardSource);
  EXPECT_EQ(rows[1].ip, "10.0.0.99");
  EXPECT_EQ(NullScalesRows(), 1);
}

TEST_F(TotalsFileDbTest, EmptyFileAddsNothing) {
  WriteExport("totals.dat", QByteArray());
  EXPECT_EQ(TotalsToBase(workspace(), kCardSource).rows, 0);
  EXPECT_TRUE(base().Totals().IsEmpty());
}

TEST_F(TotalsFileDbTest, DateThatDoesNotExistStoresNothingOfTheFile) {
  WriteExport("Totals.dat", Example());
  TotalsToBase(workspace(), kCardSource);
  struct Case {
    const char* name;
    char month, day, hour;
  };
  const Case cases[] = {
      {"month 13", 13, 15, 17},        {"month 0", 0, 15, 17}, {"day 31 of April", 4, 31, 17},
      {"29 February 2011", 2, 29, 17}, {"hour 24", 3, 15, 24},
  };
  for (const Case& c : cases) {
    QByteArray bad = Example();
    bad[25] = c.month;
    bad[26] = c.day;
    bad[27] = c.hour;
    WriteExport("Totals.dat", Example() + Example() + bad + Example());
    const QStringList before = Snapshot();
    EXPECT_THROW(TotalsToBase(workspace(), kCardSource), QuibrelError) << c.name;
    EXPECT_EQ(Snapshot(), before) << c.name;
  }
  // Mended and read again, the file adds its rows once.
  WriteExport("Totals.dat", Example() + Example());
  TotalsToBase(workspace(), kCardSource);
  EXPECT_EQ(base().Totals().Count(), 3);
}

TEST_F(TotalsFileDbTest, FileCutInsideARecordStoresNothing) {
  const QByteArray whole = Example() + Example(true);
  const QStringList before = Snapshot();
  for (int cut = 1; cut < whole.size(); ++cut) {
    if (cut == kTotalsRecordBytes) continue;
    WriteExport("Totals.dat", whole.left(cut));
    EXPECT_THROW(TotalsToBase(workspace(), kCardSource), ScaleFileTruncated) << "cut at " << cut;
    EXPECT_EQ(Snapshot(), before) << "cut at " << cut;
  }
}

TEST_F(TotalsFileDbTest, DatabaseFailureHalfWayStoresNothing) {
  QSqlQuery trigger(base().connection());
  ASSERT_TRUE(
      trigger.exec("CREATE TRIGGER refuse BEFORE INSERT ON Totals WHEN "
                   "(SELECT count(*) FROM Totals) >= 2 BEGIN SELECT RAISE(ABORT, 'full'); END"));
  WriteExport("Totals.dat", Example() + Example() + Example());
  EXPECT_THROW(TotalsToBase(workspace(), kCardSource), QuibrelError);
  EXPECT_TRUE(base().Totals().IsEmpty());
}

TEST_F(TotalsFileDbTest, MissingFileIsAnError) {
  EXPECT_THROW(TotalsToBase(workspace(), kCardSource), QuibrelError);
}

}  // namespace
}  // namespace quibrel
