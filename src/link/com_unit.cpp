#include "link/com_unit.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "i18n/ini_file.h"

namespace quibrel {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool BaudConstant(int baud, speed_t* out) {
  struct Rate {
    int baud;
    speed_t constant;
  };
  static constexpr Rate kRates[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},
                                    {9600, B9600},     {19200, B19200},   {38400, B38400},
                                    {57600, B57600},   {115200, B115200}, {230400, B230400}};
  for (const Rate& rate : kRates) {
    if (rate.baud == baud) {
      *out = rate.constant;
      return true;
    }
  }
  return false;
}

}  // namespace

SerialDeviceMap::SerialDeviceMap() {
  for (int n = 1; n <= 9; ++n) devices[n] = QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

SerialDeviceMap ReadSerialDeviceMap(const IniFile& terminal_ini) {
  SerialDeviceMap map;
  for (int n = 1; n <= 9; ++n) {
    const QString device = terminal_ini.ReadString("Serial", QStringLiteral("COM%1").arg(n), "");
    if (!device.isEmpty()) map.Set(n, device);
  }
  return map;
}

ComUnit::ComUnit(SerialDeviceMap map) : CPort(std::move(map)) {}

ComUnit::~ComUnit() { CloseComm(); }

bool ComUnit::OpenComm(int InQueue, int OutQueue, int Baud) {
  if (IsOpen()) CloseComm();
  if (ComPort < 1 || ComPort > 9) return false;
  const QByteArray path = CPort.Device(ComPort).toLocal8Bit();
  if (path.isEmpty()) return false;
  // Never created: a missing device is a missing port, not a file to make.
  Com = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (Com < 0) return false;
  open_device_ = CPort.Device(ComPort);
  // Without sharing: a port that another program holds is a port in use.
  if (::flock(Com, LOCK_EX | LOCK_NB) != 0) {
    CloseComm();
    return false;
  }
  if (!SetCommTiming() || !SetCommBuffer(InQueue, OutQueue) || !SetCommStatus(Baud)) return false;
  ::ioctl(Com, TIOCEXCL);
  // A reply meant for someone before us must not pass for ours.
  ::tcflush(Com, TCIOFLUSH);
  return true;
}

bool ComUnit::SetCommTiming() {
  // The time-outs are applied by ReadCommBuff and SendCommBuff themselves (poll with deadlines):
  // termios VTIME counts tenths of a second and cannot express a total limit.
  return IsOpen() && timeouts_.ReadIntervalTimeout >= 0 && timeouts_.ReadTotalTimeoutConstant >= 0;
}

bool ComUnit::SetCommBuffer(int InQueue, int OutQueue) {
  return IsOpen() && InQueue > 0 && OutQueue > 0;
}

bool ComUnit::SetCommStatus(int Baud) {
  if (!IsOpen()) return false;
  speed_t speed;
  if (!BaudConstant(Baud, &speed)) return false;
  termios tio{};
  if (::tcgetattr(Com, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = 0x11;
  tio.c_cc[VSTOP] = 0x13;
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return false;
  if (::tcsetattr(Com, TCSANOW, &tio) != 0) return false;

  // Modem lines: DTR raised while open. RTS follows the transmitter where the driver has an
  // RS-485 mode; elsewhere it stays raised. A pty has no modem lines; that is not a failure.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(Com, TIOCMBIS, &lines);
  serial_rs485 rs485{};
  if (::ioctl(Com, TIOCGRS485, &rs485) == 0) {
    rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    rs485.flags &= ~SER_RS485_RTS_AFTER_SEND;
    ::ioctl(Com, TIOCSRS485, &rs485);
  }
  return true;
}

int ComUnit::SendCommBuff(const std::uint8_t* buf, int num) {
  if (!IsOpen() || num <= 0) return 0;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(timeouts_.WriteTotalTimeoutMultiplier * num +
                                               timeouts_.WriteTotalTimeoutConstant);
  int written = 0;
  while (written < num) {
    const ssize_t n = ::write(Com, buf + written, static_cast<size_t>(num - written));
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) break;
    const int left = MillisecondsLeft(deadline);
    if (left == 0) break;
    pollfd pfd{Com, POLLOUT, 0};
    if (::poll(&pfd, 1, left) <= 0) break;
  }
  return written;
}

int ComUnit::ReadCommBuff(std::uint8_t* Buf) {
  if (!IsOpen()) return 0;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(timeouts_.ReadTotalTimeoutConstant);
  int got = 0;
  while (got < kCommReadBlock) {
    int wait = MillisecondsLeft(deadline);
    if (wait == 0) break;
    if (got > 0 && timeouts_.ReadIntervalTimeout < wait) wait = timeouts_.ReadIntervalTimeout;
    pollfd pfd{Com, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;  // quiet gap after a byte, or the total limit
    const ssize_t n =
        ::read(Com, read_buffer_.data() + got, static_cast<size_t>(kCommReadBlock - got));
    if (n > 0) {
      got += static_cast<int>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      continue;
    } else {
      // Hang-up or error: nothing more comes on this line; wait out the total limit like a quiet
      // line would, instead of spinning.
      if (got == 0) ::poll(nullptr, 0, MillisecondsLeft(deadline));
      break;
    }
  }
  std::copy(read_buffer_.begin(), read_buffer_.begin() + got, Buf);
  return got;
}

void ComUnit::CloseComm() {
  if (Com >= 0) {
    // The exclusive flag belongs to the tty, not to our descriptor: clear it, or the next opening
    // fails while another descriptor (a pty's other user) keeps the tty alive.
    ::ioctl(Com, TIOCNXCL);
    ::close(Com);
  }
  Com = -1;
  open_device_.clear();
}

ComUnit& SharedComUnit() {
  static ComUnit com;
  return com;
}

}  // namespace quibrel
