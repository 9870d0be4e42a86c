#include "scale_emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QNetworkDatagram>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <cerrno>
#include <cstring>
#include <cstdlib>

#include "emulator_files.h"
#include "link/frame.h"

namespace quibrel::emulator {

namespace {

constexpr int kDiscoverReplyLength = 34;
constexpr int kFamilyOffset = 16;

std::uint8_t Byte(const QByteArray& bytes, int offset) {
  return static_cast<std::uint8_t>(bytes[offset]);
}

QByteArray Frame(std::uint8_t cmd, const QByteArray& data) {
  return BuildFrame(cmd, reinterpret_cast<const std::uint8_t*>(data.constData()),
                    static_cast<int>(data.size()));
}

QByteArray U16(std::uint16_t value) {
  QByteArray out(2, '\0');
  PutU16(reinterpret_cast<std::uint8_t*>(out.data()), value);
  return out;
}

bool ChecksumHolds(const QByteArray& frame) {
  const int payload = static_cast<int>(frame.size()) - kFrameOverhead + 1;
  if (payload < 1) return false;
  const std::uint16_t crc =
      GetCRC16(0, reinterpret_cast<const std::uint8_t*>(frame.constData()) + 5,
               static_cast<std::uint16_t>(payload));
  return crc == GetU16(frame, 5 + payload);
}

bool MakeRaw(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&tio, B57600);
  ::cfsetospeed(&tio, B57600);
  return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

ScaleEmulator::ScaleEmulator(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {}

ScaleEmulator::~ScaleEmulator() {
  serial_notifier_.reset();
  if (serial_fd_ >= 0) ::close(serial_fd_);
  if (serial_slave_fd_ >= 0) ::close(serial_slave_fd_);
}

bool ScaleEmulator::Start() {
  if (!QDir().mkpath(options_.dir)) {
    error_ = QString("cannot make the folder %1").arg(options_.dir);
    return false;
  }
  tcp_ = std::make_unique<QTcpServer>();
  udp_ = std::make_unique<QUdpSocket>();
  // Port 0: take the TCP port the system gives and the same UDP port, as a scale has one port.
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (!tcp_->listen(options_.listen, options_.port)) {
      error_ = QString("cannot listen on TCP %1 port %2: %3")
                   .arg(options_.listen.toString())
                   .arg(options_.port)
                   .arg(tcp_->errorString());
      return false;
    }
    port_ = tcp_->serverPort();
    // Shared, so that a Quibrel on the same computer can bind port 5001 on all addresses too.
    if (udp_->bind(options_.listen, port_,
                   QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
      break;
    }
    tcp_->close();
    if (options_.port != 0 || attempt == 19) {
      error_ = QString("cannot bind UDP %1 port %2: %3")
                   .arg(options_.listen.toString())
                   .arg(port_)
                   .arg(udp_->errorString());
      return false;
    }
  }
  connect(udp_.get(), &QUdpSocket::readyRead, this, &ScaleEmulator::OnDatagrams);
  connect(tcp_.get(), &QTcpServer::newConnection, this, &ScaleEmulator::OnConnection);
  if (options_.serial && !OpenSerial()) return false;
  return true;
}

bool ScaleEmulator::OpenSerial() {
  if (options_.serial_device.isEmpty()) {
    serial_fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (serial_fd_ < 0 || ::grantpt(serial_fd_) != 0 || ::unlockpt(serial_fd_) != 0) {
      error_ = "cannot make a pty";
      return false;
    }
    serial_path_ = QString::fromLocal8Bit(::ptsname(serial_fd_));
    // Our own hold on the other end keeps the pty alive (and quiet) while no one has it open.
    serial_slave_fd_ = ::open(serial_path_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (serial_slave_fd_ < 0 || !MakeRaw(serial_slave_fd_)) {
      error_ = "cannot set up the pty";
      return false;
    }
  } else {
    serial_path_ = options_.serial_device;
    serial_fd_ = ::open(serial_path_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (serial_fd_ < 0 || !MakeRaw(serial_fd_)) {
      error_ = QString("cannot open the serial line %1").arg(serial_path_);
      return false;
    }
  }
  ::fcntl(serial_fd_, F_SETFL, ::fcntl(serial_fd_, F_GETFL) | O_NONBLOCK);
  serial_notifier_ = std::make_unique<QSocketNotifier>(serial_fd_, QSocketNotifier::Read);
  connect(serial_notifier_.get(), &QSocketNotifier::activated, this, &ScaleEmulator::OnSerialData);
  return true;
}

QByteArray ScaleEmulator::DiscoverReply() const {
  // 34 bytes in the frame form: code 0, then a model text and the family at offset 16.
  QByteArray data(kDiscoverReplyLength - kFrameOverhead, '\0');
  const QByteArray model = "ZIRK-EMU";
  data.replace(0, model.size(), model);
  data[kFamilyOffset - 6] = static_cast<char>(options_.family);
  return Frame(kCmdDiscover, data);
}

void ScaleEmulator::OnDatagrams() {
  while (udp_->hasPendingDatagrams()) {
    const QNetworkDatagram datagram = udp_->receiveDatagram();
    const QByteArray data = datagram.data();
    // Only a Discover request is answered; replies of other scales, our own included, are not.
    if (data.size() != kFrameOverhead || !data.startsWith("\xF8\x55\xCE") ||
        Byte(data, 5) != kCmdDiscover || !ChecksumHolds(data)) {
      continue;
    }
    const QByteArray reply = DiscoverReply();
    const QHostAddress to = datagram.senderAddress();
    const quint16 to_port = static_cast<quint16>(datagram.senderPort());
    Later([this, reply, to, to_port] { udp_->writeDatagram(reply, to, to_port); });
  }
}

void ScaleEmulator::OnConnection() {
  while (QTcpSocket* socket = tcp_->nextPendingConnection()) {
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    sessions_.insert(socket, Session{});
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnTcpData(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      sessions_.remove(socket);
      socket->deleteLater();
    });
  }
}

void ScaleEmulator::OnTcpData(QTcpSocket* socket) {
  auto session = sessions_.find(socket);
  if (session == sessions_.end()) return;
  const std::vector<Reply> replies = Consume(*session, socket->readAll());
  QPointer<QTcpSocket> guard(socket);
  for (const Reply& reply : replies) {
    Later([guard, reply] {
      if (!guard) return;
      if (!reply.bytes.isEmpty()) guard->write(reply.bytes);
      if (reply.close_after) guard->disconnectFromHost();
    });
  }
}

void ScaleEmulator::OnSerialData() {
  char buffer[4096];
  QByteArray bytes;
  for (;;) {
    const ssize_t n = ::read(serial_fd_, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  for (const Reply& reply : Consume(serial_session_, bytes)) {
    if (reply.close_after) serial_session_.closed = true;
    if (!reply.bytes.isEmpty()) Later([this, reply] { WriteSerial(reply.bytes); });
  }
}

void ScaleEmulator::WriteSerial(const QByteArray& bytes) {
  // A line has no back-pressure: what the other side does not take within a moment is lost.
  qsizetype done = 0;
  int waits = 0;
  while (done < bytes.size() && waits < 20) {
    const ssize_t n = ::write(serial_fd_, bytes.constData() + done,
                              static_cast<size_t>(bytes.size() - done));
    if (n > 0) {
      done += n;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      pollfd pfd{serial_fd_, POLLOUT, 0};
      ::poll(&pfd, 1, 10);
      ++waits;
    } else {
      break;
    }
  }
}

void ScaleEmulator::Later(std::function<void()> action) {
  if (options_.delay_ms <= 0) {
    action();
  } else {
    QTimer::singleShot(options_.delay_ms, this, std::move(action));
  }
}

std::vector<ScaleEmulator::Reply> ScaleEmulator::Consume(Session& session,
                                                         const QByteArray& bytes) {
  std::vector<Reply> replies;
  session.pending += bytes;
  for (;;) {
    const qsizetype lead = session.pending.indexOf("\xF8\x55\xCE");
    if (lead < 0) {
      // Keep a lead that may be cut between two reads.
      session.pending = session.pending.right(2);
      return replies;
    }
    session.pending.remove(0, lead);
    if (session.pending.size() < kFrameHeaderLength) return replies;
    const int total = GetU16(session.pending, 3) + kFrameHeaderLength + 2;
    if (session.pending.size() < total) return replies;
    const QByteArray frame = session.pending.left(total);
    session.pending.remove(0, total);
    // A garbled request goes unanswered, as if the scale had not heard it.
    if (!ChecksumHolds(frame)) continue;
    const std::uint8_t cmd = Byte(frame, 5);
    if (cmd == kCmdHello) session.closed = false;
    if (session.closed) continue;
    if (options_.silent && cmd != kCmdDiscover) continue;
    const bool block = cmd == kCmdPutBlock || cmd == kCmdGetBlock;
    if (block && options_.close_after >= 0 && session.blocks_answered >= options_.close_after) {
      replies.push_back({QByteArray(), true});
      session.closed = true;
      return replies;
    }
    QByteArray answer = Answer(frame);
    if (answer.isEmpty()) continue;
    if (options_.short_replies && cmd != kCmdDiscover) answer.truncate(kFrameHeaderLength);
    replies.push_back({answer, false});
    if (block && options_.close_after >= 0 && ++session.blocks_answered >= options_.close_after) {
      replies.back().close_after = true;
      session.closed = true;
      return replies;
    }
  }
}

QByteArray ScaleEmulator::Answer(const QByteArray& frame) {
  switch (Byte(frame, 5)) {
    case kCmdDiscover:
      return DiscoverReply();
    case kCmdHello:
      return Frame(kCmdHello, QByteArray(1, static_cast<char>(options_.family)));
    case kCmdPutBlock:
      return AnswerPutBlock(frame);
    case kCmdGetBlock:
      return AnswerGetBlock(frame);
    default:
      return {};
  }
}

QByteArray ScaleEmulator::AnswerPutBlock(const QByteArray& frame) {
  // Lead 3, length 2, code, type, count 2, number 2, n 2, bytes, checksum 2.
  if (frame.size() < 6 + kPutBlockHeaderBytes + 2) return {};
  const std::uint8_t type = Byte(frame, 6);
  const std::uint16_t count = GetU16(frame, 7);
  const std::uint16_t number = GetU16(frame, 9);
  const std::uint16_t n = GetU16(frame, 11);
  const QString name = FileNameForType(type);
  const QByteArray ack = QByteArray(1, static_cast<char>(type)) + U16(number);
  if (name.isEmpty() || type == kFileTotals) return Frame(kReplyAbsent, ack);
  if (type == kFileGoods && options_.refuse_goods) return Frame(kReplyRefused, ack);
  if (number < 1 || number > count || n > kBlockBytes || 13 + n + 2 != frame.size()) {
    return {};  // not a block a scale could store: no answer
  }
  // Blocks are put together at their own place, so that a repeated block does no harm, and the
  // file is only replaced once its last block has come.
  QByteArray& upload = uploads_[type];
  if (number == 1) upload.clear();
  const qsizetype at = static_cast<qsizetype>(number - 1) * kBlockBytes;
  if (upload.size() < at + n) upload.resize(at + n);
  std::memcpy(upload.data() + at, frame.constData() + 13, n);
  if (number == count) {
    upload.resize(at + n);
    if (!StoreFile(FindFile(options_.dir, name), upload)) return {};
  }
  return Frame(kCmdPutBlock, ack);
}

bool ScaleEmulator::StoreFile(const QString& path, const QByteArray& bytes) {
  // Written over in place: no truncation or renaming when the size stays, which is the usual
  // case of an upload repeated with new prices, and keeps a block round trip cheap.
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  ok = ok && ::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), 0) == bytes.size();
  if (ok && st.st_size != bytes.size()) ok = ::ftruncate(fd, bytes.size()) == 0;
  ::close(fd);
  return ok;
}

QByteArray ScaleEmulator::AnswerGetBlock(const QByteArray& frame) {
  if (frame.size() < 6 + kGetBlockDataBytes + 2) return {};
  const std::uint8_t type = Byte(frame, 6);
  const std::uint16_t number = GetU16(frame, 9);
  const QByteArray absent = Frame(kReplyAbsent, QByteArray(1, static_cast<char>(type)));
  const QString name = FileNameForType(type);
  if (name.isEmpty()) return absent;
  const int fd =
      ::open(QFile::encodeName(FindFile(options_.dir, name)).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return absent;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return absent;
  }
  const qint64 size = st.st_size;
  // An empty file is one block of no bytes: a count of 0 would never end the PC's loop.
  const qint64 blocks = size == 0 ? 1 : (size + kBlockBytes - 1) / kBlockBytes;
  if (number < 1 || number > blocks || blocks > 65535) {
    ::close(fd);
    return absent;
  }
  QByteArray bytes(kBlockBytes, '\0');
  const ssize_t got = ::pread(fd, bytes.data(), kBlockBytes,
                              static_cast<off_t>(number - 1) * kBlockBytes);
  ::close(fd);
  bytes.truncate(got > 0 ? got : 0);
  // The lie goes past the checksum too, so that the frame really lacks what it announces.
  const auto announced =
      static_cast<std::uint16_t>(options_.lie_length ? bytes.size() + 16 : bytes.size());
  QByteArray data(1, static_cast<char>(type));
  data += U16(static_cast<std::uint16_t>(blocks));
  data += U16(number);
  data += U16(announced);
  data += bytes;
  return Frame(kCmdGetBlock, data);
}

}  // namespace quibrel::emulator
