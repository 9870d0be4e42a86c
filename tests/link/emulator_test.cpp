#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include "core/quibrel_error.h"
#include "link/com_unit.h"
#include "link/emulator_process.h"
#include "link/frame.h"
#include "link/scale_link.h"
#include "link/serial_transport.h"
#include "link/tcp_transport.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

using testing::EmulatorProcess;

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) & 0xFF);
  return bytes;
}

// One visit's worth of link and TCP client against the emulator.
struct Visit {
  explicit Visit(const EmulatorProcess& scale, int reply_timeout_ms = 2000)
      : tcp(reply_timeout_ms) {
    connected = tcp.Connect("127.0.0.1", scale.port());
    link.SetTransport(&tcp);
  }
  // Sends a whole file as the upload does; returns the reply code of each block (-1: no reply).
  std::vector<int> Put(std::uint8_t type, const QByteArray& file) {
    std::vector<int> codes;
    const int count = static_cast<int>((file.size() + kBlockBytes - 1) / kBlockBytes);
    for (int number = 1; number <= count; ++number) {
      const QByteArray block = file.mid((number - 1) * kBlockBytes, kBlockBytes);
      link.Send(kCmdPutBlock, link.PreparePutBlock(type, static_cast<std::uint16_t>(count),
                                                   static_cast<std::uint16_t>(number),
                                                   block.constData(),
                                                   static_cast<int>(block.size())));
      link.ReadReply();
      codes.push_back(IsNoReply(link.LocalBuf) ? -1 : ReplyCode(link.LocalBuf));
    }
    return codes;
  }
  // Fetches a file as the download does; nullopt when the scale says it is absent.
  std::optional<QByteArray> Get(std::uint8_t type) {
    QByteArray file;
    for (int number = 1;; ++number) {
      link.Send(kCmdGetBlock, link.PrepareGetBlock(type, static_cast<std::uint16_t>(number)));
      link.ReadPatientReply();
      if (IsNoReply(link.LocalBuf)) return file;
      if (ReplyCode(link.LocalBuf) == kReplyAbsent) return std::nullopt;
      const BlockReply block = ParseBlockReply(link.LocalBuf);
      file += block.bytes;
      if (number == block.block_count) return file;
    }
  }

  TcpTransport tcp;
  ScaleLink link;
  bool connected = false;
};

TEST(ScaleEmulatorTest, StoresAndServesFilesByType) {
  EmulatorProcess scale;
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  Visit visit(scale);
  ASSERT_TRUE(visit.connected);

  visit.link.Send(kCmdHello, 0);
  visit.link.ReadReply();
  EXPECT_FALSE(IsNoReply(visit.link.LocalBuf));

  struct Case {
    std::uint8_t type;
    const char* name;
    QByteArray file;
  };
  const Case cases[] = {
      {kFileGoods, "products.dat", Pattern(1025, 1)},  // 1024 + 1
      {kFileTicket, "Zirk.dat", Pattern(1024, 2)},     // exactly one block
      {kFileKeypad, "keyboard.dat", Pattern(3000, 3)},
  };
  for (const Case& c : cases) {
    const std::vector<int> codes = visit.Put(c.type, c.file);
    EXPECT_EQ(codes, std::vector<int>(codes.size(), kCmdPutBlock)) << c.name;
    EXPECT_EQ(scale.ReadFile(c.name), c.file) << c.name;
    EXPECT_EQ(visit.Get(c.type), c.file) << c.name;
  }
  // A later, shorter upload replaces the file whole.
  visit.Put(kFileKeypad, "short");
  EXPECT_EQ(scale.ReadFile("keyboard.dat"), "short");
  // Nothing of a totals file yet: absent, 0x46 at offset 5.
  EXPECT_EQ(visit.Get(kFileTotals), std::nullopt);
  EXPECT_EQ(ReplyCode(visit.link.LocalBuf), kReplyAbsent);
}

TEST(ScaleEmulatorTest, ServesFilesPutInItsFolderAnySpelling) {
  EmulatorProcess scale;
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  scale.WriteFile("Products.dat", Pattern(10, 4));
  scale.WriteFile("Totals.dat", QByteArray());
  Visit visit(scale);
  EXPECT_EQ(visit.Get(kFileGoods), Pattern(10, 4));
  // An empty file is one block of no bytes, so the reader's loop ends.
  visit.link.Send(kCmdGetBlock, visit.link.PrepareGetBlock(kFileTotals, 1));
  visit.link.ReadReply();
  const BlockReply block = ParseBlockReply(visit.link.LocalBuf);
  EXPECT_EQ(block.block_count, 1);
  EXPECT_EQ(block.byte_count, 0);
}

TEST(ScaleEmulatorTest, FaultOptions) {
  const QByteArray two_blocks = Pattern(1500, 5);
  {
    EmulatorProcess scale({"--refuse-goods"});
    ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
    Visit visit(scale);
    EXPECT_EQ(visit.Put(kFileGoods, two_blocks), (std::vector<int>{kReplyRefused, kReplyRefused}));
    EXPECT_FALSE(QFile::exists(scale.FilePath("products.dat")));
    EXPECT_EQ(visit.Put(kFileTicket, two_blocks), (std::vector<int>{kCmdPutBlock, kCmdPutBlock}));
  }
  for (const char* option : {"--short-replies", "--silent"}) {
    EmulatorProcess scale({option});
    ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
    Visit visit(scale, 300);
    visit.link.Send(kCmdHello, 0);
    visit.link.ReadReply();
    EXPECT_TRUE(IsNoReply(visit.link.LocalBuf)) << option;
    EXPECT_EQ(visit.Put(kFileGoods, two_blocks), (std::vector<int>{-1, -1})) << option;
  }
  {
    EmulatorProcess scale({"--close-after", "1"});
    ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
    Visit visit(scale);
    EXPECT_THROW(visit.Put(kFileTicket, two_blocks), QuibrelError);
  }
  {
    EmulatorProcess scale({"--lie-length"});
    ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
    scale.WriteFile("Zirk.dat", Pattern(100, 6));
    Visit visit(scale);
    EXPECT_THROW(visit.Get(kFileTicket), QuibrelError);
  }
  {
    EmulatorProcess scale({"--delay", "150"});
    ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
    Visit visit(scale, 2000);
    EXPECT_EQ(visit.Put(kFileTicket, two_blocks), (std::vector<int>{kCmdPutBlock, kCmdPutBlock}));
  }
}

