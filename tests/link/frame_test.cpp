#include "link/frame.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "core/quibrel_error.h"
#include "link/scale_link.h"

namespace quibrel {
namespace {

// The checksum written the plain way: the message (with no appended zero bits) divided by
// x^16 + x^12 + x^5 + 1, one bit at a time, starting from the given register.
std::uint16_t BitwiseRemainder(std::uint16_t crc, const QByteArray& data) {
  std::uint32_t reg = crc;
  for (char c : data) {
    for (int bit = 7; bit >= 0; --bit) {
      reg = (reg << 1) | ((static_cast<std::uint8_t>(c) >> bit) & 1);
      if (reg & 0x10000) reg ^= 0x11021;
    }
  }
  return static_cast<std::uint16_t>(reg);
}

std::uint16_t Crc(const QByteArray& data) {
  return GetCRC16(0, reinterpret_cast<const std::uint8_t*>(data.constData()),
                  static_cast<std::uint16_t>(data.size()));
}

TEST(GetCRC16Test, ReferenceValues) {
  struct Case {
    QByteArray data;
    std::uint16_t crc;
  };
  const Case cases[] = {
      {"abc", 0x1EE4},
      {"123456789", 0xBEEF},
      {QByteArray::fromHex("80"), 0x0080},
      {QByteArray::fromHex("00"), 0x0000},
      {QByteArray::fromHex("8501000001 00"), 0x574D},
      {QByteArray::fromHex("8501000002 00"), 0x544D},
      {QByteArray::fromHex("8506000001 00"), 0xD2DD},
      {QByteArray::fromHex("8507000001 00"), 0xE5ED},
      {QByteArray::fromHex("8509000001 00"), 0xFEEC},
  };
  for (const Case& c : cases) EXPECT_EQ(Crc(c.data), c.crc) << c.data.toHex().toStdString();
}

TEST(GetCRC16Test, MatchesBitwiseReferenceOnRandomInputs) {
  QRandomGenerator random(20261211);
  for (int round = 0; round < 500; ++round) {
    QByteArray data(1 + random.bounded(1100), '\0');
    for (char& c : data) c = static_cast<char>(random.bounded(256));
    const auto start = static_cast<std::uint16_t>(random.bounded(65536));
    ASSERT_EQ(GetCRC16(start, reinterpret_cast<const std::uint8_t*>(data.constData()),
                       static_cast<std::uint16_t>(data.size())),
              BitwiseRemainder(start, data))
        << "round " << round;
  }
}

// A transport that keeps what was written and hands out canned replies.
class RecordingTransport : public Transport {
 public:
  explicit RecordingTransport(bool serial = false) : serial_(serial) {}
  bool IsSerial() const override { return serial_; }
  void Write(const QByteArray& frame) override { written.push_back(frame); }
  QByteArray ReadReply() override { return reply; }
  std::vector<QByteArray> written;
  QByteArray reply;

 private:
  bool serial_;
};

TEST(ScaleLinkTest, WritesTheWorkedFrames) {
  RecordingTransport tcp;
  ScaleLink link;
  link.SetTransport(&tcp);

  link.Send(kCmdHello, 0);
  link.Send(kCmdDiscover, 0);
  link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileGoods, 1));
  link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileGoods, 2));
  link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileKeypad, 1));
  link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileTotals, 1));
  link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileTicket, 1));
  link.Send(kCmdPutBlock, link.PreparePutBlock(kFileGoods, 1, 1, "abc", 3));

  const char* expected[] = {
      "f855ce0100808000",           "f855ce0100000000",
      "f855ce060085010000010 04d57", "f855ce060085010000020 04d54",
      "f855ce0600850600000100ddd2", "f855ce0600850700000100ede5",
      "f855ce0600850900000100ecfe", "f855ce0b008201010001000300616263826b",
  };
  ASSERT_EQ(tcp.written.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(tcp.written[i].toHex(), QByteArray(expected[i]).replace(' ', ""))
        << "frame " << i;
  }
  EXPECT_EQ(DiscoverFrame(), QByteArray::fromHex("f855ce0100000000"));
  // The frame stays in LocalBuf until a reply read replaces it.
  EXPECT_EQ(link.LocalBuf, tcp.written.back());
}

