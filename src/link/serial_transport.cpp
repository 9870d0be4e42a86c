#include "link/serial_transport.h"

#include <QElapsedTimer>

namespace quibrel {

void SerialTransport::Write(const QByteArray& frame) {
  com_.SendCommBuff(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                    static_cast<int>(frame.size()));
}

QByteArray SerialTransport::ReadReply() {
  QByteArray reply(kCommReadBlock, '\0');
  const int got = com_.ReadCommBuff(reinterpret_cast<std::uint8_t*>(reply.data()));
  reply.truncate(got);
  return reply;
}

QByteArray SerialTransport::ReadPatientReply() {
  QElapsedTimer since;
  since.start();
  QByteArray reply;
  do {
    reply = ReadReply();
  } while (reply.isEmpty() && since.elapsed() <= patient_ms_);
  return reply;
}

}  // namespace quibrel
