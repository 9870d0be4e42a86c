// A full-block PutBlock and the GetBlock of the same block, each with its reply, against the
// scale emulator over loopback. Run by hand: build/<dir>/bench/bench_link
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "link/frame.h"
#include "link/scale_link.h"
#include "link/tcp_transport.h"

namespace {

using namespace quibrel;

struct Emulator {
  Emulator() {
    process.start(QStringLiteral(QUIBREL_BUILT_PROGRAM_DIR) + "/scale-emulator",
                  {"--dir", dir.path(), "--port", "0"});
    static const QRegularExpression ready(R"(port (\d+))");
    while (process.waitForReadyRead(5000)) {
      const auto match = ready.match(QString::fromLocal8Bit(process.readLine()));
      if (match.hasMatch()) {
        port = static_cast<quint16>(match.captured(1).toUInt());
        break;
      }
    }
  }
  ~Emulator() {
    process.kill();
    process.waitForFinished();
  }
  QTemporaryDir dir;
  QProcess process;
  quint16 port = 0;
};

void BM_FullBlockPutAndGet(benchmark::State& state) {
  Emulator emulator;
  TcpTransport tcp;
  if (emulator.port == 0 || !tcp.Connect("127.0.0.1", emulator.port)) {
    state.SkipWithError("scale-emulator did not start");
    return;
  }
  ScaleLink link;
  link.SetTransport(&tcp);
  QByteArray block(kBlockBytes, 'b');
  for (auto _ : state) {
    link.Send(kCmdPutBlock, link.PreparePutBlock(kFileTicket, 1, 1, block.constData(), 1024));
    link.ReadReply();
    if (IsNoReply(link.LocalBuf)) state.SkipWithError("no reply to PutBlock");
    link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileTicket, 1));
    link.ReadReply();
    if (ParseBlockReply(link.LocalBuf).byte_count != kBlockBytes) {
      state.SkipWithError("short block");
    }
  }
}
void BM_Hello(benchmark::State& state) {
  Emulator emulator;
  TcpTransport tcp;
  if (emulator.port == 0 || !tcp.Connect("127.0.0.1", emulator.port)) {
    state.SkipWithError("scale-emulator did not start");
    return;
  }
  ScaleLink link;
  link.SetTransport(&tcp);
  for (auto _ : state) {
    link.Send(kCmdHello, 0);
    link.ReadReply();
  }
}
BENCHMARK(BM_Hello)->UseRealTime();

void BM_GetOnly(benchmark::State& state) {
  Emulator emulator;
  TcpTransport tcp;
  if (emulator.port == 0 || !tcp.Connect("127.0.0.1", emulator.port)) return;
  ScaleLink link;
  link.SetTransport(&tcp);
  QByteArray block(kBlockBytes, 'b');
  link.Send(kCmdPutBlock, link.PreparePutBlock(kFileTicket, 1, 1, block.constData(), 1024));
  link.ReadReply();
  for (auto _ : state) {
    link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileTicket, 1));
    link.ReadReply();
  }
}
BENCHMARK(BM_GetOnly)->UseRealTime();

BENCHMARK(BM_FullBlockPutAndGet)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