TEST(ScaleLinkTest, FullBlockFrameIs1039BytesWithLength0804) {
  RecordingTransport tcp;
  ScaleLink link;
  link.SetTransport(&tcp);
  QByteArray block(kBlockBytes, '\0');
  for (int i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7);
  link.Send(kCmdPutBlock, link.PreparePutBlock(kFileTicket, 3, 2, block.constData(), 1024));

  const QByteArray& frame = tcp.written.at(0);
  ASSERT_EQ(frame.size(), 1039);
  EXPECT_EQ(frame.left(13).toHex(), "f855ce0804820903000200" "0004");
  EXPECT_EQ(frame.mid(13, 1024), block);
  const std::uint16_t crc = BitwiseRemainder(0, frame.mid(5, 1032));
  EXPECT_EQ(GetU16(frame, 1037), crc);
}

TEST(ScaleLinkTest, RefusesImpossibleRequestsBeforeWriting) {
  RecordingTransport tcp;
  ScaleLink link;
  link.SetTransport(&tcp);
  EXPECT_THROW(link.Send(256, 0), QuibrelError);
  EXPECT_THROW(link.Send(kCmdPutBlock, kTransmitBufferSize), QuibrelError);
  EXPECT_THROW(BuildFrame(kCmdPutBlock, nullptr, 65535), QuibrelError);
  EXPECT_TRUE(tcp.written.empty());

  // Each visit writes to its own kind of line only.
  EXPECT_THROW(link.SendToCom(kCmdHello, 0), QuibrelError);
  RecordingTransport serial(true);
  link.SetTransport(&serial);
  EXPECT_THROW(link.Send(kCmdHello, 0), QuibrelError);
  link.SendToCom(kCmdHello, 0);
  link.ResendLast();
  ASSERT_EQ(serial.written.size(), 2u);
  EXPECT_EQ(serial.written[1], serial.written[0]);
}

TEST(ReplyRulesTest, ExaminesOnlyTheCodeAndBlockFields) {
  struct Case {
    const char* hex;
    bool no_reply;
    int code;  // -1: not examined
  };
  const Case cases[] = {
      {"", true, -1},
      {"f855ce0100", true, -1},            // five bytes: no reply
      {"0000000000 46", false, 0x46},      // six bytes: the file is absent
      {"ffffffffff 43 ffffffff", false, 0x43},  // refusal with garbage around it
      {"f855ce0300 82 0101 1234", false, 0x82},
  };
  for (const Case& c : cases) {
    const QByteArray reply = QByteArray::fromHex(QByteArray(c.hex).replace(' ', ""));
    EXPECT_EQ(IsNoReply(reply), c.no_reply) << c.hex;
    if (c.code >= 0) {
      EXPECT_EQ(ReplyCode(reply), c.code) << c.hex;
    }
  }
}

TEST(ReplyRulesTest, BlockReplyMustHoldTheBytesItAnnounces) {
  // Lead bytes, length, code, type, count 2, number 1, n 3, bytes; the checksum is not read.
  const QByteArray whole = QByteArray::fromHex("f855ce0b00850102000100030061626399");
  const BlockReply block = ParseBlockReply(whole);
  EXPECT_EQ(block.block_count, 2);
  EXPECT_EQ(block.byte_count, 3);
  EXPECT_EQ(block.bytes, "abc");

  const QByteArray empty_block = QByteArray::fromHex("f855ce0800850101000100000000");
  EXPECT_EQ(ParseBlockReply(empty_block).byte_count, 0);
  EXPECT_TRUE(ParseBlockReply(empty_block).bytes.isEmpty());

  EXPECT_THROW(ParseBlockReply(whole.left(15)), QuibrelError);  // two of three bytes
  EXPECT_THROW(ParseBlockReply(whole.left(8)), QuibrelError);   // not even the counts
}

}  // namespace
}  // namespace quibrel
