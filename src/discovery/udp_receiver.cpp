#include "discovery/udp_receiver.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <thread>

namespace quibrel {

QString FamilyCharacter(const QByteArray& reply) {
  return QString(QChar(static_cast<unsigned char>(reply.at(kReplyFamilyOffset))));
}

UdpReceiver::UdpReceiver() = default;
UdpReceiver::~UdpReceiver() { UdpDestroy(); }

bool UdpReceiver::UdpInit(quint16 port) {
  UdpDestroy();
  scales_list_.clear();
  scales_list_mode_.clear();
  auto socket = std::make_unique<QUdpSocket>();
  // Shared, so that a scale emulator bound to one address of this computer can keep its port.
  if (!socket->bind(QHostAddress::AnyIPv4, port,
                    QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
    return false;
  }
  sock_ = std::move(socket);
  return true;
}

bool UdpReceiver::UdpSend(const QString& address, quint16 port, const QByteArray& request) {
  if (!sock_) return false;
  const QHostAddress destination(address);
  if (destination.isNull()) return false;
  return sock_->writeDatagram(request, destination, port) == request.size();
}

void UdpReceiver::TakeDatagrams() {
  while (sock_->hasPendingDatagrams()) {
    const QNetworkDatagram datagram = sock_->receiveDatagram(kMaxDatagram);
    // Our own request comes back on a broadcast; it and anything else not 34 bytes long is
    // not a scale.
    if (datagram.data().size() != kDiscoverReplyLength) continue;
    bool ok = false;
    const QHostAddress sender(datagram.senderAddress().toIPv4Address(&ok));
    if (!ok) continue;
    scales_list_.append(sender.toString());
    scales_list_mode_.append(FamilyCharacter(datagram.data()));
  }
}

void UdpReceiver::Listen(std::chrono::milliseconds window) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + window;
  if (!sock_) {
    std::this_thread::sleep_until(deadline);
    return;
  }
  for (;;) {
    TakeDatagrams();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    if (sock_->waitForReadyRead(static_cast<int>(left.count()))) continue;
    if (sock_->state() != QAbstractSocket::BoundState) {
      // The socket broke; the window still lasts its length.
      std::this_thread::sleep_until(deadline);
      break;
    }
    if (sock_->error() != QAbstractSocket::SocketTimeoutError) {
      // A refused unicast (nobody on a listed address) is reported once per datagram; do not let
      // it turn the window into a busy loop.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
}

void UdpReceiver::UdpDestroy() {
  if (sock_) sock_->close();
  sock_.reset();
}

}  // namespace quibrel
