#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

#include "link/frame.h"
#include "link/transport.h"

namespace quibrel {

// The protocol state of the scale link: the request buffer TransmitBuffer, the frame and reply
// buffer LocalBuf and the transport in use. One exchange at a time, on one thread; the discovery
// thread builds its Discover frames with BuildFrame/DiscoverFrame and never touches these.
//
// A request: write the data into TransmitBuffer[1..num] (or use PreparePutBlock /
// PrepareGetBlock), then Send(cmd, num) (TCP visits) or SendToCom(cmd, num) (serial visits),
// then one reply read. After the read LocalBuf holds the reply and its size is the reply's
// length; examine it with the reply rules of frame.h:
//
//   link.SetTransport(&tcp);
//   int num = link.PreparePutBlock(kFileGoods, count, number, bytes, n);
//   link.Send(kCmdPutBlock, num);
//   link.ReadReply();
//   if (IsNoReply(link.LocalBuf)) ... else if (ReplyCode(link.LocalBuf) == kReplyRefused) ...
//
//   link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileTotals, b));
//   link.ReadPatientReply();             // downloads; on TCP the same as ReadReply
//   if (!IsNoReply(link.LocalBuf) && ReplyCode(link.LocalBuf) != kReplyAbsent) {
//     BlockReply block = ParseBlockReply(link.LocalBuf);  // throws when bytes are missing
//   }
//
// A serial attempt repeated after no reply writes the very same frame again: ResendLast().
class ScaleLink {
 public:
  ScaleLink();

  // The transport that Send/SendToCom write to and the reads read from; not owned. May be null
  // between visits.
  void SetTransport(Transport* transport) { transport_ = transport; }
  Transport* transport() const { return transport_; }

  // Stores cmd at TransmitBuffer[0], builds the frame of TransmitBuffer[0..num] in LocalBuf and
  // writes it. Send and SendToCom are the same frame; they differ only in which visit calls them
  // (both write to the transport set; SendToCom throws QuibrelError when it is not serial, Send
  // when it is serial, so a visit cannot write to the wrong line). Throws QuibrelError for cmd
  // above 255 or num above 65534 before anything is written, and when no transport is set.
  void Send(int cmd, int num);
  void SendToCom(int cmd, int num);
  // Writes the last frame written again (serial repeats).
  void ResendLast();

  // The reply reads; each replaces LocalBuf with the reply and returns its length.
  int ReadReply();
  int ReadPatientReply();

  // Fill TransmitBuffer[1..] for the block commands (16-bit values low byte first) and return the
  // num to pass to Send/SendToCom. PutBlock: type, block count, block number, byte count n
  // (1..1024) and the n bytes from TransmitBuffer[8]. GetBlock: type, 0, 0, block number.
  int PreparePutBlock(std::uint8_t file_type, std::uint16_t block_count,
                      std::uint16_t block_number, const char* bytes, int n);
  int PrepareGetBlock(std::uint8_t file_type, std::uint16_t block_number);

  std::array<std::uint8_t, kTransmitBufferSize> TransmitBuffer{};
  QByteArray LocalBuf;

 private:
  void WriteFrame(int cmd, int num);

  Transport* transport_ = nullptr;
  QByteArray last_frame_;
};

}  // namespace quibrel
