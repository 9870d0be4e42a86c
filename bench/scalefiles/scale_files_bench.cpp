// The scale files at shop size: 100,000 goods written and read back with the goods check, and
// 100,000 totals records read; beside them the sqlite3 shell importing the same totals rows from
// CSV into the same table, as a floor for what the database itself costs.
//   scalefiles_bench [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>

#include "db/money_format.h"
#include "i18n/scale_charset.h"
#include "scalefiles/goods_file.h"
#include "scalefiles/scale_files.h"
#include "scalefiles/totals_file.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

constexpr int kGoods = 100000;
constexpr int kTotals = 100000;

// A program folder of its own with a fresh base and the workspace open on it.
struct Folder {
  Folder() {
    const QString root = dir.path();
    for (const char* sub : {"System", "Data", "Export", "Languages"}) QDir(root).mkpath(sub);
    QFile::copy(QStringLiteral(QUIBREL_BUILT_PROGRAM_DIR) + "/System/Default.db",
                root + "/System/Default.db");
    workspace = std::make_unique<Workspace>(ProgramFolder(root));
    workspace->OpenSettingsAndBase();
    workspace->flRefresh = true;
  }
  QString Export(const QString& name) const { return dir.path() + "/Export/" + name; }
  void Write(const QString& name, const QByteArray& bytes) const {
    QFile file(Export(name));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
  }

  QTemporaryDir dir;
  std::unique_ptr<Workspace> workspace;
};

QByteArray GoodsFile() {
  QByteArray bytes;
  for (int plu = 1; plu <= kGoods; ++plu) {
    bytes += EncodeGoodsRecord({plu, plu % 3 == 0, 100 + plu % 50000, (plu % 30) * 1440ull,
                                QByteArray("Goods item ") + QByteArray::number(plu),
                                plu % 2 ? QByteArray("second line") : QByteArray()});
  }
  return bytes;
}

TotalsFileRecord Total(int i) {
  return {static_cast<uint32_t>(i % kGoods + 1),
          i % 3 == 0,
          1234u + i,
          5,
          500000u + i,
          42,
          26,
          static_cast<uint8_t>(i % 12 + 1),
          static_cast<uint8_t>(i % 28 + 1),
          static_cast<uint8_t>(i % 24)};
}

void BM_MakeBaseFile(benchmark::State& state) {
  Folder folder;
  folder.Write(kGoodsFileName, GoodsFile());
  ProductsToBase(*folder.workspace);
  for (auto _ : state) MakeBaseFile(*folder.workspace);
  state.counters["goods"] = folder.workspace->base().Goods().RecordCount();
}
BENCHMARK(BM_MakeBaseFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ProductsToBase(benchmark::State& state) {
  Folder folder;
  folder.workspace->flRefresh = state.range(0) != 0;
  folder.Write(kGoodsFileName, GoodsFile());
  GoodsImportReport report;
  for (auto _ : state) report = ProductsToBase(*folder.workspace);
  state.counters["stored"] = report.stored;
  state.counters["refused"] = report.refused_plus.size();
}
// With the goods check (1), as every import runs while the window is up, and without it (0).
BENCHMARK(BM_ProductsToBase)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TotalsToBase(benchmark::State& state) {
  Folder folder;
  QByteArray bytes;
  for (int i = 0; i < kTotals; ++i) bytes += EncodeTotalsRecord(Total(i));
  folder.Write(kTotalsFileName, bytes);
  for (auto _ : state) {
    state.PauseTiming();
    folder.workspace->base().Totals().DeleteAll();
    state.ResumeTiming();
    TotalsToBase(*folder.workspace, kCardSource);
  }
  state.counters["rows"] = static_cast<double>(folder.workspace->base().Totals().Count());
}
BENCHMARK(BM_TotalsToBase)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same rows as TotalsToBase stores, written as CSV and imported by the sqlite3 shell into
// the Totals table of a fresh base; the time includes starting the shell.
void BM_Sqlite3ShellCsvImport(benchmark::State& state) {
  Folder folder;
  const QString csv_path = folder.Export("totals.csv");
  {
    QFile csv(csv_path);
    csv.open(QIODevice::WriteOnly);
    for (int i = 0; i < kTotals; ++i) {
      const TotalsFileRecord r = Total(i);
      const double factor = r.counted ? 1.0 : 1000.0;
      csv.write(QStringLiteral("%1,miniSD,miniSD,%2,,%3,%4,%5,%6,%7,%8,2026-12-11 13:00:00\n")
                    .arg(i + 1)
                    .arg(r.plu)
                    .arg(r.counted ? "count" : "weight")
                    .arg(r.day_quantity / factor)
                    .arg(r.day_count)
                    .arg(r.month_quantity / factor)
                    .arg(r.month_count)
                    .arg(QDateTime(QDate(2000 + r.year, r.month, r.day), QTime(r.hour, 0))
                             .toString("yyyy-MM-dd HH:mm:ss"))
                    .toUtf8());
    }
  }
  const QString base_path = folder.workspace->base().path();
  folder.workspace->base().Close();
  for (auto _ : state) {
    QProcess clear;
    clear.start("sqlite3", {base_path, "DELETE FROM Totals"});
    clear.waitForFinished(-1);
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start("sqlite3", {base_path, ".mode csv", ".import " + csv_path + " Totals"});
    shell.waitForFinished(-1);
    state.SetIterationTime(timer.nsecsElapsed() / 1e9);
    if (shell.exitCode() != 0) state.SkipWithError(shell.readAllStandardError().constData());
  }
  QProcess count;
  count.start("sqlite3", {base_path, "SELECT count(*) FROM Totals"});
  count.waitForFinished(-1);
  state.counters["rows"] = count.readAllStandardOutput().trimmed().toDouble();
}
BENCHMARK(BM_Sqlite3ShellCsvImport)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
}  // namespace quibrel

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale("en_US"));
  quibrel::FillFormatSettings();
  quibrel::InitLanguage(1049);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
