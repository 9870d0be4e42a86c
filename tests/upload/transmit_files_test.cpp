#include <gtest/gtest.h>

#include <QThread>
#include <atomic>
#include <chrono>
#include <map>

#include "core/quibrel_error.h"
#include "db/goods_base.h"
#include "link/com_unit.h"
#include "link/emulator_process.h"
#include "link/scale_link.h"
#include "link/serial_port_lock.h"
#include "link/upload.h"
#include "scalefiles/keypad_file.h"
#include "scalefiles/scale_files.h"
#include "upload/upload_fixture.h"

namespace quibrel {
namespace {

using testing::EmulatorProcess;
using testing::FrameKinds;
using testing::ParsePut;
using testing::Pattern;
using testing::PtyScale;
using testing::RecordingTcp;

const QByteArray kHelloFrame = testing::FromHex("F855CE0100808000");

class TransmitFilesTest : public testing::UploadTest {
 protected:
  std::vector<VisitOutcome> Transmit(TcpTransport& tcp, quint16 port, const QStringList& scales,
                                     const std::vector<bool>& ticked, ComUnit* com = nullptr) {
    ComUnit& unit = com != nullptr ? *com : SharedComUnit();
    UploadContext context{workspace(), link_, status_, tcp, unit, port};
    return TransmitFiles(context, scales, ticked);
  }

  // The PutBlock frames of one file type, in order.
  static std::vector<testing::PutFrame> PutsOf(const std::vector<QByteArray>& frames, int type) {
    std::vector<testing::PutFrame> puts;
    for (const QByteArray& frame : frames) {
      if (const testing::PutFrame put = ParsePut(frame); put.type == type) puts.push_back(put);
    }
    return puts;
  }

