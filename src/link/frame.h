#pragma once

#include <QByteArray>
#include <cstdint>

namespace quibrel {

// Every request to a scale is F8 55 CE, the payload length (command byte plus data) as a 16-bit
// little-endian number, the command byte, the data and the 16-bit checksum of the payload, low
// byte first. Replies are read back and only a few of their bytes are looked at (see below).

// Command codes.
inline constexpr std::uint8_t kCmdDiscover = 0x00;
inline constexpr std::uint8_t kCmdHello = 0x80;
inline constexpr std::uint8_t kCmdPutBlock = 0x82;
inline constexpr std::uint8_t kCmdGetBlock = 0x85;

// File type codes: the same code names the file in both directions.
inline constexpr std::uint8_t kFileGoods = 1;   // products.dat
inline constexpr std::uint8_t kFileKeypad = 6;  // keyboard.dat
inline constexpr std::uint8_t kFileTotals = 7;  // Totals.dat (download only)
inline constexpr std::uint8_t kFileTicket = 9;  // Zirk.dat

// Reply codes at offset 5 of a reply.
inline constexpr std::uint8_t kReplyAbsent = 0x46;   // 'F': the scale holds no such file
inline constexpr std::uint8_t kReplyRefused = 0x43;  // 'C': stop the goods upload

// Frame geometry.
inline constexpr int kFrameOverhead = 8;           // lead bytes, length, command, checksum
inline constexpr int kFrameHeaderLength = 5;       // lead bytes and length field
inline constexpr int kBlockBytes = 1024;           // file bytes in one full block
inline constexpr int kPutBlockHeaderBytes = 7;     // type, block count, block number, byte count
inline constexpr int kGetBlockDataBytes = 5;       // type, 0 0, block number
inline constexpr int kMinReplyLength = 6;          // shorter replies count as no reply
inline constexpr int kReplyCodeOffset = 5;
inline constexpr int kBlockCountOffset = 7;        // in GetBlock replies (and PutBlock frames)
inline constexpr int kBlockByteCountOffset = 11;
inline constexpr int kBlockBytesOffset = 13;
inline constexpr int kTransmitBufferSize = 16385;  // index 0 command, 1.. data
inline constexpr int kMaxPayload = 65535;

// The checksum of the frames: a bytewise shift-register remainder with polynomial 0x1021, most
// significant bit first, no reflection and no final exclusive-or; the data byte enters the low
// byte of the register, so unlike CRC-16/XMODEM no zero bits are appended. crc is the start
// value (0 everywhere in this program); len is at least 1. "123456789" gives 0xBEEF.
std::uint16_t GetCRC16(std::uint16_t crc, const std::uint8_t* data, std::uint16_t len);

// The whole request frame for command cmd with data[0..num-1] as its data (num may be 0, data
// then may be null). Throws QuibrelError before anything is built when cmd is above 255 or the
// payload (num + 1) is above 65535.
QByteArray BuildFrame(int cmd, const std::uint8_t* data, int num);

// The 8-byte Discover request F8 55 CE 01 00 00 00 00, for the discovery probes.
QByteArray DiscoverFrame();

// Little-endian 16-bit helpers for frame fields.
inline void PutU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline std::uint16_t GetU16(const QByteArray& bytes, int offset) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                    (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

// Reply rules. A reply is whatever one reply read delivered; its lead bytes, length field and
// checksum are never checked, because the scales do not promise them.
//   IsNoReply: fewer than 6 bytes count as no reply at all.
//   ReplyCode: the byte at offset 5 (call only when !IsNoReply).
inline bool IsNoReply(const QByteArray& reply) { return reply.size() < kMinReplyLength; }
inline std::uint8_t ReplyCode(const QByteArray& reply) {
  return static_cast<std::uint8_t>(reply[kReplyCodeOffset]);
}

// The whole length a reply announces in its own header (payload length at offsets 3 and 4, plus
// lead bytes, length field and checksum), or -1 while fewer than 5 bytes are there. TCP replies
// that come in pieces are put together up to this length.
inline int ReplyFrameLength(const QByteArray& head) {
  if (head.size() < kFrameHeaderLength) return -1;
  return GetU16(head, 3) + kFrameHeaderLength + 2;
}

// What a GetBlock reply carries: the block count of the whole file (offset 7), the byte count n
// (offset 11) and the n file bytes from offset 13.
struct BlockReply {
  std::uint16_t block_count = 0;
  std::uint16_t byte_count = 0;
  QByteArray bytes;
};

// Reads a GetBlock reply that is a reply (!IsNoReply) and not the absent code. Throws
// QuibrelError when it announces more file bytes than it holds (or is too short to hold the
// counts): the receiver must not write a block it did not get.
BlockReply ParseBlockReply(const QByteArray& reply);

}  // namespace quibrel
