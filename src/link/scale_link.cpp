#include "link/scale_link.h"

#include <algorithm>

#include "core/quibrel_error.h"
#include "i18n/lang_text.h"

namespace quibrel {

namespace {

[[noreturn]] void ThrowNoTransport() {
  throw QuibrelError(LangText("Link", "NoConnection", "No connection to a scale is open"));
}

[[noreturn]] void ThrowWrongLine() {
  throw QuibrelError(LangText("Link", "WrongLine",
                              "A request went to the wrong kind of connection to the scale"));
}

}  // namespace

ScaleLink::ScaleLink() = default;

void ScaleLink::WriteFrame(int cmd, int num) {
  if (transport_ == nullptr) ThrowNoTransport();
  if (num < 0 || num >= kTransmitBufferSize) {
    throw QuibrelError(LangText("Link", "BadFrame",
                                "A request to the scales is too long or has an unknown command"));
  }
  // Validates cmd and the payload length before anything changes.
  QByteArray frame = BuildFrame(cmd, TransmitBuffer.data() + 1, num);
  TransmitBuffer[0] = static_cast<std::uint8_t>(cmd);
  LocalBuf = frame;
  last_frame_ = frame;
  transport_->Write(frame);
}

void ScaleLink::Send(int cmd, int num) {
  if (transport_ != nullptr && transport_->IsSerial()) ThrowWrongLine();
  WriteFrame(cmd, num);
}

void ScaleLink::SendToCom(int cmd, int num) {
  if (transport_ != nullptr && !transport_->IsSerial()) ThrowWrongLine();
  WriteFrame(cmd, num);
}

void ScaleLink::ResendLast() {
  if (transport_ == nullptr) ThrowNoTransport();
  transport_->Write(last_frame_);
}

int ScaleLink::ReadReply() {
  if (transport_ == nullptr) ThrowNoTransport();
  LocalBuf = transport_->ReadReply();
  return static_cast<int>(LocalBuf.size());
}

int ScaleLink::ReadPatientReply() {
  if (transport_ == nullptr) ThrowNoTransport();
  LocalBuf = transport_->ReadPatientReply();
  return static_cast<int>(LocalBuf.size());
}

int ScaleLink::PreparePutBlock(std::uint8_t file_type, std::uint16_t block_count,
                               std::uint16_t block_number, const char* bytes, int n) {
  n = std::clamp(n, 0, kBlockBytes);
  TransmitBuffer[1] = file_type;
  PutU16(&TransmitBuffer[2], block_count);
  PutU16(&TransmitBuffer[4], block_number);
  PutU16(&TransmitBuffer[6], static_cast<std::uint16_t>(n));
  std::copy(bytes, bytes + n, reinterpret_cast<char*>(&TransmitBuffer[8]));
  return kPutBlockHeaderBytes + n;
}

int ScaleLink::PrepareGetBlock(std::uint8_t file_type, std::uint16_t block_number) {
  TransmitBuffer[1] = file_type;
  TransmitBuffer[2] = 0;
  TransmitBuffer[3] = 0;
  PutU16(&TransmitBuffer[4], block_number);
  return kGetBlockDataBytes;
}

}  // namespace quibrel
