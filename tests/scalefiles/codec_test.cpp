// The byte layouts of the four scale files, without a database.
#include <gtest/gtest.h>

#include <QLocale>

#include "db/money_format.h"
#include "hex.h"
#include "scalefiles/byte_reader.h"
#include "scalefiles/goods_file.h"
#include "scalefiles/keypad_file.h"
#include "scalefiles/ticket_file.h"
#include "scalefiles/totals_file.h"

namespace quibrel {
namespace {

using testing::Hex;

// PLU 1234, weighed, 12.50, three days, MILK on one line.
const QByteArray kMilk =
    Hex("D2040000 3300 00 00000000 E2040000 0000000000000000000000000000 E01000000000 20202020 "
        "00000000 00044D494C4B 0D 00000D00000D B7");
// PLU 7, counted, 1.99, no shelf life, AB and C on two lines.
const QByteArray kTwoLines =
    Hex("07000000 3500 02 00000000 C7000000 0000000000000000000000000000 000000000000 20202020 "
        "00000000 00024142 0C000143 0D 00000D00000D 81");

GoodsFileRecord Milk() { return {1234, false, 1250, 3 * 1440, "MILK", ""}; }
GoodsFileRecord TwoLines() { return {7, true, 199, 0, "AB", "C"}; }

void ExpectSameRecord(const GoodsFileRecord& actual, const GoodsFileRecord& expected) {
  EXPECT_EQ(actual.plu, expected.plu);
  EXPECT_EQ(actual.counted, expected.counted);
  EXPECT_EQ(actual.price, expected.price);
  EXPECT_EQ(actual.shelf_life_minutes, expected.shelf_life_minutes);
  EXPECT_EQ(actual.name1, expected.name1);
  EXPECT_EQ(actual.name2, expected.name2);
}

TEST(GoodsFileTest, RecordsAreWrittenByteForByte) {
  ASSERT_EQ(kMilk.size(), 57);
  EXPECT_EQ(EncodeGoodsRecord(Milk()).toHex(' '), kMilk.toHex(' '));
  EXPECT_EQ(EncodeGoodsRecord(TwoLines()).toHex(' '), kTwoLines.toHex(' '));
}

TEST(GoodsFileTest, WrittenRecordsReadBack) {
  const GoodsFileRecord longest{
      99999999, true, 999999, 999ull * 1440, QByteArray(36, 'x'), QByteArray(36, '\xC0')};
  const GoodsFileContents contents = DecodeGoodsFile(
      EncodeGoodsRecord(Milk()) + EncodeGoodsRecord(TwoLines()) + EncodeGoodsRecord(longest));
  ASSERT_EQ(contents.records.size(), 3);
  ExpectSameRecord(contents.records[0], Milk());
  ExpectSameRecord(contents.records[1], TwoLines());
  ExpectSameRecord(contents.records[2], longest);
  EXPECT_EQ(EncodeGoodsRecord(longest).size(), 128);
}

TEST(GoodsFileTest, EmptyFileHoldsNoRecords) {
  const GoodsFileContents contents = DecodeGoodsFile(QByteArray());
  EXPECT_TRUE(contents.records.isEmpty());
  EXPECT_EQ(contents.skipped_zero_plu, 0);
}

TEST(GoodsFileTest, PluZeroRecordIsSkippedByItsLength) {
  // The skipped body is not a record at all: only its length may be used.
  const QByteArray zero = Hex("00000000 0500 FFFFFFFF0C");
  const GoodsFileContents contents = DecodeGoodsFile(zero + kMilk + zero);
  ASSERT_EQ(contents.records.size(), 1);
  ExpectSameRecord(contents.records[0], Milk());
  EXPECT_EQ(contents.skipped_zero_plu, 2);
}

TEST(GoodsFileTest, LinesPastTheSecondAndTextInLaterBlocksAreIgnored) {
  const QByteArray three_lines =
      kMilk.left(43) +
      Hex("00044D494C4B 0C00034F4E45 0C000554485245450D 0002585A 0C00015A 0D 00000D 00");
  const GoodsFileContents contents = DecodeGoodsFile(three_lines + kTwoLines);
  ASSERT_EQ(contents.records.size(), 2);
  EXPECT_EQ(contents.records[0].name1, "MILK");
  EXPECT_EQ(contents.records[0].name2, "ONE");
  ExpectSameRecord(contents.records[1], TwoLines());
}

TEST(GoodsFileTest, NamesLongerThanALengthByteAreCutSoTheRecordStaysReadable) {
  GoodsFileRecord record = Milk();
  record.name1 = QByteArray(300, 'n');
  const GoodsFileContents contents = DecodeGoodsFile(EncodeGoodsRecord(record) + kMilk);
  ASSERT_EQ(contents.records.size(), 2);
  EXPECT_EQ(contents.records[0].name1, QByteArray(255, 'n'));
}

// Every reader: a file cut anywhere inside a record is refused, a file cut between records reads.
struct TruncationCase {
  const char* file;
  QByteArray records;  // whole records
  QVector<int> boundaries;
  std::function<void(const QByteArray&)> read;
};

TEST(ScaleFileTruncationTest, EveryCutInsideARecordIsRefused) {
  const QByteArray ticket = EncodeTicketFile({1, 21, 2, Hex("0503414243 0C 050158 0D")});
  const QByteArray keypad = EncodeKeypadFile({10, 20, 30});
  const QByteArray totals = EncodeTotalsRecord({12345, false, 10000, 5, 500000, 42, 11, 3, 15, 17});
  const std::vector<TruncationCase> cases = {
      {"goods",
       kMilk + kTwoLines,
       {0, 57, 57 + 59},
       [](const QByteArray& b) { DecodeGoodsFile(b); }},
      {"goods PLU 0",
       Hex("00000000 0300 010203") + kMilk,
       {0, 9, 9 + 57},
       [](const QByteArray& b) { DecodeGoodsFile(b); }},
      {"ticket",
       ticket,
       {static_cast<int>(ticket.size())},
       [](const QByteArray& b) { DecodeTicketFile(b); }},
      {"keypad", keypad, {0, 12, 24, 36}, [](const QByteArray& b) { DecodeKeypadFile(b); }},
      {"totals", totals + totals, {0, 28, 56}, [](const QByteArray& b) { DecodeTotalsFile(b); }},
  };
  for (const TruncationCase& c : cases) {
    for (int cut = 0; cut <= c.records.size(); ++cut) {
      const QByteArray bytes = c.records.left(cut);
      if (c.boundaries.contains(cut)) {
        EXPECT_NO_THROW(c.read(bytes)) << c.file << " cut at " << cut;
      } else {
        EXPECT_THROW(c.read(bytes), ScaleFileTruncated) << c.file << " cut at " << cut;
      }
    }
  }
}

TEST(ScaleFileTruncationTest, LengthsPointingPastTheEndAreRefused) {
  EXPECT_THROW(DecodeGoodsFile(Hex("00000000 FFFF 00")), ScaleFileTruncated);
  QByteArray long_name = kMilk;
  long_name[44] = '\xFF';
  EXPECT_THROW(DecodeGoodsFile(long_name), ScaleFileTruncated);
  EXPECT_THROW(DecodeTicketFile(Hex("01000000 10000000 011502 0000000000000000 05FF4142")),
               ScaleFileTruncated);
}

TEST(TicketFileTest, SettingsAreWrittenByteForByte) {
  EXPECT_EQ(EncodeTicketFile({1, 21, 2, QByteArray()}).toHex(' '),
            Hex("01000000 10000000 01 15 02 0000000000000000 00000D").toHex(' '));
  const QByteArray abc = EncodeTicketFile({0, 0, 0, Hex("0503414243 0D")});
  EXPECT_EQ(abc.size(), 19 + 6);
  EXPECT_EQ(static_cast<uint8_t>(abc[4]), 0x13);
  EXPECT_EQ(abc.mid(19).toHex(' '), Hex("05 03 41 42 43 0D").toHex(' '));
}

TEST(TicketFileTest, HeaderIsRebuiltFromItsFirstTwoLines) {
  const QByteArray prefix = Hex("01000000 10000000 01 07 03 0000000000000000");
  struct Case {
    const char* name;
    QByteArray block;
    QByteArray header;
  };
  const Case cases[] = {
      {"empty", Hex("00000D"), QByteArray()},
      {"one line", Hex("0503414243 0D"), Hex("0503414243 0D")},
      {"attributes are always 5", Hex("0003414243 0C 000158 0D"), Hex("0503414243 0C 050158 0D")},
      {"nothing after line 2 is read", Hex("050141 0C 050142 0C 050143 0D"),
       Hex("050141 0C 050142 0C")},
      {"an empty first line before a second is kept", Hex("0000 0C 050142 0D"),
       Hex("0500 0C 050142 0D")},
  };
  for (const Case& c : cases) {
    const TicketFileContents contents = DecodeTicketFile(prefix + c.block);
    EXPECT_EQ(contents.label_size, 1) << c.name;
    EXPECT_EQ(contents.prefix, 7) << c.name;
    EXPECT_EQ(contents.barcode_type, 3) << c.name;
    EXPECT_EQ(contents.header.toHex(' '), c.header.toHex(' ')) << c.name;
  }
}

TEST(KeypadFileTest, LayoutIsWrittenByteForByte) {
  QVector<int32_t> plus(kKeypadKeys, 0);
  plus[0] = 10;
  plus[1] = 20;
  const QByteArray bytes = EncodeKeypadFile(plus);
  ASSERT_EQ(bytes.size(), 396);
  EXPECT_EQ(bytes.left(24).toHex(' '),
            Hex("01000000 0600 0A000000 0000 02000000 0600 14000000 0000").toHex(' '));
  EXPECT_EQ(bytes.mid(384).toHex(' '), Hex("21000000 0600 00000000 0000").toHex(' '));
  EXPECT_EQ(DecodeKeypadFile(bytes), plus);
}

TEST(KeypadFileTest, KeyNumbersInTheFileAreNotUsed) {
  EXPECT_EQ(DecodeKeypadFile(Hex("09000000 0000 05000000 FFFF 09000000 0000 06000000 0000")),
            (QVector<int32_t>{5, 6}));
}

TEST(TotalsFileTest, RecordReadsField) {
  const QByteArray weighed =
      Hex("39300000 0000 00 00 102700000000 0500 20A107000000 2A00 0B030F11");
  for (const bool counted : {false, true}) {
    QByteArray bytes = weighed;
    if (counted) bytes[6] = '\x02';
    const QVector<TotalsFileRecord> records = DecodeTotalsFile(bytes);
    ASSERT_EQ(records.size(), 1);
    const TotalsFileRecord& r = records[0];
    EXPECT_EQ(r.plu, 12345u);
    EXPECT_EQ(r.counted, counted);
    EXPECT_EQ(r.day_quantity, 10000u);
    EXPECT_EQ(r.day_count, 5);
    EXPECT_EQ(r.month_quantity, 500000u);
    EXPECT_EQ(r.month_count, 42);
    EXPECT_EQ(r.year, 11);
    EXPECT_EQ(r.month, 3);
    EXPECT_EQ(r.day, 15);
    EXPECT_EQ(r.hour, 17);
    EXPECT_EQ(EncodeTotalsRecord(r).toHex(' '), bytes.toHex(' '));
  }
}

TEST(PriceTest, PriceTextsBecomeHundredthsWithHalvesToEven) {
  struct Case {
    const char* locale;
    QString text;
    std::optional<int32_t> hundredths;
  };
  const Case cases[] = {
      {"en_US", "12.50", 1250},
      {"en_US", "0.125", 12},
      {"en_US", "0.375", 38},
      {"en_US", "0.135", 14},
      {"en_US", "1.005", 100},  // exactly half: a double would make it 100.4999...
      {"en_US", "1.015", 102},
      {"en_US", "2.0051", 201},
      {"en_US", "1,234.50", 123450},
      {"en_US", " 7 ", 700},
      {"en_US", "", 0},
      {"en_US", "abc", std::nullopt},
      {"en_US", "1.2.3", std::nullopt},
      {"en_US", ".", std::nullopt},
      {"en_US", "99999999999", std::nullopt},
      {"ru_RU", "12,50 ", 1250},
      {"ru_RU", QString::fromUtf8("1\u00a0234,50 "), 123450},
      {"ru_RU", "12.50", std::nullopt},
      {"de_DE", "1.234,5", 123450},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PriceToHundredths(c.text, MoneyFormatFor(QLocale(c.locale))), c.hundredths)
        << c.locale << " " << c.text.toStdString();
  }
}

TEST(PriceTest, HundredthsBecomeTextWithTheDecimalSeparator) {
  const MoneyFormat ru = MoneyFormatFor(QLocale("ru_RU"));
  EXPECT_EQ(HundredthsToPriceText(1250, ru), "12,50");
  EXPECT_EQ(HundredthsToPriceText(5, ru), "0,05");
  EXPECT_EQ(HundredthsToPriceText(-1250, ru), "-12,50");
  EXPECT_EQ(HundredthsToPriceText(0, MoneyFormatFor(QLocale("en_US"))), "0.00");
}

}  // namespace
}  // namespace quibrel
