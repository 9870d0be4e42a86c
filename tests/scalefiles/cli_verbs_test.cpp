// make-files, import-files and import-totals as a back-office script runs them.
#include <gtest/gtest.h>

#include "hex.h"
#include "scale_files_fixture.h"
#include "support/cli_run.h"
#include "scalefiles/goods_file.h"
#include "scalefiles/keypad_file.h"
#include "scalefiles/totals_file.h"

namespace quibrel {
namespace {

using testing::Hex;
using CliRun = testing::CliResult;

class CliVerbsTest : public testing::ScaleFilesTest {
 protected:
  CliRun Run(const QStringList& arguments) {
    const CliRun run = testing::RunCli(folder_.folder().Root(), arguments);
    EXPECT_NE(run.exit_code, -1) << "quibrel-cli did not finish";
    // The row sets read what the other program left.
    for (RowSet* set : {&base().Goods(), &base().TicketLines(), &base().Keys()}) set->Requery();
    return run;
  }
  int Key(int id) { return base().Keys().Lookup("ID", id, "PLU").toInt(); }
};

TEST_F(CliVerbsTest, MakeFilesWritesTheThreeFilesFromTheNamedLayout) {
  AddGoods(2, "Bread");
  AddGoods(1, "Milk");
  SetKey(201, 2);
  const CliRun run = Run({"make-files", "--keypad", "Keypad 2"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const GoodsFileContents goods = DecodeGoodsFile(ReadExport("products.dat"));
  ASSERT_EQ(goods.records.size(), 2);
  EXPECT_EQ(goods.records[0].plu, 2);  // table order
  EXPECT_EQ(ReadExport("Zirk.dat").size(), 22);
  const QVector<int32_t> keys = DecodeKeypadFile(ReadExport("keyboard.dat"));
  ASSERT_EQ(keys.size(), kKeypadKeys);
  EXPECT_EQ(keys[0], 2);

  EXPECT_EQ(Run({"make-files", "--keypad", "No such layout"}).exit_code, 1);
}

TEST_F(CliVerbsTest, ImportFilesImportsWhatItCanAndFailsForTheRest) {
  AddGoods(1, "Kept");
  WriteExport("products.dat", Hex("D2040000 3300 00"));  // ends inside its first record
  WriteExport("Zirk.dat", Hex("01000000 10000000 00 2A 01 0000000000000000 00000D"));
  QVector<int32_t> plus;
  for (int i = 1; i <= 40; ++i) plus << 100 + i;
  WriteExport("keyboard.dat", EncodeKeypadFile(plus));

  const CliRun run = Run({"import-files"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains("products.dat is damaged")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("the other 7 entries were left out")) << run.err.toStdString();
  ASSERT_EQ(base().Goods().RecordCount(), 1);
  EXPECT_EQ(base().Goods().FieldByName("ZirkName1").toString(), "Kept");
  EXPECT_EQ(base().TicketLines().Lookup("ID", 2, "Data").toString(), "42");
  EXPECT_EQ(Key(101), 101);
  EXPECT_EQ(Key(133), 133);
  EXPECT_EQ(Key(201), 0);
}

TEST_F(CliVerbsTest, ImportFilesFromAScaleUsesItsLayoutAndRefusesACardLayout) {
  RowSet& scales = base().Scales();
  scales.Append();
  scales.SetFieldValue("IP", "10.0.0.5");
  scales.SetFieldValue("Keypad", "Keypad 3");
  ASSERT_TRUE(scales.Post());
  WriteExport("keyboard.dat", EncodeKeypadFile({77}));
  EXPECT_EQ(Run({"import-files", "--source", "10.0.0.5", "--keypad", "Keypad 2"}).exit_code, 2);
  const CliRun run = Run({"import-files", "--source", "10.0.0.5"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(Key(301), 77);
  EXPECT_EQ(Run({"import-files", "--keypad", "Keypad 4"}).exit_code, 0);
  EXPECT_EQ(Key(401), 77);
}

TEST_F(CliVerbsTest, ImportTotalsAddsTheRecordsOnceOrNotAtAll) {
  const QByteArray record = EncodeTotalsRecord({12345, false, 10000, 5, 500000, 42, 11, 3, 15, 17});
  QByteArray month13 = record;
  month13[25] = 13;
  WriteExport("Totals.dat", record + month13);
  const CliRun refused = Run({"import-totals"});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_TRUE(refused.err.contains("does not exist")) << refused.err.toStdString();
  EXPECT_TRUE(base().Totals().IsEmpty());

  WriteExport("Totals.dat", record + record);
  const CliRun run = Run({"import-totals", "--source", "10.0.0.8"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QVector<TotalsRecord> rows = base().Totals().ReadAll();
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0].ip, "10.0.0.8");
}

}  // namespace
}  // namespace quibrel
