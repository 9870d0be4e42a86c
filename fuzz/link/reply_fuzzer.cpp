// Scale replies as they come off the line: the header length used to put TCP pieces together,
// the reply code and the GetBlock reply reader. A reply may be anything; reading it must either
// give counts that match the bytes taken or fail with QuibrelError.
#include <cstdint>
#include <cstdlib>

#include "core/quibrel_error.h"
#include "link/frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  using namespace quibrel;
  const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const int whole = ReplyFrameLength(reply);
  if ((whole < 0) != (reply.size() < kFrameHeaderLength)) std::abort();
  if (whole >= 0 && whole < kFrameOverhead - 1) std::abort();
  if (IsNoReply(reply)) return 0;
  if (ReplyCode(reply) == kReplyAbsent) return 0;
  try {
    const BlockReply block = ParseBlockReply(reply);
    if (block.bytes.size() != block.byte_count) std::abort();
    if (kBlockBytesOffset + block.byte_count > reply.size()) std::abort();
  } catch (const QuibrelError&) {
    if (reply.size() >= kBlockBytesOffset &&
        reply.size() >= kBlockBytesOffset + GetU16(reply, kBlockByteCountOffset)) {
      std::abort();  // refused a reply that held everything it announced
    }
  }
  return 0;
}
