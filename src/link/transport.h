#pragma once

#include <QByteArray>

namespace quibrel {

// One way of carrying frames to a scale and replies back: TCP or a serial line. The protocol
// (frames, block senders and receivers) is written once against this; each back end keeps its
// own reading rule. One request is always followed by one reply read before the next request.
class Transport {
 public:
  virtual ~Transport() = default;

  virtual bool IsSerial() const = 0;

  // Writes the whole frame. Bytes that arrived since the last read (a reply that came after its
  // time limit) are dropped first, so they are never taken for the reply to this frame.
  virtual void Write(const QByteArray& frame) = 0;

  // The reply read that follows every request. TCP: the reassembled reply within the reply time
  // limit (empty when nothing came). Serial: one single read (2000 bytes at most, ends 100 ms
  // after the last byte or at the total limit; empty when nothing came).
  virtual QByteArray ReadReply() = 0;

  // The download's read. Serial: single reads repeated while they bring nothing, until about
  // 4000 ms have passed since the first began. TCP: the same as ReadReply.
  virtual QByteArray ReadPatientReply() { return ReadReply(); }
};

}  // namespace quibrel