TEST(ScaleEmulatorTest, AnswersDiscoveryWithItsFamily) {
  EmulatorProcess scale({"--family", "2"});
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  QUdpSocket udp;
  ASSERT_TRUE(udp.bind(QHostAddress::LocalHost, 0));
  // Something that is not a Discover request gets nothing; the request gets 34 bytes.
  udp.writeDatagram(QByteArray::fromHex("f855ce0100808000"), QHostAddress::LocalHost,
                    scale.port());
  udp.writeDatagram(DiscoverFrame(), QHostAddress::LocalHost, scale.port());
  ASSERT_TRUE(udp.waitForReadyRead(3000));
  const QNetworkDatagram reply = udp.receiveDatagram();
  ASSERT_EQ(reply.data().size(), 34);
  EXPECT_EQ(reply.data()[16], 2);
  EXPECT_FALSE(udp.waitForReadyRead(300));
}

TEST(ScaleEmulatorTest, AnswersOnItsSerialLine) {
  EmulatorProcess scale({}, /*serial=*/true);
  ASSERT_TRUE(scale.ok()) << scale.failure().toStdString();
  ASSERT_FALSE(scale.serial_path().isEmpty());
  SerialDeviceMap map;
  map.Set(4, scale.serial_path());
  ComUnit com(map);
  CommTimeouts timeouts;
  timeouts.ReadTotalTimeoutConstant = 1500;
  com.SetTimeouts(timeouts);
  com.ComPort = 4;
  ASSERT_TRUE(com.OpenComm(kCommQueueSize, kCommQueueSize, kCommBaud));
  SerialTransport serial(com);
  ScaleLink link;
  link.SetTransport(&serial);

  // The discovery probe writes the bare frame and reads once.
  const QByteArray discover = DiscoverFrame();
  com.SendCommBuff(reinterpret_cast<const std::uint8_t*>(discover.constData()), 8);
  QByteArray probe(kCommReadBlock, '\0');
  EXPECT_EQ(com.ReadCommBuff(reinterpret_cast<std::uint8_t*>(probe.data())), 34);

  const QByteArray file = Pattern(1024, 7);
  link.SendToCom(kCmdPutBlock, link.PreparePutBlock(kFileKeypad, 1, 1, file.constData(), 1024));
  link.ReadReply();
  ASSERT_FALSE(IsNoReply(link.LocalBuf));
  EXPECT_EQ(ReplyCode(link.LocalBuf), kCmdPutBlock);
  // A repeated attempt of the same block does no harm.
  link.ResendLast();
  link.ReadReply();
  EXPECT_EQ(scale.ReadFile("keyboard.dat"), file);

  link.SendToCom(kCmdGetBlock, link.PrepareGetBlock(kFileKeypad, 1));
  link.ReadPatientReply();
  EXPECT_EQ(ParseBlockReply(link.LocalBuf).bytes, file);
  com.CloseComm();
}

TEST(ScaleEmulatorTest, MakesPlausibleTotals) {
  // Two goods records (PLU 1234 and 77) in the goods file layout: PLU, length, then the rest.
  QByteArray goods;
  for (std::uint32_t plu : {1234u, 77u}) {
    QByteArray record(6 + 47, '\0');
    for (int i = 0; i < 4; ++i) record[i] = static_cast<char>((plu >> (8 * i)) & 0xFF);
    record[4] = 47;
    goods += record;
  }
  QTemporaryDir dir;
  {
    QFile file(dir.filePath("products.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(goods);
  }
  QProcess maker;
  maker.start(testing::BuiltExecutable("scale-emulator"),
              {"--dir", dir.path(), "--port", "0", "--totals", "5"});
  ASSERT_TRUE(maker.waitForReadyRead(5000));
  maker.kill();
  maker.waitForFinished();

  QFile totals(dir.filePath("Totals.dat"));
  ASSERT_TRUE(totals.open(QIODevice::ReadOnly));
  const QByteArray bytes = totals.readAll();
  ASSERT_EQ(bytes.size(), 5 * 28);
  for (int r = 0; r < 5; ++r) {
    const QByteArray record = bytes.mid(r * 28, 28);
    const std::uint32_t plu = static_cast<std::uint8_t>(record[0]) |
                              (static_cast<std::uint8_t>(record[1]) << 8);
    EXPECT_TRUE(plu == 1234 || plu == 77) << "record " << r;
    const QDate last(2000 + record[24], record[25], record[26]);
    EXPECT_TRUE(last.isValid()) << "record " << r;
    EXPECT_LE(last, QDate::currentDate());
    EXPECT_LT(static_cast<int>(record[27]), 24);
    EXPECT_LE(GetU16(record, 14), GetU16(record, 22)) << "day sales within the month's";
  }
}

}  // namespace
}  // namespace quibrel
