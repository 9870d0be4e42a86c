// Start-up of the window on a large base: from creating the main window to the first turn of the
// event loop, and the resident memory then. Each run of this program measures one cold start
// (the first iteration); run it several times for a spread.
//   start_up_bench [--benchmark_...]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "app/shell.h"
#include "ui/main_window.h"
#include "workspace/workspace.h"

namespace {

constexpr int kGoods = 100000;
constexpr int kTotals = 200000;

long ResidentKilobytes() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  }
  return -1;
}

// A program folder whose default base holds kGoods goods and kTotals totals rows.
QString MakeFolder(QTemporaryDir& dir) {
  const QString root = dir.path();
  for (const char* sub : {"System", "Data", "Export", "Languages"}) QDir(root).mkpath(sub);
  const QString built = QStringLiteral(QUIBREL_BUILT_PROGRAM_DIR);
  QFile::copy(built + "/System/Default.db", root + "/System/Default.db");
  QFile::copy(built + "/System/Default.db", root + "/Data/Base.db");
  QFile(root + "/Data/Base.db").setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  if (QDir(built + "/Languages/ENG").exists()) {
    QDir().mkpath(root + "/Languages/ENG");
    for (const QString& name : QDir(built + "/Languages/ENG").entryList(QDir::Files)) {
      QFile::copy(built + "/Languages/ENG/" + name, root + "/Languages/ENG/" + name);
    }
  }
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
    db.setDatabaseName(root + "/Data/Base.db");
    db.open();
    QSqlQuery q(db);
    db.transaction();
    q.prepare("INSERT INTO Products (PLU, ZirkName1, ZirkName2, Type, Price, ZirkDuringDate) "
              "VALUES (?, ?, ?, 'weight', ?, 5)");
    for (int i = 1; i <= kGoods; ++i) {
      q.addBindValue(i);
      q.addBindValue(QString("Goods item number %1").arg(i));
      q.addBindValue(QString("second line %1").arg(i));
      q.addBindValue(QString::number(i % 1000) + ".50");
      q.exec();
    }
    q.prepare("INSERT INTO Totals (Scales, IP, PLU, Name, Type, DayWeight, DayNum, MonthWeight, "
              "MonthNum, Last, Read) VALUES ('Counter', '10.0.0.5', ?, 'Goods', 'weight', 1.5, 0, "
              "30.25, 0, '2026-12-01 10:00:00', '2026-12-01 20:00:00')");
    for (int i = 1; i <= kTotals; ++i) {
      q.addBindValue(i % kGoods + 1);
      q.exec();
    }
    db.commit();
    db.close();
  }
  QSqlDatabase::removeDatabase("fill");
  return root;
}

void BM_StartWindowOnLargeBase(benchmark::State& state) {
  static QTemporaryDir dir;
  static const QString root = MakeFolder(dir);
  for (auto _ : state) {
    quibrel::Workspace workspace{quibrel::ProgramFolder(root)};
    quibrel::MainWindow window;
    quibrel::Shell shell(workspace, window);
    shell.StartUp();
    window.show();
    QCoreApplication::processEvents();
    state.PauseTiming();
    state.counters["resident_MB"] = ResidentKilobytes() / 1024.0;
    state.counters["goods"] = workspace.base().Goods().RecordCount();
    window.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartWindowOnLargeBase)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