  ScaleLink link_;
};

struct SizeCase {
  int goods_size;
  std::vector<int> goods_block_bytes;  // n of each goods frame
};

class GoodsFileSizeTest : public TransmitFilesTest,
                          public ::testing::WithParamInterface<SizeCase> {};

TEST_P(GoodsFileSizeTest, FilesArriveWholeInBlocksAfterHello) {
  const SizeCase& c = GetParam();
  EmulatorProcess scale;
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  AddScaleRow("Deli", "127.0.0.1", "Keypad 1");
  SetKey(1, 1, 4711);
  const QByteArray goods = Pattern(c.goods_size, 1);
  const QByteArray ticket = Pattern(1500, 2);
  WriteExport(kGoodsFileName, goods);
  WriteExport(kTicketFileName, ticket);

  RecordingTcp tcp(2000);
  EXPECT_EQ(Transmit(tcp, scale.port(), {"127.0.0.1"}, {true}),
            std::vector<VisitOutcome>{VisitOutcome::kCompleted});

  ASSERT_FALSE(tcp.frames.empty());
  EXPECT_EQ(tcp.frames.front(), kHelloFrame);
  QStringList kinds{"hello"};
  for (size_t i = 0; i < c.goods_block_bytes.size(); ++i) kinds << "1";
  kinds << "9"
        << "9"
        << "6";
  EXPECT_EQ(FrameKinds(tcp.frames), kinds);

  const auto puts = PutsOf(tcp.frames, kFileGoods);
  ASSERT_EQ(puts.size(), c.goods_block_bytes.size());
  for (size_t i = 0; i < puts.size(); ++i) {
    EXPECT_EQ(puts[i].count, static_cast<int>(puts.size()));
    EXPECT_EQ(puts[i].number, static_cast<int>(i + 1));
    EXPECT_EQ(puts[i].n, c.goods_block_bytes[i]);
  }
  if (c.goods_size > 0) {
    EXPECT_EQ(scale.ReadFile("products.dat"), goods);
  }
  EXPECT_EQ(scale.ReadFile("Zirk.dat"), ticket);
  EXPECT_EQ(scale.ReadFile("keyboard.dat"), ReadExport(kKeypadFileName));
  EXPECT_EQ(DecodeKeypadFile(scale.ReadFile("keyboard.dat")).value(0), 4711);

  EXPECT_EQ(ShownLines(),
            (QStringList{"Connecting...|progress", "Uploading data (Deli <127.0.0.1>)|progress",
                         "Uploading completed (Deli <127.0.0.1>)|success"}));
  EXPECT_EQ(status_.TotalPause(), 5000);
  EXPECT_FALSE(status_.progress_visible());
}

INSTANTIATE_TEST_SUITE_P(Sizes, GoodsFileSizeTest,
                         ::testing::Values(SizeCase{0, {}}, SizeCase{1024, {1024}},
                                           SizeCase{1025, {1024, 1}},
                                           SizeCase{3000, {1024, 1024, 952}}));

// A scale that refuses the goods file or does not answer its first block gets no more goods
// blocks, but still the ticket and keypad files, and no completion message.
TEST_F(TransmitFilesTest, StoppedGoodsFileStillSendsTicketAndKeypad) {
  for (const char* fault : {"--refuse-goods", "--short-replies"}) {
    SCOPED_TRACE(fault);
    status_.Clear();
    EmulatorProcess scale({fault});
    ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
    const QByteArray ticket = Pattern(1500, 3);
    WriteExport(kGoodsFileName, Pattern(3000, 4));
    WriteExport(kTicketFileName, ticket);

    RecordingTcp tcp(300);
    EXPECT_EQ(Transmit(tcp, scale.port(), {"127.0.0.1"}, {true}),
              std::vector<VisitOutcome>{VisitOutcome::kStopped});
    EXPECT_EQ(FrameKinds(tcp.frames), (QStringList{"hello", "1", "9", "9", "6"}));
    EXPECT_EQ(scale.ReadFile("Zirk.dat"), ticket);
    EXPECT_EQ(scale.ReadFile("keyboard.dat"), ReadExport(kKeypadFileName));
    EXPECT_EQ(ShownLines(),
              (QStringList{"Connecting...|progress", "Uploading data ( <127.0.0.1>)|progress"}));
    EXPECT_FALSE(status_.progress_visible());
  }
}

TEST_F(TransmitFilesTest, UnreachableScaleIsReportedAndTheNextTickedOneVisited) {
  EmulatorProcess scale;
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  AddScaleRow("Front", "127.0.0.2", QVariant());
  AddScaleRow("Back", "127.0.0.1", QVariant());
  WriteExport(kGoodsFileName, Pattern(10, 5));
  WriteExport(kTicketFileName, Pattern(10, 6));

  RecordingTcp tcp(2000);
  // Nothing listens on 127.0.0.2; the middle entry is not ticked.
  EXPECT_EQ(
      Transmit(tcp, scale.port(), {"127.0.0.2", "127.0.0.3", "127.0.0.1"}, {true, false, true}),
      (std::vector<VisitOutcome>{VisitOutcome::kConnectionFailed, VisitOutcome::kNotVisited,
                                 VisitOutcome::kCompleted}));
  EXPECT_EQ(
      ShownLines(),
      (QStringList{"Connecting...|progress", "Connection failed to scales Front(127.0.0.2)|failure",
                   "Connecting...|progress", "Uploading data (Back <127.0.0.1>)|progress",
                   "Uploading completed (Back <127.0.0.1>)|success"}));
  // 1000 to read each message but the last, 1000 after disconnecting, 2000 at the visit's end.
  EXPECT_EQ(status_.TotalPause(), 2000 + 5000);
  EXPECT_EQ(FrameKinds(tcp.frames).count("hello"), 1);
}

TEST_F(TransmitFilesTest, ScaleClosingTheConnectionEndsTheUpload) {
  EmulatorProcess scale({"--close-after", "1"});
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  WriteExport(kGoodsFileName, Pattern(3000, 7));
  WriteExport(kTicketFileName, Pattern(10, 8));
  RecordingTcp tcp(2000);
  EXPECT_THROW(Transmit(tcp, scale.port(), {"127.0.0.1", "127.0.0.1"}, {true, true}), QuibrelError);
  // The second scale was never visited.
  EXPECT_EQ(FrameKinds(tcp.frames).count("hello"), 1);
  EXPECT_EQ(link_.transport(), nullptr);
}

struct KeypadCase {
  const char* name;
  bool has_row;
  QVariant keypad;
  int expected_layout;
};

TEST_F(TransmitFilesTest, EachScaleGetsItsLayoutAndTheKeypadsListStaysPut) {
  const KeypadCase cases[] = {
      {"assigned", true, "Keypad 3", 3},     {"renamed since", true, "Keypad 9", 1},
      {"none assigned", true, QString(), 1}, {"null", true, QVariant(), 1},
      {"no row", false, QVariant(), 1},
  };
  for (int layout = 1; layout <= 5; ++layout) SetKey(layout, 2, layout * 10);
  int row = 0;
  for (const KeypadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QString ip = QString("127.0.0.%1").arg(10 + row++);
    if (c.has_row) AddScaleRow(c.name, ip, c.keypad);
    ASSERT_TRUE(base().KeyPads().Locate("ID", 4));
    {
      ScaleKeypadChoice choice(base(), ip);
      MakeKeypadFileForScales(workspace());
    }
    const QVector<int32_t> plus = DecodeKeypadFile(ReadExport(kKeypadFileName));
    ASSERT_EQ(plus.size(), kKeypadKeys);
    EXPECT_EQ(plus[1], c.expected_layout * 10);
    EXPECT_EQ(base().KeyPads().FieldByName("ID").toInt(), 4);
  }
}

// The whole visit with the keypad choice: the layout named in the scales row goes out, and the
// keypads list is back on its row afterwards.
TEST_F(TransmitFilesTest, VisitSendsTheAssignedLayout) {
  EmulatorProcess scale;
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  AddScaleRow("Deli", "127.0.0.1", "Keypad 2");
  SetKey(2, 5, 222);
  WriteExport(kGoodsFileName, Pattern(10, 11));
  WriteExport(kTicketFileName, Pattern(10, 12));
  ASSERT_TRUE(base().KeyPads().Locate("ID", 5));
  RecordingTcp tcp(2000);
  Transmit(tcp, scale.port(), {"127.0.0.1"}, {true});
  EXPECT_EQ(DecodeKeypadFile(scale.ReadFile("keyboard.dat")).value(4), 222);
  EXPECT_EQ(base().KeyPads().FieldByName("ID").toInt(), 5);
}

// Over a serial line a block without a reply is written four times in all. The goods file gives
// up after the fourth; the ticket and keypad files go on with their next block.
struct SerialCase {
  const char* name;
  int answer_on_attempt;  // 0: never answers a block
  VisitOutcome outcome;
  QStringList kinds;
};

TEST_F(TransmitFilesTest, SerialBlocksAreTriedFourTimes) {
  const QStringList four_each_blocks = [] {
    QStringList kinds{"hello"};
    for (const char* type : {"1", "1", "9", "9", "6"}) kinds << type << type << type << type;
    return kinds;
  }();
  const SerialCase cases[] = {
      {"never answers", 0, VisitOutcome::kStopped,
       QStringList{"hello", "1", "1", "1", "1", "9", "9", "9", "9", "9", "9", "9", "9", "6", "6",
                   "6", "6"}},
      {"answers the fourth attempt", 4, VisitOutcome::kCompleted, four_each_blocks},
  };
  WriteExport(kGoodsFileName, Pattern(2000, 13));
  WriteExport(kTicketFileName, Pattern(1500, 14));
  for (const SerialCase& c : cases) {
    SCOPED_TRACE(c.name);
    status_.Clear();
    std::map<QByteArray, int> seen;
    PtyScale scale([&](const QByteArray& frame) -> QByteArray {
      const int attempt = ++seen[frame];
      if (static_cast<std::uint8_t>(frame[5]) == kCmdHello) return kHelloFrame;
      if (c.answer_on_attempt != 0 && attempt == c.answer_on_attempt) {
        return BuildFrame(kCmdPutBlock, nullptr, 0);
      }
      return {};
    });
    ASSERT_FALSE(scale.path().isEmpty());
    SerialDeviceMap map;
    map.Set(4, scale.path());
    ComUnit com(map);
    com.SetTimeouts({20, 150, 2, 2});
    TcpTransport tcp;
    EXPECT_EQ(Transmit(tcp, 0, {"COM4"}, {true}, &com), std::vector<VisitOutcome>{c.outcome});

    const std::vector<QByteArray> frames = scale.frames();
    EXPECT_EQ(FrameKinds(frames), c.kinds);
    // A repeat is the very frame of the first attempt.
    for (size_t i = 2; i < frames.size(); ++i) {
      if (FrameKinds({frames[i]}) == FrameKinds({frames[i - 1]}) &&
          ParsePut(frames[i]).number == ParsePut(frames[i - 1]).number) {
        EXPECT_EQ(frames[i], frames[i - 1]);
      }
    }
    QStringList lines{"Connecting...|progress", "Uploading data ( <COM4>)|progress"};
    if (c.outcome == VisitOutcome::kCompleted) lines << "Uploading completed ( <COM4>)|success";
    EXPECT_EQ(ShownLines(), lines);
    EXPECT_FALSE(com.IsOpen());
  }
}

TEST_F(TransmitFilesTest, SerialFilesArriveWholeAtTheEmulator) {
  EmulatorProcess scale({}, true);
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  ASSERT_FALSE(scale.serial_path().isEmpty());
  AddScaleRow("Counter", "COM2", "Keypad 1");
  const QByteArray goods = Pattern(2500, 15);
  const QByteArray ticket = Pattern(700, 16);
  WriteExport(kGoodsFileName, goods);
  WriteExport(kTicketFileName, ticket);
  SerialDeviceMap map;
  map.Set(2, scale.serial_path());
  ComUnit com(map);
  TcpTransport tcp;
  EXPECT_EQ(Transmit(tcp, 0, {"COM2"}, {true}, &com),
            std::vector<VisitOutcome>{VisitOutcome::kCompleted});
  EXPECT_EQ(scale.ReadFile("products.dat"), goods);
  EXPECT_EQ(scale.ReadFile("Zirk.dat"), ticket);
  EXPECT_EQ(scale.ReadFile("keyboard.dat"), ReadExport(kKeypadFileName));
  EXPECT_EQ(ShownLines().last(), "Uploading completed (Counter <COM2>)|success");
}

TEST_F(TransmitFilesTest, SerialPortThatDoesNotOpenIsReported) {
  SerialDeviceMap map;
  map.Set(7, folder().Path("no-such-device"));
  ComUnit com(map);
  TcpTransport tcp;
  EXPECT_EQ(Transmit(tcp, 0, {"COM7"}, {true}, &com),
            std::vector<VisitOutcome>{VisitOutcome::kConnectionFailed});
  EXPECT_EQ(ShownLines(),
            (QStringList{"Connecting...|progress", "Connection failed to scales (COM7)|failure"}));
  // The port lock is free again for the discovery probes.
  ASSERT_TRUE(SerialPortLock().try_lock());
  SerialPortLock().unlock();
}

// A discovery probe holds the serial port: the visit writes nothing until the probe lets go.
TEST_F(TransmitFilesTest, SerialVisitWaitsForTheProbe) {
  std::atomic<bool> probe_done{false};
  std::atomic<bool> wrote_during_probe{false};
  PtyScale scale([&](const QByteArray&) -> QByteArray {
    if (!probe_done) wrote_during_probe = true;
    return kHelloFrame;
  });
  WriteExport(kGoodsFileName, Pattern(10, 17));
  WriteExport(kTicketFileName, Pattern(10, 18));
  SerialDeviceMap map;
  map.Set(5, scale.path());
  ComUnit com(map);
  com.SetTimeouts({20, 150, 2, 2});
  std::atomic<bool> locked{false};
  std::thread probe([&] {
    std::lock_guard lock(SerialPortLock());
    locked = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    probe_done = true;
  });
  while (!locked) std::this_thread::yield();
  TcpTransport tcp;
  EXPECT_EQ(Transmit(tcp, 0, {"COM5"}, {true}, &com),
            std::vector<VisitOutcome>{VisitOutcome::kCompleted});
  probe.join();
  EXPECT_FALSE(wrote_during_probe);
  EXPECT_FALSE(scale.frames().empty());
}

}  // namespace
}  // namespace quibrel
