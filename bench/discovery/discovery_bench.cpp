// Run inside a private network namespace as root: /work/shared/tools/isolated bench_discovery.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "discovery/scales_thread.h"
#include "net_lab.h"

namespace quibrel {
namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The search held (NeedToSearch false) for 60 s: the process CPU time is the thread's waiting,
// since the benchmark thread itself only sleeps.
void BM_HeldSearchCpu(benchmark::State& state) {
  for (auto _ : state) {
    TScalesThread search;
    search.SetNeedToSearch(false);
    ScalesSearchOptions options;
    options.interfaces = [] { return QList<InterfaceRecord>(); };
    options.local_ip = [] { return QString("127.0.0.1"); };
    search.StartScalesSearch(options);
    const double cpu_before = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(60));
    const double cpu = ProcessCpuSeconds() - cpu_before;
    search.StopScalesSearch();
    state.counters["cpu_ms_per_60s"] = cpu * 1000.0;
    state.SetIterationTime(60.0);
  }
}
BENCHMARK(BM_HeldSearchCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// One cycle with N bridges, one scale on each, the default 2000 ms window.
void BM_CycleLength(benchmark::State& state) {
  const int bridges = static_cast<int>(state.range(0));
  testing::NetLab lab;
  if (!lab.unavailable().isEmpty()) {
    state.SkipWithError(lab.unavailable().toStdString().c_str());
    return;
  }
  std::vector<std::unique_ptr<testing::FakeScale>> scales;
  for (int b = 0; b < bridges; ++b) {
    const QString bridge = QString("qblbb%1").arg(b);
    lab.AddBridge(bridge, QString("10.66.%1.1/24").arg(b));
    const QString ns = lab.AddScaleNamespace();
    lab.PlugIntoBridge(ns, bridge, QString("10.66.%1.10/24").arg(b));
    scales.push_back(std::make_unique<testing::FakeScale>(lab.NamespacePath(ns), 34, 0));
  }
  TScalesThread search;
  ScalesSearchOptions options;
  options.local_ip = [] { return QString("10.66.0.1"); };
  search.StartScalesSearch(options);
  int done = search.WaitForCycles(1, std::chrono::seconds(60));
  int found = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    done = search.WaitForCycles(done + 1, std::chrono::seconds(60));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    found = search.Scales().Scales.size();
  }
  search.StopScalesSearch();
  state.counters["scales_found"] = found;
}
BENCHMARK(BM_CycleLength)->Arg(1)->Arg(2)->Arg(3)->Iterations(3)->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quibrel

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
