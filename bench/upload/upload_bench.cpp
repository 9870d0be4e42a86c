// The goods file of 100,000 goods (about 6 MB) sent to the scale emulator as the upload sends it,
// against the bare PutBlock round trip on the same line. Run by hand:
//   build/<dir>/bench/bench_upload
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "core/status_sink.h"
#include "link/block_sender.h"
#include "link/com_unit.h"
#include "link/frame.h"
#include "link/scale_link.h"
#include "link/serial_transport.h"
#include "link/tcp_transport.h"
#include "scalefiles/goods_file.h"

namespace {

using namespace quibrel;

constexpr int kGoods = 100000;
// Over a serial line every reply ends with the line's 100 ms quiet gap: a part of the file is
// enough to see the cost per block.
constexpr int kSerialBlocks = 100;

// A sink that skips the pauses, as the command line does, and draws nothing.
class QuietSink : public StatusSink {
 public:
  void ShowMessageWindow(int, int, const QColor&, const QColor&, Qt::Alignment, bool,
                         QStringList& sList) override {
    sList.clear();
  }
  void HideMessageWindow() override {}
  void ProcessEvents() override { QCoreApplication::processEvents(); }
  void Pause(int) override {}
  void ShowProgress(int) override {}
  void SetProgress(int) override {}
  void HideProgress() override {}
};

struct Emulator {
  explicit Emulator(bool serial) {
    QStringList args{"--dir", dir.path(), "--port", "0"};
    if (serial) args << "--serial";
    process.start(QStringLiteral(QUIBREL_BUILT_PROGRAM_DIR) + "/scale-emulator", args);
    static const QRegularExpression ready(R"(port (\d+))");
    static const QRegularExpression pty(R"(^Serial line: (\S+))");
    while (process.waitForReadyRead(5000)) {
      while (process.canReadLine()) {
        const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
        if (const auto m = pty.match(line); m.hasMatch()) serial_path = m.captured(1);
        if (const auto m = ready.match(line); m.hasMatch()) {
          port = static_cast<quint16>(m.captured(1).toUInt());
          return;
        }
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
  QString serial_path;
};

const QString& GoodsFile(qint64* blocks) {
  static QTemporaryDir dir;
  static const QString path = [] {
    QByteArray bytes;
    for (int plu = 1; plu <= kGoods; ++plu) {
      GoodsFileRecord record;
      record.plu = plu;
      record.price = plu % 10000;
      record.name1 = "Goods item number " + QByteArray::number(plu);
      bytes += EncodeGoodsRecord(record);
    }
    const QString file_path = dir.filePath("products.dat");
    QFile file(file_path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return file_path;
  }();
  *blocks = BlockCount(QFile(path).size());
  return path;
}

void BM_UploadGoodsTcp(benchmark::State& state) {
  qint64 blocks = 0;
  const QString& path = GoodsFile(&blocks);
  Emulator emulator(false);
  TcpTransport tcp;
  if (emulator.port == 0 || !tcp.Connect("127.0.0.1", emulator.port)) {
    state.SkipWithError("scale-emulator did not start");
    return;
  }
  ScaleLink link;
  link.SetTransport(&tcp);
  QuietSink sink;
  for (auto _ : state) {
    if (SendFileBlocks(link, sink, path, GoodsSender()) != GoodsResult::kSent) {
      state.SkipWithError("the goods file was stopped");
    }
  }
  state.counters["blocks"] = static_cast<double>(blocks);
  state.counters["s_per_block"] = benchmark::Counter(
      static_cast<double>(blocks),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UploadGoodsTcp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_BarePutBlockTcp(benchmark::State& state) {
  Emulator emulator(false);
  TcpTransport tcp;
  if (emulator.port == 0 || !tcp.Connect("127.0.0.1", emulator.port)) {
    state.SkipWithError("scale-emulator did not start");
    return;
  }
  ScaleLink link;
  link.SetTransport(&tcp);
  const QByteArray block(kBlockBytes, 'b');
  std::uint16_t number = 0;
  for (auto _ : state) {
    number = static_cast<std::uint16_t>(number % 60000 + 1);
    link.Send(kCmdPutBlock,
              link.PreparePutBlock(kFileGoods, 60000, number, block.constData(), kBlockBytes));
    link.ReadReply();
    if (IsNoReply(link.LocalBuf)) state.SkipWithError("no reply to PutBlock");
  }
}
BENCHMARK(BM_BarePutBlockTcp)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_UploadGoodsPty(benchmark::State& state) {
  Emulator emulator(true);
  if (emulator.serial_path.isEmpty()) {
    state.SkipWithError("scale-emulator did not start");
    return;
  }
  qint64 all_blocks = 0;
  QFile whole(GoodsFile(&all_blocks));
  QTemporaryDir dir;
  const QString path = dir.filePath("part.dat");
  {
    QFile part(path);
    if (!whole.open(QIODevice::ReadOnly) || !part.open(QIODevice::WriteOnly)) return;
    part.write(whole.read(static_cast<qint64>(kSerialBlocks) * kBlockBytes));
  }
  SerialDeviceMap map;
  map.Set(1, emulator.serial_path);
  ComUnit com(map);
  com.ComPort = 1;
  if (!com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud)) {
    state.SkipWithError("the pty did not open");
    return;
  }
  SerialTransport serial(com);
  ScaleLink link;
  link.SetTransport(&serial);
  QuietSink sink;
  for (auto _ : state) {
    if (SendFileBlocks(link, sink, path, GoodsSender()) != GoodsResult::kSent) {
      state.SkipWithError("the goods file was stopped");
    }
  }
  state.counters["s_per_block"] =
      benchmark::Counter(kSerialBlocks, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
}
BENCHMARK(BM_UploadGoodsPty)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_BarePutBlockPty(benchmark::State& state) {
  Emulator emulator(true);
  SerialDeviceMap map;
  map.Set(1, emulator.serial_path);
  ComUnit com(map);
  com.ComPort = 1;
  if (emulator.serial_path.isEmpty() || !com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud)) {
    state.SkipWithError("the pty did not open");
    return;
  }
  SerialTransport serial(com);
  ScaleLink link;
  link.SetTransport(&serial);
  const QByteArray block(kBlockBytes, 'b');
  std::uint16_t number = 0;
  for (auto _ : state) {
    number = static_cast<std::uint16_t>(number % 60000 + 1);
    link.SendToCom(kCmdPutBlock,
                   link.PreparePutBlock(kFileGoods, 60000, number, block.constData(), kBlockBytes));
    link.ReadReply();
    if (IsNoReply(link.LocalBuf)) state.SkipWithError("no reply to PutBlock");
  }
}
BENCHMARK(BM_BarePutBlockPty)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
