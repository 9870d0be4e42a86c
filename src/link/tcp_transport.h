#pragma once

#include <QString>
#include <memory>

#include "link/transport.h"

class QTcpSocket;

namespace quibrel {

class IniFile;

inline constexpr quint16 kScalePort = 5001;
inline constexpr int kConnectTimeoutMs = 3000;
inline constexpr int kDefaultReplyTimeoutMs = 5000;

// terminal.ini [Link] ReplyTimeout in milliseconds; 5000 when absent, not a number or not
// above 0.
int ReadReplyTimeout(const IniFile& terminal_ini);

// The TCP client of one exchange command: a QTcpSocket used blocking (waitFor* with time limits)
// on the thread that creates it, which must be the thread that uses it.
//
//   TcpTransport tcp(ReadReplyTimeout(workspace.IniFileRef()));
//   if (!tcp.Connect(ip)) { ...connection failure message...; tcp.Disconnect(); }
//   link.SetTransport(&tcp); ... link.Send(kCmdHello, 0); link.ReadReply(); ...
//   tcp.Disconnect();
//
// Reply read: waits for the first bytes up to the reply time limit, then keeps reading until the
// length announced by the reply's own header (offsets 3 and 4: payload length P, so P + 7 bytes
// in all) has arrived or the limit, counted from the start of the read, is over; returns what
// arrived (empty: no reply). A reply that never says its length (fewer than 5 bytes) is returned
// as it stands when the limit is over. When the scale closes the connection while a reply is
// awaited, ReadReply throws QuibrelError: the exchange ends. Write throws QuibrelError too when
// the connection is gone.
class TcpTransport : public Transport {
 public:
  explicit TcpTransport(int reply_timeout_ms = kDefaultReplyTimeoutMs);
  ~TcpTransport() override;

  void SetReplyTimeout(int milliseconds) { reply_timeout_ms_ = milliseconds; }
  int reply_timeout() const { return reply_timeout_ms_; }

  // Connects within timeout_ms; true when connected. A failed attempt leaves the socket closed.
  bool Connect(const QString& host, quint16 port = kScalePort,
               int timeout_ms = kConnectTimeoutMs);
  bool IsConnected() const;
  // Closes the connection and waits (briefly) until it is closed; harmless when not connected.
  void Disconnect();

  bool IsSerial() const override { return false; }
  void Write(const QByteArray& frame) override;
  QByteArray ReadReply() override;

 private:
  std::unique_ptr<QTcpSocket> socket_;
  int reply_timeout_ms_;
};

}  // namespace quibrel
