#pragma once

#include "link/com_unit.h"
#include "link/transport.h"

namespace quibrel {

inline constexpr int kPatientReadMs = 4000;

// Frames over the port that a ComUnit has open. The visit opens and closes the port (under
// SerialPortLock()); this only writes and reads.
//   Write: SendCommBuff of the whole frame (the count written is not looked at).
//   ReadReply: the single read: one ReadCommBuff (at most 2000 bytes).
//   ReadPatientReply: single reads repeated while each brings nothing and no more than
//     patient_ms have passed since the first began; ends with the first non-empty read.
class SerialTransport : public Transport {
 public:
  explicit SerialTransport(ComUnit& com, int patient_ms = kPatientReadMs)
      : com_(com), patient_ms_(patient_ms) {}

  bool IsSerial() const override { return true; }
  void Write(const QByteArray& frame) override;
  QByteArray ReadReply() override;
  QByteArray ReadPatientReply() override;

 private:
  ComUnit& com_;
  int patient_ms_;
};

}  // namespace quibrel
