#include "link/frame.h"

#include "core/quibrel_error.h"
#include "i18n/lang_text.h"

namespace quibrel {

std::uint16_t GetCRC16(std::uint16_t crc, const std::uint8_t* data, std::uint16_t len) {
  for (std::uint16_t i = 0; i < len; ++i) {
    std::uint16_t acc = 0;
    std::uint16_t t = crc & 0xFF00;
    for (int bit = 0; bit < 8; ++bit) {
      if ((t ^ acc) & 0x8000) {
        acc = static_cast<std::uint16_t>((acc << 1) ^ 0x1021);
      } else {
        acc = static_cast<std::uint16_t>(acc << 1);
      }
      t = static_cast<std::uint16_t>(t << 1);
    }
    crc = static_cast<std::uint16_t>((crc << 8) ^ acc ^ data[i]);
  }
  return crc;
}

QByteArray BuildFrame(int cmd, const std::uint8_t* data, int num) {
  if (cmd < 0 || cmd > 255 || num < 0 || num + 1 > kMaxPayload) {
    throw QuibrelError(LangText("Link", "BadFrame",
                                "A request to the scales is too long or has an unknown command"));
  }
  QByteArray frame(num + kFrameOverhead, '\0');
  auto* out = reinterpret_cast<std::uint8_t*>(frame.data());
  out[0] = 0xF8;
  out[1] = 0x55;
  out[2] = 0xCE;
  PutU16(out + 3, static_cast<std::uint16_t>(num + 1));
  out[5] = static_cast<std::uint8_t>(cmd);
  if (num > 0) std::copy(data, data + num, out + 6);
  PutU16(out + 6 + num, GetCRC16(0, out + 5, static_cast<std::uint16_t>(num + 1)));
  return frame;
}

QByteArray DiscoverFrame() { return BuildFrame(kCmdDiscover, nullptr, 0); }

BlockReply ParseBlockReply(const QByteArray& reply) {
  BlockReply block;
  if (reply.size() < kBlockBytesOffset) {
    throw QuibrelError(LangText("Link", "ShortBlock",
                                "The scale's reply to a block request is incomplete"));
  }
  block.block_count = GetU16(reply, kBlockCountOffset);
  block.byte_count = GetU16(reply, kBlockByteCountOffset);
  if (reply.size() < kBlockBytesOffset + block.byte_count) {
    throw QuibrelError(LangText("Link", "ShortBlock",
                                "The scale's reply to a block request is incomplete"));
  }
  block.bytes = reply.mid(kBlockBytesOffset, block.byte_count);
  return block;
}

}  // namespace quibrel
