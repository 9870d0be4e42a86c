#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

class QUdpSocket;

namespace quibrel {

// The scale reply: exactly this many bytes, with the family code at kReplyFamilyOffset. Nothing
// else of it is looked at; the scales do not promise a header or a checksum here.
inline constexpr int kDiscoverReplyLength = 34;
inline constexpr int kReplyFamilyOffset = 16;
// Larger datagrams are cut to this and so never pass for a reply.
inline constexpr int kMaxDatagram = 16385;

// The receiver of one listening window: a UDP socket bound to the search port on all local
// addresses, fed by the window's requests and read until the window ends. Runs on the calling
// thread, so the reply lists are complete and untouched by anyone once Listen returns.
class UdpReceiver {
 public:
  UdpReceiver();
  ~UdpReceiver();
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  // Empties the reply lists and opens the socket; false (and no replies later) when it cannot be
  // created or bound.
  bool UdpInit(quint16 port);
  // Sends the request as one datagram; false when it did not go.
  bool UdpSend(const QString& address, quint16 port, const QByteArray& request);
  // Collects replies until the window has passed; waits the whole window even without a socket.
  void Listen(std::chrono::milliseconds window);
  void UdpDestroy();

  // Sender address (dotted) and the family character of each 34-byte reply, in arrival order.
  const QStringList& ScalesList() const { return scales_list_; }
  const QStringList& ScalesListMode() const { return scales_list_mode_; }

 private:
  void TakeDatagrams();

  std::unique_ptr<QUdpSocket> sock_;
  QStringList scales_list_;
  QStringList scales_list_mode_;
};

// The family character of a reply: the one character whose code is the family byte.
QString FamilyCharacter(const QByteArray& reply);

}  // namespace quibrel
