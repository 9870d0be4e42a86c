// The goods page on a base of 100,000 items: New, Copy, a search keystroke, a title-click sort
// and storing one item (duplicate count included), each as the operator triggers it.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "db/goods_base.h"
#include "db/money_format.h"
#include "ui/goods_page.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

constexpr int kGoods = 100000;

class LargeBase {
 public:
  LargeBase() {
    QLocale::setDefault(QLocale("ru_RU"));
    FillFormatSettings();
    QDir(dir_.path()).mkpath("System");
    QDir(dir_.path()).mkpath("Data");
    QFile::copy(QStringLiteral(QUIBREL_BUILT_PROGRAM_DIR) + "/System/Default.db",
                dir_.path() + "/System/Default.db");
    workspace_ = std::make_unique<Workspace>(ProgramFolder(dir_.path()));
    workspace_->OpenSettingsAndBase();
    GoodsBase& base = workspace_->base();
    {
      GoodsBase::Transaction transaction(base, {&base.Goods()});
      QSqlQuery query(base.connection());
      query.prepare(
          "INSERT INTO Products (PLU, ZirkName1, ZirkName2, Type, Price, ZirkDuringDate) "
          "VALUES (?, ?, ?, ?, ?, ?)");
      const char* words[] = {"Apples", "Pears", "Bread", "Milk", "Cheese", "Plums", "Rice"};
      for (int i = 0; i < kGoods; ++i) {
        query.addBindValue(i + 1);
        query.addBindValue(QString("%1 %2").arg(words[i % 7]).arg(i));
        query.addBindValue(QString("line %1").arg(i % 97));
        query.addBindValue(i % 3 ? "weight" : "count");
        query.addBindValue(QString("%1,%2 ").arg(i % 9000).arg(i % 100, 2, 10, QChar('0')));
        query.addBindValue(i % 60);
        query.exec();
      }
      transaction.Commit();
    }
    base.Goods().Requery();
    workspace_->flRefresh = true;
    page_.Attach(*workspace_);
    page_.FillSearchChooser();
    page_.SetErrorBox([](const QString&, const QString&) {});
    page_.SetQuestionBox([](const QString&, const QString&) { return true; });
    page_.resize(894, 540);
    page_.show();
    QApplication::processEvents();
  }

  GoodsPage& page() { return page_; }
  RowSet& goods() { return workspace_->base().Goods(); }

 private:
  QTemporaryDir dir_;
  std::unique_ptr<Workspace> workspace_;
  GoodsPage page_;
};

LargeBase& Base() {
  static LargeBase base;
  return base;
}

void DropLast(benchmark::State& state) {
  state.PauseTiming();
  Base().goods().Last();
  Base().goods().Delete();
  state.ResumeTiming();
}

void BM_New(benchmark::State& state) {
  for (auto _ : state) {
    Base().page().AddProductButtonClick();
    QApplication::processEvents();
    DropLast(state);
  }
}
BENCHMARK(BM_New)->Unit(benchmark::kMillisecond);

void BM_CopyWhileSearching(benchmark::State& state) {
  Base().page().SearchCombo()->setCurrentIndex(1);
  Base().page().SearchEdit()->setText("Apples 1");
  for (auto _ : state) {
    Base().page().CopyProductButtonClick();
    QApplication::processEvents();
    DropLast(state);
  }
  Base().page().SearchEdit()->clear();
}
BENCHMARK(BM_CopyWhileSearching)->Unit(benchmark::kMillisecond);

void BM_SearchKeystroke(benchmark::State& state) {
  Base().page().SearchCombo()->setCurrentIndex(1);
  bool longer = false;
  for (auto _ : state) {
    Base().page().SearchEdit()->setText(longer ? "app" : "ap");
    QApplication::processEvents();
    longer = !longer;
  }
  Base().page().SearchEdit()->clear();
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

void BM_TitleClickSort(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Base().page().ProductsGridTitleClick(column);  // ascending
    QApplication::processEvents();
    state.PauseTiming();
    Base().goods().ClearSort();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TitleClickSort)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_StoreOneItem(benchmark::State& state) {
  RowSet& goods = Base().goods();
  goods.First();
  bool odd = false;
  for (auto _ : state) {
    goods.SetFieldValue("Price", odd ? "12.5" : "13.5");
    goods.Post();
    odd = !odd;
  }
}
BENCHMARK(BM_StoreOneItem)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quibrel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  quibrel::Base();  // the base is made before any figure is taken
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
