#include "link/tcp_transport.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include "core/quibrel_error.h"
#include "i18n/ini_file.h"
#include "i18n/lang_text.h"
#include "link/frame.h"

namespace quibrel {

namespace {

[[noreturn]] void ThrowConnectionClosed() {
  throw QuibrelError(
      LangText("Link", "ConnectionClosed", "The scale closed the connection during the exchange"));
}

}  // namespace

int ReadReplyTimeout(const IniFile& terminal_ini) {
  const int value = terminal_ini.ReadInteger("Link", "ReplyTimeout", kDefaultReplyTimeoutMs);
  return value > 0 ? value : kDefaultReplyTimeoutMs;
}

TcpTransport::TcpTransport(int reply_timeout_ms)
    : socket_(std::make_unique<QTcpSocket>()), reply_timeout_ms_(reply_timeout_ms) {}

TcpTransport::~TcpTransport() = default;

bool TcpTransport::Connect(const QString& host, quint16 port, int timeout_ms) {
  socket_->abort();
  socket_->connectToHost(host, port);
  if (!socket_->waitForConnected(timeout_ms)) {
    socket_->abort();
    return false;
  }
  // Frames go out whole and the scale answers each one before the next: no reason to batch.
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  return true;
}

bool TcpTransport::IsConnected() const {
  return socket_->state() == QAbstractSocket::ConnectedState;
}

void TcpTransport::Disconnect() {
  if (socket_->state() == QAbstractSocket::UnconnectedState) return;
  socket_->disconnectFromHost();
  if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->waitForDisconnected(1000);
  socket_->abort();
}

void TcpTransport::Write(const QByteArray& frame) {
  if (!IsConnected()) ThrowConnectionClosed();
  // Drop a late reply to an earlier request: it must not pass for the answer to this one.
  socket_->waitForReadyRead(0);
  socket_->readAll();
  if (socket_->write(frame) != frame.size()) ThrowConnectionClosed();
  QDeadlineTimer deadline(reply_timeout_ms_);
  while (socket_->bytesToWrite() > 0) {
    if (!socket_->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
      if (!IsConnected()) ThrowConnectionClosed();
      break;  // the scale does not take the frame: the reply read will see no reply
    }
  }
}

QByteArray TcpTransport::ReadReply() {
  QByteArray reply;
  QDeadlineTimer deadline(reply_timeout_ms_);
  for (;;) {
    // Bytes that came with the scale's closing are still delivered: read before asking state.
    reply += socket_->readAll();
    const int wanted = ReplyFrameLength(reply);
    if (wanted >= 0 && reply.size() >= wanted) return reply;
    // Closed before the reply was whole: what it sent is not a reply to go on with.
    if (!IsConnected()) ThrowConnectionClosed();
    if (deadline.hasExpired()) return reply;
    socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  }
}

}  // namespace quibrel
