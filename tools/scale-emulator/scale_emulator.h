#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>
#include <memory>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;
class QUdpSocket;

namespace quibrel::emulator {

struct Options {
  QString dir;
  QHostAddress listen{QHostAddress::LocalHost};
  quint16 port = 5001;  // UDP and TCP; 0 picks a free port for both
  std::uint8_t family = 0;
  bool serial = false;
  QString serial_device;  // empty: a new pty
  bool silent = false;
  bool short_replies = false;
  bool refuse_goods = false;
  int close_after = -1;  // blocks answered per connection before it is closed; -1: never
  bool lie_length = false;
  int delay_ms = 0;
};

// Answers as a scale: Discover on UDP, Hello/PutBlock/GetBlock on TCP and on a serial line.
class ScaleEmulator : public QObject {
  Q_OBJECT

 public:
  explicit ScaleEmulator(Options options, QObject* parent = nullptr);
  ~ScaleEmulator() override;

  // Binds the sockets and opens the serial line; false with a message in error() otherwise.
  bool Start();
  QString error() const { return error_; }
  quint16 port() const { return port_; }
  QString serial_path() const { return serial_path_; }

  // The reply to one request frame (already split off the stream and checked), or empty when
  // the scale stays silent. Public for the byte-level self-check of the options.
  QByteArray Answer(const QByteArray& frame);
  QByteArray DiscoverReply() const;

 private:
  struct Session {
    QByteArray pending;
    int blocks_answered = 0;
    bool closed = false;  // serial: after --close-after, deaf until the next Hello
  };
  struct Reply {
    QByteArray bytes;
    bool close_after = false;  // close the connection once these bytes are out
  };

  void OnDatagrams();
  void OnConnection();
  void OnTcpData(QTcpSocket* socket);
  void OnSerialData();
  // Splits the complete frames off the session's stream and answers them in order. A reply with
  // close_after set is the last one.
  std::vector<Reply> Consume(Session& session, const QByteArray& bytes);
  // Runs now or after --delay.
  void Later(std::function<void()> action);
  QByteArray AnswerPutBlock(const QByteArray& frame);
  QByteArray AnswerGetBlock(const QByteArray& frame);
  static bool StoreFile(const QString& path, const QByteArray& bytes);
  void WriteSerial(const QByteArray& bytes);
  bool OpenSerial();

  Options options_;
  QString error_;
  quint16 port_ = 0;
  std::unique_ptr<QUdpSocket> udp_;
  std::unique_ptr<QTcpServer> tcp_;
  QHash<QTcpSocket*, Session> sessions_;
  int serial_fd_ = -1;
  int serial_slave_fd_ = -1;  // kept open so the pty lives on between the PC's openings
  QString serial_path_;
  std::unique_ptr<QSocketNotifier> serial_notifier_;
  Session serial_session_;
  QHash<std::uint8_t, QByteArray> uploads_;  // files being received, by type
};

}  // namespace quibrel::emulator
